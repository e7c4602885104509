#include "setup/uninstall/uninstall_registration_win.h"

#include <windows.h>

#include "setup/run/install_settings.h"
#include "setup/record/uninstall_entry.h"
#include "setup/record/registration_values.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {
namespace {

constexpr int kFlagSilentUninstall = 9;
constexpr int kFlagUninstallerBackground = 15;

uint32_t NumberOr(tl::RegistryKey& key, const char* name, uint32_t fallback) {
  return key.ReadNumber(name).value_or(fallback);
}

// The product's identity and options: what the rest of the run decides by.
void ReadIdentity(tl::RegistryKey& key, InstallSettings& run) {
  SettingsStream& s = run.stream;
  s.ProductFlags = ParseProductFlags(key.ReadText("ProductFlags"));
  s.ProductFlags2 = ParseProductFlags2(key.ReadText("ProductFlags2"));
  s.Bitness = static_cast<uint8_t>(NumberOr(key, "Bitness", 0));
  s.DisplayVersion = key.ReadText("DisplayVersion");
  s.UninstallSubdir = key.ReadText("UninstallSubdir");
  s.ShortcutMode = static_cast<uint8_t>(NumberOr(key, "ShortcutMode", 0));
  s.NotifyURL = key.ReadText("NotifyURL");
  if (s.Flag(kFlagSilentUninstall)) run.automaticMode = true;
  run.uninstallDataFolder = tl::JoinPath(run.installLocation, s.UninstallSubdir);
}

// How the background window looks: the title, the colours, the copyright
// line and, with its option, the bitmap.
void ReadAppearance(tl::RegistryKey& key, InstallSettings& run) {
  SettingsStream& s = run.stream;
  s.DisplayTitle = key.ReadText("DisplayTitle");
  s.TitleSize = ParseDecimalText(key.ReadText("TitleSize"), 1.0);
  s.TitleColor = NumberOr(key, "TitleColor", ::GetSysColor(COLOR_WINDOWTEXT));
  s.TitleShadow = static_cast<uint8_t>(NumberOr(key, "TitleShadow", 1));
  s.TopColor = NumberOr(key, "TopColor", ::GetSysColor(COLOR_WINDOW));
  s.BottomColor = NumberOr(key, "BottomColor", 0);
  run.monoColor = NumberOr(key, "MonoColor", 1) != 0;
  s.TitlePosition = static_cast<uint8_t>(NumberOr(key, "TitlePosition", 0));
  s.TitleFont = key.ReadText("TitleFont");
  s.TaskbarText = key.ReadText("TaskbarText");
  s.CopyrightText = key.ReadText("CopyrightText");
  s.CopyrightFont = key.ReadText("CopyrightFont");
  s.CopyrightSize = ParseDecimalText(key.ReadText("CopyrightSize"), 0.0);
  s.CopyrightColor = ParseColorText(key.ReadText("CopyrightColor"));
  s.CopyrightPos = static_cast<uint8_t>(NumberOr(key, "CopyrightPos", 0));
  if (s.Flag(kFlagUninstallerBackground)) {
    s.BitmapTPI = NumberOr(key, "BitmapTPI", 0xFFFFFFFFu);
    s.StretchMode = NumberOr(key, "StretchMode", 0);
    s.BitmapSize = NumberOr(key, "BitmapSize", 0);
  }
}

void ReadRemovalLists(UninstallRegistration& registration) {
  tl::RegistryKey& key = registration.key;
  registration.productFonts = key.ReadText("ProductFonts");
  registration.productRegistry = key.ReadText("ProductRegistry");
  registration.productStartMenu = key.ReadText("ProductStartMenu");
  registration.sharedPath = key.ReadText("SharedPath");
  registration.sharedFiles = key.ReadText("SharedFiles");
}

}  // namespace

bool LoadUninstallRegistration(const std::string& keyName, UninstallRegistration& registration,
                               std::string& message) {
  InstallSettings& run = Settings();
  const std::string subKey = UninstallEntryKey(keyName);
  {
    tl::RegistryKey probe;
    if (probe.Open(HKEY_LOCAL_MACHINE, subKey, tl::kRegOpenExistingOnly, KEY_READ) == tl::RegOpenResult::kFailed) {
      message = probe.lastError() == ERROR_ACCESS_DENIED ? std::string(kPermissionDeniedMessage)
                                                         : tl::Format(kNoSuchProductMessage, keyName.c_str());
      return false;
    }
  }
  tl::RegistryKey& key = registration.key;
  if (key.Open(HKEY_LOCAL_MACHINE, subKey, tl::kRegOpenExistingOnly, tl::kRegAccessWrite) ==
      tl::RegOpenResult::kFailed) {
    message = tl::Format(kRegistrationInaccessibleMessage, run.displayName.c_str());
    return false;
  }
  const std::string displayName = key.ReadText("DisplayName");
  if (!displayName.empty()) run.displayName = displayName;
  if (run.displayName.empty()) run.displayName = keyName;
  run.stream.UninstallKeyName = keyName;
  run.installLocation = key.ReadText("InstallLocation");
  if (run.installLocation.empty()) {
    message = tl::Format(kRegistrationCorruptMessage, run.displayName.c_str());
    return false;
  }
  ReadIdentity(key, run);
  ReadAppearance(key, run);
  ReadRemovalLists(registration);
  return true;
}

}  // namespace setup
