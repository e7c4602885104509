#pragma once
// Writing one extracted file to its target: three attempts, optional
// verification, the record's times and attributes, and the restart
// replacement of a file in use.
#include <cstdint>
#include <span>
#include <string>

#include "setup/run/run_state.h"
#include "tl_core/date_time.h"

namespace setup {

struct InstalledFileWrite {
  std::string target;
  std::span<const uint8_t> data;
  tl::DateTime stamp;                // UTC; set when it has a date and a time
  uint32_t attributes = 0xFFFFFFFF;  // 0xFFFFFFFF: leave as created
  bool existedBefore = false;
};

// True when the file is in place now. A file that could not be written is
// explained in the run's FailureSummary, or parked for the next system start
// (then `scheduledForRestart` is set); both return false.
[[nodiscard]] bool WriteInstalledFile(RunState& run, const InstalledFileWrite& file, bool& scheduledForRestart);

// Only these attribute bits come from the record: read-only, hidden,
// system, archive, temporary, offline.
inline constexpr uint32_t kRecordAttributeMask = 0x1127;

}  // namespace setup
