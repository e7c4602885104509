#pragma once
// Whether an installation ends with a restart of the computer.
#include <cstdint>
#include <functional>

#include "setup/payload/product_flags.h"

namespace setup {

// No restart without kFlagRestartRequired. With it, an automatic run
// restarts without a question unless kFlagAskBeforeAutomaticRestart asks
// for one; otherwise askUser() decides and is called only then.
bool DecideRestart(uint64_t productFlags, bool automaticMode, const std::function<bool()>& askUser);

}  // namespace setup
