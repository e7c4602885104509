#pragma once
// Filling the author's interface strings with values. Those strings come
// from the payload, so they are never used as printf formats: each
// conversion (%s, %d, %i, %u, %c, %x, with optional flags and width) takes
// the next value as text, %% is one percent sign, and a conversion without
// a value left, like any other text, stands as written.
#include <initializer_list>
#include <string>
#include <string_view>

namespace setup {

std::string FillStringArguments(std::string_view format, std::initializer_list<std::string_view> values);

// Localized string `number` filled with the values.
std::string LocalizedFormat(int number, std::initializer_list<std::string_view> values);

}  // namespace setup
