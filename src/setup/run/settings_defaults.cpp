#include "setup/run/settings_defaults.h"

#include "setup/strings/string_table.h"

namespace setup {
namespace {

void ApplyNames(ProductSettings& product) {
  SettingsStream& s = product.stream;
  if (product.displayName.empty()) product.displayName = s.ProductName;
  const std::string& name = product.displayName;
  if (s.Description.empty()) s.Description = name;
  if (s.SharedPath.empty()) s.SharedPath = s.Publisher.empty() ? name : s.Publisher;
  if (s.ProductStartMenu.empty()) s.ProductStartMenu = s.Publisher.empty() ? name : s.Publisher + "\\" + name;
  if (s.UninstallKeyName.empty()) s.UninstallKeyName = name;
}

bool OlderThanVersion6(const SystemVersion& system) { return system.major < 6 && !system.countsAsVersion6; }

}  // namespace

bool AutomaticModeOf(bool commandLineAutomatic, uint8_t automaticModeSetting) {
  if (automaticModeSetting == kAutomaticModeAlways) return true;
  if (automaticModeSetting == kAutomaticModeNever) return false;
  return commandLineAutomatic;
}

bool RunShowsWindows(bool automaticRun, bool settingsAskAutomatic) { return !automaticRun || settingsAskAutomatic; }

ProductSettings ApplySettingsDefaults(SettingsStream stream, const std::string& commandLineName,
                                      const SystemVersion& system, const std::string& windowsFolder) {
  ProductSettings product;
  product.stream = std::move(stream);
  product.displayName = commandLineName;
  ApplyNames(product);
  SettingsStream& s = product.stream;
  product.monoColor = s.TopColor == s.BottomColor;
  if (OlderThanVersion6(system)) s.ProductFlags2 &= ~(1u << kFlag2ButtonPictures);
  s.DialogCaption = ReplacePlaceholders(s.DialogCaption, {product.displayName, s.Description, windowsFolder});
  return product;
}

}  // namespace setup
