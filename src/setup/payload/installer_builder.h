#pragma once
// Turns a copy of the runtime into a product's installer: the payload (header,
// settings block, archive) goes into a new ".setup" section appended to the
// PE32 runtime. Used by the authoring tool; the output depends only on the
// inputs (no clock, no randomness).
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "setup/payload/file_record.h"
#include "setup/payload/pack.h"
#include "setup/payload/settings_stream.h"

namespace setup {

struct BuildOptions {
  // Chunks stored as packed blocks. Written into the stored settings as
  // ProductFlags bit 5, so reader and layout always agree.
  bool packChunks = true;
  PackOptions pack;  // for the settings block and the chunks
  // Archive read from the file instead of the mapped section. Written into
  // the stored settings as ArchiveInFile.
  bool archiveInFile = false;
  // Called as the chunks are packed: unpacked bytes done and their total.
  std::function<void(uint64_t done, uint64_t total)> progress;
};

struct BuildResult {
  std::string error;  // empty on success
  std::vector<uint8_t> installer;
  bool ok() const { return error.empty(); }
};

// The section takes header, settings block and archive, padded to a whole
// number of SectionAlignment units; its SizeOfRawData and VirtualSize are
// both that length, so the uninstaller image (which subtracts SizeOfRawData
// from SizeOfImage) gets the runtime's own header values back. With
// archiveInFile the padding goes into the settings block instead of after
// the archive, because that archive must run to the end of the file.
BuildResult BuildInstaller(std::span<const uint8_t> runtime, const SettingsStream& settings,
                           const std::vector<FileRecord>& files, const BuildOptions& options = {});

// The same from settings stream bytes taken as given: nothing is checked or
// changed in them, so the caller keeps ProductFlags bit 5 and ArchiveInFile
// in agreement with the options (tests build installers with broken
// streams this way).
BuildResult BuildInstallerFromStream(std::span<const uint8_t> runtime, std::span<const uint8_t> settingsStream,
                                     const std::vector<FileRecord>& files, const BuildOptions& options = {});

}  // namespace setup
