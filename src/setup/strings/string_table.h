#pragma once
// Interface strings by number in the current language, with the
// placeholders "<product>", "<description>" and "<os>" replaced. Until the
// payload's table is loaded every string is empty, and callers use their own
// built-in English texts.
#include <string>
#include <string_view>
#include <vector>

namespace setup {

struct StringTableData;

// The values the placeholders stand for, read at each lookup.
struct PlaceholderValues {
  std::string product;      // DisplayName
  std::string description;  // Description
  std::string os;           // the Windows folder
};

// The same values as wide texts (converted from the ANSI code page by the caller).
struct WidePlaceholderValues {
  std::u16string product;
  std::u16string description;
  std::u16string os;
};

// Replaces, in this order and without regard to letter case, every
// "<product>", "<description>" and "<os>".
std::string ReplacePlaceholders(std::string_view text, const PlaceholderValues& values);
std::u16string ReplacePlaceholders(std::u16string_view text, const WidePlaceholderValues& values);

// Replaces every "<os>" (letter case ignored) by the Windows folder: the
// last step of ReplacePlaceholders, and the installation folder's template.
std::string ReplaceOsPlaceholder(std::string_view text, std::string_view windowsFolder);
std::u16string ReplaceOsPlaceholder(std::u16string_view text, std::u16string_view windowsFolder);

class StringTable {
 public:
  // Takes the languages and texts; the current language becomes the last
  // language named exactly "English", or 0.
  void Load(const StringTableData& data);
  bool loaded() const { return !languages_.empty(); }

  int languageCount() const { return static_cast<int>(languages_.size()); }
  int stringCount() const { return static_cast<int>(texts_.size()); }
  const std::vector<std::string>& languages() const { return languages_; }
  int currentLanguage() const { return currentLanguage_; }
  void SetCurrentLanguage(int index) { currentLanguage_ = index; }

  // The text of string n in the current language after placeholder
  // replacement (the stored text keeps the replaced values); empty when n or
  // the current language is out of range.
  const std::string& Lookup(int number, const PlaceholderValues& values);

 private:
  std::vector<std::string> languages_;
  std::vector<std::vector<std::string>> texts_;
  int currentLanguage_ = 0;
};

// The run's table, and lookups with the run's placeholder values.
StringTable& RunStrings();
// The values are the product's and are set once its settings are read.
void SetPlaceholderValues(PlaceholderValues values);
const std::string& LocalizedString(int number);
// A text of the author's (a caption, a document) with the run's values.
std::string WithRunPlaceholders(std::string_view text);
const PlaceholderValues& RunPlaceholders();

// The index of the last language named exactly "English", or 0.
int DefaultLanguageIndex(const std::vector<std::string>& languages);

}  // namespace setup
