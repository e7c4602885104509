#pragma once
// The interface strings of a build: the built-in English texts in every
// language, with the project's overrides per language.
#include <string>
#include <string_view>
#include <vector>

#include "pack_error.h"
#include "setup/payload/settings_stream.h"

namespace pack {

struct StringOverride {
  int number = 0;
  std::string text;  // 8-bit text as stored
  Location where;
};

struct LanguageStrings {
  std::string name;  // 8-bit text as stored
  Location where;
  std::vector<StringOverride> overrides;
};

// The printf conversions of `text` in order, each as its "*" width or
// precision markers, length modifier and conversion character ("s", "d",
// "*s", "ls"); "%%" is no conversion. A "%" that does not start a complete
// conversion gives "?".
std::vector<std::string> FormatConversions(std::string_view text);

// Every language gets every built-in text, then its overrides. An override
// of a string the runtime fills with values must take the same values in the
// same order; one of a string that takes none must hold no conversion. The
// table covers every built-in number and every overridden one. Throws
// PackFailure naming the override or language at fault.
setup::StringTableData BuildStringTable(const std::vector<LanguageStrings>& languages);

}  // namespace pack
