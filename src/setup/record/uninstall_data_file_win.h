#pragma once
// "Uninstall.DAT" on disk: written at the finish of an installation and
// again by the uninstall run with what remained; read by the uninstall run.
#include <string>

#include "setup/record/uninstall_data_text.h"
#include "tl_core/result.h"

namespace setup {

inline constexpr char kUninstallDataFileName[] = "Uninstall.DAT";

// The file in an UninstallDataFolder.
std::string UninstallDataFilePath(const std::string& uninstallDataFolder);

// Writes the whole text, replacing any earlier file; the system error code
// when it could not be written whole.
tl::Status WriteUninstallDataFile(const std::string& path, const UninstallDataContent& content);

struct UninstallDataFileRead {
  bool ok = false;
  UninstallDataContent content;
  int fileError = 0;  // a tl::FileError code when !ok
  std::string errorText;
};
UninstallDataFileRead ReadUninstallDataFile(const std::string& path);

}  // namespace setup
