#include "setup/payload/archive.h"

#include <gtest/gtest.h>

#include <random>

#include "payload_fixture.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/pack.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/unpack.h"

namespace setup {
namespace {

using fixture::Bytes;

void AppendChunk(Bytes& archive, const Bytes& data, int32_t size, uint32_t checksum) {
  for (uint32_t v : {static_cast<uint32_t>(size), checksum})
    for (int i = 0; i < 4; ++i) archive.push_back(static_cast<uint8_t>(v >> (8 * i)));
  archive.insert(archive.end(), data.begin(), data.end());
}

void AppendChunk(Bytes& archive, const Bytes& data) {
  AppendChunk(archive, data, static_cast<int32_t>(data.size()), PayloadChecksum(data));
}

Bytes Random(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<uint8_t>(rng());
  return out;
}

// A moved cut starts the next piece there: no piece is ever longer than 4 MiB.
TEST(ChunkPieces, CutEvery4MiBButNeverInsideALengthPrefix) {
  const size_t P = kChunkPieceSize;
  struct Case {
    const char* what;
    size_t total;
    std::vector<size_t> starts;
    std::vector<size_t> ends;
  } cases[] = {
      {"nothing", 0, {}, {}},
      {"one short piece", 10, {0}, {10}},
      {"exactly one piece", P, {0}, {P}},
      {"last piece shorter", 2 * P + 5, {0}, {P, 2 * P, 2 * P + 5}},
      {"prefix ends at the cut", 2 * P, {0, P - 4}, {P, 2 * P}},
      {"prefix across the cut", 2 * P, {0, P - 3}, {P - 3, 2 * P - 3, 2 * P}},
      {"prefix across the second cut", 3 * P, {0, 2 * P - 1}, {P, 2 * P - 1, 3 * P - 1, 3 * P}},
      {"prefix starts at the cut", 2 * P, {0, P}, {P, 2 * P}},
  };
  for (const Case& c : cases) EXPECT_EQ(ChunkPieceEnds(c.total, c.starts), c.ends) << c.what;
}

TEST(ArchiveWriter, ChunksHoldTheJoinedRecords) {
  std::vector<FileRecord> files = {fixture::MakeFile("a", Random(kChunkPieceSize + 1000, 1)),
                                   fixture::MakeFile("b", Bytes(3000, 'b'))};
  const JoinedRecords joined = JoinFileRecords(files);
  ASSERT_EQ(joined.recordStarts.size(), 2u);
  for (const bool packed : {false, true}) {
    std::vector<std::pair<uint64_t, uint64_t>> calls;
    const Bytes archive = WriteArchive(
        joined, {packed, PackOptions{1}, [&](uint64_t done, uint64_t total) { calls.emplace_back(done, total); }});
    // Walk the chunks by hand: sizes, checksums, contents.
    Bytes unpacked;
    size_t at = 0, chunks = 0;
    while (at < archive.size()) {
      const uint32_t size = fixture::U32At(archive, at);
      const std::span<const uint8_t> data(archive.data() + at + 8, size);
      EXPECT_EQ(fixture::U32At(archive, at + 4), PayloadChecksum(data));
      Bytes piece = packed ? *Unpack(data) : Bytes(data.begin(), data.end());
      EXPECT_EQ(piece.size(), chunks == 0 ? kChunkPieceSize : joined.bytes.size() - kChunkPieceSize);
      unpacked.insert(unpacked.end(), piece.begin(), piece.end());
      at += 8 + size;
      ++chunks;
    }
    EXPECT_EQ(at, archive.size());
    EXPECT_EQ(chunks, 2u);
    EXPECT_EQ(unpacked, joined.bytes);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls.back(), std::make_pair(uint64_t{joined.bytes.size()}, uint64_t{joined.bytes.size()}));
  }
}

TEST(ChunkCursor, CheckCodes) {
  const Bytes plain = {1, 2, 3, 4, 5};
  const Bytes packed = Pack(plain);
  Bytes badMagic = packed;
  badMagic[0] ^= 1;
  Bytes hugeClaim = packed;
  StoreU32(&hugeClaim[4], kMaxChunkUnpackedSize + 1);
  auto archiveOf = [](const Bytes& data, int32_t size, uint32_t checksum) {
    Bytes a;
    AppendChunk(a, data, size, checksum);
    return a;
  };
  const uint32_t sum = PayloadChecksum(plain);
  struct Case {
    const char* what;
    Bytes archive;
    bool packed, compare;
    int code;
  } cases[] = {
      {"plain", archiveOf(plain, 5, sum), false, true, 0},
      {"packed", archiveOf(packed, int32_t(packed.size()), PayloadChecksum(packed)), true, true, 0},
      {"size 0", archiveOf(plain, 0, sum), false, true, check::kChunkSize},
      {"size negative", archiveOf(plain, -5, sum), false, true, check::kChunkSize},
      {"no archive left", Bytes{}, false, true, check::kChunkSize},
      {"size cut off", Bytes{5, 0, 0}, false, true, check::kChunkTooLong},
      {"size longer than the rest", archiveOf(plain, 6, sum), false, true, check::kChunkTooLong},
      {"checksum field cut", Bytes{5, 0, 0, 0, 1, 2}, false, true, check::kChunkTooLong},
      {"checksum compared", archiveOf(plain, 5, sum + 1), false, true, check::kChunkChecksum},
      {"checksum not compared", archiveOf(plain, 5, sum + 1), false, false, 0},
      {"does not unpack", archiveOf(badMagic, int32_t(badMagic.size()), PayloadChecksum(badMagic)), true, true,
       check::kChunkUnpack},
      {"states too much", archiveOf(hugeClaim, int32_t(hugeClaim.size()), PayloadChecksum(hugeClaim)), true, true,
       check::kChunkUnpack},
      {"checksum before unpacking", archiveOf(badMagic, int32_t(badMagic.size()), 0), true, true,
       check::kChunkChecksum},
  };
  for (const Case& c : cases) {
    ChunkCursor cursor(c.archive, c.packed, c.compare);
    Bytes chunk = {0xEE};
    EXPECT_EQ(cursor.Next(chunk), c.code) << c.what;
    if (c.code == 0) EXPECT_EQ(chunk, plain) << c.what;
  }
}

// Records cut at arbitrary places across chunks, the length prefix included.
TEST(RecordStream, TakesAChunkOnlyWhenTheNextRecordIsNotWhole) {
  std::vector<FileRecord> files = {fixture::MakeFile("one", Bytes(30, 1)), fixture::MakeFile("two", Bytes(5, 2)),
                                   fixture::MakeFile("three", Bytes(100, 3))};
  const JoinedRecords joined = JoinFileRecords(files);
  const size_t first = joined.recordStarts[1], second = joined.recordStarts[2];
  struct Case {
    const char* what;
    std::vector<size_t> cuts;
    std::vector<size_t> chunksTakenBefore;  // chunks read before each record is handed out
  } cases[] = {
      {"one chunk", {}, {1, 1, 1}},
      {"cut at record starts", {first, second}, {1, 2, 3}},
      {"prefix split across chunks", {first + 2}, {1, 2, 2}},
      {"body across three chunks", {second + 10, second + 50}, {1, 1, 3}},
      {"tiny chunks", {1, 2, 3, 4, first + 1, second - 1}, {5, 7, 7}},
  };
  for (const Case& c : cases) {
    Bytes archive;
    size_t start = 0;
    std::vector<size_t> ends = c.cuts;
    ends.push_back(joined.bytes.size());
    for (size_t end : ends) {
      AppendChunk(archive, Bytes(joined.bytes.begin() + start, joined.bytes.begin() + end));
      start = end;
    }
    ChunkCursor cursor(archive, false, true);
    RecordStream records(cursor);
    for (size_t i = 0; i < files.size(); ++i) {
      std::span<const uint8_t> body;
      ASSERT_EQ(records.NextBody(static_cast<int32_t>(files[i].data.size()), body), 0) << c.what << i;
      size_t taken = 0;
      for (size_t at = 0; at < archive.size() - cursor.unread(); at += 8 + fixture::U32At(archive, at)) ++taken;
      EXPECT_EQ(taken, c.chunksTakenBefore[i]) << c.what << " record " << i;
      FileRecordView view;
      ASSERT_EQ(ParseFileRecord(body, static_cast<int32_t>(files[i].data.size()), view), 0);
      EXPECT_EQ(view.ToRecord(), files[i]) << c.what;
    }
    EXPECT_EQ(records.Finish(), 0) << c.what;
  }
}

TEST(RecordStream, EndAndLengthChecks) {
  const FileRecord file = fixture::MakeFile("f", Bytes(10, 7));
  Bytes joined;
  AppendFileRecord(joined, file);
  auto archiveOf = [](std::vector<Bytes> chunks) {
    Bytes a;
    for (const Bytes& c : chunks) AppendChunk(a, c);
    return a;
  };
  Bytes withExtra = joined;
  withExtra.push_back(0);
  Bytes negative = joined;
  StoreU32(negative.data(), 0xFFFFFFFF);
  Bytes tooLong = joined;
  StoreU32(tooLong.data(), 10 + kMaxRecordFieldsSize + 1);
  struct Case {
    const char* what;
    Bytes archive;
    int next, finish;
  } cases[] = {
      {"exact", archiveOf({joined}), 0, 0},
      {"archive bytes left", archiveOf({joined, Bytes{1}}), 0, check::kArchiveLeftOver},
      {"unpacked bytes left", archiveOf({withExtra}), 0, check::kRecordsLeftOver},
      {"record runs past the archive", archiveOf({Bytes(joined.begin(), joined.end() - 1)}), check::kChunkSize, 0},
      {"negative length", archiveOf({negative}), check::kDataChecksum, 0},
      {"length beyond data and fields", archiveOf({tooLong}), check::kDataChecksum, 0},
  };
  for (const Case& c : cases) {
    ChunkCursor cursor(c.archive, false, true);
    RecordStream records(cursor);
    std::span<const uint8_t> body;
    EXPECT_EQ(records.NextBody(10, body), c.next) << c.what;
    if (c.next == 0) EXPECT_EQ(records.Finish(), c.finish) << c.what;
  }
}

TEST(ArchivePlace, InSectionAndInFile) {
  PayloadHeader h;
  h.SettingsPackedSize = 9;  // DataOffset 39 + 9 = 48
  h.ArchiveSize = 100;
  h.PayloadEnd = 148;
  ASSERT_EQ(h.DataOffset(), 48);
  ArchivePlace in = PlaceArchiveInSection(h, 148);
  EXPECT_EQ(in.corruptCode, 0);
  EXPECT_EQ(in.offset, 48);
  EXPECT_EQ(in.length, 100);
  EXPECT_EQ(PlaceArchiveInSection(h, 147).corruptCode, check::kArchiveLength);  // past the section
  h.PayloadEnd = 149;
  EXPECT_EQ(PlaceArchiveInSection(h, 4096).corruptCode, check::kArchiveLength);
  h.PayloadEnd = 10;  // before DataOffset
  EXPECT_EQ(PlaceArchiveInSection(h, 4096).corruptCode, check::kArchiveLength);

  ArchivePlace file = PlaceArchiveInFile(h, 0x1000, 0x1000 + 148);
  EXPECT_EQ(file.corruptCode, 0);
  EXPECT_EQ(file.offset, 0x1000 + 48);
  EXPECT_EQ(PlaceArchiveInFile(h, 0x1000, 0x1000 + 149).corruptCode, check::kArchiveLength);
  EXPECT_EQ(PlaceArchiveInFile(h, 0x1000, 0x1000).corruptCode, check::kArchiveLength);

  const Bytes archive = {1, 2, 3};
  h.ArchiveChecksum = PayloadChecksum(archive);
  EXPECT_EQ(CheckArchiveChecksum(archive, h), 0);
  h.ArchiveChecksum += 1;
  EXPECT_EQ(CheckArchiveChecksum(archive, h), check::kArchiveChecksum);
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

// A reader over the same bytes gives what memory gives, one chunk at a time,
// and a failing reader is told apart from damage.
TEST(ArchiveSource, ReaderAndMemoryAgree) {
  std::vector<FileRecord> files(3);
  for (size_t i = 0; i < files.size(); ++i) {
    files[i].name = "f" + std::to_string(i);
    files[i].data.assign(kChunkPieceSize / 2 + 13 * i, static_cast<uint8_t>('a' + i));
  }
  const std::vector<uint8_t> archive = WriteArchive(JoinFileRecords(files), ArchiveWriteOptions{});
  int reads = 0;
  ArchiveSource fromReader(static_cast<int64_t>(archive.size()), [&](int64_t offset, std::span<uint8_t> out) {
    ++reads;
    std::copy_n(archive.begin() + offset, out.size(), out.begin());
    return true;
  });
  uint32_t streamed = 0;
  ASSERT_TRUE(ArchiveChecksum(fromReader, streamed));
  EXPECT_EQ(streamed, PayloadChecksum(archive));
  std::vector<uint8_t> odd(archive.begin(), archive.end() - 1);  // a tail that is no whole word
  uint32_t oddSum = 0;
  ASSERT_TRUE(ArchiveChecksum(ArchiveSource(odd), oddSum));
  EXPECT_EQ(oddSum, PayloadChecksum(odd));

  ChunkCursor memory(archive, true, true), reader(fromReader, true, true);
  std::vector<uint8_t> a, b;
  int chunks = 0;
  while (memory.unread() > 0) {
    ASSERT_EQ(memory.Next(a), 0);
    ASSERT_EQ(reader.Next(b), 0);
    EXPECT_EQ(a, b);
    ++chunks;
  }
  EXPECT_GT(chunks, 1);
  EXPECT_GT(reads, chunks);

  ArchiveSource failing(static_cast<int64_t>(archive.size()), [](int64_t, std::span<uint8_t>) { return false; });
  ChunkCursor broken(failing, true, true);
  EXPECT_EQ(broken.Next(a), kArchiveReadFailed);
  EXPECT_EQ(broken.failedRead().offset, 0);
  EXPECT_EQ(broken.failedRead().length, 8);
  uint32_t ignored = 0;
  EXPECT_FALSE(ArchiveChecksum(failing, ignored));
}

}  // namespace
}  // namespace setup
