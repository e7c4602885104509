#pragma once
// The library's file object: opens with the library's flag word, retries as
// the flags ask, maps failures to the codes of file_errors.h and reads at
// positions. A narrow name that begins with "|" is UTF-8.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tl_core/file_errors.h"
#include "tl_core/scoped_handle_win.h"

namespace tl {

// Open flags.
enum : uint32_t {
  kOpenOrCreate = 0x0,
  kOpenExisting = 0x1,
  kCreateNew = 0x2,
  kCreateOrTruncate = 0x3,
  kCreationMask = 0x3,
  kNoReadAccess = 0x8,
  kNoWriteAccess = 0x10,
  kRequiredFile = 0x20,
  kRetryAfterPause = 0x40,
  kLoadIntoMemory = 0x80,
  kShareRead = 0x100,
  kShareWrite = 0x200,
  kSeekToEnd = 0x400,
  kNoSharingRetry = 0x1000,
  kWideName = 0x2000,
  kNameGenerationMask = 0xE0000000u,
  kNewTemporaryName = 0x20000000u,
  kTemporaryNameFromName = 0x40000000u,
  kNameInTemporaryFolder = 0x60000000u,
};

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&&) noexcept = default;
  File& operator=(File&&) noexcept = default;
  ~File() = default;

  // Returns 0 or a FileError code. An open handle is closed first. With
  // kWideName the name is UTF-16 text passed as its bytes; prefer OpenWide.
  int Open(std::string_view name, uint32_t flags, uint32_t attributes = FILE_ATTRIBUTE_NORMAL);
  int OpenWide(std::wstring_view name, uint32_t flags, uint32_t attributes = FILE_ATTRIBUTE_NORMAL);
  void Close();
  bool IsOpen() const;

  // Reads length bytes at an absolute position and restores the position.
  // Length 0 succeeds without reading; a negative length fails.
  bool ReadAt(void* destination, int64_t length, int64_t position);
  bool Read(void* destination, int64_t length);
  bool Write(const void* source, int64_t length);
  bool Seek(int64_t position);
  int64_t Position() const;
  // Size of the file (or of the in-memory copy); -1 when no file is open.
  int64_t Length() const;
  // Succeeds only for 0 <= offset, 0 <= length, offset + length <= Length();
  // on failure the buffer is emptied.
  bool ReadRange(std::vector<uint8_t>& buffer, int64_t offset, int64_t length);

  HANDLE handle() const { return handle_.Get(); }
  const std::string& name() const { return name_; }
  const std::wstring& wideName() const { return wideName_; }
  bool inMemory() const { return inMemory_; }
  const std::vector<uint8_t>& memoryCopy() const { return memory_; }
  // The text of the last failed open.
  const std::string& lastErrorText() const { return lastErrorText_; }

 private:
  int OpenResolved(uint32_t flags, uint32_t attributes);

  ScopedFileHandle handle_;
  std::string name_;
  std::wstring wideName_;
  bool readRequested_ = false;
  bool writeRequested_ = false;
  bool inMemory_ = false;
  std::vector<uint8_t> memory_;
  int64_t memoryPosition_ = 0;
  std::string lastErrorText_;
};

// The system's text for a Win32 error number, without trailing line ends.
std::string SystemErrorText(uint32_t code);

}  // namespace tl
