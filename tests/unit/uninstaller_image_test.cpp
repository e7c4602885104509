#include "setup/payload/uninstaller_image.h"

#include <gtest/gtest.h>

#include "payload_fixture.h"
#include "setup/payload/check_codes.h"

namespace setup {
namespace {

using fixture::Bytes;
using fixture::U32At;

constexpr uint32_t kSetupRaw = 0x400;

// A program whose ".setup" section sits at `index` among six, with 7 bytes
// after the last section and a marked 40-byte block after the table.
Bytes ProgramWithSetupAt(size_t index) {
  std::vector<fixture::Section> sections = {{".text"}, {".data"}, {".rdata"}, {".idata"}, {".rsrc"}};
  sections.insert(sections.begin() + index, {".setup", kSetupRaw});
  Bytes b = fixture::MakePe32(sections, 7);
  for (size_t i = 0; i < 40; ++i) b[fixture::kTableOffset + 6 * 40 + i] = static_cast<uint8_t>(0xA0 + i);
  return b;
}

UninstallerImageInput InputFor(const Bytes& program) {
  UninstallerImageInput input;
  input.section = LocateSetupSection(ReadFromBytes(program)).section;
  input.fileLength = static_cast<int64_t>(program.size());
  input.imageChecksum =
      ImageChecksumOf(std::span(program).first(input.section.pointerToRawData), input.section.peHeaderOffset);
  input.compareChecksum = true;
  input.buildImage = true;
  return input;
}

Bytes Entry(const Bytes& image, size_t i) {
  const size_t at = fixture::kTableOffset + i * 40;
  return Bytes(image.begin() + at, image.begin() + at + 40);
}

TEST(UninstallerImage, SetupInTheMiddle) {
  const Bytes program = ProgramWithSetupAt(2);
  const UninstallerImageInput input = InputFor(program);
  ASSERT_EQ(input.section.index, 2u);
  const UninstallerImageResult r = BuildUninstallerImage(ReadFromBytes(program), input);
  ASSERT_TRUE(r.ok()) << r.corruptCode;
  ASSERT_TRUE(r.built);
  const Bytes& image = r.image;
  ASSERT_EQ(image.size(), program.size() - kSetupRaw);
  EXPECT_EQ(r.uninstallerSize, static_cast<int64_t>(image.size()));

  const uint32_t pe = fixture::kPeOffset;
  EXPECT_EQ(LoadU16(&image[pe + kPeNumberOfSections]), 5);
  EXPECT_EQ(U32At(image, pe + kPeSizeOfInitializedData), U32At(program, pe + kPeSizeOfInitializedData) - kSetupRaw);
  EXPECT_EQ(U32At(image, pe + kPeSizeOfImage), U32At(program, pe + kPeSizeOfImage) - kSetupRaw);
  // Entries before ".setup" stay; those after move up with their raw
  // pointer lowered; the freed last slot takes the 40 bytes after the table.
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(Entry(image, i), Entry(program, i)) << i;
  for (size_t i = 2; i < 5; ++i) {
    Bytes expected = Entry(program, i + 1);
    StoreU32(&expected[kSectionPointerToRawData], U32At(expected, kSectionPointerToRawData) - kSetupRaw);
    EXPECT_EQ(Entry(image, i), expected) << i;
    // The moved pointer finds the section's own bytes.
    EXPECT_EQ(image[U32At(expected, kSectionPointerToRawData)], 0x10 + i + 1) << i;
  }
  EXPECT_EQ(Entry(image, 5), Bytes(program.begin() + fixture::kTableOffset + 240,
                                   program.begin() + fixture::kTableOffset + 280));
  // Everything else: the bytes before the section, then those after it.
  const size_t setupAt = input.section.pointerToRawData;
  EXPECT_TRUE(std::equal(image.begin() + fixture::kTableOffset + 280, image.begin() + setupAt,
                         program.begin() + fixture::kTableOffset + 280));
  EXPECT_TRUE(std::equal(image.begin() + setupAt, image.end(), program.begin() + setupAt + kSetupRaw));
}

TEST(UninstallerImage, SetupLastKeepsTheOtherEntries) {
  const Bytes program = ProgramWithSetupAt(5);
  const UninstallerImageResult r = BuildUninstallerImage(ReadFromBytes(program), InputFor(program));
  ASSERT_TRUE(r.ok()) << r.corruptCode;
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(Entry(r.image, i), Entry(program, i)) << i;
  // Raw data of the other sections unchanged; the 7 trailing bytes follow.
  const size_t setupAt = InputFor(program).section.pointerToRawData;
  EXPECT_TRUE(std::equal(r.image.begin() + fixture::kSizeOfHeaders, r.image.begin() + setupAt,
                         program.begin() + fixture::kSizeOfHeaders));
  EXPECT_EQ(Bytes(r.image.end() - 7, r.image.end()), Bytes(7, 0xEE));
}

TEST(UninstallerImage, CheckCodesAndFlags) {
  const Bytes program = ProgramWithSetupAt(3);
  const UninstallerImageInput valid = InputFor(program);
  const int64_t tailAt = int64_t{valid.section.pointerToRawData} + kSetupRaw;
  const PositionedRead good = ReadFromBytes(program);
  const PositionedRead failsAtStart = [&](int64_t offset, void* d, size_t n) { return offset != 0 && good(offset, d, n); };
  const PositionedRead failsAtTail = [&](int64_t offset, void* d, size_t n) { return offset != tailAt && good(offset, d, n); };
  auto with = [&](auto change) {
    UninstallerImageInput input = valid;
    change(input);
    return input;
  };
  struct Case {
    const char* what;
    PositionedRead read;
    UninstallerImageInput input;
    int code;
    bool built;
  } cases[] = {
      {"valid", good, valid, 0, true},
      {"head unreadable", failsAtStart, valid, check::kImageUnreadable, false},
      {"raw data beyond the file", good, with([](auto& i) { i.fileLength = i.section.pointerToRawData - 1; }),
       check::kImageUnreadable, false},
      {"header past the raw data pointer", good,
       with([](auto& i) { i.section.pointerToRawData = 0x90, i.compareChecksum = false; }),
       check::kImageUnreadable, false},
      {"checksum", good, with([](auto& i) { i.imageChecksum += 1; }), check::kImageChecksum, false},
      {"checksum not compared", good, with([](auto& i) { i.imageChecksum += 1, i.compareChecksum = false; }), 0, true},
      {"tail unreadable", failsAtTail, valid, check::kImageTailUnreadable, false},
      {"tail not read without the image", failsAtTail, with([](auto& i) { i.buildImage = false; }), 0, false},
      {"checksum compared without the image", good, with([](auto& i) { i.imageChecksum += 1, i.buildImage = false; }),
       check::kImageChecksum, false},
  };
  for (const Case& c : cases) {
    const UninstallerImageResult r = BuildUninstallerImage(c.read, c.input);
    EXPECT_EQ(r.corruptCode, c.code) << c.what;
    EXPECT_EQ(r.built, c.built) << c.what;
    if (c.code == 0 && !c.built) {
      EXPECT_TRUE(r.image.empty()) << c.what;
      EXPECT_EQ(r.uninstallerSize, static_cast<int64_t>(program.size())) << c.what;
    }
  }
}

TEST(UninstallerImage, ChecksumStartsAfterThePeCheckSumField) {
  const Bytes program = ProgramWithSetupAt(5);
  const uint32_t pointer = InputFor(program).section.pointerToRawData;
  Bytes changed = program;
  changed[fixture::kPeOffset + kPeCheckSum] ^= 0xFF;  // not covered
  EXPECT_EQ(ImageChecksumOf(std::span(changed).first(pointer), fixture::kPeOffset),
            ImageChecksumOf(std::span(program).first(pointer), fixture::kPeOffset));
  changed[fixture::kPeOffset + kPeImageChecksumStart] ^= 1;  // covered
  EXPECT_NE(ImageChecksumOf(std::span(changed).first(pointer), fixture::kPeOffset),
            ImageChecksumOf(std::span(program).first(pointer), fixture::kPeOffset));
}

}  // namespace
}  // namespace setup
