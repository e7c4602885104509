#pragma once
// The borderless window behind every page and dialog of a run: it covers
// the work area (or the screen, maximized) and shows the product's
// background picture. ExitInstaller takes it down.
#include <windows.h>

#include "setup/run/run_state.h"
#include "setup/ui/background_look.h"

namespace setup {

inline constexpr char kBackgroundWindowClass[] = "SEA Window Class";

// Creates and shows the window, registers it as the run's background window
// and returns it. A window that cannot be created ends the run with the
// creation fatal text.
HWND CreateBackgroundWindow(HINSTANCE instance, HICON smallIcon, HICON largeIcon, const BackgroundLook& look,
                            bool minimized);

// Gives the run's background window (if any) a new look and redraws it.
void SetBackgroundLook(const BackgroundLook& look);

}  // namespace setup
