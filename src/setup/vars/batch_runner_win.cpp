#include "setup/vars/batch_runner_win.h"

#include <windows.h>

#include "setup/report/install_log_win.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/vars/batch_file_win.h"
#include "tl_core/file_win.h"
#include "tl_core/text.h"

namespace setup {
namespace {

void ShowBatchError(const char* format, const BatchOutcome& outcome) {
  const std::string text = tl::Format(format, outcome.batchPath.c_str(), tl::SystemErrorText(outcome.error).c_str());
  ::MessageBoxA(CurrentTopWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

void RunBatch(const RunState& run, const BatchRequest& request) {
  const bool automatic = run.automaticMode;
  const BatchOutcome outcome = RunBatchFile(run, request);
  switch (outcome.stage) {
    case BatchOutcome::Stage::kNothingToRun:
      break;
    case BatchOutcome::Stage::kNotWritten:
      if (!automatic) ShowBatchError("Unable to create batch file \"%s\".\r\n\r\n%s", outcome);
      break;
    case BatchOutcome::Stage::kNotStarted:
      if (!automatic) ShowBatchError("Unable to launch batch file \"%s\".\r\n\r\n%s", outcome);
      break;
    case BatchOutcome::Stage::kRan:
      if (!request.displayName.empty() && !outcome.output.empty())
        InstallLog().AppendParts({"\r\nRunning ", request.displayName, "...\r\n", outcome.output, "\r\n"});
      break;
  }
}

void RunPreInstallationBatches(const RunState& run) {
  for (const BatchRequest& batch : PreInstallationBatches(run)) RunBatch(run, batch);
}

void RunPostInstallationBatch(const RunState& run) { RunBatch(run, PostInstallationBatch(run)); }

void RunInstallationExitBatch(const RunState& run) { RunBatch(run, InstallationExitBatch(run)); }

}  // namespace setup
