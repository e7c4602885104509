#pragma once
// Reading the program's own payload: the header in the mapped ".setup"
// section, the settings block and stream into InstallSettings, the string
// table and the uninstaller image; the archive is opened by the extraction.
// Every damage ends the run with the corrupt-installer message.
#include <cstdint>
#include <span>
#include <vector>

#include "setup/payload/archive.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/section_locator.h"

namespace setup {

void ReadSetupPayload(const SetupSection& section);

// The payload header read by ReadSetupPayload.
const PayloadHeader& RunPayloadHeader();

// The archive, inside the section or after it. Either way its bytes are
// read from the program's own file a piece at a time, so that the mapped
// pages are never touched and memory holds one chunk, not the product.
// Its length is checked (code 46); its checksum is the caller's.
struct RunArchive {
  ArchiveSource source;
  int64_t fileOffset = 0;  // where it starts in the program's file
};
RunArchive OpenArchive();

// "Error code 2: failed to read archive data" for a read of the archive.
[[noreturn]] void ArchiveReadFatal(int64_t length, int64_t fileOffset);

}  // namespace setup
