#pragma once
// English wording of whole numbers, in title case with hyphenated tens:
// 2026 -> "Two Thousand Twenty-Six", 12 as an ordinal -> "Twelfth".
#include <cstdint>
#include <string>

namespace tl {

std::string NumberInWords(int64_t number);
std::string OrdinalInWords(int64_t number);

}  // namespace tl
