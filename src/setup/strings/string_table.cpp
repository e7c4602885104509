#include "setup/strings/string_table.h"

#include "setup/payload/settings_stream.h"
#include "tl_core/text.h"

namespace setup {
namespace {

template <class Char>
bool MatchesAt(std::basic_string_view<Char> text, size_t at, std::string_view name) {
  if (text.size() - at < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    Char c = text[at + i];
    if (c > 0x7F || tl::ToLowerAscii(static_cast<char>(c)) != tl::ToLowerAscii(name[i])) return false;
  }
  return true;
}

template <class Char>
std::basic_string<Char> ReplaceOne(std::basic_string_view<Char> text, std::string_view name,
                                   std::basic_string_view<Char> value) {
  std::basic_string<Char> out;
  for (size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, name)) {
      out += value;
      i += name.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

PlaceholderValues& RunPlaceholderValues() {
  static PlaceholderValues values;
  return values;
}

}  // namespace

std::string ReplacePlaceholders(std::string_view text, const PlaceholderValues& values) {
  std::string step = ReplaceOne<char>(text, "<product>", values.product);
  step = ReplaceOne<char>(step, "<description>", values.description);
  return ReplaceOsPlaceholder(step, values.os);
}

std::u16string ReplacePlaceholders(std::u16string_view text, const WidePlaceholderValues& values) {
  std::u16string step = ReplaceOne<char16_t>(text, "<product>", values.product);
  step = ReplaceOne<char16_t>(step, "<description>", values.description);
  return ReplaceOsPlaceholder(step, values.os);
}

std::string ReplaceOsPlaceholder(std::string_view text, std::string_view windowsFolder) {
  return ReplaceOne<char>(text, "<os>", windowsFolder);
}

std::u16string ReplaceOsPlaceholder(std::u16string_view text, std::u16string_view windowsFolder) {
  return ReplaceOne<char16_t>(text, "<os>", windowsFolder);
}

int DefaultLanguageIndex(const std::vector<std::string>& languages) {
  int index = 0;
  for (size_t i = 0; i < languages.size(); ++i)
    if (languages[i] == "English") index = static_cast<int>(i);
  return index;
}

void StringTable::Load(const StringTableData& data) {
  languages_ = data.languages;
  texts_ = data.texts;
  currentLanguage_ = DefaultLanguageIndex(languages_);
}

const std::string& StringTable::Lookup(int number, const PlaceholderValues& values) {
  static const std::string empty;
  if (number < 0 || number >= stringCount() || currentLanguage_ < 0 || currentLanguage_ >= languageCount())
    return empty;
  std::vector<std::string>& perLanguage = texts_[number];
  if (static_cast<size_t>(currentLanguage_) >= perLanguage.size()) return empty;
  std::string& text = perLanguage[currentLanguage_];
  text = ReplacePlaceholders(text, values);
  return text;
}

StringTable& RunStrings() {
  static StringTable table;
  return table;
}

void SetPlaceholderValues(PlaceholderValues values) { RunPlaceholderValues() = std::move(values); }

const std::string& LocalizedString(int number) { return RunStrings().Lookup(number, RunPlaceholderValues()); }

std::string WithRunPlaceholders(std::string_view text) { return ReplacePlaceholders(text, RunPlaceholderValues()); }

const PlaceholderValues& RunPlaceholders() { return RunPlaceholderValues(); }

}  // namespace setup
