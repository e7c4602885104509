#include "setup/files/pending_renames.h"

#include "tl_core/text.h"

namespace setup {
namespace {

constexpr std::string_view kRenameSection = "[rename]";

bool IsRenamePrefixChar(char c) { return c == '\\' || c == '?' || c == '!'; }

}  // namespace

std::string StripRenamePrefix(std::string_view entry) {
  std::string stripped;
  if (!entry.empty() && entry.front() == '|') {
    stripped = "|";
    entry.remove_prefix(1);
  }
  while (!entry.empty() && IsRenamePrefixChar(entry.front())) entry.remove_prefix(1);
  stripped += entry;
  return stripped;
}

PendingRenamesPruning PrunePendingRenames(const std::vector<std::string>& entries, const InstalledFileSet& written) {
  PendingRenamesPruning result;
  for (size_t i = 0; i < entries.size(); i += 2) {
    std::string_view source = entries[i];
    std::string_view destination = i + 1 < entries.size() ? std::string_view(entries[i + 1]) : std::string_view();
    if (!destination.empty()) {
      std::string target = StripRenamePrefix(destination);
      if (written.Contains(target)) {
        result.logText += tl::Format("File \"%s\" was removed from the list of pending moves.\r\n", target.c_str());
        result.recycle.push_back(StripRenamePrefix(source));
        result.removedAny = true;
        continue;
      }
    } else {
      std::string doomed = StripRenamePrefix(source);
      if (doomed.empty() || written.Contains(doomed)) {
        result.logText +=
            tl::Format("File \"%s\" was removed from the list of pending deletions.\r\n", doomed.c_str());
        result.removedAny = true;
        continue;
      }
    }
    result.keptEntries.push_back(i);
    result.keptEntries.push_back(i + 1);
  }
  return result;
}

std::string InsertWininitRename(std::string_view text, std::string_view destination, std::string_view source) {
  std::string line;
  line.append(destination).append("=").append(source);
  std::string result(text);
  size_t section = tl::FindNoCase(text, kRenameSection);
  if (section == std::string_view::npos) {
    if (!result.empty()) result += "\r\n";
    result += kRenameSection;
    result += "\r\n" + line;
  } else {
    result.insert(section + kRenameSection.size(), "\r\n" + line);
  }
  return result;
}

}  // namespace setup
