#pragma once
// The run's message boxes: questions with buttons relabelled from the
// string table, errors that automatic runs keep quiet, and cancelling.
#include <windows.h>

#include <string>

#include "setup/run/run_state.h"

namespace setup {

// How the run's boxes and waits behave; the run sets it once its mode is
// known, and again when the mode changes.
struct Interaction {
  bool automatic = false;  // no questions, no waits
  bool uninstalling = false;
  bool errorBoxesWhenAutomatic = false;  // ProductFlags bit 35
  bool buttonPictures = false;           // ProductFlags2 bit 10
};
Interaction InteractionOf(const RunState& run);
void SetInteraction(const Interaction& interaction);
const Interaction& CurrentInteraction();

// The window that owns the run's boxes: the active window of this thread,
// else the background window (may be none).
HWND CurrentTopWindow();

// A box with the Yes/No/Cancel/Retry buttons relabelled (strings 79, 80, 49,
// 100), with pictures on its buttons when the run asks for them (they are
// then widened to fit, and their row centred again); returns the button
// pressed.
int ShowRunMessageBox(const std::string& text, const std::string& caption, UINT style);

[[nodiscard]] bool AskYesNo(const std::string& text, const std::string& caption);
[[nodiscard]] bool AskOkCancel(const std::string& text, const std::string& caption);

// An error box titled with string 21 ("Error" when empty); nothing for an
// empty text, and nothing in automatic mode unless ProductFlags bit 35
// asks for error boxes.
void ShowError(const std::string& text);

// An information box with the run's title (string 0), shown in every mode:
// the start checks stop with these.
void ShowStopMessage(const std::string& text);

// Unless automatic, warns with string 98 (101 when uninstalling), then takes
// back what the run created so far (see UndoCreatedItems) and ends the run
// with exit code 1.
[[noreturn]] void CancelInstallation();

}  // namespace setup
