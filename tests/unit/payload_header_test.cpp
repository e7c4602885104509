#include "setup/payload/payload_header.h"

#include <gtest/gtest.h>

#include "payload_fixture.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/pack.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/scramble.h"

namespace setup {
namespace {

using fixture::Bytes;

PayloadHeader ValidHeader() {
  PayloadHeader h;
  h.SettingsPackedSize = 100;
  h.SettingsKey = 0x11223344;
  h.ImageChecksum = 0x55667788;
  h.FileCount = 3;
  h.FileSizes = {0, 7, kMaxFileSize};
  h.ArchiveSize = 40;
  h.PayloadEnd = static_cast<int32_t>(h.DataOffset() + h.ArchiveSize);
  h.ArchiveChecksum = 0x99AABBCC;
  return h;
}

TEST(PayloadHeader, LayoutAndDataOffset) {
  const PayloadHeader h = ValidHeader();
  const Bytes bytes = WritePayloadHeader(h);
  ASSERT_EQ(bytes.size(), 4u + 7 + 28 + 12);
  EXPECT_EQ(fixture::U32At(bytes, 0), kPayloadMagic);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 11), std::string("27.0.5\0", 7));
  EXPECT_EQ(fixture::U32At(bytes, 11), 100u);         // SettingsPackedSize
  EXPECT_EQ(fixture::U32At(bytes, 19), 0x55667788u);  // ImageChecksum
  EXPECT_EQ(fixture::U32At(bytes, 27), 3u);           // FileCount
  EXPECT_EQ(fixture::U32At(bytes, 35), 0x99AABBCCu);  // ArchiveChecksum
  EXPECT_EQ(fixture::U32At(bytes, 47), uint32_t(kMaxFileSize));
  EXPECT_EQ(h.SettingsOffset(), 51);
  EXPECT_EQ(h.DataOffset(), 151);

  const HeaderReadResult read = ReadPayloadHeader(bytes);
  ASSERT_TRUE(read.ok()) << read.corruptCode;
  EXPECT_EQ(read.header, h);
}

// Each field at its limit and one past it; the first failing check wins.
TEST(PayloadHeader, ChecksInOrder) {
  struct Case {
    const char* what;
    void (*change)(PayloadHeader&);
    int code;
  } cases[] = {
      {"magic", [](PayloadHeader& h) { h.PayloadMagic ^= 1; }, check::kPayloadMagic},
      {"magic before version", [](PayloadHeader& h) { h.PayloadMagic = 0, h.RuntimeVersion = "1"; },
       check::kPayloadMagic},
      {"settings size 0", [](PayloadHeader& h) { h.SettingsPackedSize = 0; }, check::kSettingsPackedSize},
      {"settings size at the limit", [](PayloadHeader& h) { h.SettingsPackedSize = kSettingsPackedSizeLimit; },
       check::kSettingsPackedSize},
      {"settings size below the limit", [](PayloadHeader& h) { h.SettingsPackedSize = kSettingsPackedSizeLimit - 1; },
       0},
      {"payload end negative", [](PayloadHeader& h) { h.PayloadEnd = -1; }, check::kPayloadEnd},
      {"payload end before file count", [](PayloadHeader& h) { h.PayloadEnd = -1, h.FileCount = -1; },
       check::kPayloadEnd},
      {"file count negative", [](PayloadHeader& h) { h.FileCount = -1, h.FileSizes.clear(); }, check::kFileCount},
      {"archive size negative", [](PayloadHeader& h) { h.ArchiveSize = -1; }, check::kArchiveSize},
      {"size negative", [](PayloadHeader& h) { h.FileSizes[1] = -1; }, check::kFileSize},
      {"size above 1 GiB", [](PayloadHeader& h) { h.FileSizes[2] = kMaxFileSize + 1; }, check::kFileSize},
      {"sizes missing", [](PayloadHeader& h) { h.FileCount = 4; }, check::kFileSize},
      {"huge count", [](PayloadHeader& h) { h.FileCount = 0x7FFFFFFF; }, check::kFileSize},
  };
  for (const Case& c : cases) {
    PayloadHeader h = ValidHeader();
    c.change(h);
    const HeaderReadResult read = ReadPayloadHeader(WritePayloadHeader(h));
    EXPECT_EQ(read.outcome, c.code ? HeaderOutcome::kCorrupt : HeaderOutcome::kValid) << c.what;
    EXPECT_EQ(read.corruptCode, c.code) << c.what;
  }
}

// A section that ends inside the header reads zeros from there on.
TEST(PayloadHeader, CutSection) {
  const Bytes bytes = WritePayloadHeader(ValidHeader());
  struct Case {
    size_t length;
    HeaderOutcome outcome;
    int code;
  } cases[] = {
      {0, HeaderOutcome::kCorrupt, check::kPayloadMagic},
      {3, HeaderOutcome::kCorrupt, check::kPayloadMagic},
      {8, HeaderOutcome::kVersionMismatch, 0},
      {10, HeaderOutcome::kCorrupt, check::kSettingsPackedSize},  // "27.0.5" without its NUL
      {11, HeaderOutcome::kCorrupt, check::kSettingsPackedSize},
      // One byte of SettingsPackedSize (100) and zeros after it pass every
      // check: FileCount reads 0. The missing settings block fails next (47).
      {12, HeaderOutcome::kValid, 0},
      {45, HeaderOutcome::kCorrupt, check::kFileSize},
      {50, HeaderOutcome::kCorrupt, check::kFileSize},
  };
  for (const Case& c : cases) {
    const HeaderReadResult read = ReadPayloadHeader(std::span(bytes).first(c.length));
    EXPECT_EQ(read.outcome, c.outcome) << c.length;
    EXPECT_EQ(read.corruptCode, c.code) << c.length;
  }
}

TEST(PayloadHeader, VersionMismatchCarriesThePayloadsText) {
  PayloadHeader h = ValidHeader();
  for (const char* version : {"27.0.6", "27.0.50", "27.0.", ""}) {
    h.RuntimeVersion = version;
    const HeaderReadResult read = ReadPayloadHeader(WritePayloadHeader(h));
    EXPECT_EQ(read.outcome, HeaderOutcome::kVersionMismatch) << version;
    EXPECT_EQ(read.header.RuntimeVersion, version);
  }
  EXPECT_EQ(VersionMismatchMessage("27.0.6"),
            "The installer version (27.0.5) does not match the version of Orvanta Setup (27.0.6).  "
            "Close all applications and reinstall Orvanta Setup.");
  // The payload's text is data, never a format.
  EXPECT_NE(VersionMismatchMessage("%s%n").find("(%s%n)"), std::string::npos);
}

// A section holding a header and the given settings block after it.
Bytes SectionWith(const Bytes& block) {
  PayloadHeader h = ValidHeader();
  h.SettingsPackedSize = static_cast<int32_t>(block.size());
  Bytes section = WritePayloadHeader(h);
  section.insert(section.end(), block.begin(), block.end());
  return section;
}

TEST(SettingsBlock, UnscramblesAndUnpacks) {
  const Bytes stream = {'s', 'e', 't', 't', 'i', 'n', 'g', 's', 0, 1, 2, 3, 's', 'e', 't', 't', 'i', 'n', 'g', 's'};
  SettingsBlock block = MakeSettingsBlock(stream);
  EXPECT_EQ(block.key, PayloadChecksum(stream));
  Bytes plain = block.bytes;
  Unscramble(plain, block.key);
  EXPECT_EQ(plain, Pack(stream));  // stored scrambled, not plain

  const Bytes section = SectionWith(block.bytes);
  const HeaderReadResult read = ReadPayloadHeader(section);
  ASSERT_TRUE(read.ok());
  PayloadHeader h = read.header;
  h.SettingsKey = block.key;
  SettingsBlockResult unpacked = UnpackSettingsBlock(section, h);
  ASSERT_TRUE(unpacked.ok());
  EXPECT_EQ(unpacked.stream, stream);

  // Padding after the packed stream reads the same.
  PadSettingsBlock(block, 7);
  const Bytes padded = SectionWith(block.bytes);
  PayloadHeader hp = ReadPayloadHeader(padded).header;
  hp.SettingsKey = block.key;
  unpacked = UnpackSettingsBlock(padded, hp);
  ASSERT_TRUE(unpacked.ok());
  EXPECT_EQ(unpacked.stream, stream);
}

TEST(SettingsBlock, Failures) {
  const Bytes stream(50, 'x');
  const SettingsBlock block = MakeSettingsBlock(stream);
  const Bytes section = SectionWith(block.bytes);
  PayloadHeader h = ReadPayloadHeader(section).header;
  h.SettingsKey = block.key;

  PayloadHeader wrongKey = h;
  wrongKey.SettingsKey ^= 0x00010000;
  PayloadHeader pastTheEnd = h;
  pastTheEnd.SettingsPackedSize += 1;
  // A block that states an unpacked size above the limit is refused before
  // anything is allocated for it.
  Bytes huge = Pack(stream);
  StoreU32(&huge[4], kMaxSettingsStreamSize + 1);
  Unscramble(huge, h.SettingsKey);
  const Bytes hugeSection = SectionWith(huge);
  struct Case {
    const char* what;
    const Bytes& section;
    PayloadHeader header;
  } cases[] = {
      {"wrong key", section, wrongKey},
      {"block past the section", section, pastTheEnd},
      {"stated size above the limit", hugeSection, h},
  };
  for (const Case& c : cases) {
    const SettingsBlockResult r = UnpackSettingsBlock(c.section, c.header);
    EXPECT_EQ(r.corruptCode, check::kSettingsUnpack) << c.what;
    EXPECT_TRUE(r.stream.empty()) << c.what;
  }
}

}  // namespace
}  // namespace setup
