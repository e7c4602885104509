#include "setup/run/setup_payload_win.h"

#include <windows.h>

#include <cstring>

#include "setup/run/fatal_messages.h"
#include "setup/run/settings_defaults.h"
#include "setup/run/own_file_win.h"
#include "setup/payload/archive.h"
#include "setup/payload/file_record.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/settings_stream.h"
#include "setup/payload/uninstaller_image.h"
#include "setup/strings/string_table.h"
#include "tl_core/fatal.h"
#include "tl_core/os_facts_win.h"
#include "tl_core/system_library_win.h"
#include "tl_core/text.h"
#include "tl_core/system_folders_win.h"

namespace setup {
namespace {

// The section as the loader mapped it.
std::span<const uint8_t> MappedSection(const SetupSection& section) {
  const auto* base = reinterpret_cast<const uint8_t*>(::GetModuleHandleA(nullptr));
  uint32_t virtualSize = 0;
  std::memcpy(&virtualSize, base + section.entryOffset + 8, sizeof virtualSize);
  uint32_t length = virtualSize ? virtualSize : section.sizeOfRawData;
  return {base + section.virtualAddress, length};
}

PayloadHeader CheckHeader(std::span<const uint8_t> mapped) {
  HeaderReadResult read = ReadPayloadHeader(mapped);
  if (read.outcome == HeaderOutcome::kVersionMismatch)
    tl::FatalMessage("%s", VersionMismatchMessage(read.header.RuntimeVersion).c_str());
  if (read.outcome == HeaderOutcome::kCorrupt) CorruptInstallerFatal(read.corruptCode);
  return read.header;
}

SystemVersion RunningSystemVersion() {
  const tl::OsVersionFacts& facts = tl::RunningSystemFacts();
  SystemVersion v{static_cast<int>(facts.major), static_cast<int>(facts.minor)};
  // Server 2003 and its editions count with the version-6 systems; XP x64 does not.
  v.countsAsVersion6 = facts.major == 5 && facts.minor == 2 &&
                       tl::OperatingSystemName(tl::kOsNameShortForm).find("XP") == std::string::npos;
  return v;
}

ProductSettings ReadSettings(std::span<const uint8_t> mapped, const PayloadHeader& header,
                             const std::string& commandLineName,
                             const std::function<void(const SettingsStream&)>& openBackgroundWindow) {
  SettingsBlockResult block = UnpackSettingsBlock(mapped, header);
  if (!block.ok()) CorruptInstallerFatal(block.corruptCode);
  SettingsReadHooks hooks;
  hooks.settingsKey = header.SettingsKey;
  hooks.createBackgroundWindow = openBackgroundWindow;
  SettingsReadResult read = ReadSettingsStream(block.stream, hooks);
  if (!read.ok()) CorruptInstallerFatal(read.corruptCode);
  RunStrings().Load(read.settings.Strings);
  ProductSettings product =
      ApplySettingsDefaults(std::move(read.settings), commandLineName, RunningSystemVersion(), tl::WindowsFolder());
  SetPlaceholderValues({product.displayName, product.stream.Description, tl::WindowsFolder()});
  return product;
}

UninstallerBuild BuildUninstaller(const ProductSettings& product, const PayloadHeader& header,
                                  const SetupSection& section, int64_t ownFileLength) {
  UninstallerImageInput input;
  input.section = section;
  input.fileLength = ownFileLength;
  input.imageChecksum = header.ImageChecksum;
  input.compareChecksum = product.Flag(kFlagCompareChecksums);
  input.buildImage = product.Flag2(kFlag2BuildUninstallerImage);
  UninstallerImageResult image = BuildUninstallerImage(ReadOwnFile(), input);
  if (!image.ok()) CorruptInstallerFatal(image.corruptCode);
  return {std::move(image.image), image.uninstallerSize};
}

}  // namespace

LoadedPayload ReadSetupPayload(const SetupSection& section, const std::string& commandLineName, int64_t ownFileLength,
                               const std::function<void(const SettingsStream&)>& openBackgroundWindow) {
  LoadedPayload loaded;
  std::span<const uint8_t> mapped = MappedSection(section);
  PayloadHeader header = CheckHeader(mapped);
  loaded.product = ReadSettings(mapped, header, commandLineName, openBackgroundWindow);
  loaded.uninstaller = BuildUninstaller(loaded.product, header, section, ownFileLength);
  loaded.payload = {section, std::move(header), mapped};
  return loaded;
}

void ArchiveReadFatal(int64_t length, int64_t fileOffset) {
  tl::FatalMessage("Error code 2: failed to read archive data\r\nsize=%d pos=%d", static_cast<int>(length),
                   static_cast<int>(fileOffset));
}

RunArchive OpenArchive(const RunState& run) {
  const RunPayload& payload = run.payload;
  const bool inFile = run.product.stream.ArchiveInFile != 0;
  ArchivePlace place =
      inFile ? PlaceArchiveInFile(payload.header, payload.section.pointerToRawData, run.process.ownFileLength)
             : PlaceArchiveInSection(payload.header, payload.mapped.size());
  if (!place.ok()) CorruptInstallerFatal(place.corruptCode);
  const int64_t start = inFile ? place.offset : int64_t{payload.section.pointerToRawData} + place.offset;
  ArchiveSource source(place.length, [start](int64_t offset, std::span<uint8_t> out) {
    return OwnFile().ReadAt(out.data(), static_cast<int64_t>(out.size()), start + offset);
  });
  return {std::move(source), start};
}

}  // namespace setup
