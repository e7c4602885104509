#include "setup/folders/required_space_win.h"

#include <windows.h>

#include "setup/record/uninstall_record.h"
#include "tl_core/wide_text_win.h"

namespace setup {

uint32_t DriveClusterSize(const std::string& folder) {
  std::string root = VolumeRootOf(folder);
  if (root.empty()) return 0;
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  BOOL known = root.front() == '|'
                   ? ::GetDiskFreeSpaceW(tl::ToWide(root).c_str(), &sectorsPerCluster, &bytesPerSector,
                                         &freeClusters, &totalClusters)
                   : ::GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                         &totalClusters);
  if (!known) return 0;
  return sectorsPerCluster * bytesPerSector;
}

int64_t ComputeRequiredSpace(const RunState& run, const std::string& folder) {
  return RequiredSpace(run.uninstaller.size, run.payload.header.FileSizes, DriveClusterSize(folder),
                       run.product.stream.WizardBlock[0]);
}

std::optional<uint64_t> DriveFreeSpace(const std::string& folder) {
  std::string root = VolumeRootOf(folder);
  if (root.empty()) return std::nullopt;
  ULARGE_INTEGER available = {};
  if (!::GetDiskFreeSpaceExW(tl::ToWide(root).c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace setup
