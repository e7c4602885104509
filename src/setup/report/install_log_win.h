#pragma once
// The run's InstallLog (a temporary file every step appends to) and the
// final "Install.LOG" in the UninstallDataFolder.
#include <initializer_list>
#include <string>
#include <string_view>

#include "setup/run/finish_choices.h"
#include "setup/run/run_state.h"
#include "tl_core/result.h"
#include "tl_core/text_sink.h"

namespace setup {

// Creates the temporary InstallLog ("TLT" prefix, system temporary folder).
// The system's error code when it cannot be created; appends then do nothing.
tl::Status OpenInstallLog();

// Appends exactly the given characters (no line end is added). Without an
// open InstallLog they are dropped.
void AppendLog(std::string_view text);
// The same, with its formatted and piecewise appends.
tl::TextSink& InstallLog();

// The path of the open temporary InstallLog; empty when none is open.
std::string TemporaryLogPath();

// The UninstallDataFolder joined with "Install.LOG".
std::string InstallLogPath(const std::string& uninstallDataFolder);

// Writes "Install.LOG" (header, the InstallLog, the outcome) and, when
// interactive and not automatic, tells the user the outcome. Always ends by
// discarding the temporary InstallLog.
// `reinstall`: an earlier installation was found. The run's FailureSummary
// is the outcome. Returns the finish actions the user chose on the summary
// page (none when no page was shown).
FinishChoices WriteInstallLog(const RunState& run, bool reinstall, bool interactive);

// A cancelled installation: when it replaced files, "Install.LOG" gets a
// block that lists them (nothing else of the run stays to tell). Always ends
// by discarding the temporary InstallLog.
void WriteCancelledInstallLog(const RunState& run, const std::vector<std::string>& replacedFiles);

// Opens "Install.LOG" with the shell, else with Notepad.
void ShowInstallLog(const std::string& logPath);

// Closes and deletes the temporary InstallLog.
void DiscardTemporaryLog();

}  // namespace setup
