#include "setup/strings/string_arguments.h"

#include <cstring>

#include "setup/strings/string_table.h"

namespace setup {
namespace {

// Length of a directive starting at text[at] == '%', or 0 when none.
size_t DirectiveLength(std::string_view text, size_t at, Directives directives) {
  size_t i = at + 1;
  if (directives.flagsAndWidth) {
    while (i < text.size() && std::strchr("-+ #0", text[i])) ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  if (i < text.size() && directives.letters.find(text[i]) != std::string_view::npos) return i + 1 - at;
  return 0;
}

}  // namespace

std::string FillDirectives(std::string_view text, Directives directives,
                           std::initializer_list<std::string_view> values) {
  std::string filled;
  const std::string_view* next = values.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
      filled += '%';
      ++i;
      continue;
    }
    if (text[i] == '%' && next != values.end()) {
      if (size_t length = DirectiveLength(text, i, directives)) {
        filled.append(*next++);
        i += length - 1;
        continue;
      }
    }
    filled += text[i];
  }
  return filled;
}

std::string FillStringArguments(std::string_view format, std::initializer_list<std::string_view> values) {
  return FillDirectives(format, kStringConversions, values);
}

std::string LocalizedFormat(int number, std::initializer_list<std::string_view> values) {
  return FillStringArguments(LocalizedString(number), values);
}

}  // namespace setup
