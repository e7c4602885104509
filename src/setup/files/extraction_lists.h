#pragma once
// What the extraction collects for the phases after it.
#include <cstdint>
#include <string>
#include <vector>

#include "setup/files/installed_file_set.h"
#include "setup/files/shortcut_entry.h"

namespace setup {

struct ExtractionLists {
  // Shared, system, COM and type-library files in record order, each path
  // followed by its marker: " " permanent, "^" COM server, "\xA9" type
  // library, none for a plain shared file.
  std::vector<std::string> sharedFiles;
  std::vector<std::string> comServers;
  std::vector<std::string> typeLibraries;
  std::vector<std::string> drivers;
  std::vector<ShortcutEntry> shortcuts;
  InstalledFileSet installedFiles;
  bool fontsChanged = false;
};

// The SharedFileList entry of a FileKind kShared, kSystem, kComServer or
// kTypeLibrary file.
std::string SharedFileEntry(const std::string& path, uint32_t kind, bool permanent);

}  // namespace setup
