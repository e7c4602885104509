#include "setup/entry/entry_win.h"

#include <ole2.h>

#include "setup/entry/command_line.h"
#include "setup/run/fatal_messages.h"
#include "setup/entry/install_run_win.h"
#include "setup/run/install_settings.h"
#include "setup/run/own_file_win.h"
#include "setup/run/run_control_win.h"
#include "setup/integration/notification_request_win.h"
#include "setup/payload/section_locator.h"
#include "setup/run/setup_payload_win.h"
#include "setup/uninstall/self_removal_win.h"
#include "setup/uninstall/uninstall_run_win.h"
#include "tl_core/fatal.h"
#include "tl_core/fatal_box_win.h"
#include "tl_core/privilege_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/text.h"

namespace setup {
namespace {

void PrepareProcess() {
  // Before anything can load a DLL: never from the program's own folder.
  tl::RestrictDllSearchToSystemFolder();
  Settings().runtimeName = kProductName;
  tl::SetApplicationName(kProductName);
  tl::UseLibraryFatalBox();
}

void InitializeRunServices() {
  ::OleInitialize(nullptr);
  tl::EnableProcessPrivilege("SeTakeOwnershipPrivilege");  // failure is fine
  InstallRunFatalCallback();
}

void LoadProgramIcons(HINSTANCE instance) {
  InstallSettings& settings = Settings();
  settings.instance = instance;
  settings.smallIcon = ::LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                    ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0);
  settings.largeIcon = ::LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                    ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0);
}

std::string ProgramFileName() { return std::string(tl::FileNamePart(ModuleFileName())); }

void ApplyCommandLine(const char* commandTail) {
  CommandLineParse parse = ParseCommandLine(commandTail ? commandTail : "");
  if (!parse.ok) UsageFatal(parse.usageReason, ProgramFileName());
  const CommandLineOptions& o = parse.options;
  InstallSettings& s = Settings();
  s.automaticMode = o.automaticMode;
  s.uninstallMode = o.uninstallMode;
  s.startMinimized = o.startMinimized;
  s.installLocation = o.installLocation;
  s.displayName = o.displayName;
  s.uninstallKeyName = o.uninstallKeyName;
  s.runAfterInstall = o.runAfterInstall;
  for (int i = 0; i < 3; ++i) s.batchAppend[i] = o.batchAppend[i];
}

// After a complete removal the product's address is told, and the
// uninstaller has its own file deleted once the process has ended.
[[noreturn]] void DispatchUninstall() {
  const InstallSettings& run = Settings();
  if (run.uninstallKeyName.empty()) UsageFatal("Product name required", ProgramFileName());
  if (UninstallProduct(run.uninstallKeyName)) {
    if (!run.stream.NotifyURL.empty()) RequestNotificationAddress(run.stream.NotifyURL, run.stream.DisplayVersion);
    StartSelfRemoval(ModuleFileName());
  }
  ExitInstaller(0);
}

SetupSection LocatePayload() {
  tl::File& file = OwnFile();
  LocateResult located = LocateSetupSection(ReadOwnFile());
  if (located.outcome == LocateOutcome::kNoSection) NoInstallationDataFatal();
  if (located.outcome == LocateOutcome::kCorrupt) CorruptInstallerFatal(located.corruptCode);
  if (!file.Seek(located.section.pointerToRawData)) CorruptInstallerFatal(10);
  return located.section;
}

}  // namespace

int RunEntry(HINSTANCE instance, const char* commandTail) {
  PrepareProcess();
  InitializeRunServices();
  LoadProgramIcons(instance);
  ApplyCommandLine(commandTail);
  if (Settings().uninstallMode) DispatchUninstall();
  OpenOwnFile(OwnProgramPath(::GetCommandLineA(), ModuleFileName()));
  ReadSetupPayload(LocatePayload());
  RunInstallation();
}

}  // namespace setup
