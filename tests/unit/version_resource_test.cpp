// The version reader over real DLLs made by the resource compiler (see
// fixtures/make_version_fixtures.sh) and over images built here, one damage
// at a time: every damage ends in "no version", never in a wrong text.
#include "setup/payload/version_resource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace setup {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFixture(const char* name) {
  const std::filesystem::path file = std::filesystem::path(__FILE__).parent_path() / "fixtures" / name;
  std::ifstream in(file, std::ios::binary);
  EXPECT_TRUE(in) << file;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Put16(Bytes& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
void Pad4(Bytes& b) { b.resize((b.size() + 3) & ~size_t{3}); }

// One version-info node: header, UTF-16 key, value, children, each part
// aligned to 4 bytes as the resource compiler lays them out.
struct Node {
  std::u16string key;
  Bytes value;               // the value's bytes
  uint16_t valueLength = 0;  // as stored: bytes, or characters for a text
  uint16_t type = 0;
  std::vector<Node> children;

  Bytes Encode() const {
    Bytes b(6);
    for (char16_t c : key) b.insert(b.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    b.insert(b.end(), {0, 0});
    Pad4(b);
    b.insert(b.end(), value.begin(), value.end());
    for (size_t i = 0; i < children.size(); ++i) {
      Pad4(b);
      const Bytes child = children[i].Encode();
      b.insert(b.end(), child.begin(), child.end());
    }
    Put16(b, 0, static_cast<uint32_t>(b.size()));
    Put16(b, 2, valueLength);
    Put16(b, 4, type);
    return b;
  }
};

Node Text(std::u16string key, std::u16string text) {
  Node n{std::move(key), {}, static_cast<uint16_t>(text.size() + 1), 1, {}};
  for (char16_t c : text) n.value.insert(n.value.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  n.value.insert(n.value.end(), {0, 0});
  return n;
}

Node Translation(uint16_t language, uint16_t codePage) {
  Bytes v(4);
  Put16(v, 0, language);
  Put16(v, 2, codePage);
  return Node{u"Translation", v, 4, 0, {}};
}

Node Table(std::u16string name, std::vector<Node> strings) { return Node{std::move(name), {}, 0, 1, std::move(strings)}; }

Node VersionInfo(std::vector<Node> tables, std::vector<Node> translations) {
  Bytes fixed(52);
  Put32(fixed, 0, 0xFEEF04BD);
  std::vector<Node> children;
  if (!tables.empty()) children.push_back(Node{u"StringFileInfo", {}, 0, 1, std::move(tables)});
  if (!translations.empty()) children.push_back(Node{u"VarFileInfo", {}, 0, 1, std::move(translations)});
  return Node{u"VS_VERSION_INFO", fixed, 52, 0, std::move(children)};
}

Bytes PlainBlock(std::u16string version) {
  return VersionInfo({Table(u"040904b0", {Text(u"FileVersion", std::move(version))})}, {Translation(0x409, 1200)})
      .Encode();
}

// A DLL image with one ".rsrc" section: the resource tree type -> name ->
// language -> data entry, then the block. The offsets of its parts are kept
// so that a test can damage one of them.
struct Image {
  static constexpr uint32_t kPe = 0x80;
  static constexpr uint32_t kRaw = 0x200;        // file offset of the section
  static constexpr uint32_t kRva = 0x1000;       // its address
  static constexpr uint32_t kTypeDir = 0;        // offsets inside the section
  static constexpr uint32_t kNameDir = 0x18;
  static constexpr uint32_t kLanguageDir = 0x30;
  static constexpr uint32_t kDataEntry = 0x48;
  static constexpr uint32_t kBlock = 0x58;

  Bytes bytes;
  uint32_t optional = kPe + 24;
  uint32_t directories = 0;  // file offset of the data directories
  uint32_t table = 0;        // file offset of the section table

  explicit Image(const Bytes& block, bool plus = false) {
    const uint32_t optionalSize = plus ? 240 : 224;
    directories = optional + (plus ? 112 : 96);
    table = optional + optionalSize;
    bytes.assign(kRaw + kBlock + block.size(), 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 60, kPe);
    bytes[kPe] = 'P';
    bytes[kPe + 1] = 'E';
    Put16(bytes, kPe + 6, 1);
    Put16(bytes, kPe + 20, optionalSize);
    Put16(bytes, optional, plus ? 0x20B : 0x10B);
    Put32(bytes, directories - 4, 16);  // NumberOfRvaAndSizes
    Put32(bytes, directories + 16, kRva);
    Put32(bytes, directories + 20, kBlock + static_cast<uint32_t>(block.size()));
    std::copy_n(".rsrc", 5, bytes.begin() + table);
    Put32(bytes, table + 8, kBlock + static_cast<uint32_t>(block.size()));  // VirtualSize
    Put32(bytes, table + 12, kRva);
    Put32(bytes, table + 16, kBlock + static_cast<uint32_t>(block.size()));  // SizeOfRawData
    Put32(bytes, table + 20, kRaw);
    Directory(kTypeDir, 16, 0x80000000 | kNameDir);
    Directory(kNameDir, 1, 0x80000000 | kLanguageDir);
    Directory(kLanguageDir, 0x409, kDataEntry);
    Put32(bytes, kRaw + kDataEntry, kRva + kBlock);
    Put32(bytes, kRaw + kDataEntry + 4, static_cast<uint32_t>(block.size()));
    std::copy(block.begin(), block.end(), bytes.begin() + kRaw + kBlock);
  }

  // A directory with one ID entry.
  void Directory(uint32_t at, uint32_t id, uint32_t data) {
    Put16(bytes, kRaw + at + 14, 1);
    Put32(bytes, kRaw + at + 16, id);
    Put32(bytes, kRaw + at + 20, data);
  }
};

TEST(VersionResource, ResourceCompilerFixtures) {
  // The translation names the second of two tables; the first says "9.9".
  for (const char* name : {"version_fixture32.dll", "version_fixture64.dll"}) {
    const Bytes dll = ReadFixture(name);
    const VersionResource found = FindVersionResource(dll);
    ASSERT_EQ(found.status, VersionLookup::kFound) << name;
    EXPECT_EQ(FileVersionOfBlock(found.block), " 1, 2, 3, 4 ") << name;
    EXPECT_EQ(FileVersionText(dll), "1. 2. 3. 4") << name;
  }
}

TEST(VersionResource, FileVersionOfBlock) {
  struct Case {
    const char* what;
    Node info;
    std::string expected;
  };
  const std::vector<Node> twoTables = {Table(u"040704b0", {Text(u"FileVersion", u"9.9")}),
                                       Table(u"040904e4", {Text(u"FileVersion", u"2.5")})};
  Node bytesStated = Text(u"FileVersion", u"3.1");
  bytesStated.valueLength = 8;  // bytes, as some resource compilers write it
  Node noNul = Text(u"FileVersion", u"4.2");
  noNul.value.resize(6);
  noNul.valueLength = 3;
  const Case cases[] = {
      {"plain", VersionInfo({Table(u"040904b0", {Text(u"FileVersion", u"2.0")})}, {Translation(0x409, 1200)}), "2.0"},
      {"first translation names the table", VersionInfo(twoTables, {Translation(0x409, 1252), Translation(0x407, 1200)}),
       "2.5"},
      {"keys in other letter case",
       VersionInfo({Table(u"040904B0", {Text(u"FILEVERSION", u"1.5a")})}, {Translation(0x409, 1200)}), "1.5a"},
      {"other strings before it",
       VersionInfo({Table(u"040904b0", {Text(u"CompanyName", u"Me"), Text(u"FileVersionX", u"8"),
                                        Text(u"FileVersion", u"1.2.3")})},
                   {Translation(0x409, 1200)}),
       "1.2.3"},
      {"value length in bytes", VersionInfo({Table(u"040904b0", {bytesStated})}, {Translation(0x409, 1200)}), "3.1"},
      {"text without its NUL", VersionInfo({Table(u"040904b0", {noNul})}, {Translation(0x409, 1200)}), "4.2"},
      {"Latin-1 kept, the rest replaced",
       VersionInfo({Table(u"040904b0", {Text(u"FileVersion", u"1\u00e9\u20ac")})}, {Translation(0x409, 1200)}),
       "1\xE9?"},
      {"no translation", VersionInfo({Table(u"040904b0", {Text(u"FileVersion", u"2.0")})}, {}), ""},
      {"translation names no table",
       VersionInfo({Table(u"040904b0", {Text(u"FileVersion", u"2.0")})}, {Translation(0x407, 1200)}), ""},
      {"table without the string",
       VersionInfo({Table(u"040904b0", {Text(u"ProductVersion", u"2.0")})}, {Translation(0x409, 1200)}), ""},
      {"no string tables", VersionInfo({}, {Translation(0x409, 1200)}), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FileVersionOfBlock(c.info.Encode()), c.expected) << c.what;
}

TEST(VersionResource, DamagedBlocksGiveNoText) {
  const Bytes good = PlainBlock(u"2.0");
  ASSERT_EQ(FileVersionOfBlock(good), "2.0");
  // Every cut of the block: the root's length then overruns the bytes.
  for (size_t size = 0; size < good.size(); ++size) {
    const Bytes cut(good.begin(), good.begin() + size);
    EXPECT_EQ(FileVersionOfBlock(cut), "") << size;
  }
  struct Damage {
    const char* what;
    size_t at;
    uint16_t value;
  };
  const Damage damages[] = {
      {"root shorter than a header", 0, 5},
      {"root longer than the block", 0, static_cast<uint16_t>(good.size() + 1)},
      {"root of length 0", 0, 0},
      {"fixed info longer than the root", 2, 0xFFFF},
  };
  for (const Damage& d : damages) {
    Bytes b = good;
    Put16(b, d.at, d.value);
    EXPECT_EQ(FileVersionOfBlock(b), "") << d.what;
  }
  // A child whose length runs past its parent, and a key without its NUL.
  const size_t stringInfo = 0x5C;  // after the 92-byte root header and fixed info
  ASSERT_EQ(good[stringInfo + 6], 'S');
  Bytes overrun = good;
  Put16(overrun, stringInfo, static_cast<uint16_t>(good.size()));
  EXPECT_EQ(FileVersionOfBlock(overrun), "");
  Bytes noKeyEnd = good;
  for (size_t at = 6; at < good.size(); at += 2)
    if (noKeyEnd[at] == 0 && noKeyEnd[at + 1] == 0) noKeyEnd[at] = 'x';
  EXPECT_EQ(FileVersionOfBlock(noKeyEnd), "");
}

TEST(VersionResource, FindsTheResourceInBuiltImages) {
  const Bytes block = PlainBlock(u"  1, 5, b \r\n");
  for (bool plus : {false, true}) {
    const Image image(block, plus);
    const VersionResource found = FindVersionResource(image.bytes);
    ASSERT_EQ(found.status, VersionLookup::kFound) << plus;
    EXPECT_TRUE(std::equal(found.block.begin(), found.block.end(), block.begin(), block.end()));
    EXPECT_EQ(FileVersionText(image.bytes), "1. 5. b") << plus;
  }
}

TEST(VersionResource, DamagedImagesFindNothing) {
  const Bytes block = PlainBlock(u"2.0");
  const Image base(block);
  struct Damage {
    const char* what;
    size_t at;
    uint32_t value;
    int width;
    VersionLookup expected;
  };
  constexpr uint32_t r = Image::kRaw;
  const uint32_t d = base.directories, t = base.table, p = Image::kPe;
  const Damage damages[] = {
      {"no MZ", 0, 'X', 1, VersionLookup::kNotAnImage},
      {"PE offset beyond the file", 60, 0xFFFFFFF0, 4, VersionLookup::kNotAnImage},
      {"no PE signature", p, 'N', 1, VersionLookup::kNotAnImage},
      {"optional header of a ROM image", base.optional, 0x107, 2, VersionLookup::kNotAnImage},
      {"section table beyond the file", p + 6, 0xFFFF, 2, VersionLookup::kDamaged},
      {"optional header too short for the directory", p + 20, 96 + 16, 2, VersionLookup::kNoVersionResource},
      {"two data directories only", d - 4, 2, 4, VersionLookup::kNoVersionResource},
      {"no resource directory", d + 16, 0, 4, VersionLookup::kNoVersionResource},
      {"resource directory of size 0", d + 20, 0, 4, VersionLookup::kNoVersionResource},
      {"resource directory outside every section", d + 16, 0x9000, 4, VersionLookup::kDamaged},
      {"section raw data beyond the file", t + 20, 0x10000, 4, VersionLookup::kDamaged},
      {"no version type", r + Image::kTypeDir + 16, 3, 4, VersionLookup::kNoVersionResource},
      {"version type as a name", r + Image::kTypeDir + 16, 0x80000010, 4, VersionLookup::kNoVersionResource},
      {"version type without subdirectory", r + Image::kTypeDir + 20, Image::kNameDir, 4, VersionLookup::kDamaged},
      {"no name 1", r + Image::kNameDir + 16, 2, 4, VersionLookup::kNoVersionResource},
      {"more entries than bytes", r + Image::kTypeDir + 14, 0xFFFF, 2, VersionLookup::kDamaged},
      {"subdirectory beyond the section", r + Image::kNameDir + 20, 0x8000FFF0, 4, VersionLookup::kDamaged},
      {"no languages", r + Image::kLanguageDir + 14, 0, 2, VersionLookup::kNoVersionResource},
      {"language leads to a directory", r + Image::kLanguageDir + 20, 0x80000000 | Image::kTypeDir, 4,
       VersionLookup::kDamaged},
      {"data entry beyond the section", r + Image::kLanguageDir + 20, 0xFFF8, 4, VersionLookup::kDamaged},
      {"data outside every section", r + Image::kDataEntry, 0x8000, 4, VersionLookup::kDamaged},
      {"data longer than its section", r + Image::kDataEntry + 4, static_cast<uint32_t>(block.size() + 1), 4,
       VersionLookup::kDamaged},
      {"data of size 0", r + Image::kDataEntry + 4, 0, 4, VersionLookup::kDamaged},
      {"data cut by the virtual size", t + 8, Image::kBlock + 8, 4, VersionLookup::kDamaged},
  };
  for (const Damage& damage : damages) {
    Image image(block);
    if (damage.width == 1) image.bytes[damage.at] = static_cast<uint8_t>(damage.value);
    if (damage.width == 2) Put16(image.bytes, damage.at, damage.value);
    if (damage.width == 4) Put32(image.bytes, damage.at, damage.value);
    EXPECT_EQ(FindVersionResource(image.bytes).status, damage.expected) << damage.what;
    EXPECT_EQ(FileVersionText(image.bytes), "") << damage.what;
  }
}

TEST(VersionResource, EveryCutOfAnImageGivesTheTextOrNone) {
  const Image image(PlainBlock(u"1.2.3"));
  ASSERT_EQ(FileVersionText(image.bytes), "1.2.3");
  for (size_t size = 0; size < image.bytes.size(); ++size) {
    const Bytes cut(image.bytes.begin(), image.bytes.begin() + size);
    EXPECT_EQ(FileVersionText(cut), "") << size;
  }
}

TEST(VersionResource, NormalizedVersionText) {
  const std::pair<const char*, const char*> cases[] = {
      {"1.0", "1.0"},
      {" 1, 2, 3, 4 ", "1. 2. 3. 4"},
      {"\t\r\n2,0\r\n\t ", "2.0"},
      {"1\t5 a", "1\t5 a"},  // only the ends are trimmed
      {" \t\r\n", ""},
      {"", ""},
      {",", "."},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(NormalizedVersionText(text), expected) << text;
}

}  // namespace
}  // namespace setup
