#pragma once
// The Windows and system folders, as the system names them; empty when it
// names none.
#include <string>

namespace tl {

std::string WindowsFolder();
std::string SystemFolder();

}  // namespace tl
