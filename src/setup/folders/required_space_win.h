#pragma once
// The disk space an installation needs, and what a drive has.
#include <cstdint>
#include <optional>
#include <string>

#include "setup/run/run_state.h"

namespace setup {

// The disk requirement of the run in bytes, with the cluster size of the
// drive of `folder` (4096 when the drive does not tell).
int64_t ComputeRequiredSpace(const RunState& run, const std::string& folder);
inline int64_t ComputeRequiredSpace(const RunState& run) {
  return ComputeRequiredSpace(run, run.folders.installLocation);
}

// The cluster size of the drive the folder lies on, or 0 when it cannot be found.
uint32_t DriveClusterSize(const std::string& folder);

// The free bytes of the drive the folder lies on (the folder need not
// exist yet), or nothing when the drive does not tell.
std::optional<uint64_t> DriveFreeSpace(const std::string& folder);

}  // namespace setup
