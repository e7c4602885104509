#include "setup/payload/file_record.h"

#include <gtest/gtest.h>

#include "payload_fixture.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/payload_checksum.h"

namespace setup {
namespace {

using fixture::Bytes;

int Parse(const Bytes& body, int32_t dataSize, FileRecordView* out = nullptr) {
  FileRecordView view;
  const int code = ParseFileRecord(body, dataSize, view);
  if (out) *out = view;
  return code;
}

TEST(FileRecord, BodyLayoutIsFieldByField) {
  FileRecord r = fixture::MakeFile("a", Bytes{0xFF, 0x01}, 0, 0);
  r.attributes = 0x20;
  r.text = "t";
  r.shortcutArguments = "g";
  r.target = "x";
  r.shortcutWorkingFolder = "w";
  Bytes expected = {'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0};
  for (int32_t v : {2024, 5, 17, 13, 45, 10})
    for (int i = 0; i < 4; ++i) expected.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  for (char c : {'t', '\0', 'g', '\0', 'x', '\0', 'w', '\0'}) expected.push_back(static_cast<uint8_t>(c));
  expected.insert(expected.end(), {0xFF, 0x01});
  const uint32_t sum = PayloadChecksum(r.data);
  for (int i = 0; i < 4; ++i) expected.push_back(static_cast<uint8_t>(sum >> (8 * i)));
  EXPECT_EQ(WriteFileRecordBody(r), expected);
}

// The shortcut icon is there only with a shortcut flag, the package
// option only for kind 11: a reader that takes either at the wrong time
// shifts every later field.
TEST(FileRecord, ConditionalFieldsRoundTrip) {
  struct Case {
    uint32_t kind, flags;
    bool iconStored, optionStored;
  } cases[] = {
      {0, 0, false, false},
      {0, kFileFlagDesktopShortcut, true, false},
      {5, kFileFlagStartMenuShortcut | kFileFlagPermanent, true, false},
      {11, 0, false, true},
      {11, kFileFlagDesktopShortcut, true, true},
  };
  for (const Case& c : cases) {
    FileRecord r = fixture::MakeFile("dir\\file.bin", Bytes{9, 8, 7}, c.kind, c.flags);
    r.text = "caption";
    r.shortcutIcon = c.iconStored ? "icon.ico" : "";
    r.shortcutArguments = "args";
    r.target = "%InstallDir%\\x\\";
    r.shortcutWorkingFolder = "work";
    r.packageOption = c.optionStored ? 0xABCD : 0;
    ASSERT_EQ(FileRecordError(r), "");
    const Bytes body = WriteFileRecordBody(r);
    FileRecord plain = r;
    plain.kind = 0;
    plain.flags = 0;
    plain.shortcutIcon.clear();
    plain.packageOption = 0;
    const size_t base = WriteFileRecordBody(plain).size();
    EXPECT_EQ(body.size(), base + (c.iconStored ? 9 : 0) + (c.optionStored ? 4 : 0)) << c.kind << " " << c.flags;
    FileRecordView view;
    ASSERT_EQ(Parse(body, 3, &view), 0) << c.kind << " " << c.flags;
    EXPECT_EQ(view.ToRecord(), r);
  }
}

TEST(FileRecord, CheckCodes) {
  const FileRecord good = fixture::MakeFile("f.txt", Bytes{1, 2, 3, 4, 5});
  const Bytes body = WriteFileRecordBody(good);
  auto withKind = [&](uint32_t kind) {
    FileRecord r = good;
    r.kind = kind;
    return WriteFileRecordBody(r);
  };
  Bytes flippedData = body;
  flippedData.at(body.size() - 5) ^= 1;  // the last data byte
  Bytes trailing = body;
  trailing.push_back(0);
  Bytes noName = body;
  noName.erase(noName.begin(), noName.begin() + 5);
  struct Case {
    const char* what;
    Bytes body;
    int32_t dataSize;
    int code;
  } cases[] = {
      {"valid", body, 5, 0},
      {"empty name", noName, 5, check::kEmptyFileName},
      {"negative size", body, -1, check::kNegativeFileSize},
      {"size above 1 GiB", body, 0x40000001, check::kFileSizeTooLarge},
      {"data checksum", flippedData, 5, check::kDataChecksum},
      {"size larger than the body holds", body, 6, check::kDataChecksum},
      {"size smaller than stored", body, 4, check::kDataChecksum},
      {"bytes after the checksum", trailing, 5, check::kDataChecksum},
      {"body cut in the name", Bytes{'f', '.'}, 5, check::kDataChecksum},
      {"empty body", Bytes{}, 0, check::kDataChecksum},
      {"kind 2", withKind(2), 5, check::kFileKind},
      {"kind 3", withKind(3), 5, check::kFileKind},
      {"kind 13", withKind(13), 5, check::kFileKind},
      {"kind 12", withKind(12), 5, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.body, c.dataSize), c.code) << c.what;
}

TEST(FileRecord, EmptyDataHasTheChecksumOfNoBytes) {
  const Bytes body = WriteFileRecordBody(fixture::MakeFile("empty", {}));
  EXPECT_EQ(fixture::U32At(body, body.size() - 4), kPayloadChecksumSeed);
  EXPECT_EQ(Parse(body, 0), 0);
}

TEST(FileRecord, WriterRefusesWhatTheReaderCannotTakeBack) {
  auto with = [](auto change) {
    FileRecord r = fixture::MakeFile("f", Bytes{1});
    change(r);
    return r;
  };
  struct Case {
    const char* what;
    FileRecord record;
  } cases[] = {
      {"empty name", with([](FileRecord& r) { r.name.clear(); })},
      {"NUL in a text", with([](FileRecord& r) { r.target = std::string("a\0b", 3); })},
      {"kind 3", with([](FileRecord& r) { r.kind = 3; })},
      {"icon without shortcut", with([](FileRecord& r) { r.shortcutIcon = "i.ico"; })},
      {"package option on kind 0", with([](FileRecord& r) { r.packageOption = 1; })},
      {"texts too long", with([](FileRecord& r) { r.text.assign(kMaxRecordFieldsSize, 'x'); })},
  };
  for (const Case& c : cases) EXPECT_NE(FileRecordError(c.record), "") << c.what;
  EXPECT_EQ(FileRecordError(fixture::MakeFile("f", Bytes{1})), "");
}

TEST(FileRecord, AppendFramesWithTheBodyLength) {
  Bytes out = {0xAA};
  const FileRecord r = fixture::MakeFile("n", Bytes{1, 2});
  AppendFileRecord(out, r);
  const Bytes body = WriteFileRecordBody(r);
  ASSERT_EQ(out.size(), 1 + 4 + body.size());
  EXPECT_EQ(fixture::U32At(out, 1), body.size());
  EXPECT_TRUE(std::equal(body.begin(), body.end(), out.begin() + 5));
}

}  // namespace
}  // namespace setup
