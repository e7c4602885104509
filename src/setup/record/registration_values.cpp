#include "setup/record/registration_values.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "tl_core/text.h"

namespace setup {
namespace {

template <class T>
bool ParseWhole(std::string_view text, T& value) {
  text = tl::TrimBlanks(text);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && next == end;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint64_t ParseProductFlags(std::string_view text) {
  int64_t value = 0;
  return ParseWhole(text, value) ? static_cast<uint64_t>(value) : 0;
}

uint32_t ParseProductFlags2(std::string_view text) {
  uint32_t value = 0;
  return ParseWhole(text, value) ? value : 0;
}

double ParseDecimalText(std::string_view text, double fallback) {
  // from_chars for double is not in every standard library the runtime is
  // built with; strtod under the "C" locale reads the same texts.
  const std::string copy(tl::TrimBlanks(text));
  if (copy.empty()) return fallback;
  char* end = nullptr;
  double value = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size() ? value : fallback;
}

uint32_t ParseColorText(std::string_view text) {
  if (text.size() != 6) return 0;
  uint32_t color = 0;
  for (int byte = 0; byte < 3; ++byte) {
    int high = HexDigit(text[2 * byte]), low = HexDigit(text[2 * byte + 1]);
    if (high < 0 || low < 0) return 0;
    color |= static_cast<uint32_t>(high * 16 + low) << (8 * byte);
  }
  return color;
}

}  // namespace setup
