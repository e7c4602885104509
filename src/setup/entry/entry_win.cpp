#include "setup/entry/entry_win.h"

#include <ole2.h>

#include "setup/entry/command_line.h"
#include "setup/entry/runs_win.h"
#include "setup/run/fatal_messages.h"
#include "setup/run/own_file_win.h"
#include "setup/run/settings_defaults.h"
#include "setup/run/setup_payload_win.h"
#include "setup/ui/background_window_win.h"
#include "setup/run/run_control_win.h"
#include "setup/payload/section_locator.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/payload_header.h"
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
  tl::SetApplicationName(kProductName);
  tl::UseLibraryFatalBox();
}

void InitializeRunServices() {
  ::OleInitialize(nullptr);
  tl::EnableProcessPrivilege("SeTakeOwnershipPrivilege");  // failure is fine
  InstallRunFatalCallback();
}

ProcessFacts ProgramFacts(HINSTANCE instance) {
  ProcessFacts process;
  process.instance = instance;
  process.smallIcon = ::LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                   ::GetSystemMetrics(SM_CYSMICON), 0);
  process.largeIcon = ::LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                   ::GetSystemMetrics(SM_CYICON), 0);
  return process;
}

std::string ProgramFileName() { return std::string(tl::FileNamePart(ModuleFileName())); }

CommandLineOptions ReadCommandLine(const char* commandTail) {
  CommandLineParse parse = ParseCommandLine(commandTail ? commandTail : "");
  if (!parse.ok) UsageFatal(parse.usageReason, ProgramFileName());
  return parse.options;
}

SetupSection LocatePayload() {
  tl::File& file = OwnFile();
  LocateResult located = LocateSetupSection(ReadOwnFile());
  if (located.outcome == LocateOutcome::kNoSection) NoInstallationDataFatal();
  if (located.outcome == LocateOutcome::kCorrupt) CorruptInstallerFatal(located.corruptCode);
  if (!file.Seek(located.section.pointerToRawData)) CorruptInstallerFatal(check::kCannotPosition);
  return located.section;
}

}  // namespace

int RunEntry(HINSTANCE instance, const char* commandTail) {
  PrepareProcess();
  InitializeRunServices();
  ProcessFacts process = ProgramFacts(instance);
  const CommandLineOptions options = ReadCommandLine(commandTail);
  if (options.uninstallMode) {
    if (options.uninstallKeyName.empty()) UsageFatal("Product name required", ProgramFileName());
    RunUninstallation(process, options);
  }
  process.installSource = OwnProgramPath(::GetCommandLineA(), ModuleFileName());
  process.ownFileLength = OpenOwnFile(process.installSource);
  auto openBackgroundWindow = [&](const SettingsStream& stream) {
    const bool automatic = AutomaticModeOf(options.automaticMode, stream.AutomaticModeSetting);
    if (!RunShowsWindows(automatic, stream.AutomaticModeSetting == kAutomaticModeAlways)) return;
    CreateBackgroundWindow(instance, static_cast<HICON>(process.smallIcon), static_cast<HICON>(process.largeIcon),
                           EarlyBackgroundLook(stream), options.startMinimized);
  };
  RunInstallation(ReadSetupPayload(LocatePayload(), options.displayName, process.ownFileLength, openBackgroundWindow),
                  process, options);
}

}  // namespace setup
