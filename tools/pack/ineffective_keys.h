#pragma once
// The project keys that the runtime of this version does not read yet: the
// tool still stores them, but an author who gives one is warned that it
// changes nothing at installation. One table in ineffective_keys.cpp; a key
// leaves it when the runtime starts to use it.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pack {

struct IneffectiveKey {
  // As errors name it: "background.title", "[[files]].desktop-shortcut",
  // "options.add-to-path".
  std::string_view key;
  // Which values warn: empty any value, another word only that value. A
  // flag turned off never warns: off is what the runtime does without it.
  std::string_view value;
  // Empty: the key changes nothing. Else the value has some of its effect,
  // and this says what the runtime does not do with it yet.
  std::string_view missing;
};

// Every entry of the table.
std::span<const IneffectiveKey> IneffectiveKeys();

// The entry for `key` given as `value` (the text of a word, empty for other
// values), or null when the key has its effect.
const IneffectiveKey* FindIneffectiveKey(std::string_view key, std::string_view value);

// The warning's text: "<key> has no effect in this runtime version yet" or,
// for a value with some of its effect, "<key> \"<value>\": <missing>".
std::string IneffectiveKeyMessage(const IneffectiveKey& entry);

// A bit that options.raw-flags (word 1) or options.raw-flags2 (word 2) sets:
// the warning when it does nothing, either a named option of the table or a
// bit without a name, which the runtime never reads.
std::optional<std::string> RawBitWarning(int word, int bit);

}  // namespace pack
