#include "setup/uninstall/uninstall_registration_win.h"

#include <windows.h>

#include "setup/record/uninstall_entry.h"
#include "setup/record/registration_values.h"
#include "tl_core/path_text.h"
#include "tl_core/text.h"
#include "setup/payload/product_flags.h"

namespace setup {
namespace {

uint32_t NumberOr(tl::RegistryKey& key, const char* name, uint32_t fallback) {
  return key.ReadNumber(name).value_or(fallback);
}

// The product's identity and options: what the rest of the run decides by.
void ReadIdentity(tl::RegistryKey& key, SettingsStream& s) {
  s.ProductFlags = ParseProductFlags(key.ReadText("ProductFlags"));
  s.ProductFlags2 = ParseProductFlags2(key.ReadText("ProductFlags2"));
  s.Bitness = static_cast<uint8_t>(NumberOr(key, "Bitness", 0));
  s.DisplayVersion = key.ReadText("DisplayVersion");
  s.UninstallSubdir = key.ReadText("UninstallSubdir");
  s.ShortcutMode = static_cast<uint8_t>(NumberOr(key, "ShortcutMode", 0));
  s.NotifyURL = key.ReadText("NotifyURL");
}

// How the background window looks: the title, the colours, the copyright
// line and, with its option, the bitmap.
void ReadAppearance(tl::RegistryKey& key, ProductSettings& product) {
  SettingsStream& s = product.stream;
  s.DisplayTitle = key.ReadText("DisplayTitle");
  s.TitleSize = ParseDecimalText(key.ReadText("TitleSize"), 1.0);
  s.TitleColor = NumberOr(key, "TitleColor", ::GetSysColor(COLOR_WINDOWTEXT));
  s.TitleShadow = static_cast<uint8_t>(NumberOr(key, "TitleShadow", 1));
  s.TopColor = NumberOr(key, "TopColor", ::GetSysColor(COLOR_WINDOW));
  s.BottomColor = NumberOr(key, "BottomColor", 0);
  product.monoColor = NumberOr(key, "MonoColor", 1) != 0;
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

bool LoadUninstallRegistration(const std::string& keyName, ProductSettings& product,
                               UninstallRegistration& registration, std::string& message) {
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
    message = tl::Format(kRegistrationInaccessibleMessage, product.displayName.c_str());
    return false;
  }
  const std::string displayName = key.ReadText("DisplayName");
  if (!displayName.empty()) product.displayName = displayName;
  if (product.displayName.empty()) product.displayName = keyName;
  product.stream.UninstallKeyName = keyName;
  registration.installLocation = key.ReadText("InstallLocation");
  if (registration.installLocation.empty()) {
    message = tl::Format(kRegistrationCorruptMessage, product.displayName.c_str());
    return false;
  }
  ReadIdentity(key, product.stream);
  ReadAppearance(key, product);
  ReadRemovalLists(registration);
  return true;
}

}  // namespace setup
