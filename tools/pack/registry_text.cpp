#include "registry_text.h"

#include <string_view>

#include "tl_core/text.h"

namespace pack {
namespace {

void CheckData(const RegistryEntry& entry) {
  std::string_view data = entry.data;
  if (entry.type == 3) {
    std::string digits;
    for (char c : data)
      if (c != ' ') digits += c;
    if (digits.size() % 2 != 0 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      Fail(entry.where, "binary data is written as pairs of hexadecimal digits, such as \"01 02 ff\"");
  } else if (entry.type == 4 || entry.type == 11) {
    std::string_view digits = data;
    if (entry.type == 4 && !digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
      Fail(entry.where, entry.type == 4 ? "dword data is a whole number" : "qword data is a whole number of 0 or more");
  }
}

}  // namespace

std::string NormalizeRegistryKey(const std::string& key) {
  std::string path = key;
  if (path.empty() || path[0] != '\\') path = "\\" + path;
  if (path.rfind("\\HKAU\\", 0) == 0) return path;  // exact case, as the runtime compares it
  for (std::string_view root : {"\\HKLM\\", "\\HKCU\\", "\\HKCR\\", "\\HKU\\", "\\HKCC\\", "\\HKDD\\"})
    if (tl::StartsWithNoCase(path, root)) return path;
  return {};
}

std::string RegistryField(const std::string& field) {
  const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                     (!field.empty() && (field[0] == ' ' || field[0] == '\t'));
  if (!quote) return field;
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string RegistryEntryText(const std::vector<RegistryEntry>& entries) {
  std::string text;
  for (const RegistryEntry& entry : entries) {
    std::string key = NormalizeRegistryKey(entry.key);
    if (key.empty())
      Fail(entry.where, "registry key \"" + entry.key + "\" does not start with HKLM, HKCU, HKCR, HKU, HKCC, HKDD or HKAU");
    if (!entry.isValue) {
      text += RegistryField(key) + "\r\n";
      continue;
    }
    CheckData(entry);
    text += RegistryField(key) + "," + RegistryField(entry.valueName) + "," + std::to_string(entry.type) + "," +
            RegistryField(entry.data) + "," + (entry.skipAtInstall ? "1" : "0") + "," +
            (entry.keepAtUninstall ? "1" : "0") + "\r\n";
  }
  return text;
}

}  // namespace pack
