#include "setup/strings/string_arguments.h"

#include <cstring>

#include "setup/strings/string_table.h"

namespace setup {
namespace {

// Length of a conversion starting at format[at] == '%', or 0 when none.
size_t ConversionLength(std::string_view format, size_t at) {
  size_t i = at + 1;
  while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
  if (i < format.size() && std::strchr("sdiucxX", format[i])) return i + 1 - at;
  return 0;
}

}  // namespace

std::string FillStringArguments(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string text;
  const std::string_view* next = values.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
      text += '%';
      ++i;
      continue;
    }
    if (format[i] == '%' && next != values.end()) {
      if (size_t length = ConversionLength(format, i)) {
        text.append(*next++);
        i += length - 1;
        continue;
      }
    }
    text += format[i];
  }
  return text;
}

std::string LocalizedFormat(int number, std::initializer_list<std::string_view> values) {
  return FillStringArguments(LocalizedString(number), values);
}

}  // namespace setup
