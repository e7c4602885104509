#include "tl_core/file_errors.h"

namespace tl {
namespace {

// The Win32 error numbers that a failed open can report.
enum SystemError : uint32_t {
  kSysFileNotFound = 2,
  kSysPathNotFound = 3,
  kSysTooManyOpenFiles = 4,
  kSysAccessDenied = 5,
  kSysInvalidDrive = 15,
  kSysNotReady = 21,
  kSysSharingViolation = 32,
  kSysRemoteNotListening = 51,
  kSysBadNetPath = 53,
  kSysNetNameDeleted = 64,
  kSysNetworkAccessDenied = 65,
  kSysBadNetName = 67,
  kSysFileExists = 80,
  kSysInvalidParameter = 87,
  kSysInvalidName = 123,
  kSysInvalidDirectoryName = 267,
  kSysNoNetwork = 1222,
};

constexpr const char* kTexts[] = {
    "Success.",
    "An unknown error occurred.",
    "The filename is invalid.",
    "The file was not found.",
    "The directory does not exist.",
    "The file is locked by another application.",
    "Failed to read the file into memory.",
    "Failed to write data to the file.",
    "Too many files are already open.",
    "An invalid parameter was used.",
    "The file already exists.",
    "Too many indexed files exist.",
    "Access denied.",
    "The file's Read-Only attribute is set.",
    "The file's contents are corrupted.",
    "Deletion failed.",
    "The file is too large to load into memory.",
    "Aborted by the user.",
    "Failed to create the directory.",
    "The network path is not valid.",
    "The device is not ready (usually because no disk is inserted).",
    "The drive does not exist.",
};
constexpr int kTextCount = sizeof kTexts / sizeof kTexts[0];
static_assert(kTextCount == kFileNoSuchDrive + 1, "one text per code");

bool IsNetworkError(uint32_t error) {
  switch (error) {
    case kSysRemoteNotListening:
    case kSysBadNetPath:
    case kSysNetNameDeleted:
    case kSysNetworkAccessDenied:
    case kSysBadNetName:
    case kSysNoNetwork:
      return true;
    default:
      return false;
  }
}

std::string_view WithoutUtf8Marker(std::string_view name) {
  return !name.empty() && name.front() == '|' ? name.substr(1) : name;
}

int LetterIndex(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a';
  return -1;
}

CreationMode CreationModeOf(uint32_t flags) {
  switch (flags & kCreationMask) {
    case kOpenExisting:
      return CreationMode::kOpenExisting;
    case kCreateNew:
      return CreationMode::kCreateNew;
    case kCreateOrTruncate:
      return CreationMode::kCreateOrTruncate;
    default:
      return CreationMode::kOpenOrCreate;
  }
}

}  // namespace

const char* FileErrorText(int code) {
  if (code < 0 || code >= kTextCount) return kTexts[kFileUnknownError];
  return kTexts[code];
}

int MapOpenError(uint32_t systemError, const OpenFailureFacts& facts) {
  if (IsNetworkError(systemError)) return kFileBadNetworkPath;
  switch (systemError) {
    // Windows reports a missing drive as a missing path, Wine as a missing
    // file when the name lies in the drive's root; either way the drive is
    // what is missing.
    case kSysFileNotFound:
      return facts.driveLetterMissing ? kFileNoSuchDrive : kFileNotFound;
    case kSysPathNotFound:
      return facts.driveLetterMissing ? kFileNoSuchDrive : kFileDirectoryMissing;
    case kSysInvalidDrive:
      return kFileNoSuchDrive;
    case kSysTooManyOpenFiles:
      return kFileTooManyOpen;
    case kSysAccessDenied:
      return facts.writeRequested && facts.fileIsReadOnly ? kFileReadOnly : kFileAccessDenied;
    case kSysNotReady:
      return kFileDeviceNotReady;
    case kSysSharingViolation:
      return kFileLocked;
    case kSysFileExists:
      return kFileExists;
    case kSysInvalidParameter:
      return kFileInvalidParameter;
    case kSysInvalidName:
      return kFileInvalidName;
    default:
      return kFileUnknownError;
  }
}

int MapTemporaryFileError(uint32_t systemError, const OpenFailureFacts& facts) {
  if (systemError == kSysInvalidDirectoryName) return MapOpenError(kSysPathNotFound, facts);
  return MapOpenError(systemError, facts);
}

bool HasDriveLetter(std::string_view name) { return DriveIndex(name) >= 0; }

int DriveIndex(std::string_view name) {
  std::string_view path = WithoutUtf8Marker(name);
  if (path.size() < 2 || path[1] != ':') return -1;
  return LetterIndex(path[0]);
}

OpenAccess DecideOpenAccess(uint32_t flags) {
  OpenAccess access;
  access.read = (flags & kNoReadAccess) == 0;
  access.write = (flags & kNoWriteAccess) == 0;
  access.shareRead = (flags & kShareRead) || ((flags & kShareWrite) && !access.read);
  access.shareWrite = (flags & kShareWrite) || ((flags & kShareRead) && !access.write);
  access.creation = CreationModeOf(flags);
  return access;
}

std::optional<uint32_t> OpenRetryPolicy::PauseAfterFailure(bool sharingViolation) {
  ++failures_;
  if (failures_ == 1 && (flags_ & kRetryAfterPause)) return kPauseBeforeSecondTryMs;
  if (!sharingViolation || (flags_ & kNoSharingRetry)) return std::nullopt;
  if (sharingRetries_ >= kMaxSharingRetries) return std::nullopt;
  ++sharingRetries_;
  return kSharingRetryPauseMs;
}

}  // namespace tl
