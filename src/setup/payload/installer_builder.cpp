#include "setup/payload/installer_builder.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "setup/payload/archive.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/pe_image.h"
#include "setup/payload/uninstaller_image.h"

namespace setup {
namespace {

constexpr char kSetupSectionName[8] = {'.', 's', 'e', 't', 'u', 'p', 0, 0};
constexpr size_t kMaxSectionsWithSetup = 99;  // the section locator's limit
constexpr size_t kMinSectionsWithSetup = 4;
constexpr uint32_t kCertificateDirectoryIndex = 4;
constexpr int64_t kMaxI32 = std::numeric_limits<int32_t>::max();

BuildResult Fail(std::string error) {
  BuildResult result;
  result.error = std::move(error);
  return result;
}

// Where the new section goes and what it is laid over.
struct SectionPlan {
  uint32_t entryOffset = 0;       // file offset of the new table entry
  uint32_t pointerToRawData = 0;
  uint32_t virtualAddress = 0;
  uint32_t length = 0;            // SizeOfRawData = VirtualSize
};

// The lowest file offset of any section's raw data: the headers end there.
uint64_t FirstRawData(const PeLayout& pe, uint64_t fileSize) {
  uint64_t first = fileSize;
  for (const PeSection& s : pe.sections)
    if (s.pointerToRawData != 0 && s.sizeOfRawData != 0) first = std::min<uint64_t>(first, s.pointerToRawData);
  return first;
}

// The runtime must be a PE32 image without a payload, with room in its
// headers for one more section entry, followed by 40 header bytes that the
// uninstaller image moves into the freed slot.
std::string CheckRuntime(std::span<const uint8_t> runtime, const PeLayout& pe) {
  for (const PeSection& s : pe.sections)
    if (s.name == ".setup") return "the runtime already has a \".setup\" section";
  const size_t count = pe.sections.size() + 1;
  if (count < kMinSectionsWithSetup || count > kMaxSectionsWithSetup)
    return "the runtime has " + std::to_string(pe.sections.size()) + " sections; 3 to 98 are needed";
  const uint8_t* header = runtime.data() + pe.peHeaderOffset;
  if (LoadU32(header + kPeNumberOfRvaAndSizes) > kCertificateDirectoryIndex &&
      LoadU32(header + kPeCertificateDirectory) != 0)
    return "the runtime is signed; sign the installer after building it instead";
  const uint64_t entry = pe.TableEnd();
  const uint64_t headersEnd = std::min<uint64_t>(pe.sizeOfHeaders, FirstRawData(pe, runtime.size()));
  if (entry + 2 * kSectionEntrySize > headersEnd)
    return "no room in the runtime's headers for the \".setup\" section entry";
  const uint8_t* slot = runtime.data() + entry;
  if (std::any_of(slot, slot + kSectionEntrySize, [](uint8_t b) { return b != 0; }))
    return "the bytes after the runtime's section table are in use";
  return {};
}

uint64_t EndOfSections(const PeLayout& pe) {
  uint64_t end = pe.sizeOfImage;
  for (const PeSection& s : pe.sections) {
    const uint64_t size = s.virtualSize ? s.virtualSize : s.sizeOfRawData;
    end = std::max<uint64_t>(end, uint64_t{s.virtualAddress} + AlignUp(size, pe.sectionAlignment));
  }
  return AlignUp(end, pe.sectionAlignment);
}

std::string PlanSection(const PeLayout& pe, size_t runtimeSize, uint64_t payloadLength, SectionPlan& plan) {
  const uint64_t pointer = AlignUp(runtimeSize, pe.fileAlignment);
  const uint64_t address = EndOfSections(pe);
  const uint64_t length = AlignUp(payloadLength, pe.sectionAlignment);
  constexpr uint64_t kU32 = std::numeric_limits<uint32_t>::max();
  if (length > static_cast<uint64_t>(kMaxI32) || pointer + length > kU32 || address + length > kU32)
    return "the payload is too large for one section";
  plan.entryOffset = pe.TableEnd();
  plan.pointerToRawData = static_cast<uint32_t>(pointer);
  plan.virtualAddress = static_cast<uint32_t>(address);
  plan.length = static_cast<uint32_t>(length);
  return {};
}

// The runtime's headers raised by the new section; the PE checksum is
// cleared (no loader checks it for a program, and a stale one would be wrong).
void AddSectionToHeaders(std::vector<uint8_t>& file, const PeLayout& pe, const SectionPlan& plan) {
  uint8_t* header = file.data() + pe.peHeaderOffset;
  StoreU16(header + kPeNumberOfSections, static_cast<uint16_t>(pe.sections.size() + 1));
  StoreU32(header + kPeSizeOfInitializedData, pe.sizeOfInitializedData + plan.length);
  StoreU32(header + kPeSizeOfImage, plan.virtualAddress + plan.length);
  StoreU32(header + kPeCheckSum, 0);
  uint8_t* entry = file.data() + plan.entryOffset;
  std::memset(entry, 0, kSectionEntrySize);
  std::memcpy(entry, kSetupSectionName, sizeof kSetupSectionName);
  StoreU32(entry + kSectionVirtualSize, plan.length);
  StoreU32(entry + kSectionVirtualAddress, plan.virtualAddress);
  StoreU32(entry + kSectionSizeOfRawData, plan.length);
  StoreU32(entry + kSectionPointerToRawData, plan.pointerToRawData);
  StoreU32(entry + kSectionCharacteristics, kSectionInitializedData | kSectionMemRead);
}

std::string CheckFiles(const std::vector<FileRecord>& files) {
  if (files.size() > static_cast<size_t>(kMaxI32)) return "too many files";
  for (const FileRecord& file : files)
    if (std::string error = FileRecordError(file); !error.empty()) return error;
  return {};
}

// The settings as stored: the two values that describe the layout follow the options.
SettingsStream StoredSettings(const SettingsStream& settings, const BuildOptions& options) {
  SettingsStream stored = settings;
  const uint64_t packedBit = uint64_t{1} << kFlagPackedChunks;
  stored.ProductFlags = options.packChunks ? stored.ProductFlags | packedBit : stored.ProductFlags & ~packedBit;
  stored.ArchiveInFile = options.archiveInFile ? 1 : 0;
  return stored;
}

}  // namespace

BuildResult BuildInstaller(std::span<const uint8_t> runtime, const SettingsStream& settings,
                           const std::vector<FileRecord>& files, const BuildOptions& options) {
  const SettingsWriteResult stream = WriteSettingsStream(StoredSettings(settings, options));
  if (!stream.ok())
    return Fail("the settings break the limit of check code " + std::to_string(stream.corruptCode));
  return BuildInstallerFromStream(runtime, stream.bytes, files, options);
}

BuildResult BuildInstallerFromStream(std::span<const uint8_t> runtime, std::span<const uint8_t> settingsStream,
                                     const std::vector<FileRecord>& files, const BuildOptions& options) {
  const PeParse parsed = ParsePe32(runtime);
  if (!parsed.ok()) return Fail("the runtime is not a usable PE32 image: " + parsed.error);
  const PeLayout& pe = parsed.layout;
  if (std::string error = CheckRuntime(runtime, pe); !error.empty()) return Fail(error);
  if (std::string error = CheckFiles(files); !error.empty()) return Fail(error);

  SettingsBlock block = MakeSettingsBlock(settingsStream, options.pack);
  const std::vector<uint8_t> archive =
      WriteArchive(JoinFileRecords(files), ArchiveWriteOptions{options.packChunks, options.pack, options.progress});
  if (archive.size() > static_cast<size_t>(kMaxI32)) return Fail("the archive is larger than 2 GiB");

  PayloadHeader header;
  header.FileCount = static_cast<int32_t>(files.size());
  for (const FileRecord& file : files) header.FileSizes.push_back(static_cast<int32_t>(file.data.size()));
  const uint64_t unpadded = header.SettingsOffset() + block.bytes.size() + archive.size();
  // An archive in the file runs to the end of the file, so the padding to
  // whole SectionAlignment units goes before it, into the settings block.
  if (options.archiveInFile) PadSettingsBlock(block, AlignUp(unpadded, pe.sectionAlignment) - unpadded);
  if (block.bytes.size() >= static_cast<size_t>(kSettingsPackedSizeLimit))
    return Fail("the packed settings are larger than the payload allows");

  SectionPlan plan;
  if (std::string error = PlanSection(pe, runtime.size(), unpadded, plan); !error.empty()) return Fail(error);

  BuildResult result;
  std::vector<uint8_t>& out = result.installer;
  out.reserve(uint64_t{plan.pointerToRawData} + plan.length);
  out.assign(runtime.begin(), runtime.end());
  out.resize(plan.pointerToRawData, 0);
  AddSectionToHeaders(out, pe, plan);

  header.SettingsPackedSize = static_cast<int32_t>(block.bytes.size());
  header.SettingsKey = block.key;
  // After every header edit: the checksum covers the section table, the
  // new entry included. It is stored in the section, outside what it covers.
  header.ImageChecksum = ImageChecksumOf(out, pe.peHeaderOffset);
  header.ArchiveSize = static_cast<int32_t>(archive.size());
  header.PayloadEnd = static_cast<int32_t>(header.DataOffset() + header.ArchiveSize);
  header.ArchiveChecksum = PayloadChecksum(archive);
  const std::vector<uint8_t> headerBytes = WritePayloadHeader(header);
  out.insert(out.end(), headerBytes.begin(), headerBytes.end());
  out.insert(out.end(), block.bytes.begin(), block.bytes.end());
  out.insert(out.end(), archive.begin(), archive.end());
  out.resize(uint64_t{plan.pointerToRawData} + plan.length, 0);
  return result;
}

}  // namespace setup
