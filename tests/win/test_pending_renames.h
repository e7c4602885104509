#pragma once
// PendingFileRenameOperations as stored, for tests that save it before they
// schedule moves at restart and put it back afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace test_pending_renames {

inline constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// The raw value (wide, as stored), or nothing when it is missing.
inline std::optional<std::wstring> ReadPendingRaw() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::optional<std::wstring> value;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::wstring data(size / sizeof(wchar_t), L'\0');
    if (::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      data.resize(size / sizeof(wchar_t));
      value = data;
    }
  }
  ::RegCloseKey(key);
  return value;
}

// Puts a value read by ReadPendingRaw back; nothing deletes it.
inline void WritePendingRaw(const std::optional<std::wstring>& value) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  if (value)
    ::RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(value->data()),
                     static_cast<DWORD>(value->size() * sizeof(wchar_t)));
  else
    ::RegDeleteValueW(key, L"PendingFileRenameOperations");
  ::RegCloseKey(key);
}

}  // namespace test_pending_renames
