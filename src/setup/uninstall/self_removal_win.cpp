#include "setup/uninstall/self_removal_win.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "setup/uninstall/self_removal.h"
#include "setup/vars/batch_text.h"
#include "tl_core/file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/scoped_handle_win.h"
#include "tl_core/system_folders_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

bool IsPlainAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '|') return false;
  return true;
}

std::string TemporaryFolder() {
  char folder[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathA(MAX_PATH + 1, folder);
  return n > 0 && n <= MAX_PATH ? std::string(folder, n) : std::string(kFallbackTemporaryFolder);
}

std::wstring ShortWidePath(const std::wstring& path) {
  const DWORD n = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::vector<wchar_t> shortPath(n);
  const DWORD written = ::GetShortPathNameW(path.c_str(), shortPath.data(), n);
  return written == 0 || written >= n ? path : std::wstring(shortPath.data(), written);
}

// The path as the interpreter reads it from a batch file: in the OEM code
// page, not ANSI, and never in the "|" UTF-8 form. A path with other than
// plain ASCII characters takes its 8.3 form, which is plain on usual
// systems, else its OEM text.
std::string BatchPath(const std::string& path) {
  if (IsPlainAscii(path)) return path;
  const std::wstring wide = ShortWidePath(tl::ToWide(path));
  const int n = ::WideCharToMultiByte(CP_OEMCP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
  if (n <= 0) return path;
  std::string oem(n, '\0');
  ::WideCharToMultiByte(CP_OEMCP, 0, wide.c_str(), static_cast<int>(wide.size()), oem.data(), n, nullptr, nullptr);
  return oem;
}

std::string Utf8(const std::wstring& text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
  if (n <= 0) return {};
  std::string utf8(n, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

// In the "|" UTF-8 form, so that a temporary folder named outside the ANSI
// code page survives; the batch path is the 8.3 form, which the command
// line takes without quotes, where the system has one.
std::string CommandLine(const std::string& interpreter, const std::string& batchPath) {
  return "|" + SelfRemovalCommandLine(Utf8(tl::ToWide(interpreter)), Utf8(ShortWidePath(tl::ToWide(batchPath))));
}

// COMSPEC with its variables expanded.
std::string Interpreter() {
  char value[MAX_PATH + 1] = {};
  const DWORD n = ::ExpandEnvironmentStringsA("%COMSPEC%", value, MAX_PATH + 1);
  std::string comspec = n > 0 && n <= MAX_PATH + 1 ? std::string(value) : std::string();
  if (comspec == "%COMSPEC%") comspec.clear();  // not set
  return BatchInterpreter(comspec, tl::SystemFolder());
}

bool WriteBatch(const std::string& path, const std::string& text) {
  tl::File file;
  if (file.Open(path, tl::kCreateOrTruncate | tl::kNoReadAccess) != tl::kFileOk) return false;
  return file.Write(text.data(), static_cast<int64_t>(text.size()));
}

// The batch runs in its own folder: a current folder inside the
// installation would keep "rd" from removing it.
bool StartHiddenWithOwnConsole(const std::string& commandLine, const std::string& folder) {
  std::wstring command = tl::ToWide(commandLine);
  const std::wstring wideFolder = tl::ToWide(folder);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        wideFolder.c_str(), &startup, &info))
    return false;
  tl::ScopedHandle process(info.hProcess);
  tl::ScopedHandle thread(info.hThread);
  return true;
}

void OpenHiddenWithShell(const std::string& path, const std::string& folder) {
  using ShellExecuteWFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  const auto execute = tl::OnDemandFunction<ShellExecuteWFn>("shell32.dll", "ShellExecuteW");
  if (execute) execute(nullptr, L"open", tl::ToWide(path).c_str(), nullptr, tl::ToWide(folder).c_str(), SW_HIDE);
}

}  // namespace

void StartSelfRemoval(const RunState& run, const std::string& uninstallerPath) {
  const std::string temporaryFolder = TemporaryFolder();
  const std::string batchPath = tl::JoinPath(temporaryFolder, kSelfRemovalBatchName);
  std::vector<std::string> folders =
      SelfRemovalFolders(run.folders.installLocation, run.product.stream.UninstallSubdir);
  for (std::string& folder : folders) folder = BatchPath(folder);
  const std::string text = SelfRemovalBatchText(BatchPath(uninstallerPath), folders, BatchPath(batchPath));
  if (!WriteBatch(batchPath, text)) return;
  if (!StartHiddenWithOwnConsole(CommandLine(Interpreter(), batchPath), temporaryFolder))
    OpenHiddenWithShell(batchPath, temporaryFolder);
}

}  // namespace setup
