#include "setup/uninstall/uninstall_data_file_win.h"

#include <windows.h>

#include "setup/entry/install_settings.h"
#include "setup/report/failure_summary.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"

namespace setup {
namespace {

constexpr int kUninstallDeletionFlagBit = 3;
// The closing list entries that also act at uninstallation.
constexpr uint8_t kCloseAtUninstallation = 0x02;

}  // namespace

std::string UninstallDataFilePath() {
  return tl::JoinPath(Settings().uninstallDataFolder, kUninstallDataFileName);
}

UninstallDataContent InstallationUninstallData() {
  const InstallSettings& run = Settings();
  const SettingsStream& s = run.stream;
  UninstallDataContent content;
  content.paths = run.uninstallData.pathLines();
  for (int number : kUninstallerStringNumbers) content.strings[number] = LocalizedString(number);
  content.dialogCaption = s.DialogCaption;  // its placeholders were replaced when it was read
  for (const CloseRecord& record : s.CloseList)
    if (record.phaseMask & kCloseAtUninstallation) content.closeList.push_back(record);
  content.registry2 = s.RegistryEntryText;
  for (const DeleteRecord& record : s.DeleteList)
    if ((record.flags >> kUninstallDeletionFlagBit) & 1) content.deleteList.push_back(record);
  return content;
}

bool WriteUninstallDataFile(const std::string& path, const UninstallDataContent& content,
                            uint32_t& errorCode) {
  const std::string text = WriteUninstallDataText(content);
  tl::File file;
  if (file.Open(path, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk) {
    errorCode = ::GetLastError();
    return false;
  }
  if (!file.Write(text.data(), static_cast<int64_t>(text.size()))) {
    errorCode = ::GetLastError();
    return false;
  }
  errorCode = 0;
  return true;
}

UninstallDataFileRead ReadUninstallDataFile(const std::string& path) {
  UninstallDataFileRead read;
  tl::File file;
  read.fileError = file.Open(path, tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead);
  if (read.fileError != tl::kFileOk) {
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  std::vector<uint8_t> bytes;
  const int64_t length = file.Length();
  if (length > static_cast<int64_t>(kMaxUninstallDataTextSize)) {
    read.fileError = tl::kFileTooLarge;
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  if (!file.ReadRange(bytes, 0, length)) {
    read.fileError = tl::kFileUnknownError;
    read.errorText = tl::SystemErrorText(::GetLastError());
    return read;
  }
  UninstallDataReadResult parsed =
      ReadUninstallDataText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!parsed.ok()) {
    read.fileError = parsed.error == UninstallDataReadError::kTooLarge ? tl::kFileTooLarge : tl::kFileCorrupted;
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  read.ok = true;
  read.content = std::move(parsed.content);
  return read;
}

void WriteInstallationUninstallData() {
  if (!Settings().stream.Flag(kFlagHasUninstaller)) return;
  const std::string path = UninstallDataFilePath();
  uint32_t error = 0;
  if (!WriteUninstallDataFile(path, InstallationUninstallData(), error))
    RecordFailedFileWrite(path, tl::SystemErrorText(error));
}

}  // namespace setup
