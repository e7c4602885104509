#include "setup/files/write_installed_file_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "setup/files/restart_replacement_win.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_errors.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/wide_text_win.h"
#include "setup/payload/product_flags.h"

namespace setup {
namespace {

constexpr int kAttempts = 3;
constexpr DWORD kPauseBetweenAttemptsMs = 50;
constexpr size_t kVerifyBlock = 4096;

constexpr uint32_t kWriteFlags = tl::kCreateOrTruncate | tl::kNoReadAccess | tl::kNoSharingRetry;
constexpr uint32_t kVerifyFlags = tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead | tl::kNoSharingRetry;

// One attempt; 0 or the system error.
uint32_t WriteAll(const InstalledFileWrite& file) {
  tl::File out;
  if (out.Open(file.target, kWriteFlags) != tl::kFileOk) return ::GetLastError();
  if (!file.data.empty() && !out.Write(file.data.data(), static_cast<int64_t>(file.data.size())))
    return ::GetLastError();
  tl::SetFileStamp(out.handle(), file.stamp);  // after the last write, so that it stays
  return 0;
}

// Whether the file on disk holds exactly the data; the error when not.
bool Verify(const InstalledFileWrite& file, uint32_t& error) {
  tl::File in;
  if (in.Open(file.target, kVerifyFlags) != tl::kFileOk) {
    error = ::GetLastError();
    return false;
  }
  error = ERROR_FILE_INVALID;
  if (in.Length() != static_cast<int64_t>(file.data.size())) return false;
  std::vector<uint8_t> block(kVerifyBlock);
  for (size_t at = 0; at < file.data.size(); at += kVerifyBlock) {
    const size_t n = std::min(kVerifyBlock, file.data.size() - at);
    if (!in.Read(block.data(), static_cast<int64_t>(n))) {
      error = ::GetLastError();
      return false;
    }
    if (std::memcmp(block.data(), file.data.data() + at, n) != 0) return false;
  }
  return true;
}

void PrepareRetry(const RunState& run, const InstalledFileWrite& file, uint32_t error) {
  if (error == ERROR_PATH_NOT_FOUND) tl::CreateFolderWithParents(tl::FolderOfPath(file.target));
  if (run.product.Flag(kFlagClearAttributesOnRetry)) {
    DWORD attributes = tl::PathAttributes(file.target);
    if (attributes != INVALID_FILE_ATTRIBUTES)
      ::SetFileAttributesW(tl::ToWide(file.target).c_str(),
                           attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  }
}

void ApplyAttributes(const std::string& target, uint32_t attributes) {
  if (attributes == 0xFFFFFFFF) return;
  DWORD current = tl::PathAttributes(target);
  if (current == INVALID_FILE_ATTRIBUTES) return;
  DWORD wanted = (attributes & kRecordAttributeMask) | (current & ~kRecordAttributeMask);
  ::SetFileAttributesW(tl::ToWide(target).c_str(), wanted);
}

}  // namespace

bool WriteInstalledFile(RunState& run, const InstalledFileWrite& file, bool& scheduledForRestart) {
  scheduledForRestart = false;
  const bool verify = run.product.Flag(kFlagVerifyWrittenFiles);
  uint32_t error = 0;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    error = WriteAll(file);
    if (error == 0) {
      if (!verify || Verify(file, error)) {
        ApplyAttributes(file.target, file.attributes);
        return true;
      }
      if (attempt == kAttempts) {
        run.failures.RecordFailedFileWrite(file.target, tl::SystemErrorText(error));
        return false;
      }
      continue;  // a mismatch is retried at once
    }
    if (attempt == 1) PrepareRetry(run, file, error);
    if (attempt < kAttempts) ::Sleep(kPauseBetweenAttemptsMs);
  }
  RestartReplacement request{file.target, file.data, file.stamp, file.existedBefore, error};
  scheduledForRestart = ReplaceAtRestart(run, request);
  return false;
}

}  // namespace setup
