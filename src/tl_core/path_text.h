#pragma once
// Paths as text: joining, making absolute, taking the folder part.
#include <string>
#include <string_view>

namespace tl {

// `folder` and `name` with exactly one backslash between them; an empty
// part gives the other unchanged.
std::string JoinPath(std::string_view folder, std::string_view name);

// Whether the path names its drive or share: "X:\..." or "\\server\...".
// A path in the UTF-8 form ("|" first) is judged by the text after the bar.
bool IsAbsolutePath(std::string_view path);

// An absolute path unchanged; "\rest" on the drive of `base`; anything else
// joined to `base`.
std::string MakeAbsolutePath(std::string_view path, std::string_view base);

// The folder of a file path: everything before its last backslash; for a
// file at a drive root the root itself ("C:\").
std::string FolderOfPath(std::string_view path);

bool EndsWithBackslash(std::string_view path);

// The path without backslashes at its end, so that "C:\\App\\" and "C:\\App"
// compare equal; a drive root keeps its one backslash ("C:\\").
std::string_view TrimTrailingBackslashes(std::string_view path);

}  // namespace tl
