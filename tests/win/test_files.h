#pragma once
// Small file and waiting helpers of the Windows tests.
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

// Removes a test folder and everything in it, read-only files and
// subfolders too. What cannot go (a file still open) stays, silently.
inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

// The same for a folder named in the ANSI code page.
inline void RemoveTree(const std::string& folder) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()), wide.data(), n);
  RemoveTree(wide);
}

// Work of other programs ends while a test waits for it; the bound only
// keeps a broken run from hanging the suite.
inline constexpr DWORD kWaitBoundMs = 600000;

// Checks `condition` every `pollMs` until it holds, for at most `timeoutMs`;
// the condition's last answer.
template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = kWaitBoundMs, DWORD pollMs = 100) {
  for (DWORD waited = 0; waited < timeoutMs; waited += pollMs) {
    if (condition()) return true;
    ::Sleep(pollMs);
  }
  return condition();
}

}  // namespace test_files
