#pragma once
// The file object's pure decisions: its own error codes and their fixed
// English texts, the mapping from a system error of a failed open to one of
// those codes, and what the open flag word asks for (access, sharing,
// creation mode, retries).
#include <cstdint>
#include <optional>
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
// The same for a failure to make a unique temporary file in a folder, where
// the system calls a missing folder an invalid directory name.
int MapTemporaryFileError(uint32_t systemError, const OpenFailureFacts& facts);

// Whether the name begins with a drive letter and a colon. The "|" that marks
// a UTF-8 name is not part of the path and is looked past.
bool HasDriveLetter(std::string_view name);
// 0 for drive A up to 25 for drive Z, or -1 when the name has no drive letter.
int DriveIndex(std::string_view name);

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

enum class CreationMode { kOpenOrCreate, kOpenExisting, kCreateNew, kCreateOrTruncate };

// Access, sharing and creation mode that a flag word asks for. Sharing that
// cannot hurt is granted: whoever does not read lets others read when it lets
// them write, and whoever does not write lets others write when it lets them read.
struct OpenAccess {
  bool read = false;
  bool write = false;
  bool shareRead = false;
  bool shareWrite = false;
  CreationMode creation = CreationMode::kOpenOrCreate;
};
OpenAccess DecideOpenAccess(uint32_t flags);

constexpr uint32_t kPauseBeforeSecondTryMs = 150;
constexpr uint32_t kSharingRetryPauseMs = 100;
constexpr int kMaxSharingRetries = 5;

// Decides after each failed try of one open whether to try again. The single
// pause that kRetryAfterPause asks for follows the first failure of any kind
// and is not counted among the sharing-violation retries.
class OpenRetryPolicy {
 public:
  explicit OpenRetryPolicy(uint32_t flags) : flags_(flags) {}
  // The pause in milliseconds before the next try, or nothing to give up.
  std::optional<uint32_t> PauseAfterFailure(bool sharingViolation);

 private:
  uint32_t flags_;
  int failures_ = 0;
  int sharingRetries_ = 0;
};

}  // namespace tl
