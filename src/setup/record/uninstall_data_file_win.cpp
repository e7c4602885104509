#include "setup/record/uninstall_data_file_win.h"

#include <windows.h>

#include "tl_core/file_win.h"
#include "tl_core/path_text.h"

namespace setup {

std::string UninstallDataFilePath(const std::string& uninstallDataFolder) {
  return tl::JoinPath(uninstallDataFolder, kUninstallDataFileName);
}

tl::Status WriteUninstallDataFile(const std::string& path, const UninstallDataContent& content) {
  const std::string text = WriteUninstallDataText(content);
  tl::File file;
  if (file.Open(path, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk ||
      !file.Write(text.data(), static_cast<int64_t>(text.size())))
    return tl::SysError{::GetLastError()};
  return tl::Status::Ok();
}

UninstallDataFileRead ReadUninstallDataFile(const std::string& path) {
  UninstallDataFileRead read;
  tl::File file;
  read.fileError = file.Open(path, tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead);
  if (read.fileError != tl::kFileOk) {
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  std::vector<uint8_t> bytes;
  const int64_t length = file.Length();
  if (length > static_cast<int64_t>(kMaxUninstallDataTextSize)) {
    read.fileError = tl::kFileTooLarge;
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  if (!file.ReadRange(bytes, 0, length)) {
    read.fileError = tl::kFileUnknownError;
    read.errorText = tl::SystemErrorText(::GetLastError());
    return read;
  }
  UninstallDataReadResult parsed =
      ReadUninstallDataText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!parsed.ok()) {
    read.fileError = parsed.error == UninstallDataReadError::kTooLarge ? tl::kFileTooLarge : tl::kFileCorrupted;
    read.errorText = tl::FileErrorText(read.fileError);
    return read;
  }
  read.ok = true;
  read.content = std::move(parsed.content);
  return read;
}

}  // namespace setup
