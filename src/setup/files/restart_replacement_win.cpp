#include "setup/files/restart_replacement_win.h"

#include <windows.h>
#include <shellapi.h>

#include <initializer_list>
#include <vector>

#include "setup/files/pending_renames.h"
#include "setup/report/install_log_win.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_win.h"
#include "tl_core/os_facts_win.h"
#include "tl_core/registry_key_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/text.h"
#include "tl_core/wide_text_win.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

// A scheduled move leaves this as the last error: the work is pending, not done.
constexpr DWORD kScheduledError = ERROR_BUSY;  // 170
constexpr char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenamesValue[] = L"PendingFileRenameOperations";

bool IsUnicodePath(std::string_view path) { return !path.empty() && path.front() == '|'; }

bool Fail(DWORD error) {
  ::SetLastError(error);
  return false;
}

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(tl::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsNtSystem() { return tl::RunningSystemFacts().platformId == VER_PLATFORM_WIN32_NT; }

std::wstring WindowsFolder() {
  wchar_t folder[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring path(folder, n);
  if (path.back() != L'\\') path += L'\\';
  return path;
}

bool WininitAvailable() {
  std::wstring folder = WindowsFolder();
  return !folder.empty() && ::GetFileAttributesW((folder + L"wininit.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The 8.3 form of an existing path; the path itself when it has none.
std::string ShortPath(const std::string& path) {
  std::wstring wide = tl::ToWide(path);
  DWORD n = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring shortPath(n, L'\0');
  n = ::GetShortPathNameW(wide.c_str(), shortPath.data(), n);
  if (n == 0 || n >= shortPath.size()) return path;
  shortPath.resize(n);
  return tl::FromWideKeepingUnicode(shortPath);
}

// MoveFileEx, found once in kernel32; "|" UTF-8 paths take the wide twin. A
// system without the function fails as not implemented.
bool SystemMoveFileEx(const std::string& source, const std::string* destination, DWORD flags) {
  if (IsUnicodePath(source) || (destination && IsUnicodePath(*destination))) {
    using MoveFileExWFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
    static const auto moveWide = tl::SystemFunction<MoveFileExWFn>("kernel32.dll", "MoveFileExW");
    if (!moveWide) return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    std::wstring wideDestination = destination ? tl::ToWide(*destination) : std::wstring();
    return moveWide(tl::ToWide(source).c_str(), destination ? wideDestination.c_str() : nullptr, flags) != 0;
  }
  using MoveFileExAFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  static const auto moveAnsi = tl::SystemFunction<MoveFileExAFn>("kernel32.dll", "MoveFileExA");
  if (!moveAnsi) return Fail(ERROR_CALL_NOT_IMPLEMENTED);
  return moveAnsi(source.c_str(), destination ? destination->c_str() : nullptr, flags) != 0;
}

// Adds destination=source to the "[rename]" section of wininit.ini.
bool WriteWininitRename(const std::string& destination, const std::string& source) {
  std::wstring folder = WindowsFolder();
  if (folder.empty()) return Fail(ERROR_PATH_NOT_FOUND);
  tl::File file;
  if (file.OpenWide(folder + L"wininit.ini", 0) != tl::kFileOk) return false;
  std::vector<uint8_t> bytes;
  if (!file.ReadRange(bytes, 0, file.Length())) return false;
  std::string text = InsertWininitRename(std::string(bytes.begin(), bytes.end()), destination, source);
  // The text only grows, so writing it from the start replaces the old one whole.
  return file.Seek(0) && file.Write(text.data(), static_cast<int64_t>(text.size()));
}

bool WininitSchedule(const std::string& source, const std::string* destination) {
  return WriteWininitRename(destination ? ShortPath(*destination) : std::string("NUL"), ShortPath(source));
}

// A move (or, without a destination, a deletion) at the next system start.
bool ScheduleAtRestart(const std::string& source, const std::string* destination) {
  if (!IsNtSystem()) return WininitSchedule(source, destination);
  DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | (destination ? MOVEFILE_REPLACE_EXISTING : 0);
  if (SystemMoveFileEx(source, destination, flags)) return true;
  DWORD error = ::GetLastError();
  if (WininitAvailable() && WininitSchedule(source, destination)) return true;
  return Fail(error);
}

// Enables privileges for as long as it lives, then puts back the state before.
class ScopedPrivileges {
 public:
  explicit ScopedPrivileges(std::initializer_list<const char*> names) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
    token_.Reset(raw);
    for (const char* name : names) Enable(name);
  }
  ScopedPrivileges(const ScopedPrivileges&) = delete;
  ScopedPrivileges& operator=(const ScopedPrivileges&) = delete;
  ~ScopedPrivileges() {
    for (TOKEN_PRIVILEGES& previous : previous_)
      ::AdjustTokenPrivileges(token_.Get(), FALSE, &previous, 0, nullptr, nullptr);
  }

 private:
  void Enable(const char* name) {
    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueA(nullptr, name, &wanted.Privileges[0].Luid)) return;
    TOKEN_PRIVILEGES previous = {};
    DWORD size = 0;
    if (!::AdjustTokenPrivileges(token_.Get(), FALSE, &wanted, sizeof(previous), &previous, &size)) return;
    // A privilege that was enabled already reports no previous state.
    if (::GetLastError() == ERROR_SUCCESS && previous.PrivilegeCount == 1) previous_.push_back(previous);
  }

  tl::ScopedHandle token_;
  std::vector<TOKEN_PRIVILEGES> previous_;
};

// The user this process runs as becomes the file's owner.
void TakeOwnership(const std::wstring& path) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return;
  tl::ScopedHandle token(raw);
  DWORD size = 0;
  ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return;
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return;
  const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
  SECURITY_DESCRIPTOR descriptor;
  if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return;
  if (!::SetSecurityDescriptorOwner(&descriptor, user->User.Sid, FALSE)) return;
  ScopedPrivileges privileges({SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME});
  ::SetFileSecurityW(path.c_str(), OWNER_SECURITY_INFORMATION, &descriptor);
}

void GrantEveryoneFullAccess(const std::wstring& path) {
  tl::EveryoneFullAccess everyone;
  if (SECURITY_ATTRIBUTES* attributes = everyone.attributes())
    ::SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, attributes->lpSecurityDescriptor);
}

// The record's stamp is UTC; a stamp without date or time leaves the times alone.
void ApplyStamp(const std::wstring& path, const tl::DateTime& stamp) {
  tl::ScopedFileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) tl::SetFileStamp(file.Get(), stamp);
}

// Whether the path names a drive letter the system has no root folder for.
// The drive map answers without asking the mount manager, which GetDriveType
// does and which the test program under the i386 emulator has been seen to
// wait for without end.
bool DriveIsMissing(const std::string& path, char* letter) {
  int drive = tl::DriveIndex(path);
  if (drive < 0) return false;
  *letter = static_cast<char>('A' + drive);
  return (::GetLogicalDrives() & (1u << drive)) == 0;
}

// A new "TLT" file beside the target, else in the system's temporary folder,
// holding the data. On failure the last error is the system's and no file is left.
bool ParkData(const RestartReplacement& request, tl::File& file) {
  if (file.Open(request.target, tl::kTemporaryNameFromName | tl::kCreateOrTruncate) != tl::kFileOk &&
      file.Open("", tl::kNewTemporaryName | tl::kCreateOrTruncate) != tl::kFileOk)
    return false;
  if (file.Write(request.data.data(), static_cast<int64_t>(request.data.size()))) {
    file.Close();
    return true;
  }
  DWORD error = ::GetLastError();
  file.Close();
  ::DeleteFileW(file.wideName().c_str());
  return Fail(error);
}

// To the recycle bin, silently: no confirmation, no progress, no error window.
void RecycleFile(const std::string& path) {
  if (path.empty()) return;
  using SHFileOperationWFn = int(WINAPI*)(LPSHFILEOPSTRUCTW);
  auto operation = tl::OnDemandFunction<SHFileOperationWFn>("shell32.dll", "SHFileOperationW");
  if (!operation) return;
  std::wstring from = tl::ToWide(path);
  from.push_back(L'\0');  // the list of names ends with an empty one
  SHFILEOPSTRUCTW request = {};
  request.wFunc = FO_DELETE;
  request.pFrom = from.c_str();
  request.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  operation(&request);
}

// The value's strings as read; nothing when it is missing, empty or not a list.
std::vector<std::wstring> ReadPendingRenames(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExW(key, kPendingRenamesValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_MULTI_SZ || size < sizeof(wchar_t))
    return {};
  std::wstring data(size / sizeof(wchar_t), L'\0');
  if (::RegQueryValueExW(key, kPendingRenamesValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
    return {};
  data.resize(size / sizeof(wchar_t));
  return SplitMultiString<wchar_t>(data);
}

void WritePendingRenames(HKEY key, const std::vector<std::wstring>& entries) {
  std::wstring data = JoinMultiString(entries);
  ::RegSetValueExW(key, kPendingRenamesValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

}  // namespace

bool ScheduleRestartMove(const std::string& source, const std::string& destination) {
  if (source.empty() || destination.empty()) return Fail(ERROR_INVALID_NAME);
  if (!PathExists(source)) return Fail(ERROR_FILE_NOT_FOUND);
  if (!tl::EqualsNoCase(source, destination) && !ScheduleAtRestart(source, &destination)) return false;
  ::SetLastError(kScheduledError);
  return true;
}

bool ScheduleRestartDelete(const std::string& path) {
  if (path.empty()) return Fail(ERROR_INVALID_NAME);
  return ScheduleAtRestart(path, nullptr);
}

bool ReplaceAtRestart(RunState& run, const RestartReplacement& request) {
  const std::string& target = request.target;
  std::string message = "\r\n" + LocalizedString(kStringFileNotInstalled) + " " + target + "\r\n";
  bool allowed = (request.existedBefore || run.product.Flag(kFlagReplaceNewFilesAtRestart)) &&
                 request.lastError != ERROR_INVALID_NAME;
  const std::string errorText = tl::SystemErrorText(request.lastError);
  char drive = 0;
  if (DriveIsMissing(target, &drive)) {
    message += tl::Format("Drive %c: is not present.\r\n", drive);
    allowed = false;
  } else if (!errorText.empty()) {
    message += errorText + "\r\n\r\n";
  }
  if (!allowed) {
    run.failures.Append(message);
    return false;
  }

  tl::File parked;
  if (!ParkData(request, parked)) {
    message += tl::Format(
        "Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n\r\n",
        target.c_str(), tl::SystemErrorText(::GetLastError()).c_str());
    run.failures.Append(message);
    return false;
  }
  const std::wstring& parkedPath = parked.wideName();
  TakeOwnership(parkedPath);
  GrantEveryoneFullAccess(parkedPath);
  ApplyStamp(parkedPath, request.stamp);
  std::string temporary = ShortPath(parked.name());

  if (ScheduleRestartMove(temporary, target)) {
    run.restartRequired = true;
    message += tl::Format(
        "\"%s\" was successfully registered for replacement.\r\nTemporary file is \"%s\"\r\nReboot will be "
        "required.\r\n\r\n",
        target.c_str(), temporary.c_str());
    AppendLog(message);
    return true;
  }
  DWORD error = ::GetLastError();
  message += tl::Format("Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n\r\n",
                        target.c_str(), temporary.c_str(), tl::SystemErrorText(error).c_str());
  ::DeleteFileW(parkedPath.c_str());
  run.failures.Append(message);
  return false;
}

void PruneRestartRenames(const InstalledFileSet& written, bool log) {
  tl::RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, tl::kRegOpenExistingOnly, KEY_QUERY_VALUE | KEY_SET_VALUE) ==
      tl::RegOpenResult::kFailed)
    return;
  std::vector<std::wstring> pending = ReadPendingRenames(key.handle());
  if (pending.empty()) return;
  if (log) AppendLog("\r\n");

  // Decided on 8-bit texts (a path the ANSI code page cannot hold in its
  // "|" UTF-8 form); the entries that stay are written back as they were read.
  std::vector<std::string> entries;
  entries.reserve(pending.size());
  for (const std::wstring& entry : pending) entries.push_back(tl::FromWideKeepingUnicode(entry));
  PendingRenamesPruning pruning = PrunePendingRenames(entries, written);

  if (log) AppendLog(pruning.logText);
  for (const std::string& source : pruning.recycle) RecycleFile(source);
  if (pruning.removedAny) WritePendingRenames(key.handle(), SelectKeptEntries(pending, pruning.keptEntries));
}

}  // namespace setup
