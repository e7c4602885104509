#pragma once
// Registry path texts: the root-key table, the path grammar ("\\HKLM\\..."),
// the display path of an open key and the decimal text of a number value.
// No system calls here; the glue maps RootKey to the predefined handles.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tl {

// The roots in the order the path grammar searches them.
enum class RootKey : int {
  kLocalMachine = 0,
  kCurrentUser = 1,
  kClassesRoot = 2,
  kUsers = 3,
  kCurrentConfig = 4,
  kDynData = 5,
};

struct RootKeyRow {
  RootKey root;
  std::string_view longName;   // "HKEY_LOCAL_MACHINE"
  std::string_view shortName;  // "HKLM"
  std::string_view prefix;     // "\\HKLM\\"
};

std::span<const RootKeyRow> RootKeyTable();
const RootKeyRow& RootKeyRowOf(RootKey root);

// "\\HKAU\\" names every user's hive. It is not a row of the root table:
// callers test for it (case-sensitive, exact) before using the grammar.
inline constexpr std::string_view kAllUsersPrefix = "\\HKAU\\";
bool HasAllUsersPrefix(std::string_view path);
// The path after "\\HKAU\\"; the whole path when the prefix is missing.
std::string_view AfterAllUsersPrefix(std::string_view path);

struct RegistryPath {
  RootKey root;
  std::string_view subKey;  // a view into the parsed text; empty for the root itself
};

// A whole prefix ("\\HKLM\\") is looked for first, in table order, without
// regard to ASCII case; then the prefix without its final backslash, so that
// "\\HKLM" alone names the root. Nothing when no root matches.
std::optional<RegistryPath> ParseRegistryPath(std::string_view path);

// The name a display path starts with: the root's long name, or nothing for
// HKEY_DYN_DATA, which only the 9x systems have.
std::string_view DisplayRootName(RootKey root);

// The display path of a key below a parent display path (which is empty or
// ends with a backslash): "HKEY_LOCAL_MACHINE\\" + "Software\\Example" gives
// "HKEY_LOCAL_MACHINE\\Software\\Example\\". Backslashes at either end of the
// sub-key are not doubled; an empty sub-key leaves the parent unchanged.
std::string AppendDisplayPath(std::string_view parentPath, std::string_view subKey);

// The display path of a key below a root: the root's display name and a
// backslash (when it has a name), then the sub-key and a backslash.
std::string RegistryDisplayPath(RootKey root, std::string_view subKey);

// A number as the registry's decimal text: "%.6f", then trailing zeros and a
// trailing decimal point removed (12.5 -> "12.5", 12.0 -> "12").
std::string DecimalText(double number);

}  // namespace tl
