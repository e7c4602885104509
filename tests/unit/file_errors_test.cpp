#include "tl_core/file_errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tl {
namespace {

struct TextCase {
  int code;
  const char* text;
};

TEST(FileErrorText, EveryCodeHasItsText) {
  const TextCase cases[] = {
      {0, "Success."},
      {1, "An unknown error occurred."},
      {2, "The filename is invalid."},
      {3, "The file was not found."},
      {4, "The directory does not exist."},
      {5, "The file is locked by another application."},
      {6, "Failed to read the file into memory."},
      {7, "Failed to write data to the file."},
      {8, "Too many files are already open."},
      {9, "An invalid parameter was used."},
      {10, "The file already exists."},
      {11, "Too many indexed files exist."},
      {12, "Access denied."},
      {13, "The file's Read-Only attribute is set."},
      {14, "The file's contents are corrupted."},
      {15, "Deletion failed."},
      {16, "The file is too large to load into memory."},
      {17, "Aborted by the user."},
      {18, "Failed to create the directory."},
      {19, "The network path is not valid."},
      {20, "The device is not ready (usually because no disk is inserted)."},
      {21, "The drive does not exist."},
  };
  for (const TextCase& c : cases) EXPECT_STREQ(FileErrorText(c.code), c.text) << "code " << c.code;
}

TEST(FileErrorText, CodesOutsideTheTableAreUnknown) {
  for (int code : {1, 22, 99, -1, 1000})
    EXPECT_STREQ(FileErrorText(code), "An unknown error occurred.") << "code " << code;
}

struct MappingCase {
  uint32_t systemError;
  OpenFailureFacts facts;
  int expected;
  const char* what;
};

TEST(MapOpenError, SystemErrorsBecomeLibraryCodes) {
  const OpenFailureFacts none;
  const OpenFailureFacts writing{true, false, false};
  const OpenFailureFacts readOnly{false, true, false};
  const OpenFailureFacts writingReadOnly{true, true, false};
  const OpenFailureFacts noDrive{false, false, true};
  const MappingCase cases[] = {
      {2, none, kFileNotFound, "file not found"},
      {3, none, kFileDirectoryMissing, "path not found"},
      {3, noDrive, kFileNoSuchDrive, "path not found on a missing drive"},
      {2, noDrive, kFileNoSuchDrive, "file not found on a missing drive"},
      {5, noDrive, kFileAccessDenied, "the drive rule belongs to the not-found errors only"},
      {15, none, kFileNoSuchDrive, "invalid drive"},
      {4, none, kFileTooManyOpen, "too many open files"},
      {5, none, kFileAccessDenied, "access denied"},
      {5, writing, kFileAccessDenied, "access denied while writing a writable file"},
      {5, readOnly, kFileAccessDenied, "read-only file but no write requested"},
      {5, writingReadOnly, kFileReadOnly, "read-only file opened for writing"},
      {21, none, kFileDeviceNotReady, "not ready"},
      {32, none, kFileLocked, "sharing violation"},
      {51, none, kFileBadNetworkPath, "remote not listening"},
      {53, none, kFileBadNetworkPath, "bad network path"},
      {64, none, kFileBadNetworkPath, "network name deleted"},
      {65, none, kFileBadNetworkPath, "network access denied"},
      {67, none, kFileBadNetworkPath, "bad network name"},
      {1222, none, kFileBadNetworkPath, "no network"},
      {80, none, kFileExists, "file exists"},
      {87, none, kFileInvalidParameter, "invalid parameter"},
      {123, none, kFileInvalidName, "invalid name"},
      {0, none, kFileUnknownError, "no error at all"},
      {52, none, kFileUnknownError, "a network error outside the list"},
      {183, none, kFileUnknownError, "already exists is not file exists"},
      {1223, none, kFileUnknownError, "cancelled"},
  };
  for (const MappingCase& c : cases)
    EXPECT_EQ(MapOpenError(c.systemError, c.facts), c.expected) << c.what << " (" << c.systemError << ")";
}

TEST(MapTemporaryFileError, AnInvalidDirectoryIsAMissingOne) {
  const OpenFailureFacts none;
  const OpenFailureFacts noDrive{true, false, true};
  EXPECT_EQ(MapTemporaryFileError(267, none), kFileDirectoryMissing);
  EXPECT_EQ(MapTemporaryFileError(267, noDrive), kFileNoSuchDrive);
  EXPECT_EQ(MapTemporaryFileError(5, none), kFileAccessDenied);
  EXPECT_EQ(MapOpenError(267, none), kFileUnknownError);
}

TEST(DriveIndex, ReadsTheLetterBeforeTheColon) {
  const struct {
    const char* name;
    int index;
  } cases[] = {
      {"C:\\x", 2},       {"c:", 2},      {"z:file", 25},  {"A:\\", 0},        {"|Q:\\\xD0\xB6", 16},
      {"\\\\srv\\s", -1}, {"1:\\x", -1},  {"C", -1},       {"", -1},           {"|", -1},
      {"CD:\\", -1},      {"\\C:\\", -1}, {"\xC3:\\", -1}, {"|\xD0\xB6:", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveIndex(c.name), c.index) << c.name;
    EXPECT_EQ(HasDriveLetter(c.name), c.index >= 0) << c.name;
  }
}

struct AccessCase {
  uint32_t flags;
  bool read, write, shareRead, shareWrite;
  CreationMode creation;
};

TEST(DecideOpenAccess, FlagsGiveAccessSharingAndCreation) {
  const AccessCase cases[] = {
      {0x000, true, true, false, false, CreationMode::kOpenOrCreate},
      {0x001, true, true, false, false, CreationMode::kOpenExisting},
      {0x002, true, true, false, false, CreationMode::kCreateNew},
      {0x003, true, true, false, false, CreationMode::kCreateOrTruncate},
      {0x008, false, true, false, false, CreationMode::kOpenOrCreate},
      {0x010, true, false, false, false, CreationMode::kOpenOrCreate},
      {0x018, false, false, false, false, CreationMode::kOpenOrCreate},
      {0x100, true, true, true, false, CreationMode::kOpenOrCreate},
      {0x200, true, true, false, true, CreationMode::kOpenOrCreate},
      {0x300, true, true, true, true, CreationMode::kOpenOrCreate},
      // The program's own file: a reader that does not write lets others write.
      {0x111, true, false, true, true, CreationMode::kOpenExisting},
      // A writer that does not read lets others read.
      {0x208, false, true, true, true, CreationMode::kOpenOrCreate},
      // Implications need the matching share flag.
      {0x018 | 0x400, false, false, false, false, CreationMode::kOpenOrCreate},
  };
  for (const AccessCase& c : cases) {
    OpenAccess a = DecideOpenAccess(c.flags);
    SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
    EXPECT_EQ(a.read, c.read);
    EXPECT_EQ(a.write, c.write);
    EXPECT_EQ(a.shareRead, c.shareRead);
    EXPECT_EQ(a.shareWrite, c.shareWrite);
    EXPECT_EQ(a.creation, c.creation);
  }
}

// Runs the policy against an open that keeps failing the same way and
// returns the pauses it asked for; tries = pauses + 1.
std::vector<uint32_t> PausesWhileFailing(uint32_t flags, bool sharingViolation) {
  OpenRetryPolicy policy(flags);
  std::vector<uint32_t> pauses;
  while (auto pause = policy.PauseAfterFailure(sharingViolation)) {
    pauses.push_back(*pause);
    if (pauses.size() > 20) break;  // a policy that never gives up
  }
  return pauses;
}

TEST(OpenRetryPolicy, PausesForEachWayOfFailing) {
  using Pauses = std::vector<uint32_t>;
  const struct {
    uint32_t flags;
    bool sharing;
    Pauses expected;
    const char* what;
  } cases[] = {
      {0, true, {100, 100, 100, 100, 100}, "sharing violation: six tries in all"},
      {kNoSharingRetry, true, {}, "no sharing retry: one try"},
      {0, false, {}, "other errors are not retried"},
      {kRetryAfterPause, false, {150}, "one pause after the first failure"},
      {kRetryAfterPause | kNoSharingRetry, true, {150}, "the pause applies to any failure"},
      {kRetryAfterPause, true, {150, 100, 100, 100, 100, 100}, "then the sharing retries"},
  };
  for (const auto& c : cases) EXPECT_EQ(PausesWhileFailing(c.flags, c.sharing), c.expected) << c.what;
}

TEST(OpenRetryPolicy, SharingRetriesStopAtTheFirstOtherError) {
  OpenRetryPolicy policy(0);
  EXPECT_EQ(policy.PauseAfterFailure(true), std::optional<uint32_t>(100));
  EXPECT_EQ(policy.PauseAfterFailure(true), std::optional<uint32_t>(100));
  EXPECT_EQ(policy.PauseAfterFailure(false), std::nullopt);
}

}  // namespace
}  // namespace tl
