#include "tl_core/path_text.h"

#include "tl_core/text.h"

namespace tl {
namespace {

bool IsDriveLetterPath(std::string_view p) {
  return p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':';
}

std::string_view WithoutUtf8Mark(std::string_view path) {
  return !path.empty() && path[0] == '|' ? path.substr(1) : path;
}

}  // namespace

bool EndsWithBackslash(std::string_view path) { return !path.empty() && path.back() == '\\'; }

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  if (name.empty()) return std::string(folder);
  while (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  while (!name.empty() && name.front() == '\\') name.remove_prefix(1);
  std::string joined(folder);
  joined += '\\';
  joined.append(name);
  return joined;
}

bool IsAbsolutePath(std::string_view path) {
  std::string_view p = WithoutUtf8Mark(path);
  return (IsDriveLetterPath(p) && p.size() >= 3 && p[2] == '\\') || (p.size() >= 2 && p[0] == '\\' && p[1] == '\\');
}

std::string MakeAbsolutePath(std::string_view path, std::string_view base) {
  if (IsAbsolutePath(path)) return std::string(path);
  std::string_view plain = WithoutUtf8Mark(path);
  std::string_view plainBase = WithoutUtf8Mark(base);
  const bool utf8 = plain.size() != path.size() || plainBase.size() != base.size();
  std::string result;
  if (!plain.empty() && plain[0] == '\\' && IsDriveLetterPath(plainBase))
    result = std::string(plainBase.substr(0, 2)) + std::string(plain);
  else
    result = JoinPath(plainBase, plain);
  return utf8 ? "|" + result : result;
}

std::string FolderOfPath(std::string_view path) {
  size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string();
  std::string_view folder = path.substr(0, slash);
  std::string_view plain = WithoutUtf8Mark(folder);
  if (plain.size() == 2 && IsDriveLetterPath(plain)) return std::string(path.substr(0, slash + 1));
  return std::string(folder);
}

std::string_view TrimTrailingBackslashes(std::string_view path) {
  while (!path.empty() && path.back() == '\\' && !(path.size() == 3 && path[1] == ':')) path.remove_suffix(1);
  return path;
}

}  // namespace tl
