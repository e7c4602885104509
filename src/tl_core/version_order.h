#pragma once
// The order of version texts such as "1.5b" or "2.0.0": runs of digits are
// numbers, other signs separate them, a letter is the text's suffix.
#include <string_view>

namespace tl {

// -1 when `newVersion` is older than `existing`, 0 equal, +1 newer. A
// longer number list is newer than its prefix ("1.0" is newer than "1");
// equal lists are decided by the suffix letters (none counts as 0).
int CompareVersionTexts(std::string_view newVersion, std::string_view existing);

}  // namespace tl
