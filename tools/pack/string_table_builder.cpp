#include "string_table_builder.h"

#include <algorithm>
#include <set>

#include "builtin_strings.h"

namespace pack {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Join(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "%" : " %") + part;
  return text.empty() ? "none" : text;
}

}  // namespace

std::vector<std::string> FormatConversions(std::string_view text) {
  std::vector<std::string> conversions;
  size_t i = 0;
  while ((i = text.find('%', i)) != std::string_view::npos) {
    ++i;
    if (i < text.size() && text[i] == '%') {
      ++i;
      continue;
    }
    std::string token;
    while (i < text.size() && std::string_view("-+ #0'").find(text[i]) != std::string_view::npos) ++i;
    if (i < text.size() && text[i] == '*') {
      token += '*';
      ++i;
    }
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i < text.size() && text[i] == '.') {
      ++i;
      if (i < text.size() && text[i] == '*') {
        token += '*';
        ++i;
      }
      while (i < text.size() && IsDigit(text[i])) ++i;
    }
    for (std::string_view length : {"I64", "I32", "hh", "ll", "h", "l", "L", "q", "j", "z", "t", "I", "w"}) {
      if (text.substr(i, length.size()) == length) {
        token += length;
        i += length.size();
        break;
      }
    }
    if (i < text.size() && std::string_view("diouxXeEfFgGaAcCsSpn").find(text[i]) != std::string_view::npos) {
      token += text[i++];
    } else {
      token.assign(1, '?');
    }
    conversions.push_back(token);
  }
  return conversions;
}

setup::StringTableData BuildStringTable(const std::vector<LanguageStrings>& languages) {
  if (languages.empty()) Fail({}, "no language");
  if (languages.size() > static_cast<size_t>(setup::kMaxLanguages))
    Fail(languages[setup::kMaxLanguages].where,
         "more than " + std::to_string(setup::kMaxLanguages) + " languages");

  int count = BuiltinStringCount();
  std::set<std::string> names;
  for (const LanguageStrings& language : languages) {
    if (language.name.empty()) Fail(language.where, "a language needs a name");
    if (!names.insert(language.name).second) Fail(language.where, "language \"" + language.name + "\" is named twice");
    for (const StringOverride& entry : language.overrides) {
      if (entry.number < 0 || entry.number >= setup::kMaxStrings)
        Fail(entry.where, "string number " + std::to_string(entry.number) + " is outside 0 to " +
                              std::to_string(setup::kMaxStrings - 1));
      if (const BuiltinString* builtin = FindBuiltinString(entry.number)) {
        std::vector<std::string> expected = FormatConversions(builtin->text);
        std::vector<std::string> found = FormatConversions(entry.text);
        if (found != expected) {
          std::string what = expected.empty()
                                 ? "takes no values, so it must hold no % conversion (write %% for a percent sign)"
                                 : "must take the values " + Join(expected) + " in this order";
          Fail(entry.where, "string " + std::to_string(entry.number) + " " + what + "; the text has " + Join(found));
        }
      }
      count = std::max(count, entry.number + 1);
    }
  }

  setup::StringTableData table;
  const size_t languageCount = languages.size();
  table.texts.assign(count, std::vector<std::string>(languageCount));
  for (const BuiltinString& builtin : BuiltinStrings())
    std::fill(table.texts[builtin.number].begin(), table.texts[builtin.number].end(), std::string(builtin.text));
  for (size_t l = 0; l < languageCount; ++l) {
    table.languages.push_back(languages[l].name);
    for (const StringOverride& entry : languages[l].overrides) table.texts[entry.number][l] = entry.text;
  }
  return table;
}

}  // namespace pack
