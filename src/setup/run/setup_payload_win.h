#pragma once
// Reading the program's own payload: the header in the mapped ".setup"
// section, the settings block and stream, the string table and the
// uninstaller image; the archive is opened by the extraction. Every damage
// ends the run with the corrupt-installer message.
#include <cstdint>
#include <functional>
#include <string>

#include "setup/payload/archive.h"
#include "setup/payload/section_locator.h"
#include "setup/run/run_state.h"

namespace setup {

struct LoadedPayload {
  RunPayload payload;
  ProductSettings product;  // the string table is loaded with it
  UninstallerBuild uninstaller;
};

// `commandLineName` is the /n: name, `ownFileLength` the length of the
// program's own file. `openBackgroundWindow` is called once the settings
// that the background window needs first are read (unless ProductFlags bit
// 29 asks for none), before the rest of the stream.
LoadedPayload ReadSetupPayload(const SetupSection& section, const std::string& commandLineName, int64_t ownFileLength,
                               const std::function<void(const SettingsStream&)>& openBackgroundWindow);

// The archive, inside the section or after it. Either way its bytes are
// read from the program's own file a piece at a time, so that the mapped
// pages are never touched and memory holds one chunk, not the product.
// Its length is checked (code 46); its checksum is the caller's.
struct RunArchive {
  ArchiveSource source;
  int64_t fileOffset = 0;  // where it starts in the program's file
};
RunArchive OpenArchive(const RunState& run);

// "Error code 2: failed to read archive data" for a read of the archive.
[[noreturn]] void ArchiveReadFatal(int64_t length, int64_t fileOffset);

}  // namespace setup
