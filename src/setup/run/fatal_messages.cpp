#include "setup/run/fatal_messages.h"

#include "setup/strings/string_arguments.h"
#include "setup/strings/string_table.h"
#include "setup/strings/string_numbers.h"
#include "tl_core/fatal.h"

namespace setup {

const char kCorruptInstallerText[] =
    "This installation program is corrupt.  This is usually caused by a faulty download, but it "
    "can also be caused by a virus on your computer.  The installation cannot proceed.\r\n\r\n"
    "Delete the corrupted installer (to prevent caching), then re-download it.  If the problem "
    "persists, check your system for viruses.\r\n\r\nError code: %d";

const char kNoInstallationDataText[] =
    "This program performs installations and uninstallations.\r\n"
    "There is no installation data present.\r\n"
    "No uninstallation parameters were specified.\r\n\r\n"
    "You should not delete this program or execute it directly.";

std::string FillCheckCode(std::string_view format, int checkCode) {
  return FillDirectives(format, Directives{"d"}, {std::to_string(checkCode)});
}

void CorruptInstallerFatal(int checkCode) {
  const std::string& localized = LocalizedString(kStringCorruptInstaller);
  const std::string text = FillCheckCode(localized.empty() ? kCorruptInstallerText : localized, checkCode);
  tl::FatalMessage("%s", text.c_str());
}

void NoInstallationDataFatal() { tl::FatalMessage("%s", kNoInstallationDataText); }

}  // namespace setup
