#pragma once
// The library's file object: opens with the library's flag word, retries as
// the flags ask, maps failures to the codes of file_errors.h and reads at
// positions. A narrow name that begins with "|" is UTF-8. The open flags
// (kOpenExisting, kShareRead, ...) are declared in file_errors.h.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tl_core/date_time.h"
#include "tl_core/file_errors.h"
#include "tl_core/scoped_handle_win.h"

namespace tl {

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
  // After a failed open the system's last error is the one the system set.
  // With a name-generation pattern in the top bits, name() and wideName()
  // hold the generated name afterwards.
  int Open(std::string_view name, uint32_t flags, uint32_t attributes = FILE_ATTRIBUTE_NORMAL);
  int OpenWide(std::wstring_view name, uint32_t flags, uint32_t attributes = FILE_ATTRIBUTE_NORMAL);
  // Closes the handle and drops the in-memory copy; the names stay.
  void Close();
  bool IsOpen() const;

  // Reads length bytes at an absolute position and restores the position.
  // Length 0 succeeds without reading; a negative length fails.
  bool ReadAt(void* destination, int64_t length, int64_t position);
  // Reads exactly length bytes at the current position and moves past them.
  bool Read(void* destination, int64_t length);
  // Writes all bytes at the current position; fails in memory mode, whose
  // copy is a snapshot for reading.
  bool Write(const void* source, int64_t length);
  // Positions from the start; a negative position fails.
  bool Seek(int64_t position);
  // The current position; -1 when no file is open.
  int64_t Position() const;
  // Size of the file (or of the in-memory copy); -1 when no file is open.
  int64_t Length() const;
  // Succeeds only for 0 <= offset, 0 <= length, offset + length <= Length();
  // on failure the buffer is emptied.
  bool ReadRange(std::vector<uint8_t>& buffer, int64_t offset, int64_t length);

  HANDLE handle() const { return handle_.Get(); }
  const std::string& name() const { return name_; }
  const std::wstring& wideName() const { return wideName_; }
  bool readRequested() const { return readRequested_; }
  bool writeRequested() const { return writeRequested_; }
  bool inMemory() const { return inMemory_; }
  const std::vector<uint8_t>& memoryCopy() const { return memory_; }
  // The text of the last failed open.
  const std::string& lastErrorText() const { return lastErrorText_; }

 private:
  int OpenResolved(uint32_t flags, uint32_t attributes);
  // Replaces the given name by the one the top flag bits ask for; returns 0
  // or a FileError code. createdFile tells whether a file was made for it.
  int GenerateName(uint32_t pattern, bool& createdFile);
  int FailOpen(int code, uint32_t flags);
  bool LoadIntoMemory();
  bool ReadFromHandle(void* destination, int64_t length);
  bool ReadFromMemory(void* destination, int64_t length);

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

// Sets an open file's creation and last-write time from a stamp taken as
// UTC; a stamp without a date or a time leaves them alone (false).
bool SetFileStamp(HANDLE file, const DateTime& utcStamp);

// What the file system says about a path whose open has failed: whether it
// is a read-only file and whether its drive letter names no drive. Leaves the
// last error as it was.
OpenFailureFacts ReadOpenFailureFacts(std::wstring_view path, bool writeRequested);

}  // namespace tl
