#include "setup/integration/uninstall_record_win.h"

#include <windows.h>

#include <vector>

#include "setup/folders/required_space_win.h"
#include "setup/record/uninstall_entry.h"
#include "setup/record/uninstall_record.h"
#include "setup/strings/string_table.h"
#include "setup/vars/path_variables_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/date_format.h"
#include "tl_core/file_win.h"
#include "tl_core/local_time_win.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

static_assert(kRecordDeleteWhenEmpty == tl::kRegDeleteWhenEmpty);
static_assert(kRecordTextAsExpandable == tl::kRegTextAsExpandable);

// Created with the parent's security: the entry is the system's list, not a
// key every user may change. No view bit: the entry lives in the 32-bit view
// for 64-bit products too, where the uninstaller looks for it.
constexpr uint32_t kUninstallKeyOptions = tl::kRegParentSecurity;
constexpr REGSAM kUninstallKeyAccess = tl::kRegAccessWrite;

constexpr char kSystemErrorLine[] = "System error: ";
constexpr char kRecordNotSaved[] =
    "Unable to save the uninstall information to the registry.  Uninstall will not work properly.\r\n\r\n";
constexpr char kExtraValueNotSaved[] = "Failed to save data in registry key \"%s\": %s\r\n";

std::string RecordKeyName(const ProductSettings& product) {
  const std::string& keyName = product.stream.UninstallKeyName;
  return keyName.empty() ? product.displayName : keyName;
}

UninstallRecordFacts RunRecordFacts(const RunState& run, const std::string& productFonts,
                                    const std::string& sharedFiles) {
  const ProductSettings& product = run.product;
  UninstallRecordFacts facts;
  facts.uninstallKeyName = RecordKeyName(product);
  facts.uninstallerPath = UninstallerPath(run.folders.uninstallDataFolder, product.stream.UninstallerFileName);
  facts.displayName = product.displayName;
  facts.installSource = run.process.installSource;
  facts.productFonts = productFonts;
  facts.sharedFiles = sharedFiles;
  facts.requiredSpace = run.requiredSpace;
  facts.monoColor = product.monoColor;
  facts.backgroundBitmap = !product.stream.Bitmap.empty();
  facts.fallbackTitle = LocalizedString(kStringSetupTitle);
  facts.installLocation = run.folders.installLocation;
  facts.installDate = tl::FormatLocalDateTime(tl::LocalNow(), tl::kDefaultDatePattern);
  return facts;
}

bool WriteRecordValue(tl::RegistryKey& key, const RecordValue& value) {
  switch (value.kind) {
    case RecordValueKind::kText:
      return key.WriteText(value.name, value.text, value.options);
    case RecordValueKind::kNumber:
      return key.WriteNumber(value.name, value.number, value.options);
    case RecordValueKind::kDecimalText:
      return key.WriteDecimalText(value.name, value.decimal);
    case RecordValueKind::kDelete:
      return key.DeleteValue(value.name) != tl::RegDeleteResult::kFailed;
  }
  return false;
}

void ReportExtraValueFailure(RunState& run, const ValueRecord& record, uint32_t error) {
  run.failures.AppendFormat(kExtraValueNotSaved, record.name.c_str(), tl::SystemErrorText(error).c_str());
}

// A value in another key: that key is opened (or created) for this value only.
void WriteExtraValueElsewhere(RunState& run, const ValueRecord& record, const ExtraRecordValue& extra) {
  tl::RegistryKey key;
  if (key.OpenPath(extra.keyPath, 0, tl::kRegAccessWrite) == tl::RegOpenResult::kFailed ||
      !WriteRecordValue(key, extra.value))
    ReportExtraValueFailure(run, record, key.lastError());
}

void WriteExtraValues(RunState& run, tl::RegistryKey& uninstallKey) {
  for (const ValueRecord& record : run.product.stream.UninstallValueList) {
    ExtraRecordValue extra = PlanExtraRecordValue(record, PathVariablesExpanded(run, record.value));
    if (!extra.keyPath.empty()) {
      WriteExtraValueElsewhere(run, record, extra);
    } else if (!WriteRecordValue(uninstallKey, extra.value)) {
      ReportExtraValueFailure(run, record, uninstallKey.lastError());
    }
  }
}

struct RecordOutcome {
  bool stored = true;
  std::string systemErrorText;  // of the open or of the first value's write
};

// Steps up to the read-back: every value of the entry in its order.
// The settings as the registration stores them: with the run's folders and
// the run's decisions folded into the option words. A copy, made once.
SettingsStream StoredSettings(const RunState& run) {
  SettingsStream stored = run.product.stream;
  stored.ProductFlags = RunProductFlags(run);
  stored.ProductFlags2 = RunProductFlags2(run);
  stored.ProductStartMenu = run.folders.startMenuFolder;
  stored.SharedPath = run.folders.sharedFolder;
  return stored;
}

RecordOutcome WriteRecordValues(RunState& run, tl::RegistryKey& key, const UninstallRecordFacts& facts) {
  RecordOutcome outcome;
  ::SetLastError(0);
  if (key.Open(HKEY_LOCAL_MACHINE, UninstallEntryKey(facts.uninstallKeyName), kUninstallKeyOptions,
               kUninstallKeyAccess) == tl::RegOpenResult::kFailed) {
    outcome.systemErrorText = tl::SystemErrorText(key.lastError());
    outcome.stored = false;
    return outcome;
  }
  std::vector<RecordValue> leading = LeadingRecordValues(StoredSettings(run), facts);
  const RecordValue& uninstallString = leading.front();
  ::SetLastError(0);
  if (!WriteRecordValue(key, uninstallString)) outcome.systemErrorText = tl::SystemErrorText(key.lastError());
  for (size_t i = 1; i < leading.size(); ++i) WriteRecordValue(key, leading[i]);
  WriteExtraValues(run, key);
  for (const RecordValue& value : TrailingRecordValues(facts)) WriteRecordValue(key, value);
  // The uninstaller starts from this value; a record without it is useless.
  if (key.ReadText(uninstallString.name) != uninstallString.text) outcome.stored = false;
  return outcome;
}

void ReportRecordNotStored(FailureSummary& failures, const RecordOutcome& outcome) {
  if (!outcome.systemErrorText.empty()) failures.AppendParts({kSystemErrorLine, outcome.systemErrorText, "\r\n\r\n"});
  failures.Append(kRecordNotSaved);
}

}  // namespace

void WriteUninstallRecord(RunState& run, const std::string& productFonts, const std::string& sharedFiles) {
  if (run.requiredSpace < 0) run.requiredSpace = ComputeRequiredSpace(run);
  tl::RegistryKey key;
  RecordOutcome outcome = WriteRecordValues(run, key, RunRecordFacts(run, productFonts, sharedFiles));
  WriteInstallDirValue(run);
  if (!outcome.stored) ReportRecordNotStored(run.failures, outcome);
}

void WriteInstallDirValue(const RunState& run) {
  const std::string& path = run.product.stream.LocationRegistryPath;
  size_t split = path.rfind('\\');
  if (split == std::string::npos) return;
  tl::RegistryKey key;
  if (key.OpenPath(std::string_view(path).substr(0, split), 0, tl::kRegAccessWrite) == tl::RegOpenResult::kFailed)
    return;
  key.WriteText(std::string_view(path).substr(split + 1), run.folders.installLocation, 0);
}

}  // namespace setup
