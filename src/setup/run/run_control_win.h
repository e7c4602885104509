#pragma once
// How a run ends: ExitInstaller, and the fatal callback that shows a fatal
// text and ends through it.
#include <windows.h>

#include <functional>
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
// What a cancelled installation takes back. Folders the run created,
// outermost first within each creation; files the run created (a file is
// remembered before its first byte is written, so a half-written one goes
// too). A cancel deletes the files, last first, then removes the folders
// that are empty, deepest first; a folder that holds anything stays.
void RememberCreatedFolders(const std::vector<std::string>& folders);
void RememberCreatedFile(const std::string& path);
// Files the run replaced: a cancel cannot give them back; they are listed.
void RememberReplacedFile(const std::string& path);
const std::vector<std::string>& ReplacedFiles();
void UndoCreatedItems();
// Removes each folder that is empty, deepest first (the list outermost first).
void RemoveFoldersIfEmpty(const std::vector<std::string>& outermostFirst);
// Runs when a run is cancelled, before its created items are undone (the
// install run writes its log of replaced files there).
void SetCancelReport(std::function<void()> report);
void RunCancelReport();
// A worker thread of the run (the notification request); ExitInstaller
// waits for it. Takes ownership of the handle.
void SetRunWorkerThread(HANDLE thread);
// True once ExitInstaller has begun: long background work checks it.
bool BackgroundWorkStopped();

}  // namespace setup
