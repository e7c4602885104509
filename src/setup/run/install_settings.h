#pragma once
// InstallSettings: the one record of a run. The command line fills the
// run-mode fields; the payload's settings stream fills the rest.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/payload/payload_header.h"
#include "setup/payload/settings_stream.h"
#include "setup/record/uninstall_data.h"

namespace setup {

struct InstallSettings {
  std::string runtimeName = kProductName;
  void* instance = nullptr;  // module instance handle, for dialogs and windows
  void* smallIcon = nullptr;
  void* largeIcon = nullptr;

  bool automaticMode = false;
  bool uninstallMode = false;
  bool startMinimized = false;
  std::string installLocation;
  std::string displayName;
  std::string uninstallKeyName;
  std::string runAfterInstall;
  std::string batchAppend[3];

  std::string installSource;  // full path of the running program
  int64_t ownFileLength = 0;

  // The payload's settings, with the defaults the reader fills in applied.
  SettingsStream stream;
  bool monoColor = false;  // TopColor equals BottomColor
  int64_t uninstallerSize = 0;
  std::vector<uint8_t> uninstallerImage;  // empty when the image is not built

  // File-system redirection of a 32-bit process, switched off for a 64-bit product.
  void* wow64RedirectionState = nullptr;
  bool wow64RedirectionOff = false;
  bool wow64RedirectionFailed = false;

  // Settled by the checks before the installation.
  std::string proposedInstallFolder;    // from InstallDirTemplate: a folder, a registry value or "<master>"
  std::string previousInstallLocation;  // folder of an earlier installation, when one was found
  bool installedBefore = false;         // that folder exists
  std::string oldVersion;               // its version, also %OldVersion%
  bool upgrade = false;                 // the installed version is older
  bool reinstall = false;               // it equals the new one
  bool downgrade = false;               // it is newer

  // InstallLocation joined with UninstallSubdir: "Install.LOG", "Uninstall.DAT".
  std::string uninstallDataFolder;
  // What went wrong that the user must know about; empty means success.
  std::string failureSummary;
  UninstallData uninstallData;

  // Disk requirement in bytes: the uninstaller image, every file rounded up
  // to the drive's clusters, and the extra space; -1 until computed.
  int64_t requiredSpace = -1;
  // The sequence number of the restore point opened at the start of the
  // file phase, until it is committed.
  std::optional<int64_t> restorePointSequence;
};

InstallSettings& Settings();

}  // namespace setup
