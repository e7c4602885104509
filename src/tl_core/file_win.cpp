#include "tl_core/file_win.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "tl_core/fatal.h"
#include "tl_core/local_time_win.h"
#include "tl_core/result.h"
#include "tl_core/wide_text_win.h"

namespace tl {
namespace {

// ReadFile and WriteFile take a 32-bit count; larger transfers go in pieces.
constexpr int64_t kMaxTransfer = 0x40000000;
constexpr wchar_t kTemporaryPrefix[] = L"TLT";
constexpr wchar_t kFallbackTemporaryFolder[] = L"c:\\temp\\";

DWORD CreationDisposition(CreationMode mode) {
  switch (mode) {
    case CreationMode::kOpenExisting:
      return OPEN_EXISTING;
    case CreationMode::kCreateNew:
      return CREATE_NEW;
    case CreationMode::kCreateOrTruncate:
      return CREATE_ALWAYS;
    case CreationMode::kOpenOrCreate:
      break;
  }
  return OPEN_ALWAYS;
}

DWORD DesiredAccess(const OpenAccess& access) {
  return (access.read ? GENERIC_READ : 0) | (access.write ? GENERIC_WRITE : 0);
}

DWORD ShareMode(const OpenAccess& access) {
  return (access.shareRead ? FILE_SHARE_READ : 0) | (access.shareWrite ? FILE_SHARE_WRITE : 0);
}

ScopedFileHandle TryCreate(const std::wstring& path, const OpenAccess& access, uint32_t attributes) {
  return ScopedFileHandle(::CreateFileW(path.c_str(), DesiredAccess(access), ShareMode(access), nullptr,
                                        CreationDisposition(access.creation), attributes, nullptr));
}

// Tries until the handle opens or the retry policy gives up; on failure the
// last error is the one of the final try.
ScopedFileHandle CreateWithRetries(const std::wstring& path, const OpenAccess& access, uint32_t flags,
                                   uint32_t attributes) {
  OpenRetryPolicy retry(flags);
  for (;;) {
    ScopedFileHandle handle = TryCreate(path, access, attributes);
    if (handle) return handle;
    DWORD error = ::GetLastError();
    std::optional<uint32_t> pause = retry.PauseAfterFailure(error == ERROR_SHARING_VIOLATION);
    if (!pause) {
      ::SetLastError(error);
      return handle;
    }
    ::Sleep(*pause);
  }
}

bool DriveIsMissing(std::wstring_view path) {
  // Drive letters are ASCII; anything else cannot name a drive.
  std::string head;
  for (wchar_t c : path.substr(0, 2)) head += c < 0x80 ? static_cast<char>(c) : '?';
  int drive = DriveIndex(head);
  return drive >= 0 && (::GetLogicalDrives() & (1u << drive)) == 0;
}

bool IsReadOnlyFile(const std::wstring& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::wstring WithTrailingBackslash(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

std::wstring TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return kFallbackTemporaryFolder;
  return WithTrailingBackslash(std::wstring(buffer, n));
}

// The folder part of a path, with its trailing separator; "." for a bare name.
std::wstring FolderOf(std::wstring_view path) {
  size_t cut = path.find_last_of(L"\\/");
  if (cut != std::wstring_view::npos) return std::wstring(path.substr(0, cut + 1));
  if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
  return L".";
}

// A new empty file with a unique "TLT" name in the folder.
Result<std::wstring> CreateUniqueTemporaryFile(const std::wstring& folder) {
  wchar_t buffer[MAX_PATH];
  if (::GetTempFileNameW(folder.c_str(), kTemporaryPrefix, 0, buffer) == 0) return SysError{::GetLastError()};
  return std::wstring(buffer);
}

std::wstring WideFromBytes(std::string_view bytes) {
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

bool IsValidTransfer(int64_t length) { return length >= 0; }

struct LocalFreeDeleter {
  void operator()(char* text) const { ::LocalFree(text); }
};

}  // namespace

int File::Open(std::string_view name, uint32_t flags, uint32_t attributes) {
  if (flags & kWideName) return OpenWide(WideFromBytes(name), flags, attributes);
  Close();
  name_.assign(name);
  wideName_ = ToWide(name);
  return OpenResolved(flags, attributes);
}

int File::OpenWide(std::wstring_view name, uint32_t flags, uint32_t attributes) {
  Close();
  wideName_.assign(name);
  name_ = FromWideKeepingUnicode(name);
  return OpenResolved(flags, attributes);
}

int File::OpenResolved(uint32_t flags, uint32_t attributes) {
  OpenAccess access = DecideOpenAccess(flags);
  readRequested_ = access.read;
  writeRequested_ = access.write;

  uint32_t pattern = flags & kNameGenerationMask;
  if (wideName_.empty() && pattern != kNewTemporaryName) return FailOpen(kFileInvalidName, flags);
  bool createdFile = false;
  if (pattern != 0) {
    int code = GenerateName(pattern, createdFile);
    if (code != kFileOk) return FailOpen(code, flags);
  }

  ScopedFileHandle handle = CreateWithRetries(wideName_, access, flags, attributes);
  if (!handle) {
    DWORD error = ::GetLastError();
    int code = MapOpenError(error, ReadOpenFailureFacts(wideName_, access.write));
    if (createdFile) ::DeleteFileW(wideName_.c_str());
    ::SetLastError(error);
    return FailOpen(code, flags);
  }
  handle_ = std::move(handle);

  if ((flags & kLoadIntoMemory) && !LoadIntoMemory()) {
    Close();
    return FailOpen(kFileMemoryReadFailed, flags);
  }
  if (flags & kSeekToEnd) Seek(Length());
  return kFileOk;
}

int File::GenerateName(uint32_t pattern, bool& createdFile) {
  std::wstring generated;
  switch (pattern) {
    case kNameInTemporaryFolder:
      generated = TemporaryFolder() + wideName_;
      break;
    case kNewTemporaryName:
    case kTemporaryNameFromName: {
      std::wstring folder = pattern == kNewTemporaryName ? TemporaryFolder() : FolderOf(wideName_);
      Result<std::wstring> made = CreateUniqueTemporaryFile(folder);
      if (!made) return MapTemporaryFileError(made.error(), ReadOpenFailureFacts(folder, writeRequested_));
      generated = std::move(made).value();
      createdFile = true;
      break;
    }
    default:
      return kFileInvalidParameter;
  }
  wideName_ = std::move(generated);
  name_ = FromWideKeepingUnicode(wideName_);
  return kFileOk;
}

int File::FailOpen(int code, uint32_t flags) {
  lastErrorText_ = FileErrorText(code);
  if (flags & kRequiredFile)
    FatalMessage("Failed to open required file:\r\n%s\r\n\r\n%s", name_.c_str(), lastErrorText_.c_str());
  return code;
}

bool File::LoadIntoMemory() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(handle_.Get(), &size)) return false;
  if (size.QuadPart > static_cast<int64_t>(memory_.max_size())) return false;
  try {
    memory_.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!Seek(0) || !ReadFromHandle(memory_.data(), size.QuadPart)) {
    memory_.clear();
    return false;
  }
  inMemory_ = true;
  memoryPosition_ = 0;
  return true;
}

void File::Close() {
  handle_.Reset();
  inMemory_ = false;
  memory_.clear();
  memory_.shrink_to_fit();
  memoryPosition_ = 0;
}

bool File::IsOpen() const { return handle_.IsValid(); }

bool File::ReadAt(void* destination, int64_t length, int64_t position) {
  if (!IsValidTransfer(length)) return false;
  if (length == 0) return true;
  int64_t previous = Position();
  if (previous < 0 || !Seek(position)) return false;
  bool ok = Read(destination, length);
  Seek(previous);
  return ok;
}

bool File::Read(void* destination, int64_t length) {
  if (!IsValidTransfer(length) || !IsOpen()) return false;
  return inMemory_ ? ReadFromMemory(destination, length) : ReadFromHandle(destination, length);
}

bool File::ReadFromMemory(void* destination, int64_t length) {
  int64_t size = static_cast<int64_t>(memory_.size());
  if (memoryPosition_ > size || length > size - memoryPosition_) return false;
  if (length > 0) std::memcpy(destination, memory_.data() + memoryPosition_, static_cast<size_t>(length));
  memoryPosition_ += length;
  return true;
}

bool File::ReadFromHandle(void* destination, int64_t length) {
  auto* out = static_cast<uint8_t*>(destination);
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(std::min(length, kMaxTransfer));
    DWORD got = 0;
    if (!::ReadFile(handle_.Get(), out, piece, &got, nullptr) || got != piece) return false;
    out += got;
    length -= got;
  }
  return true;
}

bool File::Write(const void* source, int64_t length) {
  if (!IsValidTransfer(length) || !IsOpen() || inMemory_) return false;
  auto* in = static_cast<const uint8_t*>(source);
  while (length > 0) {
    DWORD piece = static_cast<DWORD>(std::min(length, kMaxTransfer));
    DWORD written = 0;
    if (!::WriteFile(handle_.Get(), in, piece, &written, nullptr) || written != piece) return false;
    in += written;
    length -= written;
  }
  return true;
}

bool File::Seek(int64_t position) {
  if (position < 0 || !IsOpen()) return false;
  if (inMemory_) {
    memoryPosition_ = position;
    return true;
  }
  LARGE_INTEGER target;
  target.QuadPart = position;
  return ::SetFilePointerEx(handle_.Get(), target, nullptr, FILE_BEGIN) != 0;
}

int64_t File::Position() const {
  if (!IsOpen()) return -1;
  if (inMemory_) return memoryPosition_;
  LARGE_INTEGER zero{};
  LARGE_INTEGER current;
  if (!::SetFilePointerEx(handle_.Get(), zero, &current, FILE_CURRENT)) return -1;
  return current.QuadPart;
}

int64_t File::Length() const {
  if (!IsOpen()) return -1;
  if (inMemory_) return static_cast<int64_t>(memory_.size());
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(handle_.Get(), &size)) return -1;
  return size.QuadPart;
}

bool File::ReadRange(std::vector<uint8_t>& buffer, int64_t offset, int64_t length) {
  int64_t total = Length();
  bool inside = total >= 0 && offset >= 0 && length >= 0 && offset <= total && length <= total - offset;
  if (inside) {
    buffer.resize(static_cast<size_t>(length));
    if (ReadAt(buffer.data(), length, offset)) return true;
  }
  buffer.clear();
  return false;
}

OpenFailureFacts ReadOpenFailureFacts(std::wstring_view path, bool writeRequested) {
  DWORD error = ::GetLastError();
  OpenFailureFacts facts;
  facts.writeRequested = writeRequested;
  facts.fileIsReadOnly = IsReadOnlyFile(std::wstring(path));
  facts.driveLetterMissing = DriveIsMissing(path);
  ::SetLastError(error);
  return facts;
}

std::string SystemErrorText(uint32_t code) {
  char* raw = nullptr;
  DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&raw), 0, nullptr);
  std::unique_ptr<char, LocalFreeDeleter> owner(raw);
  if (n == 0 || raw == nullptr) return {};
  std::string text(raw, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

bool SetFileStamp(HANDLE file, const DateTime& utcStamp) {
  if (!utcStamp.HasDate() || utcStamp.hour < 0) return false;
  SYSTEMTIME utc = ToSystemTime(utcStamp);
  FILETIME time;
  return ::SystemTimeToFileTime(&utc, &time) && ::SetFileTime(file, &time, nullptr, &time);
}

}  // namespace tl
