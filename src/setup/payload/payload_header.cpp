#include "setup/payload/payload_header.h"

#include "setup/payload/check_codes.h"
#include "setup/payload/memory_stream.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/scramble.h"
#include "setup/payload/unpack.h"

namespace setup {
namespace {

// Reading side of the header's field list.
class HeaderReader {
 public:
  static constexpr bool kReading = true;
  explicit HeaderReader(std::span<const uint8_t> section) : in_(section) {}

  void U32(uint32_t& v) { v = in_.U32(); }
  void I32(int32_t& v) { v = in_.I32(); }
  void Text(std::string& v) { v = in_.Text(); }
  // FileCount sizes follow only when that many are in the section; a size
  // that is not there is a bad size.
  bool SizesPresent(int32_t count) const {
    return count >= 0 && static_cast<uint64_t>(count) <= in_.remaining() / 4;
  }

 private:
  MemoryReader in_;
};

// Writing side of the same list.
class HeaderWriter {
 public:
  static constexpr bool kReading = false;
  void U32(uint32_t& v) { out_.U32(v); }
  void I32(int32_t& v) { out_.I32(v); }
  void Text(std::string& v) { out_.Text(v); }
  bool SizesPresent(int32_t) const { return true; }
  std::vector<uint8_t> Take() { return out_.Take(); }

 private:
  MemoryWriter out_;
};

bool SizeInRange(int32_t size) { return size >= 0 && size <= kMaxFileSize; }

// The fields in order, each followed by the check the reader makes. The
// writer lays out every field whatever its value (tests build broken
// headers that way), so for it no check stops the list.
template <class IO>
HeaderOutcome VisitHeader(IO& io, PayloadHeader& h, int& code) {
  auto fails = [&code](bool holds, int checkCode) {
    if (holds || !IO::kReading) return false;
    code = checkCode;
    return true;
  };
  constexpr HeaderOutcome kCorrupt = HeaderOutcome::kCorrupt;
  io.U32(h.PayloadMagic);
  if (fails(h.PayloadMagic == kPayloadMagic, check::kPayloadMagic)) return kCorrupt;
  io.Text(h.RuntimeVersion);
  if (IO::kReading && h.RuntimeVersion != kRuntimeVersion) return HeaderOutcome::kVersionMismatch;
  io.I32(h.SettingsPackedSize);
  if (fails(h.SettingsPackedSize > 0 && h.SettingsPackedSize < kSettingsPackedSizeLimit, check::kSettingsPackedSize))
    return kCorrupt;
  io.U32(h.SettingsKey);
  io.U32(h.ImageChecksum);
  io.I32(h.PayloadEnd);
  if (fails(h.PayloadEnd >= 0, check::kPayloadEnd)) return kCorrupt;
  io.I32(h.FileCount);
  if (fails(h.FileCount >= 0, check::kFileCount)) return kCorrupt;
  io.I32(h.ArchiveSize);
  if (fails(h.ArchiveSize >= 0, check::kArchiveSize)) return kCorrupt;
  io.U32(h.ArchiveChecksum);
  if (fails(io.SizesPresent(h.FileCount), check::kFileSize)) return kCorrupt;
  if constexpr (IO::kReading) h.FileSizes.resize(static_cast<size_t>(h.FileCount));
  for (int32_t& size : h.FileSizes) {
    io.I32(size);
    if (fails(SizeInRange(size), check::kFileSize)) return kCorrupt;
  }
  return HeaderOutcome::kValid;
}

// The unpacked size a packed block states, or 0 when it has no header.
uint32_t StatedUnpackedSize(std::span<const uint8_t> block) {
  return block.size() >= 8 ? static_cast<uint32_t>(block[4] | block[5] << 8 | block[6] << 16) |
                                 static_cast<uint32_t>(block[7]) << 24
                           : 0;
}

}  // namespace

int64_t PayloadHeader::SettingsOffset() const {
  // magic, version + NUL, seven 32-bit fields, the sizes
  return 4 + static_cast<int64_t>(RuntimeVersion.size()) + 1 + 7 * 4 + 4 * static_cast<int64_t>(FileSizes.size());
}

HeaderReadResult ReadPayloadHeader(std::span<const uint8_t> section) {
  HeaderReadResult result;
  HeaderReader reader(section);
  result.outcome = VisitHeader(reader, result.header, result.corruptCode);
  return result;
}

std::vector<uint8_t> WritePayloadHeader(const PayloadHeader& header) {
  PayloadHeader copy = header;
  HeaderWriter writer;
  int unusedCode = 0;
  VisitHeader(writer, copy, unusedCode);
  return writer.Take();
}

std::string VersionMismatchMessage(std::string_view payloadVersion) {
  std::string text = "The installer version (";
  text += kRuntimeVersion;
  text += ") does not match the version of ";
  text += kProductName;
  text += " (";
  text += payloadVersion;
  text += ").  Close all applications and reinstall ";
  text += kProductName;
  text += ".";
  return text;
}

SettingsBlockResult UnpackSettingsBlock(std::span<const uint8_t> section, const PayloadHeader& header) {
  SettingsBlockResult result;
  const int64_t offset = header.SettingsOffset();
  const int64_t length = header.SettingsPackedSize;
  if (length <= 0 || offset > static_cast<int64_t>(section.size()) ||
      length > static_cast<int64_t>(section.size()) - offset) {
    result.corruptCode = check::kSettingsUnpack;
    return result;
  }
  std::vector<uint8_t> block(section.begin() + offset, section.begin() + offset + length);
  Unscramble(block, header.SettingsKey);
  if (StatedUnpackedSize(block) > kMaxSettingsStreamSize || !Unpack(block, result.stream)) {
    result.stream.clear();
    result.corruptCode = check::kSettingsUnpack;
  }
  return result;
}

SettingsBlock MakeSettingsBlock(std::span<const uint8_t> stream, const PackOptions& options) {
  SettingsBlock block{Pack(stream, options), PayloadChecksum(stream)};
  Unscramble(block.bytes, block.key);
  return block;
}

void PadSettingsBlock(SettingsBlock& block, size_t padding) {
  Unscramble(block.bytes, block.key);
  block.bytes.resize(block.bytes.size() + padding, 0);
  Unscramble(block.bytes, block.key);
}

}  // namespace setup
