#include "setup/integration/background_bitmap_win.h"

#include <windows.h>

#include "setup/payload/product_flags.h"
#include "setup/report/install_log_win.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr int64_t kMaxBitmapFileSize = 64ll * 1024 * 1024;

// 0, or the system error of the step that failed.
uint32_t WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string fresh = path + ".new";
  {
    tl::File file;
    if (file.Open(fresh, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk) return ::GetLastError();
    if (!file.Write(bytes.data(), static_cast<int64_t>(bytes.size()))) {
      const uint32_t error = ::GetLastError();
      file.Close();
      ::DeleteFileW(tl::ToWide(fresh).c_str());
      return error;
    }
  }
  if (!::MoveFileExW(tl::ToWide(fresh).c_str(), tl::ToWide(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const uint32_t error = ::GetLastError();
    ::DeleteFileW(tl::ToWide(fresh).c_str());
    return error;
  }
  return 0;
}

}  // namespace

void WriteBackgroundBitmap(RunState& run) {
  const std::vector<uint8_t>& bitmap = run.product.stream.Bitmap;
  if (!run.product.Flag(kFlagUninstallerBackground) || bitmap.empty() || !run.WantsUninstaller()) return;
  const std::string path = tl::JoinPath(run.folders.uninstallDataFolder, kBackgroundBitmapFileName);
  if (const uint32_t error = WriteWhole(path, bitmap)) {
    InstallLog().AppendParts(
        {"Failed to write the background bitmap \"", path, "\": ", tl::SystemErrorText(error), "\r\n"});
    return;
  }
  run.uninstallData.RecordPath(path, UninstallPathKind::kFile);
}

std::vector<uint8_t> ReadBackgroundBitmap(const std::string& uninstallDataFolder) {
  std::vector<uint8_t> bytes;
  tl::File file;
  const std::string path = tl::JoinPath(uninstallDataFolder, kBackgroundBitmapFileName);
  if (file.Open(path, tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead) != tl::kFileOk) return bytes;
  const int64_t length = file.Length();
  if (length <= 0 || length > kMaxBitmapFileSize || !file.ReadRange(bytes, 0, length)) bytes.clear();
  return bytes;
}

}  // namespace setup
