#include "tl_core/version_order.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tl_core/text.h"

namespace tl {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct ParsedVersion {
  std::vector<std::string> numbers;  // decimal digits without leading zeros ("" is 0)
  char suffix = 0;
};

std::string WithoutLeadingZeros(std::string_view digits) {
  size_t first = digits.find_first_not_of('0');
  return first == std::string_view::npos ? std::string() : std::string(digits.substr(first));
}

ParsedVersion ParseVersion(std::string_view text) {
  ParsedVersion parsed;
  bool dotBeforeFirstNumber = false;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (IsDigit(c)) {
      size_t end = i;
      while (end < text.size() && IsDigit(text[end])) ++end;
      if (parsed.numbers.empty() && dotBeforeFirstNumber) parsed.numbers.emplace_back();
      parsed.numbers.push_back(WithoutLeadingZeros(text.substr(i, end - i)));
      i = end;
      continue;
    }
    if (IsAsciiLetter(c)) parsed.suffix = c;
    if (c == '.' && parsed.numbers.empty()) dotBeforeFirstNumber = true;
    ++i;
  }
  return parsed;
}

// Numbers of any length, compared without converting them.
int CompareNumbers(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  int order = a.compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

int CompareVersionTexts(std::string_view newVersion, std::string_view existing) {
  ParsedVersion a = ParseVersion(newVersion), b = ParseVersion(existing);
  size_t common = std::min(a.numbers.size(), b.numbers.size());
  for (size_t i = 0; i < common; ++i)
    if (int order = CompareNumbers(a.numbers[i], b.numbers[i])) return order;
  if (a.numbers.size() != b.numbers.size()) return a.numbers.size() > b.numbers.size() ? 1 : -1;
  auto code = [](char c) { return static_cast<unsigned char>(c); };
  if (a.suffix != b.suffix) return code(a.suffix) < code(b.suffix) ? -1 : 1;
  return 0;
}

}  // namespace tl
