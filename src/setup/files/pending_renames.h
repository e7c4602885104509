#pragma once
// The system's list of work for the next start: the pairs of
// PendingFileRenameOperations (source, destination; an empty destination
// deletes the source) and the "[rename]" section of "wininit.ini".
#include <string>
#include <string_view>
#include <vector>

#include "setup/files/installed_file_set.h"

namespace setup {

// The strings of a REG_MULTI_SZ value. Empty strings inside the list are
// entries (the empty destination of a deletion); only the one empty string
// that ends the list is dropped. A last string without its terminator counts.
template <class Char>
std::vector<std::basic_string<Char>> SplitMultiString(std::basic_string_view<Char> data) {
  std::vector<std::basic_string<Char>> strings;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find(Char(0), start);
    if (end == std::basic_string_view<Char>::npos) end = data.size();
    strings.emplace_back(data.substr(start, end - start));
    start = end + 1;
  }
  // An empty last string that has its own terminator ends the list.
  bool endsList = !data.empty() && data.back() == Char(0) && (data.size() == 1 || data[data.size() - 2] == Char(0));
  if (endsList) strings.pop_back();
  return strings;
}

// Each string with its terminator, then the terminator of the list.
template <class Char>
std::basic_string<Char> JoinMultiString(const std::vector<std::basic_string<Char>>& strings) {
  std::basic_string<Char> data;
  for (const auto& s : strings) {
    data += s;
    data += Char(0);
  }
  data += Char(0);
  return data;
}

// The path without the system's leading "\", "?" and "!" characters. The "|"
// that marks a UTF-8 path stays in front.
std::string StripRenamePrefix(std::string_view entry);

struct PendingRenamesPruning {
  // Positions of the strings that stay, pair by pair; a position past the
  // end of the list is the empty destination added to a list of odd length.
  std::vector<size_t> keptEntries;
  std::string logText;               // one line per removed pair
  std::vector<std::string> recycle;  // stripped sources of removed moves
  bool removedAny = false;
};

// Removes every pair whose destination (or, for a deletion, whose source) is
// a file this run wrote; a deletion with an empty source goes too. A list of
// odd length gets an empty destination at its end first.
PendingRenamesPruning PrunePendingRenames(const std::vector<std::string>& entries, const InstalledFileSet& written);

// The strings at the kept positions, taken from the list as it was read (so
// entries go back to the system exactly as they came).
template <class String>
std::vector<String> SelectKeptEntries(const std::vector<String>& entries, const std::vector<size_t>& kept) {
  std::vector<String> selected;
  selected.reserve(kept.size());
  for (size_t i : kept) selected.push_back(i < entries.size() ? entries[i] : String());
  return selected;
}

// "wininit.ini" with the line destination=source added to its "[rename]"
// section: directly after the section name, so the newest line comes first;
// a text without the section gets it at its end.
std::string InsertWininitRename(std::string_view text, std::string_view destination, std::string_view source);

}  // namespace setup
