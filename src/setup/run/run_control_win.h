#pragma once
// How a run ends: ExitInstaller, and the fatal callback that shows a fatal
// text and ends through it.
#include <windows.h>

#include <string>
#include <vector>

namespace setup {

// Ends the process: the background window goes, pending messages are pumped,
// background work is stopped, the worker thread is waited for, OLE is
// uninitialized, then the process exits with the code.
[[noreturn]] void ExitInstaller(int exitCode);

// Makes FatalMessage show its text in an error box titled with string 21
// (or "Error") and end through ExitInstaller(1).
void InstallRunFatalCallback();

// What ExitInstaller takes down; set by the steps that create them.
void SetBackgroundWindow(HWND window);
HWND BackgroundWindow();
// Folders the run created for the installation, outermost first. A
// cancelled run removes those that are still empty, deepest first; a folder
// that holds anything stays.
void RememberCreatedFolders(const std::vector<std::string>& folders);
void RemoveCreatedFoldersIfEmpty();
// Removes each folder that is empty, deepest first (the list outermost first).
void RemoveFoldersIfEmpty(const std::vector<std::string>& outermostFirst);
// A worker thread of the run (the notification request); ExitInstaller
// waits for it. Takes ownership of the handle.
void SetRunWorkerThread(HANDLE thread);
// True once ExitInstaller has begun: long background work checks it.
bool BackgroundWorkStopped();

}  // namespace setup
