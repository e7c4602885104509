#pragma once
// Interface strings by number in the current language. Until the payload's
// string table is loaded every string is empty.
#include <string>

namespace setup {

const std::string& LocalizedString(int number);

}  // namespace setup
