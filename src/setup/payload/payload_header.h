#pragma once
// The header at the start of the ".setup" section and the settings block
// that follows it. One field list (payload_header.cpp) serves the reader of
// the runtime and the writer of the authoring tool.
//
//   u32 PayloadMagic, RuntimeVersion text + NUL, i32 SettingsPackedSize,
//   u32 SettingsKey, u32 ImageChecksum, i32 PayloadEnd, i32 FileCount,
//   i32 ArchiveSize, u32 ArchiveChecksum, i32 x FileCount FileSizes,
//   then SettingsPackedSize bytes of the settings block; the archive starts
//   right after it, at DataOffset from the section start.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "setup/payload/pack.h"

namespace setup {

inline constexpr uint32_t kPayloadMagic = 0xa4f23de5;
// The runtime's own version: a payload built for another one is refused.
inline constexpr char kRuntimeVersion[] = "27.0.5";
inline constexpr char kProductName[] = "Orvanta Setup";
// SettingsPackedSize must lie strictly between 0 and this.
inline constexpr int32_t kSettingsPackedSizeLimit = 0x3200000;
// Largest FileSizes entry (1 GiB), inclusive.
inline constexpr int32_t kMaxFileSize = 0x40000000;
// Largest unpacked settings stream the reader allocates for. A packed block
// states its own unpacked size, so this bound is checked before unpacking.
inline constexpr uint32_t kMaxSettingsStreamSize = 256u << 20;

struct PayloadHeader {
  uint32_t PayloadMagic = kPayloadMagic;
  std::string RuntimeVersion = kRuntimeVersion;
  int32_t SettingsPackedSize = 0;
  uint32_t SettingsKey = 0;  // scrambling key of the settings block = checksum of the stream
  uint32_t ImageChecksum = 0;
  int32_t PayloadEnd = 0;    // first byte after the archive, from the section start
  int32_t FileCount = 0;     // written as given; the reader takes this many FileSizes
  int32_t ArchiveSize = 0;
  uint32_t ArchiveChecksum = 0;
  std::vector<int32_t> FileSizes;

  // Bytes of the header fields: the settings block starts here.
  int64_t SettingsOffset() const;
  // Where the archive starts, from the section start.
  int64_t DataOffset() const { return SettingsOffset() + SettingsPackedSize; }
  bool operator==(const PayloadHeader&) const = default;
};

enum class HeaderOutcome { kValid, kVersionMismatch, kCorrupt };

struct HeaderReadResult {
  HeaderOutcome outcome = HeaderOutcome::kCorrupt;
  int corruptCode = 0;   // with kCorrupt
  PayloadHeader header;  // the fields read up to the first failing check
  bool ok() const { return outcome == HeaderOutcome::kValid; }
};

// The header check over the section's bytes, in order: magic (20), version
// text (kVersionMismatch, header.RuntimeVersion holds the payload's text),
// SettingsPackedSize (22), PayloadEnd (45), FileCount (27), ArchiveSize
// (29), then each FileSizes entry (28 on the first one that is out of range
// or lies beyond the section). A field cut off by the end of the section
// reads as zeros, so it fails the check that follows it.
HeaderReadResult ReadPayloadHeader(std::span<const uint8_t> section);

// The header fields as the reader takes them back.
std::vector<uint8_t> WritePayloadHeader(const PayloadHeader& header);

// The runtime's message for a payload built for another runtime version.
std::string VersionMismatchMessage(std::string_view payloadVersion);

struct SettingsBlockResult {
  int corruptCode = 0;
  std::vector<uint8_t> stream;  // the unpacked settings stream
  bool ok() const { return corruptCode == 0; }
};

// The settings block step: the SettingsPackedSize bytes after the header,
// unscrambled with SettingsKey and unpacked. Code 47 when the block is not
// all inside the section, states an unpacked size above
// kMaxSettingsStreamSize, or does not unpack. The comparison of the stream's
// checksum with SettingsKey (25) belongs to the stream reader.
SettingsBlockResult UnpackSettingsBlock(std::span<const uint8_t> section, const PayloadHeader& header);

// The writer side: the stored settings block of `stream`, packed and
// scrambled with its key.
struct SettingsBlock {
  std::vector<uint8_t> bytes;
  uint32_t key = 0;  // SettingsKey: the checksum of the unpacked stream
};
SettingsBlock MakeSettingsBlock(std::span<const uint8_t> stream, const PackOptions& options = {});
// Appends `padding` bytes that unscramble to zeros; unpacking ignores
// whatever follows the packed stream, so the block still reads the same.
void PadSettingsBlock(SettingsBlock& block, size_t padding);

}  // namespace setup
