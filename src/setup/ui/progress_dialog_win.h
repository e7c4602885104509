#pragma once
// The modeless progress dialog over the background window: a bar in
// percent, one status line and a cancel button. The progress calls write to
// it while it is open.
#include <optional>
#include <string>

#include "setup/run/run_state.h"

namespace setup {

// Opens the dialog when the product asks for it (ProductFlags bit 51) and
// the run shows its windows. Its cancel asks string 28 and cancels the run;
// it is disabled in the uninstall run and with ProductFlags bit 21. While
// it is open, logging off and shutting down are refused.
// `headerFirstLine` replaces DialogCaption as the header's first line (the
// uninstaller has it from "Uninstall.DAT").
void OpenProgressDialog(const RunState& run, const std::optional<std::string>& headerFirstLine = std::nullopt);

// From here on the run cannot be taken back: cancel is disabled.
void DisableProgressCancel();

// Destroys the dialog; the progress calls then only pump messages.
void CloseProgressDialog();

}  // namespace setup
