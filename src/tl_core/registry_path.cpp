#include "tl_core/registry_path.h"

#include <array>

#include "tl_core/text.h"

namespace tl {
namespace {

constexpr std::array<RootKeyRow, 6> kRootKeys = {{
    {RootKey::kLocalMachine, "HKEY_LOCAL_MACHINE", "HKLM", "\\HKLM\\"},
    {RootKey::kCurrentUser, "HKEY_CURRENT_USER", "HKCU", "\\HKCU\\"},
    {RootKey::kClassesRoot, "HKEY_CLASSES_ROOT", "HKCR", "\\HKCR\\"},
    {RootKey::kUsers, "HKEY_USERS", "HKU", "\\HKU\\"},
    {RootKey::kCurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC", "\\HKCC\\"},
    {RootKey::kDynData, "HKEY_DYN_DATA", "HKDD", "\\HKDD\\"},
}};

std::string_view WithoutFinalBackslash(std::string_view prefix) {
  return prefix.substr(0, prefix.size() - 1);
}

std::optional<RegistryPath> MatchPrefix(std::string_view path, bool wholePrefix) {
  for (const RootKeyRow& row : kRootKeys) {
    std::string_view prefix = wholePrefix ? row.prefix : WithoutFinalBackslash(row.prefix);
    if (StartsWithNoCase(path, prefix)) return RegistryPath{row.root, path.substr(prefix.size())};
  }
  return std::nullopt;
}

std::string_view TrimBackslashes(std::string_view text) {
  while (!text.empty() && text.front() == '\\') text.remove_prefix(1);
  while (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  return text;
}

}  // namespace

std::span<const RootKeyRow> RootKeyTable() { return kRootKeys; }

const RootKeyRow& RootKeyRowOf(RootKey root) { return kRootKeys[static_cast<size_t>(root)]; }

bool HasAllUsersPrefix(std::string_view path) { return path.starts_with(kAllUsersPrefix); }

std::string_view AfterAllUsersPrefix(std::string_view path) {
  return HasAllUsersPrefix(path) ? path.substr(kAllUsersPrefix.size()) : path;
}

std::optional<RegistryPath> ParseRegistryPath(std::string_view path) {
  if (auto parsed = MatchPrefix(path, true)) return parsed;
  return MatchPrefix(path, false);
}

std::string_view DisplayRootName(RootKey root) {
  if (root == RootKey::kDynData) return {};
  return RootKeyRowOf(root).longName;
}

std::string AppendDisplayPath(std::string_view parentPath, std::string_view subKey) {
  std::string path(parentPath);
  std::string_view trimmed = TrimBackslashes(subKey);
  if (trimmed.empty()) return path;
  path.append(trimmed);
  path.push_back('\\');
  return path;
}

std::string RegistryDisplayPath(RootKey root, std::string_view subKey) {
  std::string rootPart(DisplayRootName(root));
  if (!rootPart.empty()) rootPart.push_back('\\');
  return AppendDisplayPath(rootPart, subKey);
}

std::string DecimalText(double number) {
  std::string text = Format("%.6f", number);
  if (text.find('.') == std::string::npos) return text;  // inf, nan
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

}  // namespace tl
