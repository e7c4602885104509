#pragma once
// Reading the program's own payload: the header in the mapped ".setup"
// section, the settings block and stream into InstallSettings, the string
// table and the uninstaller image; the archive is opened by the extraction.
// Every damage ends the run with the corrupt-installer message.
#include <cstdint>
#include <span>
#include <vector>

#include "setup/payload/payload_header.h"
#include "setup/payload/section_locator.h"

namespace setup {

void ReadSetupPayload(const SetupSection& section);

// The payload header read by ReadSetupPayload.
const PayloadHeader& RunPayloadHeader();

// The archive: in place in the mapped section, or read from the program's
// own file. Its length is checked (code 46); its checksum is the caller's.
struct RunArchive {
  std::span<const uint8_t> bytes;
  std::vector<uint8_t> owned;  // the bytes read from the file, when not in place
};
RunArchive OpenArchive();

}  // namespace setup
