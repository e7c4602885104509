#pragma once
// Small file helpers of the Windows tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace test_files {

// The system's temporary folder, ending in a backslash.
inline std::string TempFolder() {
  char buffer[MAX_PATH + 1];
  DWORD n = ::GetTempPathA(MAX_PATH + 1, buffer);
  std::string folder(buffer, n);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

inline bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The whole file, or "<missing>" when it cannot be opened.
inline std::string ReadWholeFile(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text(::GetFileSize(file, nullptr), '\0');
  DWORD got = 0;
  ::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  ::CloseHandle(file);
  text.resize(got);
  return text;
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << ::GetLastError();
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace test_files
