#pragma once
// The run's InstallLog (a temporary file every step appends to) and the
// final "Install.LOG" in the UninstallDataFolder.
#include <initializer_list>
#include <string>
#include <string_view>

namespace setup {

// Creates the temporary InstallLog ("TLT" prefix, system temporary folder).
// False when it cannot be created; appends then do nothing.
bool OpenInstallLog();

// Appends exactly the given characters (no line end is added). Without an
// open InstallLog they are dropped.
void AppendLog(std::string_view text);
void AppendLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AppendLogParts(std::initializer_list<std::string_view> parts);

// The path of the open temporary InstallLog; empty when none is open.
std::string TemporaryLogPath();

// The UninstallDataFolder joined with "Install.LOG".
std::string InstallLogPath();

// Writes "Install.LOG" (header, the InstallLog, the outcome) and, when
// interactive and not automatic, tells the user the outcome. Always ends by
// discarding the temporary InstallLog.
void WriteInstallLog(bool reinstall, bool interactive, const std::string& summary);

// Opens "Install.LOG" with the shell, else with Notepad.
void ShowInstallLog();

// Closes and deletes the temporary InstallLog.
void DiscardTemporaryLog();

}  // namespace setup
