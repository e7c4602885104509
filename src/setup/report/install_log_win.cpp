#include "setup/report/install_log_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "setup/run/install_settings.h"
#include "setup/report/install_log_text.h"
#include "setup/strings/string_table.h"
#include "tl_core/text.h"
#include "setup/ui/message_boxes_win.h"
#include "tl_core/file_win.h"
#include "tl_core/local_time_win.h"
#include "tl_core/os_facts_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

// Appends are collected and written in pieces of this size; the final copy
// into "Install.LOG" reads in blocks of the same size.
constexpr size_t kBlockSize = 4096;

constexpr int kStringOutcomeQuestion = 40;
constexpr int kStringOutcomeQuestionCaption = 41;
constexpr int kStringCompleted = 42;
constexpr int kStringCompletedCaption = 43;

// The temporary InstallLog: a "TLT" file in the system's temporary folder
// with a write buffer in front of it.
class TemporaryLog {
 public:
  bool Open() {
    Discard();
    if (file_.Open("", tl::kNewTemporaryName | tl::kCreateOrTruncate) != tl::kFileOk) return false;
    open_ = true;
    return true;
  }

  bool IsOpen() const { return open_; }
  std::string path() const { return open_ ? file_.name() : std::string(); }

  void Append(std::string_view text) {
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

// The wizard's last page offers the finish actions; until the wizard has it
// the completion message stands in for it.
void ShowSummaryPage() { ShowCompletionBox(); }

// Tells the user the outcome; true when the user asked to see the log.
bool TellOutcome(bool success, const std::string& logPath) {
  switch (DecideOutcomeNotice(Settings().stream, success)) {
    case OutcomeNotice::kAskToShowLog: {
      std::string question = FillPathArgument(LocalizedString(kStringOutcomeQuestion), logPath);
      return AskYesNo(question, LocalizedString(kStringOutcomeQuestionCaption));
    }
    case OutcomeNotice::kCompletionBox:
      ShowCompletionBox();
      break;
    case OutcomeNotice::kSummaryPage:
      ShowSummaryPage();
      break;
    case OutcomeNotice::kNone:
      break;
  }
  return false;
}

InstallLogHeader CurrentHeader(bool reinstall) {
  const InstallSettings& s = Settings();
  InstallLogHeader header;
  header.productName = s.displayName;
  header.installDate = tl::FormatLocalDateTime(tl::LocalNow(), kInstallDatePattern);
  header.showInstallType = s.stream.Flag(kFlagHasUninstaller);
  header.reinstall = reinstall;
  header.installLocation = s.installLocation;
  header.productVersion = s.stream.DisplayVersion;
  header.overwritingVersion = s.oldVersion;
  header.operatingSystem = tl::OperatingSystemName(0u);
  return header;
}

bool WriteText(tl::File& file, std::string_view text) { return file.Write(text.data(), text.size()); }

// Appends one block to "Install.LOG"; false when the file cannot be opened.
bool WriteLogBlock(const std::string& path, bool reinstall, const std::string& summary) {
  tl::File file;
  if (file.Open(path, tl::kOpenOrCreate | tl::kShareRead | tl::kSeekToEnd) != tl::kFileOk) return false;
  // A write that fails stops the block there; nothing is reported.
  bool written = file.Position() == 0 || WriteText(file, InstallLogSeparator());
  written = written && WriteText(file, InstallLogHeaderText(CurrentHeader(reinstall)));
  written = written && RunLog().CopyTo(file);
  if (written) WriteText(file, InstallLogTrailer(summary, LocalizedString(kStringCompletedCaption)));
  return true;
}

void WriteInstallLogSteps(bool reinstall, bool interactive, const std::string& summary) {
  const std::string path = InstallLogPath();
  const bool success = summary.empty();
  bool showLog = false;
  if (interactive && !Settings().automaticMode) showLog = TellOutcome(success, path);
  if (Settings().stream.Flag(kFlagWriteInstallLog) || !success) {
    if (!WriteLogBlock(path, reinstall, summary)) showLog = false;
  }
  if (showLog) ShowInstallLog();
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

bool OpenInstallLog() { return RunLog().Open(); }

void AppendLog(std::string_view text) { RunLog().Append(text); }

void AppendLogFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendLog(tl::FormatV(format, args));
  va_end(args);
}

void AppendLogParts(std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) AppendLog(part);
}

std::string TemporaryLogPath() { return RunLog().path(); }

std::string InstallLogPath() { return JoinPath(Settings().uninstallDataFolder, kInstallLogFileName); }

void WriteInstallLog(bool reinstall, bool interactive, const std::string& summary) {
  try {
    WriteInstallLogSteps(reinstall, interactive, summary);
  } catch (...) {
    // The run is ending either way; the temporary log must not outlive it.
  }
  DiscardTemporaryLog();
}

void ShowInstallLog() {
  std::wstring path = tl::ToWide(InstallLogPath());
  if (!OpenWithShell(path)) StartNotepad(path);
}

void DiscardTemporaryLog() { RunLog().Discard(); }

}  // namespace setup
