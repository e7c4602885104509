#pragma once
// The uninstaller program in the uninstall data folder: the uninstaller
// image (the runtime without its payload) carrying the product's icon, or a
// plain copy of the running program. A locked uninstaller is replaced at the
// next system start. The file is not recorded in the uninstall data: the
// uninstaller's self-removal deletes it.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "setup/run/run_state.h"
#include "tl_core/scoped_handle_win.h"

namespace setup {

// The run's UninstallerPath: its UninstallDataFolder joined with the
// uninstaller's file name.
std::string RunUninstallerPath(const RunState& run);

// The install step, when the run keeps the uninstaller ProductFlags bit 2
// asks for. No result: what fails goes to the InstallLog or the run's
// FailureSummary.
void WriteUninstaller(RunState& run);

// A resource update of a program file (BeginUpdateResource); letting it go
// discards every change, CommitResourceUpdate writes them.
struct ResourceUpdateTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h);
};
using ScopedResourceUpdate = tl::ScopedGeneric<ResourceUpdateTraits>;

// Keeps the program's resources that are not replaced. Not valid on
// failure, with the system's last error (1154 when the system has no
// resource update functions).
ScopedResourceUpdate BeginResourceUpdate(const std::string& programPath);
// Writes the changes into the file; false with the system's last error. The
// update is closed either way.
[[nodiscard]] bool CommitResourceUpdate(ScopedResourceUpdate& update);

// Writes the icon file's images as RT_ICON 1, 2, ... and their group as
// RT_GROUP_ICON 1 (language 1033); icons numbered above them stay. False
// when the icon file is malformed (nothing written then) or a resource was
// not written; the caller discards the update.
[[nodiscard]] bool ReplaceIcon(HANDLE update, std::span<const uint8_t> icon);

}  // namespace setup
