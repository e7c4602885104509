#pragma once
// File patterns of a project: "*" and "?" within one name, "[abc]" and
// "[a-z]" for one character, "**" as a whole segment for any depth of
// folders. Segments are separated by "/". As in a shell, a wildcard does not
// match a leading "." unless the pattern's segment starts with one.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pack {

struct GlobMatch {
  std::filesystem::path path;  // the file found
  std::string relative;        // its path below the pattern's fixed folder, "/"-separated
};

bool HasWildcards(std::string_view pattern);

// Whether one name matches one pattern segment.
bool MatchName(std::string_view pattern, std::string_view name);

// The regular files that `pattern` (relative to `base`, or absolute) names,
// sorted by their relative path so that every build sees the same order.
// Folders are never matched. Throws std::filesystem::filesystem_error when a
// folder cannot be read.
std::vector<GlobMatch> ExpandGlob(const std::filesystem::path& base, std::string_view pattern);

}  // namespace pack
