#include "setup/integration/uninstaller_file_win.h"

#include <vector>

#include "setup/files/restart_replacement_win.h"
#include "setup/files/write_installed_file_win.h"
#include "setup/integration/icon_file.h"
#include "setup/record/uninstall_record.h"
#include "setup/payload/pe_image.h"
#include "setup/report/install_log_win.h"
#include "tl_core/file_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/wide_text_win.h"
#include "setup/payload/product_flags.h"

namespace setup {
namespace {

constexpr WORD kResourceLanguage = 1033;  // English (United States)
constexpr WORD kIconImageType = 3;        // RT_ICON
constexpr WORD kIconGroupType = 14;       // RT_GROUP_ICON
constexpr WORD kIconGroupNumber = 1;

constexpr char kNoTemporaryFileMessage[] =
    "Failed to register '%s' for replacement because no temporary file could be created.\r\n%s\r\n\r\n";
constexpr char kScheduledMessage[] =
    "\"%s\" was successfully registered for replacement.\r\nTemporary file is \"%s\"\r\nReboot will be "
    "required.\r\n\r\n";
constexpr char kNotScheduledMessage[] = "Failed to register '%s' for replacement with temporary file '%s'\r\n%s\r\n\r\n";

// The resource update calls, looked up in kernel32 once: systems of the
// Windows 9x line lack them, and the step then fails like a missing DLL.
using BeginUpdateResourceAFn = HANDLE(WINAPI*)(LPCSTR, BOOL);
using BeginUpdateResourceWFn = HANDLE(WINAPI*)(LPCWSTR, BOOL);
using UpdateResourceAFn = BOOL(WINAPI*)(HANDLE, LPCSTR, LPCSTR, WORD, LPVOID, DWORD);
using EndUpdateResourceAFn = BOOL(WINAPI*)(HANDLE, BOOL);

struct ResourceFunctions {
  BeginUpdateResourceAFn beginAnsi;
  BeginUpdateResourceWFn beginWide;
  UpdateResourceAFn update;
  EndUpdateResourceAFn end;
};

const ResourceFunctions& Resources() {
  static const ResourceFunctions functions = {
      tl::SystemFunction<BeginUpdateResourceAFn>("kernel32.dll", "BeginUpdateResourceA"),
      tl::SystemFunction<BeginUpdateResourceWFn>("kernel32.dll", "BeginUpdateResourceW"),
      tl::SystemFunction<UpdateResourceAFn>("kernel32.dll", "UpdateResourceA"),
      tl::SystemFunction<EndUpdateResourceAFn>("kernel32.dll", "EndUpdateResourceA"),
  };
  return functions;
}

bool MissingFunction() {
  ::SetLastError(ERROR_INVALID_DLL);
  return false;
}

ScopedResourceUpdate NoUpdate() {
  MissingFunction();
  return ScopedResourceUpdate();
}

bool EndUpdate(HANDLE update, bool discard) {
  if (!Resources().end) return MissingFunction();
  return Resources().end(update, discard ? TRUE : FALSE) != 0;
}

bool UpdateResourceBytes(HANDLE update, WORD type, WORD number, std::span<const uint8_t> bytes) {
  if (!Resources().update) return MissingFunction();
  // A null pointer with size 0 would delete the resource instead.
  static uint8_t nothing = 0;
  void* data = bytes.empty() ? &nothing : const_cast<uint8_t*>(bytes.data());
  return Resources().update(update, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(number), kResourceLanguage, data,
                            static_cast<DWORD>(bytes.size())) != 0;
}

// The six little-endian i32 of UninstallerFileRecord; no date when the
// record is short.
tl::DateTime StampOfRecord(const std::vector<uint8_t>& record) {
  tl::DateTime stamp;
  if (record.size() < 24) return stamp;
  int32_t* fields[] = {&stamp.year, &stamp.month, &stamp.day, &stamp.hour, &stamp.minute, &stamp.second};
  for (size_t i = 0; i < 6; ++i) *fields[i] = static_cast<int32_t>(LoadU32(&record[4 * i]));
  return stamp;
}

void ReplaceUninstallerIcon(const std::string& path, std::span<const uint8_t> icon) {
  ScopedResourceUpdate update = BeginResourceUpdate(path);
  if (!update) {
    AppendLog("Failed to open uninstaller for icon replacement.\r\n");
    return;
  }
  // A failed replacement lets the update go, which discards it.
  if (!ReplaceIcon(update.Get(), icon) || !CommitResourceUpdate(update))
    AppendLog("Failed to replace uninstaller icon.\r\n");
}

// The uninstaller image, written as an extracted file is; its icon replaced
// only when the file is in place now, not when it waits for a restart.
void WriteUninstallerImage(RunState& run, const std::string& path) {
  const SettingsStream& settings = run.product.stream;
  InstalledFileWrite file;
  file.target = path;
  file.data = run.uninstaller.image;
  file.stamp = StampOfRecord(settings.UninstallerFileRecord);
  file.attributes = 0;
  file.existedBefore = true;
  bool scheduledForRestart = false;
  if (!WriteInstalledFile(run, file, scheduledForRestart)) return;
  if (!settings.UninstallerIcon.empty()) ReplaceUninstallerIcon(path, settings.UninstallerIcon);
}

bool CopyWholeFile(const std::string& source, const std::string& target) {
  return ::CopyFileW(tl::ToWide(source).c_str(), tl::ToWide(target).c_str(), FALSE) != 0;
}

// A new empty "TLT" file beside the target, else in the system's temporary
// folder; false with the system's last error.
bool CreateParkingFile(const std::string& target, tl::File& file) {
  if (file.Open(target, tl::kTemporaryNameFromName | tl::kCreateOrTruncate) != tl::kFileOk &&
      file.Open("", tl::kNewTemporaryName | tl::kCreateOrTruncate) != tl::kFileOk)
    return false;
  file.Close();
  return true;
}

// The running program's file copied into place, or parked and moved there at
// the next system start when the target is in use.
void CopyRunningProgram(RunState& run, const std::string& path) {
  const std::string& source = run.process.installSource;
  if (CopyWholeFile(source, path)) return;

  tl::File parked;
  if (!CreateParkingFile(path, parked)) {
    run.failures.AppendFormat(kNoTemporaryFileMessage, path.c_str(), tl::SystemErrorText(::GetLastError()).c_str());
    return;
  }
  const std::string& temporary = parked.name();
  if (!CopyWholeFile(source, temporary)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(parked.wideName().c_str());
    run.failures.AppendFormat(kNoTemporaryFileMessage, path.c_str(), tl::SystemErrorText(error).c_str());
    return;
  }
  ::SetLastError(ERROR_SUCCESS);
  if (ScheduleRestartMove(temporary, path)) {
    run.restartRequired = true;
    InstallLog().AppendFormat(kScheduledMessage, path.c_str(), temporary.c_str());
    return;
  }
  const DWORD error = ::GetLastError();
  run.failures.AppendFormat(kNotScheduledMessage, path.c_str(), temporary.c_str(), tl::SystemErrorText(error).c_str());
  ::DeleteFileW(parked.wideName().c_str());
}

}  // namespace

void ResourceUpdateTraits::Close(HANDLE h) { EndUpdate(h, true); }

std::string RunUninstallerPath(const RunState& run) {
  return UninstallerPath(run.folders.uninstallDataFolder, run.product.stream.UninstallerFileName);
}

void WriteUninstaller(RunState& run) {
  if (!run.WantsUninstaller()) return;
  const std::string path = RunUninstallerPath(run);
  if (run.product.Flag2(kFlag2BuildUninstallerImage))
    WriteUninstallerImage(run, path);
  else
    CopyRunningProgram(run, path);
}

ScopedResourceUpdate BeginResourceUpdate(const std::string& programPath) {
  const ResourceFunctions& f = Resources();
  // A "|" UTF-8 path only the wide call can name.
  if (!programPath.empty() && programPath.front() == '|') {
    if (!f.beginWide) return NoUpdate();
    return ScopedResourceUpdate(f.beginWide(tl::ToWide(programPath).c_str(), FALSE));
  }
  if (!f.beginAnsi) return NoUpdate();
  return ScopedResourceUpdate(f.beginAnsi(programPath.c_str(), FALSE));
}

bool CommitResourceUpdate(ScopedResourceUpdate& update) {
  if (!update) return false;
  return EndUpdate(update.Take(), false);
}

bool ReplaceIcon(HANDLE update, std::span<const uint8_t> icon) {
  const IconFileRead read = ReadIconFile(icon);
  if (!read.ok()) {
    ::SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  size_t written = 0;
  while (written < read.images.size() &&
         UpdateResourceBytes(update, kIconImageType, static_cast<WORD>(written + 1), read.images[written].data))
    ++written;
  const bool everyImage = written == read.images.size();
  const std::vector<uint8_t> group = IconGroupResource(std::span(read.images).first(written));
  const bool groupWritten = UpdateResourceBytes(update, kIconGroupType, kIconGroupNumber, group);
  return everyImage && groupWritten;
}

}  // namespace setup
