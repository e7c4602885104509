#pragma once
// The registry-entry text of the settings: one record per line, fields
// separated by commas, a field in double quotes when it holds a comma, a
// quote or a line break (a doubled quote inside stands for one). A record
// of one field creates a key; one of six fields writes a value.
#include <cstdint>
#include <string>
#include <vector>

#include "pack_error.h"

namespace pack {

struct RegistryEntry {
  Location where;
  std::string key;  // "\HKLM\Software\..." or "HKLM\Software\..."; "\HKAU\" for every user
  bool isValue = false;
  std::string valueName;  // empty: the key's default value
  uint32_t type = 1;      // REG_SZ
  std::string data;
  bool skipAtInstall = false;
  bool keepAtUninstall = false;
};

// The key path with its leading backslash, or empty when its root is not one
// of HKLM, HKCU, HKCR, HKU, HKCC, HKDD or HKAU.
std::string NormalizeRegistryKey(const std::string& key);

// One field as a record holds it, quoted when the reader would otherwise
// split or trim it.
std::string RegistryField(const std::string& field);

// The records joined with CR LF. Throws PackFailure at the entry's place for
// a key with an unknown root, or data its type cannot take (binary: pairs of
// hexadecimal digits; dword and qword: a decimal number).
std::string RegistryEntryText(const std::vector<RegistryEntry>& entries);

}  // namespace pack
