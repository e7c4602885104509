#pragma once
namespace tl {
// Makes the library show its fatal texts in its own "FATAL ERROR - <app>"
// box and end the process; used until the program installs its own callback.
void UseLibraryFatalBox();
}  // namespace tl
