#include "setup/integration/installation_uninstall_data_win.h"

#include "setup/record/uninstall_data_file_win.h"
#include "setup/strings/string_table.h"
#include "tl_core/file_win.h"

namespace setup {
UninstallDataContent InstallationUninstallData(const RunState& run) {
  const SettingsStream& s = run.product.stream;
  UninstallDataContent content;
  content.paths = run.uninstallData.pathLines();
  for (int number : kUninstallerStringNumbers) content.strings[number] = LocalizedString(number);
  content.dialogCaption = s.DialogCaption;  // its placeholders were replaced when it was read
  for (const CloseRecord& record : s.CloseList)
    if (record.phaseMask & kCloseAtUninstallation) content.closeList.push_back(record);
  content.registry2 = s.RegistryEntryText;
  for (const DeleteRecord& record : s.DeleteList)
    if (record.flags & kDeleteAtUninstallation) content.deleteList.push_back(record);
  return content;
}

void WriteInstallationUninstallData(RunState& run) {
  if (!run.WantsUninstaller()) return;
  const std::string path = UninstallDataFilePath(run.folders.uninstallDataFolder);
  if (const tl::Status written = WriteUninstallDataFile(path, InstallationUninstallData(run)); !written)
    run.failures.RecordFailedFileWrite(path, tl::SystemErrorText(written.error()));
}

}  // namespace setup
