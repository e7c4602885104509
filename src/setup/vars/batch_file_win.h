#pragma once
// One batch run from start to end: "SETUPBAT.BAT" written in the working
// folder, run through the command interpreter and waited for, its output
// captured from "ov_batch.log" when the batch has a display name, both
// files deleted again. Reports what happened and shows nothing.
#include <cstdint>
#include <string>

#include "setup/vars/batch_plan.h"

namespace setup {

struct BatchOutcome {
  enum class Stage {
    kNothingToRun,  // a blank text: nothing written, nothing run
    kNotWritten,    // the batch file could not be written
    kNotStarted,    // the interpreter could not be started
    kRan,
  };
  Stage stage = Stage::kNothingToRun;
  std::string batchPath;  // full path of "SETUPBAT.BAT"
  std::string output;     // captured output without trailing white space
  uint32_t error = 0;     // the system error of kNotWritten and kNotStarted
};

// The command interpreter: COMSPEC with its variables expanded, else
// "cmd.exe" of the system folder.
std::string Interpreter();
// The 8.3 form of a path, which the interpreter's command line takes without
// quotes; the path itself when the file system has no short name for it.
std::string ShortPath(const std::string& path);

// The file begins with the run's SET lines. Pause lines are dropped when the
// run is automatic or the batch hidden, as nobody could answer them.
BatchOutcome RunBatchFile(const RunState& run, const BatchRequest& request);

}  // namespace setup
