#pragma once
// Starting programs and waiting for them.
#include <windows.h>

#include <cstdint>
#include <string>

namespace tl {

inline constexpr uint32_t kRunWait = 0x1;          // wait for the end
inline constexpr uint32_t kRunHidden = 0x10;       // SW_HIDE
inline constexpr uint32_t kRunNewConsole = 0x20;   // a console of its own
inline constexpr uint32_t kRunPumpMessages = 0x100;  // wait in 75 ms slices, pumping window messages

inline constexpr uint32_t kRunNotWaited = 0x80000001;  // not waited for, or no exit code
inline constexpr uint32_t kRunStartFailed = 0x80000000;

inline constexpr uint32_t kRunPumpSliceMs = 75;

// CreateProcess with the command line; the exit code, or one of the two
// values above. An empty working directory is the current one. Texts that
// begin with "|" are UTF-8 (a working folder with characters outside the
// ANSI code page). After kRunStartFailed the thread's last error is the
// system's reason.
uint32_t RunProcess(const std::string& commandLine, uint32_t flags, const std::string& workingDirectory);

// Dispatches the pending window messages of this thread; false after WM_QUIT,
// which is posted again for the thread's own message loop.
bool PumpWindowMessages();

// A modeless dialog of this thread whose keyboard messages (Tab, Enter,
// Esc) the pump hands to it first; nullptr for none.
void SetPumpedDialog(HWND dialog);

}  // namespace tl
