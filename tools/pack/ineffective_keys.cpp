#include "ineffective_keys.h"

#include "option_names.h"

namespace pack {
namespace {

// What the runtime stores and never reads is listed here, and so is what it
// only copies into the uninstall registration for an uninstaller that does
// not read it either. Delete a line when its key starts to work.
constexpr IneffectiveKey kKeys[] = {
    // Only recorded in the registration; nothing creates or removes the key.
    {"product.registry-key", "", ""},
    // Decides only whose desktop is refreshed and whose Start Menu loses an
    // empty product folder, which only shortcuts would fill.
    {"product.shortcuts-for", "", ""},

    // Shortcuts.
    {"desktop.folder", "", ""},
    {"desktop.folder-icon", "", ""},
    {"root-shortcut.name", "", ""},
    {"root-shortcut.target", "", ""},
    {"[[files]].desktop-shortcut", "", ""},
    {"[[files]].start-menu-shortcut", "", ""},
    {"[[files]].caption", "", ""},
    {"[[files]].icon", "", ""},
    {"[[files]].arguments", "", ""},
    {"[[files]].working-folder", "", ""},
    {"[[shortcuts]].target", "", ""},
    {"[[shortcuts]].caption", "", ""},
    {"[[shortcuts]].icon", "", ""},
    {"[[shortcuts]].arguments", "", ""},
    {"[[shortcuts]].working-folder", "", ""},
    {"[[shortcuts]].folder", "", ""},
    {"[[shortcuts]].desktop", "", ""},
    {"[[shortcuts]].start-menu", "", ""},
    {"[[shortcuts]].startup", "", ""},
    {"[[shortcuts]].permanent", "", ""},
    {"[[shortcuts]].show", "", ""},

    // Files whose kind asks for more than their copy in place.
    {"[[files]].kind", "shared", "the file is installed, but no use count is kept for it in this runtime version yet"},
    {"[[files]].kind", "startup-app",
     "the file is installed, but no Startup shortcut is made in this runtime version yet"},
    {"[[files]].kind", "font", "the file is installed, but the font is not registered in this runtime version yet"},
    {"[[files]].kind", "com-server",
     "the file is installed, but the COM server is not registered in this runtime version yet"},
    {"[[files]].kind", "type-library",
     "the file is installed, but the type library is not registered in this runtime version yet"},
    {"[[files]].kind", "driver",
     "the file is installed, but the driver package is not installed in this runtime version yet"},
    {"[[files]].kind", "package", "the file is installed, but the package is not run in this runtime version yet"},
    {"[[files]].kind", "applet", "the file is installed, but the applet is not registered in this runtime version yet"},
    {"[[files]].font-name", "", ""},
    {"[[files]].package-option", "", ""},
    {"[[files]].remove-package", "", ""},

    // Registry entries: only carried into "Uninstall.DAT" for an uninstaller
    // that removes none.
    {"[[registry]].key", "", ""},
    {"[[registry]].value", "", ""},
    {"[[registry]].type", "", ""},
    {"[[registry]].data", "", ""},
    {"[[registry]].install", "", ""},
    {"[[registry]].keep", "", ""},

    {"[[associations]].extension", "", ""},
    {"[[associations]].file-type", "", ""},
    {"[[associations]].description", "", ""},
    {"[[associations]].verb", "", ""},
    {"[[associations]].verb-label", "", ""},
    {"[[associations]].command", "", ""},
    {"[[associations]].language", "", ""},
    {"[[associations]].icon", "", ""},
    {"[[associations]].default-verb", "", ""},

    {"[[firewall]].program", "", ""},
    {"[[firewall]].port", "", ""},
    {"[[firewall]].name", "", ""},
    {"[[firewall]].protocols", "", ""},
    {"[[firewall]].stays", "", ""},

    // The deletion list: nothing is deleted before the installation, and
    // the uninstaller only keeps its entries in "Uninstall.DAT".
    {"[[delete]].file", "", ""},
    {"[[delete]].condition", "", ""},
    {"[[delete]].value", "", ""},
    {"[[delete]].when", "", ""},
    {"[[delete]].restart", "", ""},

    // Options whose bit the runtime never tests, or tests only to do
    // nothing (the PATH entry's removal), or only records for the uninstaller.
    {"options.uninstaller-start-menu-shortcut", "", ""},
    {"options.ask-before-removing-fonts", "", ""},
    {"options.remove-install-folder", "", ""},
    {"options.add-to-path", "", ""},
    {"options.ask-before-removing-shared-files", "", ""},
    {"options.uninstaller-desktop-shortcut", "", ""},
    {"options.uninstaller-shortcut-in-uninstall-folder", "", ""},
    {"options.bind-executables", "", ""},
    {"options.install-log-shortcut", "", ""},
    {"options.no-shortcuts-on-removable-drive", "", ""},
};

constexpr std::string_view kNoEffect = " has no effect in this runtime version yet";

}  // namespace

std::span<const IneffectiveKey> IneffectiveKeys() { return kKeys; }

const IneffectiveKey* FindIneffectiveKey(std::string_view key, std::string_view value) {
  for (const IneffectiveKey& entry : kKeys)
    if (entry.key == key && (entry.value.empty() || entry.value == value)) return &entry;
  return nullptr;
}

std::string IneffectiveKeyMessage(const IneffectiveKey& entry) {
  if (entry.missing.empty()) return std::string(entry.key) + std::string(kNoEffect);
  return std::string(entry.key) + " \"" + std::string(entry.value) + "\": " + std::string(entry.missing);
}

std::optional<std::string> RawBitWarning(int word, int bit) {
  const std::string key = word == 1 ? "options.raw-flags" : "options.raw-flags2";
  const std::string number = "bit " + std::to_string(bit);
  for (const NamedBit& option : word == 1 ? ProductOptions() : ProductOptions2()) {
    if (option.bit != bit) continue;
    if (!FindIneffectiveKey("options." + std::string(option.name), "")) return std::nullopt;
    return key + ": " + number + " (" + std::string(option.name) + ")" + std::string(kNoEffect);
  }
  return key + ": " + number + " is not read by the runtime";
}

}  // namespace pack
