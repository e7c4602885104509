#include "setup/files/extraction_win.h"

#include <windows.h>

#include "setup/run/fatal_messages.h"
#include "setup/files/existing_file_win.h"
#include "setup/files/replacement_rules.h"
#include "setup/files/restart_replacement_win.h"
#include "setup/files/target_path.h"
#include "setup/files/write_installed_file_win.h"
#include "setup/payload/archive.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/file_record.h"
#include "setup/run/run_control_win.h"
#include "setup/run/setup_payload_win.h"
#include "setup/report/install_log_win.h"
#include "setup/strings/string_table.h"
#include "setup/ui/progress_win.h"
#include "setup/vars/batch_runner_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/file_errors.h"
#include "tl_core/file_security_win.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/path_text.h"
#include "tl_core/process_win.h"
#include "tl_core/text.h"
#include "setup/payload/product_flags.h"
#include "setup/strings/string_numbers.h"

namespace setup {
namespace {

constexpr char kHiddenNameMarker[] = "b/0@+";

void GrantRights(const std::string& folder) {
  InstallLog().AppendParts({"Granting rights to directory \"", folder, "\"..."});
  if (uint32_t error = tl::GrantEveryoneFullAccess(folder))
    InstallLog().AppendFormat("FAILED code %d: %s\r\n\r\n", static_cast<int>(error),
                              tl::SystemErrorText(error).c_str());
  else
    AppendLog("OK\r\n");
}

// Creates `folder` and its missing parents; a cancel removes those again.
uint32_t CreateRememberedFolder(const std::string& folder) {
  std::vector<std::string> created;
  const uint32_t error = tl::CreateFolderWithParents(folder, &created);
  RememberCreatedFolders(created);
  return error;
}

void CreateLoggedFolder(const std::string& folder, const char* what) {
  if (uint32_t error = CreateRememberedFolder(folder))
    InstallLog().AppendParts({"Failed to create ", what, " \"", folder, "\": ", tl::SystemErrorText(error), "\r\n"});
}

bool IsRemovableDrive(const std::string& folder) {
  int drive = tl::DriveIndex(folder);
  if (drive < 0) return false;
  char root[] = {static_cast<char>('A' + drive), ':', '\\', 0};
  UINT type = ::GetDriveTypeA(root);
  return type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

void PrepareFolders(RunState& run) {
  const ProductSettings& product = run.product;
  RunFolders& folders = run.folders;
  SetProgress(1);
  folders.uninstallDataFolder = tl::JoinPath(folders.installLocation, product.stream.UninstallSubdir);
  if (product.Flag(kFlagGrantRightsOnInstallFolder)) GrantRights(folders.installLocation);
  if (!product.stream.UninstallSubdir.empty()) CreateLoggedFolder(folders.uninstallDataFolder, "uninstall data folder");
  if (!folders.sharedFolder.empty()) {
    CreateLoggedFolder(folders.sharedFolder, "shared folder");
    if (product.Flag(kFlagGrantRightsOnSharedFolder)) GrantRights(folders.sharedFolder);
  }
  if (product.Flag(kFlagNoUninstallOnRemovableDrive) && IsRemovableDrive(folders.installLocation))
    run.uninstallerRefused = true;
}

void CheckWholeArchive(RunState& run, const RunArchive& archive) {
  const unsigned pause = run.product.stream.ProgressPause;
  WaitStatusTime(pause);
  SetStatusText(LocalizedString(kStringCheckingStatus));
  MarkStatusTime();
  SetProgress(21);
  uint32_t checksum = 0;
  if (!ArchiveChecksum(archive.source, checksum)) ArchiveReadFatal(archive.source.size(), archive.fileOffset);
  if (checksum != run.payload.header.ArchiveChecksum) CorruptInstallerFatal(check::kArchiveChecksum);
  WaitStatusTime(pause);
  SetStatusText(LocalizedString(kStringInstallingStatus));
  MarkStatusTime();
  SetProgress(26);
  // Conditional deletion before installation comes with its own step.
  SetProgress(27);
  run.uninstallData.ClearPaths();
}

TargetFolders RunTargetFolders(const RunState& run) {
  TargetFolders folders;
  folders.installLocation = run.folders.installLocation;
  folders.sharedFolder = run.folders.sharedFolder;
  folders.fontFolder = PathVariablesExpanded(run, "%FontDir%");
  folders.systemFolder = PathVariablesExpanded(run, "%SystemDir%");
  folders.uninstallDataFolder = run.folders.uninstallDataFolder;
  folders.expand = [&run](const std::string& text) { return PathVariablesExpanded(run, text); };
  return folders;
}

bool Is(const FileRecord& record, FileKind kind) { return record.kind == static_cast<uint32_t>(kind); }

bool IsShared(const FileRecord& record) {
  return Is(record, FileKind::kShared) || Is(record, FileKind::kSystem) || Is(record, FileKind::kComServer) ||
         Is(record, FileKind::kTypeLibrary);
}

// The kinds whose version resource decides the replacement.
bool IsVersioned(const FileRecord& record) {
  return Is(record, FileKind::kSystem) || Is(record, FileKind::kComServer) || Is(record, FileKind::kTypeLibrary) ||
         Is(record, FileKind::kVersionedApplication);
}

void CollectSharedFile(const FileRecord& record, const std::string& target, ExtractionLists& lists) {
  if (!IsShared(record)) return;
  lists.sharedFiles.push_back(SharedFileEntry(target, record.kind, record.flags & kFileFlagPermanent));
  if (Is(record, FileKind::kComServer)) lists.comServers.push_back(target);
  if (Is(record, FileKind::kTypeLibrary)) lists.typeLibraries.push_back(target);
}

void CollectShortcut(const FileRecord& record, const std::string& target, ExtractionLists& lists) {
  const bool startupApp = Is(record, FileKind::kStartupApplication);
  if (!startupApp && !(Is(record, FileKind::kApplication) && record.HasShortcut())) return;
  ShortcutEntry entry;
  entry.desktop = record.flags & kFileFlagDesktopShortcut;
  entry.startMenu = record.flags & kFileFlagStartMenuShortcut;
  entry.startup = startupApp;
  entry.permanent = record.flags & kFileFlagPermanent;
  entry.target = target;
  entry.caption = record.text;
  entry.icon = record.shortcutIcon;
  entry.arguments = record.shortcutArguments;
  entry.workingFolder = record.shortcutWorkingFolder;
  lists.shortcuts.push_back(std::move(entry));
}

// The folder step: false when the folder cannot be made (the record ends).
bool MakeTargetFolder(RunState& run, const FileRecord& record, const std::string& target) {
  std::string folder = tl::FolderOfPath(target);
  if (folder.empty() || tl::EqualsNoCase(folder, run.folders.installLocation)) return true;
  if (uint32_t error = CreateRememberedFolder(folder)) {
    DWORD attributes = tl::PathAttributes(folder);
    const bool fileInTheWay = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    const std::string reason = fileInTheWay ? "Cannot create directory because there is a file with the same name."
                                            : tl::SystemErrorText(error);
    run.failures.AppendFormat("%s %s\r\n%s\r\n\r\nNot installed: %s\r\n\r\n",
                              LocalizedString(kStringCannotCreateFolder).c_str(), folder.c_str(), reason.c_str(),
                              target.c_str());
    return false;
  }
  if (!(record.flags & kFileFlagPermanent) && (IsPrivateKind(record.kind) || Is(record, FileKind::kShared)))
    run.uninstallData.RecordPath(folder, UninstallPathKind::kFolder);
  return true;
}

void ShowTransfer(const RunState& run, const FileRecord& record, const std::string& target) {
  if (run.product.Flag(kFlagHideFileNames) || record.name == kHiddenNameMarker)
    SetStatusText(LocalizedString(kStringInstallingStatus));
  else
    SetStatusPath(target);
}

void AfterWrite(const RunState& run, const FileRecord& record, const std::string& target,
                const std::string& transferLine, ExtractionLists& lists) {
  if (run.product.Flag(kFlagVerboseLog)) InstallLog().AppendParts({transferLine, "\r\n"});
  // Fonts, drivers, packages, applets and binding come with component registration.
  if (Is(record, FileKind::kFont)) lists.fontsChanged = true;
  if (Is(record, FileKind::kDriverPackage)) lists.drivers.push_back(target);
  lists.installedFiles.Add(target);
}

void InstallRecord(RunState& run, const FileRecordView& view, const TargetFolders& folders, ExtractionLists& lists) {
  const FileRecord& record = view.fields;
  ResolvedTarget resolved = ResolveTarget(record.name, record.kind, record.flags, record.target, folders);
  const std::string& target = resolved.path;
  const std::string transferLine = std::string(tl::FileNamePart(record.name)) + " >>> " + target;
  ShowTransfer(run, record, target);
  CollectSharedFile(record, target, lists);

  const bool versioned = IsVersioned(record);
  ExistingFileFacts existing = ReadExistingFile(target, versioned);
  ReplacementDecision decision =
      DecideReplacement({target, record.kind, record.flags, record.stamp, record.text}, existing);
  if (!decision.logLine.empty()) AppendLog(decision.logLine);
  if (decision.recordForUninstall) run.uninstallData.RecordPath(target, UninstallPathKind::kFile);
  if (!decision.write) return;

  CollectShortcut(record, target, lists);
  if (resolved.createFolder && !MakeTargetFolder(run, record, target)) return;
  if (!(record.flags & kFileFlagPermanent) && IsPrivateKind(record.kind))
    run.uninstallData.RecordPath(target, UninstallPathKind::kFile);

  bool scheduled = false;
  InstalledFileWrite write{target, view.data, record.stamp, record.attributes, decision.existedBefore};
  // What a cancel takes back: a file that was not there; one that was is
  // replaced for good. (The decision's own "existed before" counts only for
  // the kinds whose dates or versions are compared.)
  if (!existing.exists) RememberCreatedFile(target);
  if (!WriteInstalledFile(run, write, scheduled)) return;
  if (existing.exists) RememberReplacedFile(target);
  AfterWrite(run, record, target, transferLine, lists);
}

// Damage ends the run with its check code; a failed read with error code 2.
void StopOnArchiveCode(int code, const ChunkCursor& chunks, const RunArchive& archive) {
  if (code == kArchiveReadFailed)
    ArchiveReadFatal(chunks.failedRead().length, archive.fileOffset + chunks.failedRead().offset);
  if (code) CorruptInstallerFatal(code);
}

void ExtractRecords(RunState& run, const RunArchive& archive, ExtractionLists& lists) {
  const PayloadHeader& header = run.payload.header;
  ChunkCursor chunks(archive.source, run.product.Flag(kFlagPackedChunks), run.product.Flag(kFlagCompareChecksums));
  RecordStream records(chunks);
  records.OnChunk([] {
    SetStatusText(LocalizedString(kStringUnpackingStatus));
    MarkStatusTime();
  });
  const TargetFolders folders = RunTargetFolders(run);
  const int64_t count = static_cast<int64_t>(header.FileSizes.size());
  lists.installedFiles.Reserve(header.FileSizes.size());
  for (int64_t i = 0; i < count; ++i) {
    std::span<const uint8_t> body;
    StopOnArchiveCode(records.NextBody(header.FileSizes[i], body), chunks, archive);
    SetProgress(static_cast<int>(28 + (i * 62) / count));
    FileRecordView view;
    if (int code = ParseFileRecord(body, header.FileSizes[i], view)) CorruptInstallerFatal(code);
    InstallRecord(run, view, folders, lists);
    tl::PumpWindowMessages();
  }
  if (int code = records.Finish()) CorruptInstallerFatal(code);
}

void AfterExtraction(ExtractionLists& lists) {
  if (lists.fontsChanged) ::SendMessageTimeoutA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
  SetProgress(91);
  PruneRestartRenames(lists.installedFiles, true);
  SetProgress(92);
  // Shared reference counts and component registration come with their own steps.
  SetProgress(93);
}

}  // namespace

ExtractionLists ExtractFiles(RunState& run) {
  ExtractionLists lists;
  PrepareFolders(run);
  RunPreInstallationBatches(run);
  SetStatusText(LocalizedString(kStringPreparingStatus));
  MarkStatusTime();
  SetProgress(2);

  const RunArchive archive = OpenArchive(run);
  CheckWholeArchive(run, archive);
  ExtractRecords(run, archive, lists);
  AfterExtraction(lists);
  return lists;
}

}  // namespace setup
