#pragma once
// The built-in English interface texts: one for every string number the
// runtime looks up, so that a project that names no strings still builds a
// complete installer. "<product>", "<description>" and "<os>" are replaced by
// the runtime at each lookup.
#include <span>
#include <string_view>

namespace pack {

struct BuiltinString {
  int number;
  std::string_view text;
  // The values the runtime fills into the text, as its printf conversions in
  // order ("d", "s", "c", "scs"); empty when the text takes none.
  std::string_view conversions;
};

// Ordered by number; numbers the runtime does not use are absent.
std::span<const BuiltinString> BuiltinStrings();

// The size of the table a build writes: one past the highest number used.
int BuiltinStringCount();

// The entry of `number`, or null for a number the runtime does not use.
const BuiltinString* FindBuiltinString(int number);

}  // namespace pack
