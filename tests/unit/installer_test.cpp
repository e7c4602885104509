// Installers built with BuildInstaller over a small PE32 runtime, read back
// with ReadInstaller, and broken one field at a time.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "payload_fixture.h"
#include "setup/payload/archive.h"
#include "setup/payload/check_codes.h"
#include "setup/payload/installer_builder.h"
#include "setup/payload/installer_reader.h"
#include "setup/payload/pack.h"
#include "setup/payload/payload_checksum.h"
#include "setup/payload/scramble.h"
#include "setup/payload/unpack.h"

namespace setup {
namespace {

using fixture::Bytes;
using fixture::PutU32;
using fixture::U32At;

// Header field offsets from the section start (RuntimeVersion is 7 bytes).
constexpr size_t kVersionAt = 4, kSettingsPackedSizeAt = 11, kSettingsKeyAt = 15, kPayloadEndAt = 23,
                 kFileCountAt = 27, kArchiveSizeAt = 31, kArchiveChecksumAt = 35, kFileSizesAt = 39;

BuildOptions Options(bool packChunks, bool archiveInFile) {
  BuildOptions o;
  o.packChunks = packChunks;
  o.archiveInFile = archiveInFile;
  return o;
}

Bytes Build(const BuildOptions& options = {}, const SettingsStream& settings = fixture::MakeSettings(),
            const std::vector<FileRecord>& files = fixture::MakeFiles(), const Bytes& runtime = fixture::MakeRuntime()) {
  BuildResult built = BuildInstaller(runtime, settings, files, options);
  EXPECT_TRUE(built.ok()) << built.error;
  return built.installer;
}

// An installer whose settings stream is written without the limit checks.
Bytes BuildWithStream(SettingsStream settings) {
  settings.ProductFlags |= uint64_t{1} << kFlagPackedChunks;
  const SettingsWriteResult stream = WriteSettingsStream(settings, false);
  BuildResult built = BuildInstallerFromStream(fixture::MakeRuntime(), stream.bytes, fixture::MakeFiles());
  EXPECT_TRUE(built.ok()) << built.error;
  return built.installer;
}

SetupSection Section(const Bytes& installer) { return LocateSetupSection(ReadFromBytes(installer)).section; }
size_t SectionStart(const Bytes& installer) { return Section(installer).pointerToRawData; }

PayloadHeader Header(const Bytes& installer) {
  return ReadPayloadHeader(SectionBytes(installer, Section(installer))).header;
}

size_t ArchiveStart(const Bytes& installer) {
  return SectionStart(installer) + static_cast<size_t>(Header(installer).DataOffset());
}

// ---- Archive surgery on installers whose archive runs to the end of the file ----

struct Chunk {
  Bytes data;
  uint32_t checksum;
};

std::vector<Chunk> Chunks(const Bytes& installer) {
  std::vector<Chunk> chunks;
  for (size_t at = ArchiveStart(installer); at < installer.size();) {
    const uint32_t size = U32At(installer, at);
    chunks.push_back({Bytes(installer.begin() + at + 8, installer.begin() + at + 8 + size), U32At(installer, at + 4)});
    at += 8 + size;
  }
  return chunks;
}

// Puts `archive` in place of the old one and makes ArchiveSize and
// ArchiveChecksum agree with it, so that the checks behind them are reached.
void ReplaceArchive(Bytes& installer, const Bytes& archive) {
  const size_t section = SectionStart(installer);
  installer.resize(ArchiveStart(installer));
  installer.insert(installer.end(), archive.begin(), archive.end());
  PutU32(installer, section + kArchiveSizeAt, static_cast<uint32_t>(archive.size()));
  PutU32(installer, section + kArchiveChecksumAt, PayloadChecksum(archive));
}

Bytes ArchiveOf(const std::vector<Chunk>& chunks) {
  Bytes archive;
  for (const Chunk& c : chunks) {
    Bytes head(8);
    StoreU32(&head[0], static_cast<uint32_t>(c.data.size()));
    StoreU32(&head[4], c.checksum);
    archive.insert(archive.end(), head.begin(), head.end());
    archive.insert(archive.end(), c.data.begin(), c.data.end());
  }
  return archive;
}

// Changes the chunks; `fixChecksums` makes each chunk checksum agree again.
void EditChunks(Bytes& installer, const std::function<void(std::vector<Chunk>&)>& edit, bool fixChecksums = true) {
  std::vector<Chunk> chunks = Chunks(installer);
  edit(chunks);
  if (fixChecksums)
    for (Chunk& c : chunks) c.checksum = PayloadChecksum(c.data);
  ReplaceArchive(installer, ArchiveOf(chunks));
}

// The settings block scrambled with another key that the header then states:
// the block still unpacks, but its checksum no longer matches the key.
void Rekey(Bytes& installer) {
  const size_t section = SectionStart(installer);
  const PayloadHeader h = Header(installer);
  std::span<uint8_t> block(installer.data() + section + h.SettingsOffset(), h.SettingsPackedSize);
  Unscramble(block, h.SettingsKey);
  Unscramble(block, h.SettingsKey ^ 0x01000000);
  PutU32(installer, section + kSettingsKeyAt, h.SettingsKey ^ 0x01000000);
}

struct CorruptCase {
  const char* what;
  std::function<Bytes()> make;
  int code;
};

Bytes Mutated(const BuildOptions& options, const std::function<void(Bytes&)>& change) {
  Bytes installer = Build(options);
  change(installer);
  return installer;
}

// In place: the default layout.
Bytes InPlace(const std::function<void(Bytes&)>& change) { return Mutated(Options(true, false), change); }
// Archive in the file, chunks packed or plain.
Bytes InFile(const std::function<void(Bytes&)>& change) { return Mutated(Options(true, true), change); }
Bytes InFilePlain(const std::function<void(Bytes&)>& change) { return Mutated(Options(false, true), change); }

SettingsStream Settings(const std::function<void(SettingsStream&)>& change) {
  SettingsStream s = fixture::MakeSettings();
  change(s);
  return s;
}

template <class T>
std::vector<T> Many(size_t n) {
  return std::vector<T>(n);
}

TEST(Installer, EveryCorruptInstallerCode) {
  const CorruptCase cases[] = {
      {"e_lfanew", [] { return InPlace([](Bytes& b) { StoreU16(&b[60], 20); }); }, check::kPeHeaderOffset},
      {"number of sections",
       [] { return InPlace([](Bytes& b) { StoreU16(&b[fixture::kPeOffset + kPeNumberOfSections], 3); }); },
       check::kSectionCount},
      {"no raw data",
       [] { return InPlace([](Bytes& b) { PutU32(b, Section(b).entryOffset + kSectionPointerToRawData, 0); }); },
       check::kNoRawData},
      {"raw data beyond the file",
       [] {
         return InPlace([](Bytes& b) {
           PutU32(b, Section(b).entryOffset + kSectionPointerToRawData, static_cast<uint32_t>(b.size() + 0x200));
         });
       },
       check::kCannotPosition},
      {"magic", [] { return InPlace([](Bytes& b) { b[SectionStart(b)] ^= 1; }); }, check::kPayloadMagic},
      {"settings size", [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kSettingsPackedSizeAt, 0); }); },
       check::kSettingsPackedSize},
      {"payload end", [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kPayloadEndAt, 0xFFFFFFFF); }); },
       check::kPayloadEnd},
      {"file count", [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kFileCountAt, 0x80000000); }); },
       check::kFileCount},
      {"archive size", [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kArchiveSizeAt, 0xFFFFFFFF); }); },
       check::kArchiveSize},
      {"file size", [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kFileSizesAt + 4, 0x40000001); }); },
       check::kFileSize},
      {"settings block",
       [] { return InPlace([](Bytes& b) { b[SectionStart(b) + Header(b).SettingsOffset()] ^= 0x80; }); },
       check::kSettingsUnpack},
      {"settings checksum", [] { return InPlace(Rekey); }, check::kSettingsChecksum},
      {"image checksum", [] { return InPlace([](Bytes& b) { b[fixture::kSizeOfHeaders] ^= 1; }); },
       check::kImageChecksum},
      {"archive length in place",
       [] { return InPlace([](Bytes& b) { PutU32(b, SectionStart(b) + kPayloadEndAt, Header(b).PayloadEnd + 1); }); },
       check::kArchiveLength},
      {"archive length in the file", [] { return InFile([](Bytes& b) { b.push_back(0); }); }, check::kArchiveLength},
      {"archive checksum",
       [] { return InPlace([](Bytes& b) { b[SectionStart(b) + Header(b).PayloadEnd - 1] ^= 1; }); },
       check::kArchiveChecksum},
      {"empty chunk after the last file",
       [] { return InFile([](Bytes& b) { EditChunks(b, [](auto& c) { c.push_back({{}, 0}); }, false); }); },
       check::kArchiveLeftOver},
      {"chunk size not positive",
       [] {
         return InFile([](Bytes& b) {
           Bytes a(b.begin() + ArchiveStart(b), b.end());
           PutU32(a, 0, 0);
           ReplaceArchive(b, a);
         });
       },
       check::kChunkSize},
      {"chunk longer than the rest",
       [] {
         return InFile([](Bytes& b) {
           Bytes a(b.begin() + ArchiveStart(b), b.end());
           PutU32(a, 0, static_cast<uint32_t>(a.size() - 7));
           ReplaceArchive(b, a);
         });
       },
       check::kChunkTooLong},
      {"chunk checksum",
       [] { return InFile([](Bytes& b) { EditChunks(b, [](auto& c) { c[0].data.back() ^= 1; }, false); }); },
       check::kChunkChecksum},
      {"chunk does not unpack",
       [] { return InFile([](Bytes& b) { EditChunks(b, [](auto& c) { c[0].data[0] ^= 1; }); }); },
       check::kChunkUnpack},
      {"archive bytes left over",
       [] { return InFile([](Bytes& b) { EditChunks(b, [](auto& c) { c.push_back({Pack(Bytes{1}), 0}); }); }); },
       check::kArchiveLeftOver},
      {"unpacked bytes left over",
       [] {
         return InFile([](Bytes& b) {
           EditChunks(b, [](auto& c) {
             Bytes unpacked = *Unpack(c.back().data);
             unpacked.push_back(0);
             c.back().data = Pack(unpacked);
           });
         });
       },
       check::kRecordsLeftOver},
      {"data checksum",
       [] { return InFilePlain([](Bytes& b) { EditChunks(b, [](auto& c) { c.back().data[100] ^= 1; }); }); },
       check::kDataChecksum},
      {"empty file name",
       [] { return InFilePlain([](Bytes& b) { EditChunks(b, [](auto& c) { c[0].data[4] = 0; }); }); },
       check::kEmptyFileName},
      {"file kind 3",  // the first record: length, "app.exe" and its NUL, then the kind
       [] { return InFilePlain([](Bytes& b) { EditChunks(b, [](auto& c) { c[0].data[12] = 3; }); }); },
       check::kFileKind},
      // The settings stream's own limits, each reached through a whole installer.
      {"progress pause", [] { return BuildWithStream(Settings([](auto& s) { s.ProgressPause = 10000; })); }, 19},
      {"licenses", [] { return BuildWithStream(Settings([](auto& s) { s.LicenseTexts.resize(21); })); }, 24},
      {"readmes", [] { return BuildWithStream(Settings([](auto& s) { s.ReadmeTexts.resize(21); })); }, 26},
      {"no language",
       [] { return BuildWithStream(Settings([](auto& s) { s.Strings.languages.clear(), s.Strings.texts.clear(); })); },
       30},
      {"no strings", [] { return BuildWithStream(Settings([](auto& s) { s.Strings.texts.clear(); })); }, 31},
      {"end marker",
       [] {
         SettingsStream s = fixture::MakeSettings();
         s.ProductFlags |= uint64_t{1} << kFlagPackedChunks;
         Bytes stream = WriteSettingsStream(s).bytes;
         stream.pop_back();
         return BuildInstallerFromStream(fixture::MakeRuntime(), stream, fixture::MakeFiles()).installer;
       },
       32},
      {"associations", [] { return BuildWithStream(Settings([](auto& s) { s.Associations.resize(1001); })); }, 36},
      {"values", [] { return BuildWithStream(Settings([](auto& s) { s.UninstallValueList.resize(1001); })); }, 37},
      {"delete list", [] { return BuildWithStream(Settings([](auto& s) { s.DeleteList.resize(1002); })); }, 38},
      {"bitmap size", [] { return BuildWithStream(Settings([](auto& s) { s.BitmapSize = 101; })); }, 39},
      {"close list", [] { return BuildWithStream(Settings([](auto& s) { s.CloseList.resize(1001); })); }, 41},
      {"shortcuts", [] { return BuildWithStream(Settings([](auto& s) { s.Shortcuts.resize(1001); })); }, 48},
  };
  for (const CorruptCase& c : cases) {
    const Bytes installer = c.make();
    const InstallerContents read = ReadInstaller(installer);
    EXPECT_EQ(read.outcome, InstallerOutcome::kCorrupt) << c.what;
    EXPECT_EQ(read.corruptCode, c.code) << c.what;
  }
}

TEST(Installer, LimitsThatStillHold) {
  // One below each limit that the corrupt cases cross: the installer reads.
  const Bytes installer = BuildWithStream(Settings([](SettingsStream& s) {
    s.ProgressPause = 9999;
    s.LicenseTexts.resize(20);
    s.DeleteList.resize(1001);
    s.CloseList.resize(1000);
    s.BitmapSize = 100;
  }));
  const InstallerContents read = ReadInstaller(installer);
  EXPECT_TRUE(read.ok()) << read.corruptCode;
  EXPECT_EQ(read.settings.DeleteList.size(), 1001u);
}

TEST(Installer, VersionMismatchIsItsOwnOutcome) {
  Bytes installer = Build();
  installer[SectionStart(installer) + kVersionAt + 5] = '6';
  const InstallerContents read = ReadInstaller(installer);
  EXPECT_EQ(read.outcome, InstallerOutcome::kVersionMismatch);
  EXPECT_EQ(read.corruptCode, 0);
  EXPECT_EQ(read.header.RuntimeVersion, "27.0.6");
}

TEST(Installer, RuntimeWithoutPayload) {
  EXPECT_EQ(ReadInstaller(fixture::MakeRuntime()).outcome, InstallerOutcome::kNoSection);
}

// What the reader gives back is what went in, in every layout; the stored
// settings differ only in the two values that describe the layout.
TEST(Installer, RoundTrip) {
  for (const bool packChunks : {true, false}) {
    for (const bool archiveInFile : {false, true}) {
      SCOPED_TRACE(testing::Message() << "packed " << packChunks << " in file " << archiveInFile);
      const Bytes installer = Build(Options(packChunks, archiveInFile));
      const InstallerContents read = ReadInstaller(installer);
      ASSERT_TRUE(read.ok()) << read.corruptCode;
      SettingsStream expected = fixture::MakeSettings();
      if (packChunks) expected.ProductFlags |= uint64_t{1} << kFlagPackedChunks;
      expected.ArchiveInFile = archiveInFile;
      EXPECT_EQ(read.settings, expected);
      EXPECT_EQ(read.files, fixture::MakeFiles());
      EXPECT_EQ(read.header.FileSizes, (std::vector<int32_t>{3000, 0, 7, 517}));
    }
  }
}

TEST(Installer, ManyChunksAndNoFiles) {
  std::mt19937 rng(7);
  Bytes big(kChunkPieceSize * 2 + 12345);
  for (auto& b : big) b = static_cast<uint8_t>(rng() % 16);  // packs, but not to nothing
  std::vector<FileRecord> files = {fixture::MakeFile("small.txt", Bytes(10, 's')), fixture::MakeFile("big.bin", big),
                                   fixture::MakeFile("after.txt", Bytes(20, 'a'))};
  BuildOptions options = Options(true, true);
  options.pack.level = 1;
  const Bytes installer = Build(options, fixture::MakeSettings(), files);
  EXPECT_EQ(Chunks(installer).size(), 3u);
  const InstallerContents read = ReadInstaller(installer);
  ASSERT_TRUE(read.ok()) << read.corruptCode;
  EXPECT_EQ(read.files, files);

  const InstallerContents none = ReadInstaller(Build({}, fixture::MakeSettings(), {}));
  ASSERT_TRUE(none.ok()) << none.corruptCode;
  EXPECT_TRUE(none.files.empty());
  EXPECT_EQ(none.header.ArchiveSize, 0);
}

TEST(Installer, BuildsAreByteIdentical) {
  EXPECT_EQ(Build(), Build());
  EXPECT_EQ(Build(Options(false, true)), Build(Options(false, true)));
}

// The new section in the PE headers: after the last one, aligned, and every
// sum raised by its length.
TEST(Installer, SectionInTheHeaders) {
  const Bytes runtime = fixture::MakeRuntime();
  const PeLayout before = ParsePe32(runtime).layout;
  for (const bool archiveInFile : {false, true}) {
    const Bytes installer = Build(Options(true, archiveInFile));
    const PeParse parsed = ParsePe32(installer);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const PeLayout& after = parsed.layout;
    ASSERT_EQ(after.sections.size(), before.sections.size() + 1);
    for (size_t i = 0; i < before.sections.size(); ++i) EXPECT_EQ(after.sections[i].name, before.sections[i].name);
    const PeSection& s = after.sections.back();
    EXPECT_EQ(s.name, ".setup");
    EXPECT_EQ(s.virtualAddress, before.sizeOfImage);
    EXPECT_EQ(s.pointerToRawData, runtime.size());
    EXPECT_EQ(s.sizeOfRawData, s.virtualSize);
    EXPECT_EQ(s.sizeOfRawData % fixture::kSectionAlignment, 0u);
    EXPECT_EQ(s.characteristics, kSectionInitializedData | kSectionMemRead);
    EXPECT_EQ(after.sizeOfImage, before.sizeOfImage + s.sizeOfRawData);
    EXPECT_EQ(after.sizeOfInitializedData, before.sizeOfInitializedData + s.sizeOfRawData);
    EXPECT_EQ(installer.size(), s.pointerToRawData + s.sizeOfRawData);
    EXPECT_EQ(U32At(installer, fixture::kPeOffset + kPeCheckSum), 0u);
    // The image checksum covers the finished headers, the new entry included.
    EXPECT_EQ(Header(installer).ImageChecksum,
              ImageChecksumOf(std::span(installer).first(s.pointerToRawData), fixture::kPeOffset));
  }
}

// The archive in the file is the file's last bytes; the section covers it so
// that the uninstaller image, which keeps what follows the section, does not.
TEST(Installer, ArchiveInFileLayout) {
  const Bytes installer = Build(Options(true, true));
  const PayloadHeader h = Header(installer);
  EXPECT_EQ(ArchiveStart(installer) + h.ArchiveSize, installer.size());
  EXPECT_EQ(h.PayloadEnd, h.DataOffset() + h.ArchiveSize);
  // In place, padding follows the archive instead and the settings block is
  // only as long as its packed stream.
  const Bytes inPlace = Build(Options(true, false));
  EXPECT_LT(ArchiveStart(inPlace) + Header(inPlace).ArchiveSize, inPlace.size());
  EXPECT_GT(h.SettingsPackedSize, Header(inPlace).SettingsPackedSize);
}

TEST(Installer, UninstallerImageIsTheRuntime) {
  for (const bool archiveInFile : {false, true}) {
    const Bytes runtime = fixture::MakeRuntime();
    const InstallerContents read = ReadInstaller(Build(Options(true, archiveInFile)));
    ASSERT_TRUE(read.ok()) << read.corruptCode;
    ASSERT_TRUE(read.uninstaller.built);
    EXPECT_EQ(read.uninstaller.image, runtime) << archiveInFile;
    EXPECT_EQ(read.uninstaller.uninstallerSize, static_cast<int64_t>(runtime.size()));
  }
  // A runtime whose length is not a whole number of file-alignment units
  // comes back padded with zeros.
  Bytes odd = fixture::MakePe32({{".text"}, {".data"}, {".rdata"}, {".rsrc"}}, 5);
  const InstallerContents read = ReadInstaller(Build({}, fixture::MakeSettings(), fixture::MakeFiles(), odd));
  ASSERT_TRUE(read.ok()) << read.corruptCode;
  odd.resize(AlignUp(odd.size(), fixture::kFileAlignment), 0);
  EXPECT_EQ(read.uninstaller.image, odd);
}

TEST(Installer, UninstallerNotBuiltWithoutTheFlag) {
  const Bytes installer = Build({}, Settings([](SettingsStream& s) { s.ProductFlags2 = 0; }));
  const InstallerContents read = ReadInstaller(installer);
  ASSERT_TRUE(read.ok()) << read.corruptCode;
  EXPECT_FALSE(read.uninstaller.built);
  EXPECT_TRUE(read.uninstaller.image.empty());
  EXPECT_EQ(read.uninstaller.uninstallerSize, static_cast<int64_t>(installer.size()));
}

TEST(Installer, ChecksumsComparedOnlyWithTheFlag) {
  auto flipped = [](uint64_t flags) {
    Bytes installer = Build(Options(false, true), Settings([&](SettingsStream& s) { s.ProductFlags = flags; }));
    installer[fixture::kSizeOfHeaders] ^= 1;  // image checksum
    std::vector<Chunk> chunks = Chunks(installer);
    chunks[0].checksum ^= 1;  // chunk checksum
    ReplaceArchive(installer, ArchiveOf(chunks));
    return ReadInstaller(installer);
  };
  EXPECT_EQ(flipped(uint64_t{1} << kFlagCompareChecksums).corruptCode, check::kImageChecksum);
  const InstallerContents unchecked = flipped(0);
  EXPECT_TRUE(unchecked.ok()) << unchecked.corruptCode;
}

TEST(Installer, BuilderRefusals) {
  Bytes slotInUse = fixture::MakeRuntime();
  slotInUse[fixture::kTableOffset + 5 * 40 + 3] = 1;
  Bytes signedRuntime = fixture::MakeRuntime();
  PutU32(signedRuntime, fixture::kPeOffset + kPeCertificateDirectory, 0x2000);
  Bytes pe32plus = fixture::MakeRuntime();
  StoreU16(&pe32plus[fixture::kPeOffset + kPeOptionalHeader], 0x20B);
  std::vector<fixture::Section> fifteen(15, {".s"});
  std::vector<fixture::Section> fourteen(14, {".s"});
  struct Case {
    const char* what;
    Bytes runtime;
    std::vector<FileRecord> files;
    SettingsStream settings;
    bool ok;
  } cases[] = {
      {"fourteen sections leave room", fixture::MakePe32(fourteen), {}, fixture::MakeSettings(), true},
      {"fifteen sections leave none", fixture::MakePe32(fifteen), {}, fixture::MakeSettings(), false},
      {"not an executable", Bytes(4096, 0), {}, fixture::MakeSettings(), false},
      {"PE32+", pe32plus, {}, fixture::MakeSettings(), false},
      {"already has a payload", fixture::MakePe32({{".text"}, {".setup"}, {".data"}, {".rsrc"}}), {},
       fixture::MakeSettings(), false},
      {"two sections", fixture::MakePe32({{".text"}, {".data"}}), {}, fixture::MakeSettings(), false},
      {"slot after the table in use", slotInUse, {}, fixture::MakeSettings(), false},
      {"signed runtime", signedRuntime, {}, fixture::MakeSettings(), false},
      {"file without a name", fixture::MakeRuntime(), {fixture::MakeFile("", {})}, fixture::MakeSettings(), false},
      {"file of kind 2", fixture::MakeRuntime(), {fixture::MakeFile("a", {}, 2)}, fixture::MakeSettings(), false},
      {"settings over a limit", fixture::MakeRuntime(), {}, Settings([](auto& s) { s.ProgressPause = 10000; }),
       false},
  };
  for (const Case& c : cases) {
    const BuildResult built = BuildInstaller(c.runtime, c.settings, c.files);
    EXPECT_EQ(built.ok(), c.ok) << c.what << ": " << built.error;
    if (!c.ok) EXPECT_TRUE(built.installer.empty()) << c.what;
    if (c.ok) EXPECT_TRUE(ReadInstaller(built.installer).ok()) << c.what;
  }
  EXPECT_NE(BuildInstaller(fixture::MakeRuntime(), Settings([](auto& s) { s.ProgressPause = 10000; }), {})
                .error.find("19"),
            std::string::npos);
}

TEST(Installer, ProgressReachesTheTotal) {
  BuildOptions options;
  uint64_t last = 0, total = 0;
  int calls = 0;
  options.progress = [&](uint64_t done, uint64_t all) {
    EXPECT_GT(done, last);
    last = done;
    total = all;
    ++calls;
  };
  Build(options);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(last, total);
  EXPECT_GT(total, 3000u);
}

}  // namespace
}  // namespace setup
