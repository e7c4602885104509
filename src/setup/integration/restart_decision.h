#pragma once
// Whether an installation ends with a restart of the computer.
#include <cstdint>
#include <functional>

#include "setup/report/install_log_text.h"  // kFlagRestartAfterInstall, bit 14

namespace setup {

// No restart without bit 14. With it, an automatic run restarts without a
// question unless bit 41 asks for one; otherwise askUser() decides and is
// called only then.
bool DecideRestart(uint64_t productFlags, bool automaticMode, const std::function<bool()>& askUser);

}  // namespace setup
