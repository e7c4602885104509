#include "setup/vars/must_uninstall_batch_win.h"

#include <windows.h>
#include <shellapi.h>

#include "setup/vars/batch_file_win.h"
#include "setup/vars/batch_text.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/process_win.h"
#include "tl_core/system_folders_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

constexpr char kMustUninstallBatchName[] = "utrri.bat";

// Created new: an existing file of that name (someone else's) is never used.
tl::Status WriteNewFile(const std::string& path, const std::string& text) {
  tl::File file;
  if (file.Open(path, tl::kCreateNew | tl::kNoReadAccess) != tl::kFileOk) return tl::SysError{::GetLastError()};
  if (!file.Write(text.data(), static_cast<int64_t>(text.size()))) return tl::SysError{::GetLastError()};
  return tl::Status::Ok();
}

bool StartThroughInterpreter(const std::string& batchPath) {
  const std::string commandLine = "\"" + Interpreter() + "\" /c " + InterpreterArgument(ShortPath(batchPath));
  // The system folder as the current one: nothing the batch runs by a bare
  // name is looked for in a folder others can write.
  return tl::RunProcess(commandLine, tl::kRunHidden | tl::kRunNewConsole, tl::SystemFolder()) !=
         tl::kRunStartFailed;
}

bool StartThroughShell(const std::string& batchPath) {
  HINSTANCE result = ::ShellExecuteW(nullptr, L"open", tl::ToWide(batchPath).c_str(), nullptr,
                                     tl::ToWide(tl::SystemFolder()).c_str(), SW_HIDE);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

tl::Result<std::string> StartMustUninstallBatch(const std::string& uninstallCommand) {
  tl::Result<std::string> folder = tl::CreatePrivateFolder(tl::TemporaryFolder(), "orv");
  if (!folder) return tl::SysError{folder.error()};
  const std::string batchPath = tl::JoinPath(folder.value(), kMustUninstallBatchName);
  const std::string text = MustUninstallBatchText(uninstallCommand, ::GetCommandLineA(), batchPath);
  if (tl::Status written = WriteNewFile(batchPath, text); !written) return tl::SysError{written.error()};
  if (StartThroughInterpreter(batchPath) || StartThroughShell(batchPath)) return batchPath;
  return tl::SysError{::GetLastError()};
}

}  // namespace setup
