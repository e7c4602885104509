#include "setup/payload/version_resource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "setup/payload/pe_image.h"

namespace setup {
namespace {

constexpr uint16_t kPe32PlusMagic = 0x20B;
// Optional header offsets of NumberOfRvaAndSizes and the data directories.
constexpr uint32_t kPe32DirectoryCount = 92;
constexpr uint32_t kPe32PlusDirectoryCount = 108;
constexpr uint32_t kResourceDirectoryIndex = 2;

constexpr uint32_t kResourceTypeVersion = 16;  // RT_VERSION
constexpr uint32_t kVersionInfoName = 1;       // VS_VERSION_INFO
constexpr uint32_t kDirectoryHeaderSize = 16;
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;
constexpr uint32_t kSubdirectoryBit = 0x80000000u;
constexpr uint32_t kNamedEntryBit = 0x80000000u;

// A version-info node: wLength, wValueLength, wType, then the key.
constexpr size_t kNodeHeaderSize = 6;
constexpr uint16_t kTextValue = 1;

// The section table and the way from a relative virtual address to the file.
struct ImageMap {
  std::span<const uint8_t> image;
  uint64_t tableOffset = 0;
  uint32_t sectionCount = 0;

  // The file bytes from `rva` to the end of the raw data of the section that
  // holds it (the part the loader maps from the file), or nothing.
  std::span<const uint8_t> BytesAt(uint32_t rva) const {
    const PeHeaderReader reader(ReadFromBytes(image));
    for (uint32_t i = 0; i < sectionCount; ++i) {
      const std::optional<PeSection> entry = reader.SectionEntry(tableOffset, i);
      if (!entry) return {};
      uint64_t rawSize = entry->sizeOfRawData;
      const uint64_t rawStart = entry->pointerToRawData;
      if (entry->virtualSize != 0) rawSize = std::min<uint64_t>(rawSize, entry->virtualSize);
      if (rva < entry->virtualAddress || rva - entry->virtualAddress >= rawSize) continue;
      const uint64_t start = rawStart + (rva - entry->virtualAddress);
      const uint64_t end = std::min<uint64_t>(rawStart + rawSize, image.size());
      if (start >= end) return {};
      return image.subspan(static_cast<size_t>(start), static_cast<size_t>(end - start));
    }
    return {};
  }
};

struct ImageHeaders {
  VersionLookup status = VersionLookup::kNotAnImage;
  ImageMap map;
  uint32_t resourceRva = 0;
};

// Unlike the runtime's own file, any image is looked at here: e_lfanew is
// taken as its full 32 bits, and PE32+ images are read as well.
ImageHeaders ReadHeaders(std::span<const uint8_t> image) {
  ImageHeaders h;
  const PeHeaderReader r(ReadFromBytes(image));
  uint8_t mz[2];
  if (image.size() < 64 || !r.Bytes(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return h;
  const uint64_t pe = r.U32(kPeOffsetField).value_or(0);
  const uint64_t optional = pe + kPeOptionalHeader;
  const std::optional<uint16_t> magic = r.U16(optional);
  uint8_t signature[4];
  if (!magic || !r.Bytes(pe, signature, 4) || std::memcmp(signature, "PE\0\0", 4) != 0) return h;
  uint32_t countField = 0;
  if (*magic == kPe32Magic) {
    countField = kPe32DirectoryCount;
  } else if (*magic == kPe32PlusMagic) {
    countField = kPe32PlusDirectoryCount;
  } else {
    return h;
  }
  // Both lie before the magic, which was read.
  const uint32_t optionalSize = *r.U16(pe + kPeSizeOfOptionalHeader);
  h.map.image = image;
  h.map.sectionCount = *r.U16(pe + kPeNumberOfSections);
  h.map.tableOffset = optional + optionalSize;
  h.status = VersionLookup::kDamaged;
  if (!r.Has(h.map.tableOffset, uint64_t{h.map.sectionCount} * kSectionEntrySize)) return h;

  // The resource entry of the data directories, which must lie inside the
  // optional header as its size states it.
  const uint64_t directoryEntry = countField + 4 + kResourceDirectoryIndex * 8;
  h.status = VersionLookup::kNoVersionResource;
  if (optionalSize < countField + 4 || directoryEntry + 8 > optionalSize) return h;
  if (r.U32(optional + countField).value_or(0) <= kResourceDirectoryIndex) return h;
  h.resourceRva = r.U32(optional + directoryEntry).value_or(0);
  if (h.resourceRva == 0 || r.U32(optional + directoryEntry + 4).value_or(0) == 0) return h;
  h.status = VersionLookup::kFound;
  return h;
}

// One step down the resource tree: the entry of `directoryOffset` (relative
// to the resource directory `root`) whose ID is `id`, or the first entry
// when `id` is empty. Gives the entry's OffsetToData word.
enum class Step { kFound, kMissing, kDamaged };

Step FindEntry(std::span<const uint8_t> root, uint32_t directoryOffset, std::optional<uint32_t> id, uint32_t& data) {
  if (!Inside(directoryOffset, kDirectoryHeaderSize, root.size())) return Step::kDamaged;
  const uint8_t* directory = root.data() + directoryOffset;
  const uint32_t named = LoadU16(directory + 12);
  const uint32_t ids = LoadU16(directory + 14);
  const uint64_t first = uint64_t{directoryOffset} + kDirectoryHeaderSize;
  if (!Inside(first, uint64_t{named + ids} * kDirectoryEntrySize, root.size())) return Step::kDamaged;
  for (uint32_t i = 0; i < named + ids; ++i) {
    const uint8_t* entry = root.data() + first + uint64_t{i} * kDirectoryEntrySize;
    const uint32_t name = LoadU32(entry);
    if (id && ((name & kNamedEntryBit) != 0 || name != *id)) continue;
    data = LoadU32(entry + 4);
    return Step::kFound;
  }
  return Step::kMissing;
}

VersionResource Result(VersionLookup status, std::span<const uint8_t> block = {}) { return {status, block}; }

// Type 16, name 1, first language: a data entry whose bytes lie in the file.
VersionResource WalkResources(const ImageMap& map, uint32_t resourceRva) {
  const std::span<const uint8_t> root = map.BytesAt(resourceRva);
  if (root.empty()) return Result(VersionLookup::kDamaged);
  uint32_t offset = 0;
  const std::optional<uint32_t> path[] = {kResourceTypeVersion, kVersionInfoName, std::nullopt};
  for (size_t level = 0; level < std::size(path); ++level) {
    uint32_t data = 0;
    const Step step = FindEntry(root, offset, path[level], data);
    if (step == Step::kDamaged) return Result(VersionLookup::kDamaged);
    if (step == Step::kMissing) return Result(VersionLookup::kNoVersionResource);
    const bool subdirectory = (data & kSubdirectoryBit) != 0;
    // Type and name lead to directories; the language entry to the data.
    if (subdirectory != (level + 1 < std::size(path))) return Result(VersionLookup::kDamaged);
    offset = data & ~kSubdirectoryBit;
  }
  if (!Inside(offset, kDataEntrySize, root.size())) return Result(VersionLookup::kDamaged);
  const uint32_t dataRva = LoadU32(root.data() + offset);
  const uint32_t dataSize = LoadU32(root.data() + offset + 4);
  const std::span<const uint8_t> data = map.BytesAt(dataRva);
  if (dataSize == 0 || dataSize > data.size()) return Result(VersionLookup::kDamaged);
  return Result(VersionLookup::kFound, data.first(dataSize));
}

// Version-info nodes. Offsets are relative to the block, whose start is the
// alignment base of the 32-bit padding between key, value and children.
constexpr size_t Align4(size_t offset) { return (offset + 3) & ~size_t{3}; }

struct Node {
  size_t end = 0;             // one past the node's last byte
  uint16_t valueLength = 0;   // bytes, or characters for a text value
  uint16_t type = 0;
  size_t keyOffset = 0;
  size_t keyLength = 0;       // in characters, without the NUL
  size_t valueOffset = 0;
  size_t childrenOffset = 0;  // may equal `end`
};

std::optional<Node> ReadNode(std::span<const uint8_t> block, size_t offset, size_t limit) {
  if (limit > block.size() || !Inside(offset, kNodeHeaderSize, limit)) return std::nullopt;
  const uint8_t* b = block.data();
  const uint16_t length = LoadU16(b + offset);
  if (length < kNodeHeaderSize || !Inside(offset, length, limit)) return std::nullopt;
  Node node;
  node.end = offset + length;
  node.valueLength = LoadU16(b + offset + 2);
  node.type = LoadU16(b + offset + 4);
  node.keyOffset = offset + kNodeHeaderSize;
  size_t at = node.keyOffset;
  while (true) {
    if (at + 2 > node.end) return std::nullopt;  // a key without its NUL
    if (LoadU16(b + at) == 0) break;
    at += 2;
  }
  node.keyLength = (at - node.keyOffset) / 2;
  node.valueOffset = std::min(Align4(at + 2), node.end);
  const size_t valueBytes = node.type == kTextValue ? size_t{node.valueLength} * 2 : node.valueLength;
  // A text value may be stated in bytes by some resource compilers; it is
  // cut at the node's end and at its NUL when read, so only a binary value
  // must fit as stated.
  if (node.type != kTextValue && !Inside(node.valueOffset, valueBytes, node.end)) return std::nullopt;
  node.childrenOffset = std::min(Align4(node.valueOffset + std::min(valueBytes, node.end - node.valueOffset)), node.end);
  return node;
}

char AsciiLower(uint16_t c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

bool KeyIs(std::span<const uint8_t> block, const Node& node, std::string_view key) {
  if (node.keyLength != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    const uint16_t c = LoadU16(block.data() + node.keyOffset + 2 * i);
    if (c > 0x7F || AsciiLower(c) != AsciiLower(static_cast<uint8_t>(key[i]))) return false;
  }
  return true;
}

// The child of `parent` whose key is `key`.
std::optional<Node> Child(std::span<const uint8_t> block, const Node& parent, std::string_view key) {
  size_t at = parent.childrenOffset;
  while (at + kNodeHeaderSize <= parent.end) {
    std::optional<Node> child = ReadNode(block, at, parent.end);
    if (!child) return std::nullopt;
    if (KeyIs(block, *child, key)) return child;
    at = Align4(child->end);  // a node is at least 6 bytes long, so this moves on
  }
  return std::nullopt;
}

// A text value in the 8-bit form the system's ANSI calls give for it.
std::string TextValue(std::span<const uint8_t> block, const Node& node) {
  std::string text;
  const size_t limit = std::min(node.end, node.valueOffset + size_t{node.valueLength} * 2);
  for (size_t at = node.valueOffset; at + 2 <= limit; at += 2) {
    const uint16_t c = LoadU16(block.data() + at);
    if (c == 0) break;
    text += static_cast<char>(c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? c : '?');
  }
  return text;
}

}  // namespace

VersionResource FindVersionResource(std::span<const uint8_t> image) {
  const ImageHeaders headers = ReadHeaders(image);
  if (headers.status != VersionLookup::kFound) return Result(headers.status);
  return WalkResources(headers.map, headers.resourceRva);
}

std::string FileVersionOfBlock(std::span<const uint8_t> block) {
  const std::optional<Node> root = ReadNode(block, 0, block.size());
  if (!root) return {};
  const std::optional<Node> varInfo = Child(block, *root, "VarFileInfo");
  const std::optional<Node> translation = varInfo ? Child(block, *varInfo, "Translation") : std::nullopt;
  if (!translation || translation->type == kTextValue || translation->valueLength < 4) return {};
  char table[9];
  std::snprintf(table, sizeof table, "%04x%04x", LoadU16(block.data() + translation->valueOffset),
                LoadU16(block.data() + translation->valueOffset + 2));
  const std::optional<Node> stringInfo = Child(block, *root, "StringFileInfo");
  const std::optional<Node> strings = stringInfo ? Child(block, *stringInfo, table) : std::nullopt;
  const std::optional<Node> version = strings ? Child(block, *strings, "FileVersion") : std::nullopt;
  return version ? TextValue(block, *version) : std::string();
}

std::string NormalizedVersionText(std::string_view text) {
  constexpr std::string_view kBlanks = " \r\n\t";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  std::string out(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
  std::replace(out.begin(), out.end(), ',', '.');
  return out;
}

std::string FileVersionText(std::span<const uint8_t> image) {
  const VersionResource resource = FindVersionResource(image);
  if (resource.status != VersionLookup::kFound) return {};
  return NormalizedVersionText(FileVersionOfBlock(resource.block));
}

}  // namespace setup
