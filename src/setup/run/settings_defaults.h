#pragma once
// The defaults that reading the settings fills in: the texts an author left
// empty, the flags that depend on the running system, and the mode the
// command line and the settings give together.
#include <cstdint>
#include <string>

#include "setup/run/product_settings.h"

namespace setup {

struct SystemVersion {
  int major = 0;
  int minor = 0;
  bool countsAsVersion6 = false;  // a 5.2 system the OS identification names as a 64-bit XP
};

// The product's settings from the stream: DisplayName (a /n: name,
// `commandLineName`, wins), Description, ProductStartMenu, UninstallKeyName,
// the name part of SharedPath, MonoColor, ProductFlags2 bit 10, and the
// placeholders of DialogCaption.
ProductSettings ApplySettingsDefaults(SettingsStream stream, const std::string& commandLineName,
                                      const SystemVersion& system, const std::string& windowsFolder);

// AutomaticModeSetting: automatic whatever the command line says, or never.
inline constexpr uint8_t kAutomaticModeAlways = 1;
inline constexpr uint8_t kAutomaticModeNever = 2;

// /a, unless AutomaticModeSetting forces it on (1) or off (2).
bool AutomaticModeOf(bool commandLineAutomatic, uint8_t automaticModeSetting);

// Whether a run shows its windows (the background window and the progress
// dialog): an interactive run does, and so does one that the product's
// settings make automatic; a run that /a alone made automatic shows none.
bool RunShowsWindows(bool automaticRun, bool settingsAskAutomatic);

}  // namespace setup
