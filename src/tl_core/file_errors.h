#pragma once
// The file object's own error codes and their fixed English texts, and the
// mapping from a system error of a failed open to one of those codes.
#include <cstdint>
#include <string_view>

namespace tl {

enum FileError : int {
  kFileOk = 0,
  kFileUnknownError = 1,
  kFileInvalidName = 2,
  kFileNotFound = 3,
  kFileDirectoryMissing = 4,
  kFileLocked = 5,
  kFileMemoryReadFailed = 6,
  kFileWriteFailed = 7,
  kFileTooManyOpen = 8,
  kFileInvalidParameter = 9,
  kFileExists = 10,
  kFileTooManyIndexed = 11,
  kFileAccessDenied = 12,
  kFileReadOnly = 13,
  kFileCorrupted = 14,
  kFileDeletionFailed = 15,
  kFileTooLarge = 16,
  kFileAborted = 17,
  kFileDirectoryCreationFailed = 18,
  kFileBadNetworkPath = 19,
  kFileDeviceNotReady = 20,
  kFileNoSuchDrive = 21,
};

// The text of a code; any code outside the table is "An unknown error occurred.".
const char* FileErrorText(int code);

// What the open knew besides the system error when it failed.
struct OpenFailureFacts {
  bool writeRequested = false;
  bool fileIsReadOnly = false;      // the existing file has the read-only attribute
  bool driveLetterMissing = false;  // the name begins with "X:" and drive X does not exist
};

// Maps the system error number of a failed open (a Win32 error code).
int MapOpenError(uint32_t systemError, const OpenFailureFacts& facts);

// Whether the name begins with a drive letter and a colon.
bool HasDriveLetter(std::string_view name);

}  // namespace tl
