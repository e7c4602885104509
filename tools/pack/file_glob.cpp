#include "file_glob.h"

#include <algorithm>

namespace pack {
namespace fs = std::filesystem;
namespace {

std::vector<std::string> SplitSegments(std::string_view pattern) {
  std::vector<std::string> segments;
  size_t start = 0;
  while (start <= pattern.size()) {
    size_t end = pattern.find('/', start);
    if (end == std::string_view::npos) end = pattern.size();
    if (end > start && pattern.substr(start, end - start) != ".") segments.emplace_back(pattern.substr(start, end - start));
    start = end + 1;
  }
  return segments;
}

// A "[...]" set at pattern[p]; on success p moves past it.
bool MatchSet(std::string_view pattern, size_t& p, char c, bool& matched) {
  size_t i = p + 1;
  bool negate = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negate) ++i;
  bool found = false;
  bool first = true;
  for (; i < pattern.size() && (first || pattern[i] != ']'); ++i, first = false) {
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      if (c >= pattern[i] && c <= pattern[i + 2]) found = true;
      i += 2;
    } else if (pattern[i] == c) {
      found = true;
    }
  }
  if (i >= pattern.size()) return false;  // no closing bracket: the "[" is literal
  matched = found != negate;
  p = i + 1;
  return true;
}

bool MatchFrom(std::string_view pattern, size_t p, std::string_view name, size_t n) {
  while (p < pattern.size()) {
    char pc = pattern[p];
    if (pc == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      for (size_t k = n; k <= name.size(); ++k)
        if (MatchFrom(pattern, p, name, k)) return true;
      return false;
    }
    if (n >= name.size()) return false;
    if (pc == '?') {
      ++p;
      ++n;
      continue;
    }
    if (pc == '[') {
      size_t next = p;
      bool matched = false;
      if (MatchSet(pattern, next, name[n], matched)) {
        if (!matched) return false;
        p = next;
        ++n;
        continue;
      }
    }
    if (pc != name[n]) return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

void Walk(const fs::path& folder, const std::string& relative, const std::vector<std::string>& segments, size_t index,
          std::vector<GlobMatch>& out) {
  const std::string& segment = segments[index];
  const bool last = index + 1 == segments.size();
  const auto join = [&](const std::string& name) { return relative.empty() ? name : relative + "/" + name; };

  if (segment == "**") {
    if (last) {
      // "dir/**" means every file below dir.
      for (auto it = fs::recursive_directory_iterator(folder, fs::directory_options::follow_directory_symlink);
           it != fs::recursive_directory_iterator(); ++it) {
        if (it->path().filename().string()[0] == '.') {
          if (it->is_directory()) it.disable_recursion_pending();
          continue;
        }
        if (it->is_regular_file())
          out.push_back({it->path(), join(fs::relative(it->path(), folder).generic_string())});
      }
      return;
    }
    Walk(folder, relative, segments, index + 1, out);  // zero folders
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (entry.is_directory() && entry.path().filename().string()[0] != '.')
        Walk(entry.path(), join(entry.path().filename().string()), segments, index, out);
    }
    return;
  }

  if (!HasWildcards(segment)) {
    fs::path next = folder / segment;
    if (last) {
      if (fs::is_regular_file(next)) out.push_back({next, join(segment)});
    } else if (fs::is_directory(next)) {
      Walk(next, join(segment), segments, index + 1, out);
    }
    return;
  }

  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (!MatchName(segment, name)) continue;
    if (last) {
      if (entry.is_regular_file()) out.push_back({entry.path(), join(name)});
    } else if (entry.is_directory()) {
      Walk(entry.path(), join(name), segments, index + 1, out);
    }
  }
}

}  // namespace

bool HasWildcards(std::string_view pattern) { return pattern.find_first_of("*?[") != std::string_view::npos; }

bool MatchName(std::string_view pattern, std::string_view name) {
  if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
  return MatchFrom(pattern, 0, name, 0);
}

std::vector<GlobMatch> ExpandGlob(const fs::path& base, std::string_view pattern) {
  fs::path root = base;
  std::string_view rest = pattern;
  if (!rest.empty() && rest[0] == '/') {
    root = "/";
    rest.remove_prefix(1);
  }
  std::vector<std::string> segments = SplitSegments(rest);
  // The fixed folder: the segments before the first one with a wildcard.
  size_t fixed = 0;
  while (fixed + 1 < segments.size() && !HasWildcards(segments[fixed])) root /= segments[fixed++];
  segments.erase(segments.begin(), segments.begin() + fixed);

  std::vector<GlobMatch> matches;
  if (segments.empty()) return matches;
  if (!HasWildcards(segments[0]) && segments.size() == 1) {
    // A plain path: the file itself, named by its own name.
    fs::path file = root / segments[0];
    if (fs::is_regular_file(file)) matches.push_back({file, segments[0]});
    return matches;
  }
  if (!fs::is_directory(root)) return matches;
  Walk(root, "", segments, 0, matches);
  std::sort(matches.begin(), matches.end(),
            [](const GlobMatch& a, const GlobMatch& b) { return a.relative < b.relative; });
  matches.erase(std::unique(matches.begin(), matches.end(),
                            [](const GlobMatch& a, const GlobMatch& b) { return a.relative == b.relative; }),
                matches.end());
  return matches;
}

}  // namespace pack
