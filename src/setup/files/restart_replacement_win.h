#pragma once
// Files in use: parked beside their target and moved into place at the
// next system start; the system's pending renames pruned after extraction.
#include <cstdint>
#include <span>
#include <string>

#include "setup/files/installed_file_set.h"
#include "setup/run/run_state.h"
#include "tl_core/date_time.h"

namespace setup {

// MoveFileEx with the delay flag (wininit.ini where the system needs it).
// True when scheduled; the thread's last error is then 170 (busy).
[[nodiscard]] bool ScheduleRestartMove(const std::string& source, const std::string& destination);
[[nodiscard]] bool ScheduleRestartDelete(const std::string& path);

struct RestartReplacement {
  std::string target;
  std::span<const uint8_t> data;
  tl::DateTime stamp;
  bool existedBefore = false;
  uint32_t lastError = 0;  // of the last failed write
};

// After three failed writes: parks the data in a "TLT" file and schedules
// the move, or explains why not. Messages go to the InstallLog (scheduled)
// or the run's FailureSummary; a scheduled move makes the run require a
// restart. Returns true when the move was scheduled.
[[nodiscard]] bool ReplaceAtRestart(RunState& run, const RestartReplacement& request);

// Removes from PendingFileRenameOperations every pair that would overwrite
// or delete a file this run wrote; logs each removal when `log` is true.
void PruneRestartRenames(const InstalledFileSet& written, bool log);

}  // namespace setup
