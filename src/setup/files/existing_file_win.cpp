#include "setup/files/existing_file_win.h"

#include <windows.h>

#include <vector>

#include "tl_core/file_errors.h"
#include "tl_core/file_win.h"
#include "tl_core/scoped_handle_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/text.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// An open that fails only because the file may not be read still shows a file.
bool TargetExists(const std::string& path) {
  tl::ScopedFileHandle file(::CreateFileW(tl::ToWide(path).c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.IsValid()) return true;
  DWORD error = ::GetLastError();
  return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_ACCESS || error == ERROR_SHARING_VIOLATION;
}

// The directory entry's last-write time as UTC, without conversion.
std::optional<tl::DateTime> LastWriteStamp(const std::string& path) {
  WIN32_FIND_DATAW entry;
  tl::ScopedFindHandle find(::FindFirstFileW(tl::ToWide(path).c_str(), &entry));
  if (!find.IsValid()) return std::nullopt;
  SYSTEMTIME utc;
  if (!::FileTimeToSystemTime(&entry.ftLastWriteTime, &utc)) return std::nullopt;
  return tl::DateTime{utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond};
}

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

std::string VersionFromBlock(const std::vector<uint8_t>& block, QueryFn query) {
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  if (!query(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return {};
  wchar_t key[64];
  ::wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language, translation->codePage);
  wchar_t* text = nullptr;
  if (!query(block.data(), key, reinterpret_cast<void**>(&text), &length) || !text || length == 0) return {};
  std::string version = tl::FromWide(std::wstring_view(text, ::lstrlenW(text)));
  for (char& c : version)
    if (c == ',') c = '.';
  return std::string(tl::TrimBlanks(version));
}

}  // namespace

std::string FileVersionText(const std::string& path) {
  static auto getSize = tl::OnDemandFunction<GetSizeFn>("version.dll", "GetFileVersionInfoSizeW");
  static auto getInfo = tl::OnDemandFunction<GetInfoFn>("version.dll", "GetFileVersionInfoW");
  static auto query = tl::OnDemandFunction<QueryFn>("version.dll", "VerQueryValueW");
  if (!getSize || !getInfo || !query) return {};
  std::wstring wide = tl::ToWide(path);
  DWORD ignored = 0;
  DWORD size = getSize(wide.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<uint8_t> block(size);
  if (!getInfo(wide.c_str(), 0, size, block.data())) return {};
  return VersionFromBlock(block, query);
}

ExistingFileFacts ReadExistingFile(const std::string& path, bool withVersion) {
  ExistingFileFacts facts;
  facts.exists = TargetExists(path);
  if (!facts.exists) return facts;
  facts.stamp = LastWriteStamp(path);
  if (withVersion) facts.version = FileVersionText(path);
  return facts;
}

}  // namespace setup
