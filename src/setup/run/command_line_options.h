#pragma once
// What the command line asks of a run: /a, /d:"dir", /n:"name", /u:"name",
// /r:"program", /b1: to /b3: and MIN.
#include <string>

namespace setup {

struct CommandLineOptions {
  bool automaticMode = false;
  bool uninstallMode = false;
  bool startMinimized = false;
  std::string installLocation;
  std::string displayName;
  std::string uninstallKeyName;
  std::string runAfterInstall;
  std::string batchAppend[3];  // Pre-Installation, Post-Installation, Installation-Exit
};

}  // namespace setup
