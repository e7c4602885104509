#pragma once
// Filling the installer author's texts with values. Those texts come from
// the payload, so they are never used as printf formats: FillDirectives
// copies the text, puts the next value in place of each directive it is
// told to take, makes "%%" one percent sign, and leaves every other "%"
// (an unknown directive, or one without a value left) standing as written.
#include <initializer_list>
#include <string>
#include <string_view>

namespace setup {

// The directives a filler takes: "%" followed by one of `letters`, with
// flags ("-+ #0") and a width between them when `flagsAndWidth`. Flags and
// width are consumed, never applied.
struct Directives {
  std::string_view letters;
  bool flagsAndWidth = false;
};

// The conversions of the interface strings: %s, %d, %i, %u, %c, %x, %X,
// with optional flags and width.
inline constexpr Directives kStringConversions{"sdiucxX", true};

std::string FillDirectives(std::string_view text, Directives directives,
                           std::initializer_list<std::string_view> values);

// An interface string filled with the values (kStringConversions).
std::string FillStringArguments(std::string_view format, std::initializer_list<std::string_view> values);

// Localized string `number` filled with the values.
std::string LocalizedFormat(int number, std::initializer_list<std::string_view> values);

}  // namespace setup
