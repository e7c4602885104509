#pragma once
// The background bitmap the uninstaller draws: "Installer Background.BMP"
// in the uninstall data folder, removed again by the uninstallation.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/run/run_state.h"

namespace setup {

inline constexpr char kBackgroundBitmapFileName[] = "Installer Background.BMP";

// With ProductFlags bit 15, a bitmap and an uninstaller: writes the file
// whole under a new name, then puts it in place, and records it for the
// uninstallation. A failure goes into the log; the uninstaller then draws
// no bitmap.
void WriteBackgroundBitmap(RunState& run);

// The file the uninstall run reads back; empty when it is missing or
// larger than any background bitmap the authoring tool writes.
std::vector<uint8_t> ReadBackgroundBitmap(const std::string& uninstallDataFolder);

}  // namespace setup
