#include "setup/payload/section_locator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace setup {
namespace {

void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A PE header with the named sections; each gets raw data 0x200 apart.
std::vector<uint8_t> MakeImage(const std::vector<std::string>& names, uint32_t peOffset = 0x80,
                               uint32_t optionalHeaderSize = 0xE0) {
  std::vector<uint8_t> b(0x1000, 0);
  b[0] = 'M';
  b[1] = 'Z';
  PutU16(b, 60, peOffset);
  std::memcpy(&b[peOffset], "PE\0\0", 4);
  PutU16(b, peOffset + 6, static_cast<uint32_t>(names.size()));
  PutU16(b, peOffset + 20, optionalHeaderSize);
  size_t table = peOffset + 24 + optionalHeaderSize;
  for (size_t i = 0; i < names.size(); ++i) {
    size_t e = table + i * 40;
    std::memcpy(&b[e], names[i].data(), std::min<size_t>(names[i].size(), 8));
    PutU32(b, e + 12, 0x1000 * (i + 1));  // VirtualAddress
    PutU32(b, e + 16, 0x200);             // SizeOfRawData
    PutU32(b, e + 20, 0x400 + 0x200 * i);  // PointerToRawData
  }
  return b;
}

LocateResult Locate(const std::vector<uint8_t>& image) { return LocateSetupSection(ReadFromBytes(image)); }

TEST(SectionLocator, FindsTheSetupEntry) {
  auto image = MakeImage({".text", ".data", ".rdata", ".setup", ".rsrc"});
  LocateResult r = Locate(image);
  ASSERT_EQ(r.outcome, LocateOutcome::kFound);
  EXPECT_EQ(r.section.index, 3u);
  EXPECT_EQ(r.section.tableOffset, 0x80u + 24 + 0xE0);
  EXPECT_EQ(r.section.entryOffset, r.section.tableOffset + 3 * 40);
  EXPECT_EQ(r.section.virtualAddress, 0x4000u);
  EXPECT_EQ(r.section.sizeOfRawData, 0x200u);
  EXPECT_EQ(r.section.pointerToRawData, 0x400u + 0x600);
  EXPECT_EQ(r.section.sectionCount, 5u);
}

TEST(SectionLocator, OutcomesAndCheckCodes) {
  struct Case {
    const char* what;
    std::vector<uint8_t> image;
    LocateOutcome outcome;
    int code;
  } cases[] = {
      {"no .setup entry", MakeImage({".text", ".data", ".rdata", ".rsrc"}), LocateOutcome::kNoSection, 0},
      {"name compared as a whole", MakeImage({".text", ".data", ".setupx", ".setu"}), LocateOutcome::kNoSection, 0},
      {"e_lfanew below 64", MakeImage({".text", ".data", ".rdata", ".setup"}, 0x3E), LocateOutcome::kCorrupt, 43},
      {"three sections", MakeImage({".text", ".data", ".setup"}), LocateOutcome::kCorrupt, 44},
      {"empty file", {}, LocateOutcome::kCorrupt, 43},
  };
  for (Case& c : cases) {
    LocateResult r = Locate(c.image);
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(r.corruptCode, c.code) << c.what;
  }
}

TEST(SectionLocator, HeaderFieldLimits) {
  auto image = MakeImage({".text", ".data", ".rdata", ".setup"});
  PutU16(image, 60, 4097);
  EXPECT_EQ(Locate(image).corruptCode, 43);
  image.resize(0x2000);
  PutU16(image, 60, 4096);  // allowed; the PE header there says 0 sections
  EXPECT_EQ(Locate(image).corruptCode, 44);

  image = MakeImage({".text", ".data", ".rdata", ".setup"});
  PutU16(image, 0x80 + 6, 100);
  EXPECT_EQ(Locate(image).corruptCode, 44);
  PutU16(image, 0x80 + 6, 99);  // the table runs past the end of the bytes: no section found
  image.resize(0x80 + 24 + 0xE0 + 2 * 40);
  EXPECT_EQ(Locate(image).outcome, LocateOutcome::kNoSection);
}

TEST(SectionLocator, NoRawDataIsCode9) {
  auto image = MakeImage({".text", ".data", ".rdata", ".setup"});
  PutU32(image, 0x80 + 24 + 0xE0 + 3 * 40 + 20, 0);
  EXPECT_EQ(Locate(image).corruptCode, 9);
}

// The checked reader under the locator and ParsePe32: a read gives nothing
// unless all of its bytes are there.
TEST(PeHeaderReader, ReadsOnlyWhatIsThere) {
  std::vector<uint8_t> bytes(100, 0);
  PutU16(bytes, 60, 0x1234);
  PutU32(bytes, 96, 0xA1B2C3D4);
  const PeHeaderReader r(ReadFromBytes(bytes));
  struct Case {
    const char* what;
    uint64_t offset;
    uint64_t length;
    bool has;
  } cases[] = {
      {"all of it", 0, 100, true},
      {"one byte too many", 0, 101, false},
      {"last byte", 99, 1, true},
      {"nothing at the end", 100, 0, true},
      {"nothing past the end", 101, 0, false},
      {"length wraps around", 1, UINT64_MAX, false},
      {"offset past any file", UINT64_MAX, 1, false},
  };
  for (const Case& c : cases) EXPECT_EQ(r.Has(c.offset, c.length), c.has) << c.what;

  EXPECT_EQ(r.U16(60), 0x1234u);
  EXPECT_EQ(r.U32(96), 0xA1B2C3D4u);
  EXPECT_FALSE(r.U16(99).has_value());
  EXPECT_FALSE(r.U32(97).has_value());
  EXPECT_FALSE(r.U32(UINT64_MAX - 1).has_value());
}

TEST(PeHeaderReader, PeHeaderOffsetRange) {
  struct Case {
    uint32_t field;
    size_t size;
    std::optional<uint32_t> offset;
  } cases[] = {
      {63, 100, std::nullopt}, {64, 100, 64},   {4096, 100, 4096},
      {4097, 100, std::nullopt}, {0x1040, 100, std::nullopt},  // only 16 bits are read
      {0x80, 61, std::nullopt},  // the field is cut off
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes(100, 0);
    PutU32(bytes, 60, c.field);
    bytes.resize(c.size);
    EXPECT_EQ(PeHeaderReader(ReadFromBytes(bytes)).PeHeaderOffset(), c.offset) << c.field << " in " << c.size;
  }
}

TEST(PeHeaderReader, SectionEntries) {
  const auto image = MakeImage({".text", ".setupab", ".rdata", ".setup"});
  const uint32_t table = 0x80 + 24 + 0xE0;
  const PeHeaderReader r(ReadFromBytes(image));
  struct Case {
    uint32_t index;
    const char* name;
    uint32_t pointerToRawData;
  } cases[] = {{0, ".text", 0x400}, {1, ".setupab", 0x600}, {3, ".setup", 0xA00}, {4, "", 0}};
  for (const Case& c : cases) {
    const std::optional<PeSection> entry = r.SectionEntry(table, c.index);
    ASSERT_TRUE(entry.has_value()) << c.index;
    EXPECT_EQ(entry->name, c.name) << c.index;
    EXPECT_EQ(entry->pointerToRawData, c.pointerToRawData) << c.index;
  }
  const std::vector<uint8_t> cut(image.begin(), image.begin() + table + 2 * 40 - 1);
  const PeHeaderReader shortReader(ReadFromBytes(cut));
  EXPECT_TRUE(shortReader.SectionEntry(table, 0).has_value());
  EXPECT_FALSE(shortReader.SectionEntry(table, 1).has_value());
}

TEST(SectionLocator, EightCharacterNamesHaveNoTerminator) {
  // ".setup\0\0" matches; a name filling all eight bytes is read without running past them.
  auto image = MakeImage({".text", ".setupab", ".rdata", ".setup"});
  EXPECT_EQ(Locate(image).section.index, 3u);
}

}  // namespace
}  // namespace setup
