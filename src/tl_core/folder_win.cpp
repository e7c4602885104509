#include "tl_core/folder_win.h"

#include <ntsecapi.h>

#include <cstdio>

#include "tl_core/wide_text_win.h"

namespace tl {
namespace {

bool IsUtf8(const std::string& path) { return !path.empty() && path[0] == '|'; }

// Offset of the first folder that can be created: after "X:\" or "\\server\share\".
size_t FirstCreatableSeparator(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return 2;
  if (path.rfind(L"\\\\", 0) == 0) {
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return path.size();
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share;
  }
  return 0;
}

uint32_t CreateOne(const std::wstring& folder, std::vector<std::string>* created) {
  if (::CreateDirectoryW(folder.c_str(), nullptr)) {
    if (created) created->push_back(FromWideKeepingUnicode(folder));
    return 0;
  }
  DWORD error = ::GetLastError();
  if (error != ERROR_ALREADY_EXISTS) return error;
  DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_ALREADY_EXISTS;
}

}  // namespace

DWORD PathAttributes(const std::string& path) {
  if (IsUtf8(path)) return ::GetFileAttributesW(ToWide(path).c_str());
  return ::GetFileAttributesA(path.c_str());
}

bool FolderExists(const std::string& path) {
  DWORD attributes = PathAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

uint32_t CreateFolderWithParents(const std::string& path, std::vector<std::string>* created) {
  std::wstring wide = ToWide(path);
  while (wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
  if (wide.empty()) return ERROR_PATH_NOT_FOUND;
  DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_ALREADY_EXISTS;
  for (size_t at = wide.find(L'\\', FirstCreatableSeparator(wide) + 1); at != std::wstring::npos;
       at = wide.find(L'\\', at + 1)) {
    if (uint32_t error = CreateOne(wide.substr(0, at), created)) return error;
  }
  return CreateOne(wide, created);
}

Result<std::string> CreatePrivateFolder(const std::string& base, std::string_view prefix) {
  constexpr int kAttempts = 16;
  uint32_t error = ERROR_CANNOT_MAKE;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    uint8_t noise[8] = {};
    if (!::RtlGenRandom(noise, sizeof noise)) return SysError{::GetLastError()};
    char name[2 * sizeof noise + 1] = {};
    for (size_t i = 0; i < sizeof noise; ++i) std::snprintf(name + 2 * i, 3, "%02x", noise[i]);
    std::string folder = base;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    folder.append(prefix).append(name);
    if (::CreateDirectoryW(ToWide(folder).c_str(), nullptr)) return folder;
    error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) break;
  }
  return SysError{error};
}

std::string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
  if (n == 0 || n > MAX_PATH) return "c:\\temp";
  std::wstring path(folder, n);
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return FromWideKeepingUnicode(path);
}

}  // namespace tl
