#pragma once
// The words a project file uses for the numbers of the settings: option
// names for the bits of ProductFlags and ProductFlags2, file kinds, replace
// modes and the small enumerations of the other settings.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pack {

struct NamedBit {
  std::string_view name;
  int bit;
  bool defaultOn;  // set unless the project turns it off
};

struct NamedValue {
  std::string_view name;
  uint32_t value;
};

// Options of [options], by the flag word they set.
std::span<const NamedBit> ProductOptions();   // ProductFlags bits
std::span<const NamedBit> ProductOptions2();  // ProductFlags2 bits

const NamedBit* FindOption(std::span<const NamedBit> options, std::string_view name);

// FileKind by name: app 0, shared 1, font 4, startup-app 5, system 6,
// com-server 7, type-library 8, versioned-app 9, driver 10, package 11, applet 12.
std::span<const NamedValue> FileKinds();
// ReplaceMode by name: always 0, never 1, if-exists 2, if-missing 3, not-over-newer 4.
std::span<const NamedValue> ReplaceModes();
// File attributes that a record may set.
std::span<const NamedValue> FileAttributes();

std::span<const NamedValue> BitnessNames();         // Bitness
std::span<const NamedValue> AdminModes();           // AdminMode
std::span<const NamedValue> AutomaticModes();       // AutomaticModeSetting
std::span<const NamedValue> ShortcutModes();        // ShortcutMode
std::span<const NamedValue> SharedBases();          // SharedBase
std::span<const NamedValue> SidePictureBorders();   // SidePictureBorder
std::span<const NamedValue> PageStyles();           // WizardBlock values 2 to 9
std::span<const NamedValue> TextPositions();        // TitlePosition, CopyrightPos
std::span<const NamedValue> StretchModes();         // StretchMode
std::span<const NamedValue> HorizontalPlacements(); // DialogStyleValue bits 0-1
std::span<const NamedValue> VerticalPlacements();   // DialogStyleValue bits 3-4
std::span<const NamedValue> ShowModes();            // shortcut showMode
std::span<const NamedValue> CloseActions();         // close record action
std::span<const NamedValue> DeleteConditions();     // delete record condition
std::span<const NamedValue> RegistryValueTypes();   // registry-entry value types
std::span<const NamedValue> UninstallValueTypes();  // value record type

std::optional<uint32_t> ValueOf(std::span<const NamedValue> names, std::string_view name);
std::string_view NameOf(std::span<const NamedValue> names, uint32_t value);  // empty when unnamed
// "a, b or c", for error messages.
std::string NameList(std::span<const NamedValue> names);

// The names of the page styles, in WizardBlock order (values 2 to 9).
std::span<const std::string_view> PageStyleKeys();

}  // namespace pack
