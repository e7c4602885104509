#include "setup/report/install_log_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "setup/report/install_log_text.h"
#include "setup/strings/string_table.h"
#include "tl_core/text.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/text_sink.h"
#include "tl_core/local_time_win.h"
#include "tl_core/os_facts_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// Appends are collected and written in pieces of this size; the final copy
// into "Install.LOG" reads in blocks of the same size.
constexpr size_t kBlockSize = 4096;

// The temporary InstallLog: a "TLT" file in the system's temporary folder
// with a write buffer in front of it.
class TemporaryLog : public tl::TextSink {
 public:
  tl::Status Open() {
    Discard();
    if (file_.Open("", tl::kNewTemporaryName | tl::kCreateOrTruncate) != tl::kFileOk)
      return tl::SysError{::GetLastError()};
    open_ = true;
    return tl::Status::Ok();
  }

  bool IsOpen() const { return open_; }
  std::string path() const { return open_ ? file_.name() : std::string(); }

  void Append(std::string_view text) override {
    if (!open_) return;
    pending_ += text;
    if (pending_.size() >= kBlockSize) Flush();
  }

  // Copies everything appended so far to the end of out. Without a log (a
  // crash before the file-copy phase) there is nothing to copy.
  bool CopyTo(tl::File& out) {
    if (!open_) return true;
    if (!Flush()) return false;
    int64_t length = file_.Length();
    std::vector<char> block(kBlockSize);
    for (int64_t position = 0; position < length; position += kBlockSize) {
      int64_t n = std::min<int64_t>(kBlockSize, length - position);
      if (!file_.ReadAt(block.data(), n, position) || !out.Write(block.data(), n)) return false;
    }
    return true;
  }

  void Discard() {
    pending_.clear();
    if (!open_) return;
    file_.Close();
    ::DeleteFileW(file_.wideName().c_str());
    open_ = false;
  }

 private:
  bool Flush() {
    if (pending_.empty()) return true;
    // Writes always go to the end: CopyTo moves the position while reading.
    bool written = file_.Seek(file_.Length()) && file_.Write(pending_.data(), pending_.size());
    pending_.clear();
    return written;
  }

  tl::File file_;
  std::string pending_;
  bool open_ = false;
};

TemporaryLog& RunLog() {
  static TemporaryLog log;
  return log;
}

void ShowCompletionBox() {
  ShowRunMessageBox(LocalizedString(kStringCompleted), LocalizedString(kStringCompletedCaption),
                    MB_OK | MB_ICONINFORMATION);
}

// What the outcome notice decides by: the finish actions and the option
// words as the run leaves them.
SettingsStream FinishNoticeSettings(const RunState& run) {
  const SettingsStream& settings = run.product.stream;
  SettingsStream notice;
  notice.ProductFlags = RunProductFlags(run);
  notice.FinishFile1 = settings.FinishFile1;
  notice.FinishApp = settings.FinishApp;
  notice.FinishFile2 = settings.FinishFile2;
  return notice;
}

// What the summary page offers: the finish actions the settings name, and
// the log where the notice still offers it.
FinishOffers OffersOf(const SettingsStream& notice) {
  FinishOffers offers;
  offers.openFinishFile1 = !notice.FinishFile1.empty();
  offers.launchFinishApp = !notice.FinishApp.empty();
  offers.openFinishFile2 = !notice.FinishFile2.empty();
  offers.showInstallLog = notice.Flag(kFlagOfferLogAtFinish);
  return offers;
}

struct OutcomeAnswer {
  bool showLog = false;  // the user asked to see the log after a failure
  FinishChoices chosen;
};

// Tells the user the outcome: whether to see the log after a failure, or
// the summary page with its finish actions.
OutcomeAnswer TellOutcome(const RunState& run, bool success, const std::string& logPath) {
  SettingsStream notice = FinishNoticeSettings(run);
  OutcomeAnswer answer;
  switch (DecideOutcomeNotice(notice, success)) {
    case OutcomeNotice::kAskToShowLog: {
      std::string question = FillPathArgument(LocalizedString(kStringOutcomeQuestion), logPath);
      answer.showLog = AskYesNo(question, LocalizedString(kStringOutcomeQuestionCaption));
      break;
    }
    case OutcomeNotice::kCompletionBox:
      ShowCompletionBox();
      break;
    case OutcomeNotice::kSummaryPage:
      answer.chosen = ShowSummaryPage(run, OffersOf(notice));
      break;
    case OutcomeNotice::kNone:
      break;
  }
  return answer;
}

InstallLogHeader CurrentHeader(const RunState& run, bool reinstall) {
  InstallLogHeader header;
  header.productName = run.product.displayName;
  header.installDate = tl::FormatLocalDateTime(tl::LocalNow(), kInstallDatePattern);
  header.showInstallType = run.WantsUninstaller();
  header.reinstall = reinstall;
  header.installLocation = run.folders.installLocation;
  header.productVersion = run.product.stream.DisplayVersion;
  header.overwritingVersion = run.earlier.version;
  header.operatingSystem = tl::OperatingSystemName(0u);
  return header;
}

bool WriteText(tl::File& file, std::string_view text) { return file.Write(text.data(), text.size()); }

// Appends one block to "Install.LOG"; false when the file cannot be opened.
bool WriteLogBlock(const RunState& run, const std::string& path, bool reinstall, const std::string& summary,
                   const std::string& successLine) {
  tl::File file;
  if (file.Open(path, tl::kOpenOrCreate | tl::kShareRead | tl::kSeekToEnd) != tl::kFileOk) return false;
  // A write that fails stops the block there; nothing is reported.
  bool written = file.Position() == 0 || WriteText(file, InstallLogSeparator());
  written = written && WriteText(file, InstallLogHeaderText(CurrentHeader(run, reinstall)));
  written = written && RunLog().CopyTo(file);
  if (written) WriteText(file, InstallLogTrailer(summary, successLine));
  return true;
}

FinishChoices WriteInstallLogSteps(const RunState& run, bool reinstall, bool interactive) {
  const std::string path = InstallLogPath(run.folders.uninstallDataFolder);
  const std::string& summary = run.failures.text();
  const bool success = summary.empty();
  OutcomeAnswer answer;
  if (interactive && !run.automaticMode) answer = TellOutcome(run, success, path);
  if (run.product.Flag(kFlagWriteInstallLog) || !success) {
    if (!WriteLogBlock(run, path, reinstall, summary, LocalizedString(kStringCompletedCaption))) answer.showLog = false;
  }
  if (answer.showLog) ShowInstallLog(path);
  return answer.chosen;
}

bool OpenWithShell(const std::wstring& path) {
  using ShellExecuteWFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  auto execute = tl::OnDemandFunction<ShellExecuteWFn>("shell32.dll", "ShellExecuteW");
  if (!execute) return false;
  HINSTANCE result = execute(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// Notepad of the Windows folder: a bare "notepad.exe" would be looked for in
// the installer's own folder first, where anyone may have put one.
std::wstring NotepadProgram() {
  wchar_t folder[MAX_PATH];
  UINT n = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::wstring(folder, n) + L"\\notepad.exe";
}

void StartNotepad(const std::wstring& path) {
  std::wstring program = NotepadProgram();
  if (program.empty()) return;
  std::wstring commandLine = L"notepad.exe \"" + path + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

}  // namespace

tl::Status OpenInstallLog() { return RunLog().Open(); }

void AppendLog(std::string_view text) { RunLog().Append(text); }

tl::TextSink& InstallLog() { return RunLog(); }

std::string TemporaryLogPath() { return RunLog().path(); }

std::string InstallLogPath(const std::string& uninstallDataFolder) {
  return tl::JoinPath(uninstallDataFolder, kInstallLogFileName);
}

FinishChoices WriteInstallLog(const RunState& run, bool reinstall, bool interactive) {
  FinishChoices chosen;
  try {
    chosen = WriteInstallLogSteps(run, reinstall, interactive);
  } catch (...) {
    // The run is ending either way; the temporary log must not outlive it.
  }
  DiscardTemporaryLog();
  return chosen;
}

void WriteCancelledInstallLog(const RunState& run, const std::vector<std::string>& replacedFiles) {
  try {
    if (!replacedFiles.empty()) {
      AppendLog(CancelledInstallLogLines(replacedFiles));
      const bool reinstall = run.earlier.kind != InstallationKind::kNew;
      static_cast<void>(WriteLogBlock(run, InstallLogPath(run.folders.uninstallDataFolder), reinstall,
                                      run.failures.text(), kCancelledLine));
    }
  } catch (...) {
    // The run is ending either way; the temporary log must not outlive it.
  }
  DiscardTemporaryLog();
}

void ShowInstallLog(const std::string& logPath) {
  std::wstring path = tl::ToWide(logPath);
  if (!OpenWithShell(path)) StartNotepad(path);
}

void DiscardTemporaryLog() { RunLog().Discard(); }

}  // namespace setup
