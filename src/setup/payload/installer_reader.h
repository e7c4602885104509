#pragma once
// Reads a whole installer the way the runtime does, with the same checks in
// the same order: section locator, positioning, header, settings block,
// settings stream, uninstaller image, archive, every record. For inspection
// and extraction by the authoring tool, and for tests.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "setup/payload/file_record.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/section_locator.h"
#include "setup/payload/settings_stream.h"
#include "setup/payload/uninstaller_image.h"

namespace setup {

enum class InstallerOutcome { kValid, kNoSection, kVersionMismatch, kCorrupt };

struct InstallerContents {
  InstallerOutcome outcome = InstallerOutcome::kCorrupt;
  int corruptCode = 0;               // the first failing check with kCorrupt
  SetupSection section;
  PayloadHeader header;              // with kVersionMismatch, RuntimeVersion is the payload's text
  SettingsStream settings;
  UninstallerImageResult uninstaller;
  std::vector<FileRecord> files;     // the records read before any failure
  bool ok() const { return outcome == InstallerOutcome::kValid; }
};

InstallerContents ReadInstaller(std::span<const uint8_t> installer);

// The bytes of the ".setup" section as the reader sees them: its raw data,
// cut at the end of the file.
std::span<const uint8_t> SectionBytes(std::span<const uint8_t> file, const SetupSection& section);

}  // namespace setup
