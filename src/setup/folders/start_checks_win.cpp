#include "setup/folders/start_checks_win.h"

#include <windows.h>

#include "setup/run/run_control_win.h"
#include "setup/folders/start_checks.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_arguments.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/fatal.h"
#include "tl_core/os_facts_win.h"
#include "tl_core/registry_key_win.h"

namespace setup {
namespace {

constexpr char kSingleInstanceMutex[] = "Orvanta Quarn";

[[noreturn]] void StopWith(const std::string& message) {
  ShowStopMessage(message);
  ExitInstaller(1);
}

void CheckBitness(const RunState& run) {
  const uint8_t bitness = run.product.stream.Bitness;
  if (int bits = BitnessStopNumber(bitness, tl::IsRunningOn64BitWindows())) {
    if (run.automaticMode) ExitInstaller(1);
    StopWith(LocalizedFormat(kStringWrongBitness, {std::to_string(bits)}));
  }
  if (bitness == kBitness64 && run.redirection.failed) tl::FatalMessage("Wow64DisableWow64FsRedirection() failed");
}

void CheckExcludedSystems(const RunState& run) {
  if (IsSystemExcluded(run.product.stream.ExcludedSystems, tl::RunningSystemFacts()))
    StopWith(LocalizedFormat(kStringUnsupportedSystem, {tl::OperatingSystemName(0)}));
}

bool HasAdministratorRights() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &administrators))
    return false;
  BOOL member = FALSE;
  if (!::CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  ::FreeSid(administrators);
  return member != FALSE;
}

void CheckAdministratorRights(const RunState& run) {
  AdminRequirement requirement = AdminRequirementOf(run.product.stream.AdminMode);
  if (requirement == AdminRequirement::kNone || HasAdministratorRights()) return;
  if (requirement == AdminRequirement::kRequired) StopWith(LocalizedString(kStringAdminRequired));
  if (!run.automaticMode &&
      !AskOkCancel(LocalizedString(kStringAdminRecommended), LocalizedString(kStringQuestionCaption)))
    ExitInstaller(1);
}

void CheckSingleInstance(const RunState& run) {
  if (!run.product.Flag(kFlagSingleInstance)) return;
  // Held until the process ends: that is what keeps a second installer out.
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
  DWORD waited = mutex ? ::WaitForSingleObject(mutex, 0) : WAIT_FAILED;
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) StopWith(LocalizedString(kStringAnotherInstallationRunning));
}

}  // namespace

std::string RequiredProductFolder(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  const std::string& name = settings.MasterKeyName.empty() ? run.product.displayName : settings.MasterKeyName;
  tl::RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, UninstallEntryKey(name), tl::kRegOpenExistingOnly, KEY_READ) ==
      tl::RegOpenResult::kFailed)
    StopWith(LocalizedFormat(kStringRequiredProductMissing, {settings.MasterDisplayName}));
  return key.ReadText("InstallLocation");
}

void RunStartChecks(const RunState& run) {
  CheckBitness(run);
  CheckExcludedSystems(run);
  CheckAdministratorRights(run);
  if (run.product.Flag(kFlagMasterProduct)) RequiredProductFolder(run);
  CheckSingleInstance(run);
}

}  // namespace setup
