#include "setup/vars/batch_file_win.h"

#include <windows.h>

#include <vector>

#include "setup/vars/batch_text.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/process_win.h"
#include "tl_core/text.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr uint32_t kBatchRunFlags = tl::kRunWait | tl::kRunPumpMessages;

std::string CurrentFolder() {
  const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return {};
  std::vector<wchar_t> folder(n);
  const DWORD written = ::GetCurrentDirectoryW(n, folder.data());
  if (written == 0 || written >= n) return {};
  return tl::FromWideKeepingUnicode(std::wstring_view(folder.data(), written));
}

std::string SystemFolder() {
  char folder[MAX_PATH + 1] = {};
  const UINT n = ::GetSystemDirectoryA(folder, MAX_PATH + 1);
  return n > 0 && n <= MAX_PATH ? std::string(folder, n) : std::string();
}

}  // namespace

// COMSPEC with the variables in it expanded.
std::string Interpreter() {
  char value[MAX_PATH + 1] = {};
  const DWORD n = ::GetEnvironmentVariableA("COMSPEC", value, MAX_PATH + 1);
  std::string comspec = n > 0 && n <= MAX_PATH ? std::string(value, n) : std::string();
  if (!comspec.empty()) {
    char expanded[MAX_PATH + 1] = {};
    const DWORD m = ::ExpandEnvironmentStringsA(comspec.c_str(), expanded, MAX_PATH + 1);
    if (m > 0 && m <= MAX_PATH + 1) comspec = expanded;
  }
  return BatchInterpreter(comspec, SystemFolder());
}

// The 8.3 form, which the interpreter's command line takes without quotes;
// the path itself when the file system has no short name for it.
std::string ShortPath(const std::string& path) {
  const std::wstring wide = tl::ToWide(path);
  const DWORD n = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::vector<wchar_t> shortPath(n);
  const DWORD written = ::GetShortPathNameW(wide.c_str(), shortPath.data(), n);
  if (written == 0 || written >= n) return path;
  std::string ansi = tl::FromWide(std::wstring_view(shortPath.data(), written));
  return tl::ToWide(ansi) == std::wstring(shortPath.data(), written) ? ansi : path;
}

namespace {

// Creates or truncates the file and writes the text; 0 or the system error.
uint32_t WriteTextFile(const std::string& path, const std::string& text) {
  tl::File file;
  if (file.Open(path, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk) {
    const DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_CANNOT_MAKE;
  }
  if (!file.Write(text.data(), static_cast<int64_t>(text.size()))) {
    const DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_WRITE_FAULT;
  }
  return 0;
}

std::string ReadTextFile(const std::string& path) {
  tl::File file;
  if (file.Open(path, tl::kOpenExisting | tl::kNoWriteAccess | tl::kShareRead | tl::kShareWrite) != tl::kFileOk)
    return {};
  std::vector<uint8_t> bytes;
  if (!file.ReadRange(bytes, 0, file.Length())) return {};
  return std::string(bytes.begin(), bytes.end());
}

void DeleteFileQuietly(const std::string& path) { ::DeleteFileW(tl::ToWide(path).c_str()); }

}  // namespace

BatchOutcome RunBatchFile(const RunState& run, const BatchRequest& request) {
  BatchOutcome outcome;
  if (IsBlankBatchText(request.text)) return outcome;

  const std::string folder = request.workingDirectory.empty() ? CurrentFolder() : request.workingDirectory;
  outcome.batchPath = tl::JoinPath(folder, kBatchFileName);
  const std::string text = BuildBatchFileText(BatchSetLines(run, request.workingDirectory), request.text,
                                              run.automaticMode || request.hidden);
  if (const uint32_t error = WriteTextFile(outcome.batchPath, text)) {
    outcome.stage = BatchOutcome::Stage::kNotWritten;
    outcome.error = error;
    return outcome;
  }

  // The output goes to a file that exists before the command line is
  // built, so that it has a short name too.
  std::string logPath;
  if (!request.displayName.empty()) {
    logPath = tl::JoinPath(folder, kBatchLogName);
    if (WriteTextFile(logPath, std::string()) != 0) logPath.clear();
  }
  const std::string commandLine =
      BatchCommandLine(Interpreter(), ShortPath(outcome.batchPath), logPath.empty() ? "" : ShortPath(logPath));
  const uint32_t flags = kBatchRunFlags | (request.hidden ? tl::kRunHidden : 0);
  if (tl::RunProcess(commandLine, flags, request.workingDirectory) == tl::kRunStartFailed) {
    outcome.stage = BatchOutcome::Stage::kNotStarted;
    outcome.error = ::GetLastError();
  } else {
    outcome.stage = BatchOutcome::Stage::kRan;
    if (!logPath.empty()) outcome.output = std::string(tl::TrimTrailingBlanks(ReadTextFile(logPath)));
  }
  if (!logPath.empty()) DeleteFileQuietly(logPath);
  DeleteFileQuietly(outcome.batchPath);
  return outcome;
}

}  // namespace setup
