#include "setup/payload/installer_reader.h"

#include <algorithm>

#include "setup/payload/archive.h"
#include "setup/payload/check_codes.h"

namespace setup {
namespace {

// Each step returns 0 or its check code and fills `c` as it goes.

int CheckSettings(std::span<const uint8_t> section, InstallerContents& c) {
  const SettingsBlockResult block = UnpackSettingsBlock(section, c.header);
  if (!block.ok()) return block.corruptCode;
  SettingsReadHooks hooks;
  hooks.settingsKey = c.header.SettingsKey;
  SettingsReadResult read = ReadSettingsStream(block.stream, hooks);
  c.settings = std::move(read.settings);
  return read.corruptCode;
}

int CheckUninstallerImage(std::span<const uint8_t> installer, InstallerContents& c) {
  UninstallerImageInput input;
  input.section = c.section;
  input.fileLength = static_cast<int64_t>(installer.size());
  input.imageChecksum = c.header.ImageChecksum;
  input.compareChecksum = c.settings.Flag(kFlagCompareChecksums);
  input.buildImage = c.settings.Flag2(kFlag2BuildUninstallerImage);
  c.uninstaller = BuildUninstallerImage(ReadFromBytes(installer), input);
  return c.uninstaller.corruptCode;
}

int FindArchive(std::span<const uint8_t> installer, std::span<const uint8_t> section, const InstallerContents& c,
                std::span<const uint8_t>& archive) {
  const bool inFile = c.settings.ArchiveInFile != 0;
  const ArchivePlace place = inFile ? PlaceArchiveInFile(c.header, c.section.pointerToRawData,
                                                         static_cast<int64_t>(installer.size()))
                                    : PlaceArchiveInSection(c.header, section.size());
  if (!place.ok()) return place.corruptCode;
  archive = (inFile ? installer : section).subspan(static_cast<size_t>(place.offset), static_cast<size_t>(place.length));
  return CheckArchiveChecksum(archive, c.header);
}

int ReadFiles(std::span<const uint8_t> archive, InstallerContents& c) {
  ChunkCursor chunks(archive, c.settings.Flag(kFlagPackedChunks), c.settings.Flag(kFlagCompareChecksums));
  RecordStream records(chunks);
  for (const int32_t size : c.header.FileSizes) {
    std::span<const uint8_t> body;
    if (const int code = records.NextBody(size, body)) return code;
    FileRecordView view;
    if (const int code = ParseFileRecord(body, size, view)) return code;
    c.files.push_back(view.ToRecord());
  }
  return records.Finish();
}

int ReadPayload(std::span<const uint8_t> installer, InstallerContents& c) {
  if (c.section.pointerToRawData > installer.size()) return check::kCannotPosition;
  const std::span<const uint8_t> section = SectionBytes(installer, c.section);
  const HeaderReadResult header = ReadPayloadHeader(section);
  c.header = header.header;
  if (header.outcome == HeaderOutcome::kVersionMismatch) {
    c.outcome = InstallerOutcome::kVersionMismatch;
    return 0;
  }
  if (!header.ok()) return header.corruptCode;
  if (const int code = CheckSettings(section, c)) return code;
  if (const int code = CheckUninstallerImage(installer, c)) return code;
  std::span<const uint8_t> archive;
  if (const int code = FindArchive(installer, section, c, archive)) return code;
  if (const int code = ReadFiles(archive, c)) return code;
  c.outcome = InstallerOutcome::kValid;
  return 0;
}

}  // namespace

std::span<const uint8_t> SectionBytes(std::span<const uint8_t> file, const SetupSection& section) {
  if (section.pointerToRawData >= file.size()) return {};
  const size_t available = file.size() - section.pointerToRawData;
  return file.subspan(section.pointerToRawData, std::min<size_t>(section.sizeOfRawData, available));
}

InstallerContents ReadInstaller(std::span<const uint8_t> installer) {
  InstallerContents c;
  const LocateResult located = LocateSetupSection(ReadFromBytes(installer));
  c.section = located.section;
  if (located.outcome == LocateOutcome::kNoSection) {
    c.outcome = InstallerOutcome::kNoSection;
    return c;
  }
  c.corruptCode = located.outcome == LocateOutcome::kCorrupt ? located.corruptCode : ReadPayload(installer, c);
  if (c.corruptCode != 0) c.outcome = InstallerOutcome::kCorrupt;
  return c;
}

}  // namespace setup
