#pragma once
// The archive of the payload: the joined file records cut into chunks,
//   i32 ChunkSize, u32 ChunkChecksum, ChunkSize bytes of chunk data
// (a packed block when ProductFlags bit 5 is set, else the plain bytes).
// The writer side builds it; the reader side finds it (in the section or in
// the file), takes one chunk at a time and hands out whole record bodies.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "setup/payload/file_record.h"
#include "setup/payload/pack.h"
#include "setup/payload/payload_header.h"

namespace setup {

// The authoring side cuts the joined records into pieces of this size.
inline constexpr size_t kChunkPieceSize = 4194304;
inline constexpr size_t kChunkHeaderSize = 8;
// Largest unpacked size a packed chunk may state (16 pieces): checked before
// unpacking so that a few hostile bytes cannot ask for gigabytes.
inline constexpr uint32_t kMaxChunkUnpackedSize = 64u << 20;

// ---- Writer ----

struct JoinedRecords {
  std::vector<uint8_t> bytes;         // every record: i32 length, body
  std::vector<size_t> recordStarts;   // offset of each record's length prefix
};

JoinedRecords JoinFileRecords(const std::vector<FileRecord>& records);

// Where the pieces end: every kChunkPieceSize bytes, the last piece shorter.
// A cut that would split a record's 4-byte length prefix moves back to the
// start of that prefix, so a prefix always lies whole in one chunk.
std::vector<size_t> ChunkPieceEnds(size_t total, std::span<const size_t> recordStarts);

struct ArchiveWriteOptions {
  bool packChunks = true;  // must agree with ProductFlags bit 5
  PackOptions pack;
  // Called after each chunk with the unpacked bytes done and their total.
  std::function<void(uint64_t done, uint64_t total)> progress;
};

std::vector<uint8_t> WriteArchive(const JoinedRecords& joined, const ArchiveWriteOptions& options);

// ---- Finding the archive ----

struct ArchivePlace {
  int corruptCode = 0;  // 46 when the length found differs from ArchiveSize
  int64_t offset = 0;   // from the section start (in place) or the file start (in the file)
  int64_t length = 0;
  bool ok() const { return corruptCode == 0; }
};

// ArchiveInFile clear: DataOffset .. PayloadEnd inside the section. An
// archive that reaches beyond the section's bytes is reported as 46 too.
ArchivePlace PlaceArchiveInSection(const PayloadHeader& header, size_t sectionLength);

// ArchiveInFile set: from PointerToRawData + DataOffset to the end of the
// file. Checked before the bytes are read, so a wrong length costs no read.
ArchivePlace PlaceArchiveInFile(const PayloadHeader& header, uint32_t pointerToRawData, int64_t fileLength);

// 55 unless PayloadChecksum of the archive equals ArchiveChecksum.
int CheckArchiveChecksum(std::span<const uint8_t> archive, const PayloadHeader& header);

// ---- Reading ----

// Where the archive's bytes come from: memory, or a reader (the program's
// own file), so that only one chunk at a time needs to be in memory.
class ArchiveSource {
 public:
  using Reader = std::function<bool(int64_t offset, std::span<uint8_t> out)>;

  ArchiveSource(std::span<const uint8_t> bytes) : bytes_(bytes), length_(static_cast<int64_t>(bytes.size())) {}
  ArchiveSource(int64_t length, Reader reader) : length_(length), reader_(std::move(reader)) {}

  int64_t size() const { return length_; }
  // The bytes at offset; `buffer` holds them when they must be read. Empty
  // and false when the reader failed.
  bool View(int64_t offset, size_t length, std::vector<uint8_t>& buffer, std::span<const uint8_t>& out) const;

 private:
  std::span<const uint8_t> bytes_;
  int64_t length_ = 0;
  Reader reader_;
};

// PayloadChecksum of the whole source, read in blocks. False when a read failed.
bool ArchiveChecksum(const ArchiveSource& source, uint32_t& checksum);

// Check code of a reader that failed (not a corrupt-installer code).
inline constexpr int kArchiveReadFailed = -1;

// Takes the chunks of an archive one at a time.
class ChunkCursor {
 public:
  ChunkCursor(ArchiveSource archive, bool packed, bool compareChecksums)
      : archive_(std::move(archive)), packed_(packed), compareChecksums_(compareChecksums) {}
  ChunkCursor(std::span<const uint8_t> archive, bool packed, bool compareChecksums)
      : ChunkCursor(ArchiveSource(archive), packed, compareChecksums) {}

  // The next chunk's unpacked bytes into `chunk` (its old contents are
  // replaced). Check codes: 61 ChunkSize not positive (a chunk wanted after
  // the last one reads its size as 0), 63 ChunkSize above the bytes left
  // after the size and checksum fields, 62 checksum (only when comparing),
  // 60 a packed chunk that states more than kMaxChunkUnpackedSize or does
  // not unpack; kArchiveReadFailed when the source could not be read (see
  // failedRead()).
  int Next(std::vector<uint8_t>& chunk);

  size_t unread() const { return static_cast<size_t>(archive_.size()) - position_; }

  struct ReadRange {
    int64_t offset = 0;
    int64_t length = 0;
  };
  const ReadRange& failedRead() const { return failedRead_; }

 private:
  bool Take(size_t length, std::span<const uint8_t>& out);

  ArchiveSource archive_;
  size_t position_ = 0;
  std::vector<uint8_t> raw_;  // the chunk's stored bytes when read from a reader
  ReadRange failedRead_;
  bool packed_;
  bool compareChecksums_;
};

// The joined unpacked chunks as a run of records: a chunk is taken only
// when the next whole record is not yet there.
class RecordStream {
 public:
  explicit RecordStream(ChunkCursor& chunks) : chunks_(chunks) {}

  // The next record's body; valid until the next call. `dataSize` is the
  // record's FileSizes entry: a length prefix that is negative or above
  // dataSize + kMaxRecordFieldsSize is refused with 100 before any chunk is
  // taken for it. Chunk codes pass through.
  int NextBody(int32_t dataSize, std::span<const uint8_t>& body);

  // After the last record: 80 archive bytes unread, 83 unpacked bytes unread.
  int Finish() const;

  // Called before each chunk is taken (the extraction shows a status then).
  void OnChunk(std::function<void()> hook) { onChunk_ = std::move(hook); }

 private:
  bool WholeRecordAvailable() const;
  int TakeChunk();

  ChunkCursor& chunks_;
  std::vector<uint8_t> joined_;  // unpacked bytes not yet handed out start at read_
  size_t read_ = 0;
  std::vector<uint8_t> chunk_;
  std::function<void()> onChunk_;
};

}  // namespace setup
