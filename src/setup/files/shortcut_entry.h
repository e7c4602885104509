#pragma once
// One shortcut the installation creates: from the settings, from a file
// record, or for the uninstaller.
#include <cstdint>
#include <string>

namespace setup {

struct ShortcutEntry {
  bool desktop = false;
  bool startMenu = false;
  bool startup = false;
  bool permanent = false;     // not recorded for removal
  bool expandTarget = false;  // path variables in the target (settings entries)
  uint8_t showMode = 0;       // 1 minimized, 2 maximized, other normal
  std::string target;
  std::string caption;  // file name without extension; may hold sub-folders
  std::string icon;
  std::string arguments;
  std::string workingFolder;
  std::string customFolder;
};

}  // namespace setup
