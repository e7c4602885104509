#pragma once
// "utrri.bat": removes the earlier installation with its own uninstaller,
// then starts this installation again.
#include <string>

#include "tl_core/result.h"

namespace setup {

// Writes the batch into a new folder of our own in the temporary folder and
// starts it hidden, in a console of its own, through the command
// interpreter; when that cannot start, through the shell's "open". Does not
// wait for it. The batch's path, or the system error.
tl::Result<std::string> StartMustUninstallBatch(const std::string& uninstallCommand);

}  // namespace setup
