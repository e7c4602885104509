#include "setup/payload/archive.h"

#include <algorithm>

#include "setup/payload/check_codes.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/pe_image.h"
#include "setup/payload/unpack.h"

namespace setup {
namespace {

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A little-endian u32 at `offset`; bytes beyond the span read as zero.
uint32_t U32OrZero(std::span<const uint8_t> bytes, size_t offset) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && offset + i < bytes.size(); ++i) value |= uint32_t{bytes[offset + i]} << (8 * i);
  return value;
}

uint32_t StatedUnpackedSize(std::span<const uint8_t> block) { return block.size() >= 8 ? LoadU32(&block[4]) : 0; }

}  // namespace

JoinedRecords JoinFileRecords(const std::vector<FileRecord>& records) {
  JoinedRecords joined;
  for (const FileRecord& record : records) {
    joined.recordStarts.push_back(joined.bytes.size());
    AppendFileRecord(joined.bytes, record);
  }
  return joined;
}

std::vector<size_t> ChunkPieceEnds(size_t total, std::span<const size_t> recordStarts) {
  std::vector<size_t> ends;
  size_t start = 0;
  while (start < total) {
    size_t end = std::min(start + kChunkPieceSize, total);
    // The last record starting before the cut: does the cut split its prefix?
    auto after = std::lower_bound(recordStarts.begin(), recordStarts.end(), end);
    if (end < total && after != recordStarts.begin()) {
      const size_t prefix = *(after - 1);
      if (prefix > start && prefix + 4 > end) end = prefix;
    }
    ends.push_back(end);
    start = end;
  }
  return ends;
}

std::vector<uint8_t> WriteArchive(const JoinedRecords& joined, const ArchiveWriteOptions& options) {
  std::vector<uint8_t> archive;
  size_t start = 0;
  for (size_t end : ChunkPieceEnds(joined.bytes.size(), joined.recordStarts)) {
    const std::span<const uint8_t> piece(joined.bytes.data() + start, end - start);
    std::vector<uint8_t> packed;
    if (options.packChunks) packed = Pack(piece, options.pack);
    const std::span<const uint8_t> data = options.packChunks ? std::span<const uint8_t>(packed) : piece;
    AppendU32(archive, static_cast<uint32_t>(data.size()));
    AppendU32(archive, PayloadChecksum(data));
    archive.insert(archive.end(), data.begin(), data.end());
    start = end;
    if (options.progress) options.progress(end, joined.bytes.size());
  }
  return archive;
}

ArchivePlace PlaceArchiveInSection(const PayloadHeader& header, size_t sectionLength) {
  ArchivePlace place;
  place.offset = header.DataOffset();
  place.length = int64_t{header.PayloadEnd} - place.offset;
  // In the runtime the bytes past the section are not the payload's: an
  // archive reaching there is as wrong as one of another length.
  if (place.length != header.ArchiveSize || header.PayloadEnd > static_cast<int64_t>(sectionLength))
    place.corruptCode = check::kArchiveLength;
  return place;
}

ArchivePlace PlaceArchiveInFile(const PayloadHeader& header, uint32_t pointerToRawData, int64_t fileLength) {
  ArchivePlace place;
  place.offset = int64_t{pointerToRawData} + header.DataOffset();
  place.length = fileLength - place.offset;
  if (place.length != header.ArchiveSize) place.corruptCode = check::kArchiveLength;
  return place;
}

int CheckArchiveChecksum(std::span<const uint8_t> archive, const PayloadHeader& header) {
  return PayloadChecksum(archive) == header.ArchiveChecksum ? 0 : check::kArchiveChecksum;
}

bool ArchiveSource::View(int64_t offset, size_t length, std::vector<uint8_t>& buffer,
                         std::span<const uint8_t>& out) const {
  out = {};
  if (offset < 0 || offset > length_ || static_cast<int64_t>(length) > length_ - offset) return false;
  if (!reader_) {
    out = bytes_.subspan(static_cast<size_t>(offset), length);
    return true;
  }
  buffer.resize(length);
  if (length && !reader_(offset, buffer)) return false;
  out = buffer;
  return true;
}

bool ArchiveChecksum(const ArchiveSource& source, uint32_t& checksum) {
  // Blocks of whole words: a block's own checksum is the seed, its words, its
  // (empty) tail and its length, so the blocks add up without the parts
  // that each of them counts once.
  constexpr size_t kBlock = size_t{1} << 20;
  std::vector<uint8_t> buffer;
  uint32_t sum = kPayloadChecksumSeed;
  for (int64_t at = 0; at < source.size();) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(kBlock, source.size() - at));
    std::span<const uint8_t> block;
    if (!source.View(at, n, buffer, block)) return false;
    sum += PayloadChecksum(block) - kPayloadChecksumSeed - static_cast<uint32_t>(n);
    at += static_cast<int64_t>(n);
  }
  checksum = sum + static_cast<uint32_t>(source.size());
  return true;
}

bool ChunkCursor::Take(size_t length, std::span<const uint8_t>& out) {
  if (!archive_.View(static_cast<int64_t>(position_), length, raw_, out)) {
    failedRead_ = {static_cast<int64_t>(position_), static_cast<int64_t>(length)};
    return false;
  }
  position_ += length;
  return true;
}

int ChunkCursor::Next(std::vector<uint8_t>& chunk) {
  std::span<const uint8_t> head;
  if (!Take(std::min(kChunkHeaderSize, unread()), head)) return kArchiveReadFailed;
  const int32_t size = static_cast<int32_t>(U32OrZero(head, 0));
  const uint32_t checksum = U32OrZero(head, 4);
  if (size <= 0) return check::kChunkSize;
  if (static_cast<size_t>(size) > unread()) return check::kChunkTooLong;
  std::span<const uint8_t> data;
  if (!Take(static_cast<size_t>(size), data)) return kArchiveReadFailed;
  if (compareChecksums_ && PayloadChecksum(data) != checksum) return check::kChunkChecksum;
  if (!packed_) {
    chunk.assign(data.begin(), data.end());
    return 0;
  }
  if (StatedUnpackedSize(data) > kMaxChunkUnpackedSize || !Unpack(data, chunk)) {
    chunk.clear();
    return check::kChunkUnpack;
  }
  return 0;
}

bool RecordStream::WholeRecordAvailable() const {
  const size_t available = joined_.size() - read_;
  if (available < 4) return false;
  const int32_t length = static_cast<int32_t>(LoadU32(&joined_[read_]));
  return length >= 0 && available - 4 >= static_cast<size_t>(length);
}

int RecordStream::TakeChunk() {
  joined_.erase(joined_.begin(), joined_.begin() + static_cast<std::ptrdiff_t>(read_));
  read_ = 0;
  if (onChunk_) onChunk_();
  if (const int code = chunks_.Next(chunk_)) return code;
  joined_.insert(joined_.end(), chunk_.begin(), chunk_.end());
  return 0;
}

int RecordStream::NextBody(int32_t dataSize, std::span<const uint8_t>& body) {
  const int64_t longest = int64_t{std::clamp(dataSize, 0, kMaxFileSize)} + int64_t{kMaxRecordFieldsSize};
  for (;;) {
    if (joined_.size() - read_ >= 4) {
      const int32_t length = static_cast<int32_t>(LoadU32(&joined_[read_]));
      if (length < 0 || length > longest) return check::kDataChecksum;
      if (WholeRecordAvailable()) {
        body = std::span<const uint8_t>(joined_).subspan(read_ + 4, static_cast<size_t>(length));
        read_ += 4 + static_cast<size_t>(length);
        return 0;
      }
    }
    if (const int code = TakeChunk()) return code;
  }
}

int RecordStream::Finish() const {
  if (chunks_.unread() > 0) return check::kArchiveLeftOver;
  if (joined_.size() > read_) return check::kRecordsLeftOver;
  return 0;
}

}  // namespace setup
