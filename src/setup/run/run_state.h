#pragma once
// The state of one run: what the command line asked, facts of the process,
// and what the run decided and produced. The product's settings stand
// beside it, read-only; each step takes the run state it works on.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <span>

#include "setup/payload/payload_header.h"
#include "setup/payload/section_locator.h"
#include "setup/record/uninstall_data.h"
#include "setup/run/command_line_options.h"
#include "setup/run/earlier_installation.h"
#include "setup/run/failure_summary.h"
#include "setup/run/product_settings.h"

namespace setup {

// The running program.
struct ProcessFacts {
  void* instance = nullptr;  // module instance handle, for dialogs and windows
  void* smallIcon = nullptr;
  void* largeIcon = nullptr;
  std::string installSource;  // full path of the running program
  int64_t ownFileLength = 0;
};

// File-system redirection of a 32-bit process, switched off for a 64-bit product.
struct FileRedirection {
  void* state = nullptr;
  bool off = false;
  bool failed = false;
};

// The payload the installation reads; empty in the uninstall run.
struct RunPayload {
  SetupSection section;
  PayloadHeader header;
  std::span<const uint8_t> mapped;  // the section as the loader mapped it
};

// The uninstaller built from the program's own file.
struct UninstallerBuild {
  std::vector<uint8_t> image;  // empty when the image is not built
  int64_t size = 0;            // the image's length, or the file's when not built
};

struct RunFolders {
  // From InstallDirTemplate: a folder, a registry value or "<master>".
  std::string proposedInstallFolder;
  std::string installLocation;
  // SharedPath placed under its base folder.
  std::string sharedFolder;
  // The Start Menu folder: ProductStartMenu, or the earlier installation's.
  std::string startMenuFolder;
  // installLocation joined with UninstallSubdir: "Install.LOG", "Uninstall.DAT".
  std::string uninstallDataFolder;
  // The folders the run created for installLocation, outermost first.
  std::vector<std::string> createdFolders;
};

struct RunState {
  RunState(const ProductSettings& productSettings, CommandLineOptions commandLine)
      : product(productSettings), options(std::move(commandLine)) {}

  const ProductSettings& product;
  const CommandLineOptions options;
  ProcessFacts process;
  FileRedirection redirection;
  RunPayload payload;
  UninstallerBuild uninstaller;

  // /a or the settings; the uninstall registration may ask for it too.
  bool automaticMode = false;
  // The background window and the progress dialog appear (not with /a alone).
  bool showsWindows = true;
  RunFolders folders;
  EarlierInstallation earlier;

  // Decided while the run works; folded into ProductFlags only where the
  // registration stores them.
  bool uninstallerRefused = false;              // asked for, but not put on a removable drive
  bool restartRequired = false;                 // a file waits for the next system start
  bool restorePointFailed = false;              // opening it failed: no commit is tried
  std::optional<int64_t> restorePointSequence;  // the point opened, until committed

  // ProductFlags bit 2, unless the run refused the uninstaller.
  bool WantsUninstaller() const { return product.Flag(kFlagHasUninstaller) && !uninstallerRefused; }
  // ProductFlags2 bit 1, unless opening the restore point failed.
  bool WantsRestorePoint() const { return product.Flag2(kFlag2RestorePoint) && !restorePointFailed; }

  // Disk requirement in bytes: the uninstaller image, every file rounded up
  // to the drive's clusters, and the extra space; -1 until computed.
  int64_t requiredSpace = -1;
  FailureSummary failures;
  UninstallData uninstallData;
};

// ProductFlags as the run leaves them, for the decisions that test them and
// the registration that stores them: the author's bits with the restart a
// parked file needs (bit 14) and without the uninstaller the run refused
// (bit 2).
uint64_t RunProductFlags(const RunState& run);
// ProductFlags2 without the restore point that could not be opened (bit 1).
uint32_t RunProductFlags2(const RunState& run);

}  // namespace setup
