#include "setup/folders/folder_choice_win.h"

#include <windows.h>

#include <vector>

#include "setup/folders/byte_size_text.h"
#include "setup/folders/folder_checks.h"
#include "setup/folders/install_folder.h"
#include "setup/folders/required_space_win.h"
#include "setup/payload/product_flags.h"
#include "setup/run/run_control_win.h"
#include "setup/strings/string_arguments.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "setup/ui/wizard_pages_win.h"
#include "setup/vars/path_variables_win.h"
#include "tl_core/file_win.h"
#include "tl_core/folder_win.h"
#include "tl_core/wide_text_win.h"

namespace setup {
namespace {

std::wstring DriveRootOf(const std::string& folder) {
  const char letter = DriveLetterOf(folder);
  if (!letter) return {};
  return std::wstring{static_cast<wchar_t>(letter), L':', L'\\'};
}

FolderDriveFacts DriveFactsOf(const std::string& folder) {
  FolderDriveFacts facts;
  const std::wstring root = DriveRootOf(folder);
  if (!root.empty()) {
    const UINT type = ::GetDriveTypeW(root.c_str());
    facts.drivePresent = type != DRIVE_NO_ROOT_DIR && type != DRIVE_UNKNOWN;
    facts.networkDrive = type == DRIVE_REMOTE;
    facts.removable = type == DRIVE_REMOVABLE;
    DWORD flags = 0;
    if (facts.drivePresent &&
        ::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
      facts.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
    if (type == DRIVE_CDROM) facts.readOnly = true;
  }
  if (facts.drivePresent) {
    if (std::optional<uint64_t> free = DriveFreeSpace(folder)) {
      facts.freeSpaceKnown = true;
      facts.freeBytes = *free;
    }
  }
  return facts;
}

std::string ProgramsFolder(const RunState& run) {
  std::string programs = PathVariablesExpanded(run, "%ProgramsDir%");
  return run.product.Is64Bit() ? Without32BitSuffix(programs, true) : programs;
}

FolderRules FolderRulesOf(const RunState& run, const std::string& folder) {
  FolderRules rules;
  rules.refuseNetwork = run.product.Flag(kFlagRefuseNetworkFolder);
  rules.refuseRemovable = run.product.Flag(kFlagRefuseRemovableDrive);
  rules.checkSpace = run.earlier.kind == InstallationKind::kNew && !run.automaticMode;
  rules.requiredBytes = static_cast<uint64_t>(std::max<int64_t>(ComputeRequiredSpace(run, folder), 0));
  rules.programsFolder = ProgramsFolder(run);
  return rules;
}

std::string DriveLetterText(const std::string& folder) { return std::string(1, DriveLetterOf(folder)); }

// Shows why the folder is refused; true when it may still be taken (the
// user accepted too little space).
bool Refuse(FolderRefusal refusal, const std::string& folder, const FolderDriveFacts& drive,
            const FolderRules& rules) {
  switch (refusal) {
    case FolderRefusal::kNone:
      return true;
    case FolderRefusal::kEmpty:
      return false;
    case FolderRefusal::kNotValid:
      ShowError(LocalizedString(kStringInvalidFolder) + "\r\n\r\n" + folder);
      return false;
    case FolderRefusal::kNoDrive:
      ShowError(LocalizedFormat(kStringDriveMissing, {DriveLetterText(folder)}));
      return false;
    case FolderRefusal::kNetwork:
      ShowError(LocalizedString(kStringNetworkFolderRefused));
      return false;
    case FolderRefusal::kProgramsFolder:
      ShowError(LocalizedFormat(kStringProgramsFolderRefused, {rules.programsFolder}));
      return false;
    case FolderRefusal::kReadOnlyDrive:
      ShowError(LocalizedFormat(kStringDriveRefused, {DriveLetterText(folder)}));
      return false;
    case FolderRefusal::kLowSpace:
      return AskYesNo(LocalizedFormat(kStringLowDiskSpace, {ByteSizeText(rules.requiredBytes), DriveLetterText(folder),
                                                            ByteSizeText(drive.freeBytes)}),
                      LocalizedString(kStringQuestionCaption));
  }
  return false;
}

// A file can be made in the folder and deleted again.
bool FolderTakesFiles(const std::string& folder) {
  wchar_t name[MAX_PATH + 1] = {};
  if (!::GetTempFileNameW(tl::ToWide(folder).c_str(), L"orv", 0, name)) return false;
  ::DeleteFileW(name);
  return true;
}

// The tests of the folder page, their messages, the confirmation, the
// creation and the write test; true when the run takes the folder.
bool AcceptFolder(RunState& run, const std::string& typed) {
  const std::string folder = TrimmedFolderText(typed);
  const FolderDriveFacts drive = DriveFactsOf(folder);
  const FolderRules rules = FolderRulesOf(run, folder);
  const FolderRefusal refusal = FirstFolderRefusal(folder, drive, rules);
  if (!Refuse(refusal, folder, drive, rules)) return false;
  const bool exists = tl::FolderExists(folder);
  if (run.product.Flag(kFlagConfirmFolder) &&
      !AskYesNo(LocalizedFormat(exists ? kStringFolderExists : kStringFolderWillBeCreated, {folder}),
                LocalizedString(kStringFolderPageTitle)))
    return false;
  std::vector<std::string> created;
  if (const uint32_t error = tl::CreateFolderWithParents(folder, &created)) {
    RemoveFoldersIfEmpty(created);
    ShowError(CannotCreateText(folder, error));
    return false;
  }
  if (!FolderTakesFiles(folder)) {
    // A folder refused here leaves nothing behind.
    RemoveFoldersIfEmpty(created);
    ShowError(LocalizedFormat(kStringFolderNotWritable, {folder}));
    return false;
  }
  run.folders.installLocation = folder;
  run.folders.createdFolders = created;
  RememberCreatedFolders(created);
  return true;
}

std::pair<std::string, std::string> SpaceLines(const RunState& run, const std::string& typed) {
  const std::string folder = TrimmedFolderText(typed);
  const int64_t required = ComputeRequiredSpace(run, folder);
  std::string requiredLine = LocalizedString(kStringRequiredSpaceLabel) + " " +
                             ByteSizeText(static_cast<uint64_t>(std::max<int64_t>(required, 0)));
  std::string freeLine = LocalizedString(kStringFreeSpaceLabel) + " ";
  if (std::optional<uint64_t> free = DriveFreeSpace(folder)) freeLine += ByteSizeText(*free);
  return {requiredLine, freeLine};
}

}  // namespace

std::string CannotCreateText(const std::string& folder, uint32_t error) {
  return LocalizedString(kStringCannotCreateFolder) + "\r\n" + folder + "\r\n\r\n" + tl::SystemErrorText(error);
}

uint32_t CreateInstallFolder(RunState& run, const std::string& folder) {
  std::vector<std::string> created;
  const uint32_t error = tl::CreateFolderWithParents(folder, &created);
  run.folders.createdFolders.insert(run.folders.createdFolders.end(), created.begin(), created.end());
  RememberCreatedFolders(created);
  return error;
}

void ChooseInstallFolder(RunState& run) {
  FolderPageHooks hooks;
  hooks.spaceLines = [&run](const std::string& folder) { return SpaceLines(run, folder); };
  hooks.accept = [&run](const std::string& folder) { return AcceptFolder(run, folder); };
  if (!ShowFolderPage(run, run.folders.installLocation, hooks)) CancelInstallation();
}

}  // namespace setup
