#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <string>
#include <vector>

#include "tl_core/fatal.h"
#include "tl_core/file_win.h"
#include "tl_core/wide_text_win.h"
#include "test_files.h"

namespace tl {
namespace {

const std::string kDigits = "0123456789";

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1];
  DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  std::wstring folder(buffer, n);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  ScopedFileHandle h(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(h.IsValid()) << ::GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(h.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

using test_files::RemoveTree;

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }
std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
  return true;
}

// A drive letter that the prefix does not have, as "X:".
std::string MissingDrive() {
  DWORD drives = ::GetLogicalDrives();
  for (int i = 12; i < 26; ++i)
    if ((drives & (1u << i)) == 0) return std::string(1, static_cast<char>('A' + i)) + ":";
  return {};
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now;
}

// Each test works in its own folder below the temporary folder.
class FileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string testName = testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : testName)
      if (c == '/') c = '_';  // parameterized tests name their instance after a slash
    folder_ =
        TempFolder() + L"orv_file_test_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + ToWide(testName);
    ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr)) << ::GetLastError();
    digits_ = Path(L"digits.bin");
    WriteWholeFile(digits_, kDigits);
  }
  void TearDown() override { RemoveTree(folder_); }

  std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
  std::string NarrowPath(const std::wstring& name) const { return FromWide(Path(name)); }

  std::wstring folder_;
  std::wstring digits_;
};

TEST_F(FileTest, OpenReportsTheLibraryCodes) {
  std::string missingDrive = MissingDrive();
  ASSERT_FALSE(missingDrive.empty());
  ASSERT_TRUE(::CreateDirectoryW(Path(L"sub").c_str(), nullptr));
  const struct {
    std::string name;
    uint32_t flags;
    int expected;
  } cases[] = {
      {NarrowPath(L"digits.bin"), kOpenExisting, kFileOk},
      {NarrowPath(L"missing.bin"), kOpenExisting, kFileNotFound},
      {NarrowPath(L"missing.bin"), kOpenExisting | kNoWriteAccess, kFileNotFound},
      {NarrowPath(L"no folder\\missing.bin"), kOpenExisting, kFileDirectoryMissing},
      {NarrowPath(L"no folder\\new.bin"), kCreateOrTruncate, kFileDirectoryMissing},
      {missingDrive + "\\missing.bin", kOpenExisting, kFileNoSuchDrive},
      {missingDrive + "\\folder\\new.bin", kCreateOrTruncate, kFileNoSuchDrive},
      {NarrowPath(L"digits.bin"), kCreateNew, kFileExists},
      // A folder is not a file, and it is not read-only either.
      {NarrowPath(L"sub"), kOpenExisting, kFileAccessDenied},
      {"", kOpenExisting, kFileInvalidName},
      {"|", kOpenExisting, kFileInvalidName},
  };
  for (const auto& c : cases) {
    File file;
    int code = file.Open(c.name, c.flags);
    EXPECT_EQ(code, c.expected) << c.name << " flags " << c.flags;
    EXPECT_EQ(file.IsOpen(), c.expected == kFileOk) << c.name;
    if (c.expected != kFileOk) EXPECT_EQ(file.lastErrorText(), FileErrorText(c.expected)) << c.name;
  }
}

TEST_F(FileTest, FailedOpenLeavesTheSystemsLastError) {
  std::string missingDrive = MissingDrive();
  for (const std::string& name : {NarrowPath(L"no folder\\x.bin"), missingDrive + "\\x.bin"}) {
    ::CreateFileW(ToWide(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD systemError = ::GetLastError();
    ::SetLastError(0);
    File file;
    EXPECT_NE(file.Open(name, kOpenExisting), kFileOk);
    EXPECT_EQ(::GetLastError(), systemError) << name;
  }
}

TEST_F(FileTest, EmptyNameMakesNoSystemCall) {
  File file;
  ::SetLastError(1234);
  EXPECT_EQ(file.Open("", kOpenExisting), kFileInvalidName);
  EXPECT_EQ(::GetLastError(), 1234u);
}

// Wine leaves the read-only attribute to the Unix permissions, which do not
// stop root; there the system itself opens such a file for writing.
bool SystemRefusesWriting(const std::wstring& path) {
  ScopedFileHandle probe(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
  return !probe.IsValid();
}

TEST_F(FileTest, ReadOnlyFileRefusesWritingOnly) {
  ASSERT_TRUE(::SetFileAttributesW(digits_.c_str(), FILE_ATTRIBUTE_READONLY));
  std::string name = FromWide(digits_);
  for (uint32_t flags : {kOpenExisting | kNoWriteAccess, kOpenExisting | kNoWriteAccess | kShareRead}) {
    File reader;
    ASSERT_EQ(reader.Open(name, flags), kFileOk) << "flags " << flags;
    EXPECT_EQ(reader.Length(), 10);
  }
  if (!SystemRefusesWriting(digits_)) {
    // Nothing is refused here (GTEST_SKIP crashes under this Wine): the
    // object must then open the file just as the system does.
    File writer;
    EXPECT_EQ(writer.Open(name, kOpenExisting), kFileOk);
    std::printf("note: this system opens read-only files for writing; code 13 not reached\n");
    return;
  }
  for (uint32_t flags :
       {uint32_t{kOpenExisting}, kOpenExisting | kNoReadAccess, uint32_t{kCreateOrTruncate}}) {
    File writer;
    EXPECT_EQ(writer.Open(name, flags), kFileReadOnly) << "flags " << flags;
    EXPECT_EQ(writer.lastErrorText(), "The file's Read-Only attribute is set.");
  }
}

// The facts that turn "access denied" into 13 and "path not found" into 21.
TEST_F(FileTest, FailureFactsComeFromTheFileSystem) {
  std::wstring readOnly = Path(L"read-only.bin");
  WriteWholeFile(readOnly, "x");
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  std::wstring missingDrive = ToWide(MissingDrive()) + L"\\x.bin";
  const struct {
    std::wstring path;
    bool readOnly, driveMissing;
  } cases[] = {
      {readOnly, true, false},     {digits_, false, false}, {Path(L"missing.bin"), false, false},
      {missingDrive, false, true}, {L"C:\\", false, false},
  };
  for (const auto& c : cases) {
    ::SetLastError(4321);
    OpenFailureFacts facts = ReadOpenFailureFacts(c.path, true);
    EXPECT_EQ(::GetLastError(), 4321u);
    EXPECT_TRUE(facts.writeRequested);
    EXPECT_EQ(facts.fileIsReadOnly, c.readOnly) << FromWide(c.path);
    EXPECT_EQ(facts.driveLetterMissing, c.driveMissing) << FromWide(c.path);
  }
}

TEST_F(FileTest, SharingViolationIsRetriedForAboutHalfASecond) {
  ScopedFileHandle holder(
      ::CreateFileW(digits_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder.IsValid());
  std::string name = FromWide(digits_);

  File file;
  LARGE_INTEGER start = Now();
  EXPECT_EQ(file.Open(name, kOpenExisting | kNoWriteAccess), kFileLocked);
  // Five pauses of 100 ms between six tries.
  EXPECT_GE(MillisecondsSince(start), 400.0);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(file.lastErrorText(), "The file is locked by another application.");

  EXPECT_EQ(file.Open(name, kOpenExisting | kNoWriteAccess | kNoSharingRetry), kFileLocked);

  holder.Reset();
  EXPECT_EQ(file.Open(name, kOpenExisting | kNoWriteAccess | kNoSharingRetry), kFileOk);
}

TEST_F(FileTest, SharingFlagsLetOthersIn) {
  std::string name = FromWide(digits_);
  const struct {
    uint32_t flags;
    DWORD otherAccess;
    bool otherGetsIn;
  } cases[] = {
      {kOpenExisting | kNoWriteAccess, GENERIC_READ, false},
      {kOpenExisting | kShareRead, GENERIC_READ, true},
      {kOpenExisting | kShareRead, GENERIC_WRITE, false},
      // Not writing and letting others read: others may write as well.
      {kOpenExisting | kNoWriteAccess | kShareRead, GENERIC_WRITE, true},
      {kOpenExisting | kShareWrite, GENERIC_READ, false},
      // Not reading and letting others write: others may read as well.
      {kOpenExisting | kNoReadAccess | kShareWrite, GENERIC_READ, true},
  };
  for (const auto& c : cases) {
    File file;
    ASSERT_EQ(file.Open(name, c.flags), kFileOk);
    ScopedFileHandle other(::CreateFileW(digits_.c_str(), c.otherAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(other.IsValid(), c.otherGetsIn) << "flags " << c.flags << " other access " << c.otherAccess;
  }
}

TEST_F(FileTest, RetryAfterPauseTriesOnceMore) {
  File file;
  LARGE_INTEGER start = Now();
  EXPECT_EQ(file.Open(NarrowPath(L"missing.bin"), kOpenExisting | kRetryAfterPause), kFileNotFound);
  EXPECT_GE(MillisecondsSince(start), 140.0);
}

TEST_F(FileTest, RequiredFileEndsTheRun) {
  struct FatalStop {};
  static std::string shown;
  shown.clear();
  ResetFatalStateForTesting();
  SetFatalCallback([](const char* text) { shown = text; });
  SetProcessExit([](int) { throw FatalStop{}; });
  std::string name = NarrowPath(L"missing.bin");

  File file;
  EXPECT_THROW(file.Open(name, kOpenExisting | kRequiredFile), FatalStop);
  ResetFatalStateForTesting();
  EXPECT_EQ(shown, "Failed to open required file:\r\n" + name + "\r\n\r\nThe file was not found.");
}

TEST_F(FileTest, MemoryModeReadsTheCopy) {
  File file;
  ASSERT_EQ(file.Open(FromWide(digits_), kOpenExisting | kNoWriteAccess | kShareRead | kLoadIntoMemory),
            kFileOk);
  EXPECT_TRUE(file.inMemory());
  // Others may change the file now; the object keeps reading its copy.
  {
    ScopedFileHandle other(::CreateFileW(digits_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other.IsValid());
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(other.Get(), "ABCDEFGHIJKLMNOP", 16, &written, nullptr));
  }
  EXPECT_EQ(file.Length(), 10);
  EXPECT_EQ(file.Position(), 0);
  char bytes[4] = {};
  ASSERT_TRUE(file.Read(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "0123");
  EXPECT_EQ(file.Position(), 4);
  ASSERT_TRUE(file.Seek(8));
  EXPECT_FALSE(file.Read(bytes, 3));
  EXPECT_FALSE(file.Write("x", 1));
}

TEST_F(FileTest, MemoryModeFailsWithoutReadAccess) {
  File file;
  EXPECT_EQ(file.Open(FromWide(digits_), kOpenExisting | kNoReadAccess | kLoadIntoMemory),
            kFileMemoryReadFailed);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.inMemory());
  EXPECT_EQ(file.Length(), -1);
}

// The reading operations behave the same on the handle and on the copy.
class FileReadTest : public FileTest, public testing::WithParamInterface<uint32_t> {
 protected:
  void OpenDigits(File& file, uint32_t extra = 0) {
    ASSERT_EQ(file.Open(FromWide(digits_), kOpenExisting | kNoWriteAccess | GetParam() | extra), kFileOk);
    ASSERT_EQ(file.inMemory(), (GetParam() & kLoadIntoMemory) != 0);
  }
};

TEST_P(FileReadTest, SeekToEndStartsAtTheEnd) {
  File file;
  OpenDigits(file, kSeekToEnd);
  EXPECT_EQ(file.Position(), 10);
  EXPECT_EQ(file.Length(), 10);
}

TEST_P(FileReadTest, ReadAtRestoresThePosition) {
  File file;
  OpenDigits(file);
  ASSERT_TRUE(file.Seek(3));
  char bytes[4] = {};
  ASSERT_TRUE(file.ReadAt(bytes, 4, 6));
  EXPECT_EQ(std::string(bytes, 4), "6789");
  EXPECT_EQ(file.Position(), 3);

  EXPECT_FALSE(file.ReadAt(bytes, 4, 7));  // one byte beyond the end
  EXPECT_EQ(file.Position(), 3);
  EXPECT_TRUE(file.ReadAt(nullptr, 0, 100));
  EXPECT_FALSE(file.ReadAt(bytes, -1, 0));
  EXPECT_FALSE(file.ReadAt(bytes, 1, -1));
  EXPECT_EQ(file.Position(), 3);
  ASSERT_TRUE(file.Read(bytes, 2));
  EXPECT_EQ(std::string(bytes, 2), "34");
}

TEST_P(FileReadTest, ReadRangeChecksTheBounds) {
  File file;
  OpenDigits(file);
  std::vector<uint8_t> buffer(3, 0xAA);
  ASSERT_TRUE(file.ReadRange(buffer, 7, 3));
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "789");
  ASSERT_TRUE(file.ReadRange(buffer, 10, 0));
  EXPECT_TRUE(buffer.empty());

  const struct { int64_t offset, length; } outside[] = {{8, 3}, {-1, 1}, {0, -1}, {11, 0}, {1, INT64_MAX}};
  for (const auto& c : outside) {
    buffer.assign(5, 0xAA);
    EXPECT_FALSE(file.ReadRange(buffer, c.offset, c.length)) << c.offset << "+" << c.length;
    EXPECT_TRUE(buffer.empty()) << c.offset << "+" << c.length;
  }
}

INSTANTIATE_TEST_SUITE_P(HandleAndCopy, FileReadTest, testing::Values(0u, kLoadIntoMemory),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                           return info.param ? std::string("InMemory") : std::string("OnDisk");
                         });

TEST(FileClosed, ReportsNothingOpen) {
  File file;
  char byte;
  std::vector<uint8_t> buffer(2);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Length(), -1);
  EXPECT_EQ(file.Position(), -1);
  EXPECT_FALSE(file.Read(&byte, 1));
  EXPECT_FALSE(file.Seek(0));
  EXPECT_FALSE(file.ReadRange(buffer, 0, 0));
  EXPECT_TRUE(buffer.empty());
}

TEST_F(FileTest, WriteThenReadBack) {
  File file;
  ASSERT_EQ(file.Open(NarrowPath(L"new.bin"), kCreateOrTruncate, FILE_ATTRIBUTE_HIDDEN), kFileOk);
  ASSERT_TRUE(file.Write("hello world", 11));
  EXPECT_EQ(file.Length(), 11);
  EXPECT_EQ(file.Position(), 11);
  char bytes[5] = {};
  ASSERT_TRUE(file.ReadAt(bytes, 5, 6));
  EXPECT_EQ(std::string(bytes, 5), "world");
  EXPECT_FALSE(file.Write("x", -1));
  EXPECT_TRUE(::GetFileAttributesW(Path(L"new.bin").c_str()) & FILE_ATTRIBUTE_HIDDEN);

  // Create-or-truncate empties an existing file; open-or-create keeps it.
  ASSERT_EQ(file.Open(NarrowPath(L"new.bin"), kOpenOrCreate), kFileOk);
  EXPECT_EQ(file.Length(), 11);
  ASSERT_EQ(file.Open(NarrowPath(L"new.bin"), kCreateOrTruncate), kFileOk);
  EXPECT_EQ(file.Length(), 0);
}

TEST_F(FileTest, OpeningAgainClosesTheFirstHandle) {
  File file;
  ASSERT_EQ(file.Open(FromWide(digits_), kOpenExisting), kFileOk);
  ASSERT_EQ(file.Open(NarrowPath(L"other.bin"), kCreateNew), kFileOk);
  ScopedFileHandle exclusive(
      ::CreateFileW(digits_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(exclusive.IsValid());
}

TEST_F(FileTest, Utf8NameReachesTheWideCall) {
  // "Ж文ü": Cyrillic, Chinese and Latin; no single ANSI code page holds all three.
  const std::wstring wideFileName = L"\x0416\x6587\x00FC.txt";
  const std::string utf8FileName = "\xD0\x96\xE6\x96\x87\xC3\xBC.txt";
  const std::wstring expected = Path(wideFileName);
  const std::string name = "|" + FromWide(folder_) + "\\" + utf8FileName;

  File file;
  ASSERT_EQ(file.Open(name, kCreateNew), kFileOk);
  EXPECT_EQ(file.wideName(), expected);
  EXPECT_EQ(file.name(), name);
  file.Close();
  EXPECT_TRUE(Exists(expected));

  // The same file through the wide forms.
  std::string wideBytes(reinterpret_cast<const char*>(expected.data()), expected.size() * sizeof(wchar_t));
  EXPECT_EQ(file.Open(wideBytes, kOpenExisting | kWideName), kFileOk);
  EXPECT_EQ(file.wideName(), expected);
  EXPECT_EQ(file.OpenWide(expected, kOpenExisting), kFileOk);
  EXPECT_EQ(file.name().front(), '|');
}

TEST_F(FileTest, NewTemporaryNameIsUniqueInTheTemporaryFolder) {
  File first, second;
  ASSERT_EQ(first.Open("", kNewTemporaryName | kCreateOrTruncate), kFileOk);
  ASSERT_EQ(second.Open("", kNewTemporaryName | kCreateOrTruncate), kFileOk);
  for (const File* f : {&first, &second}) {
    EXPECT_EQ(FolderOf(f->wideName()), TempFolder());
    EXPECT_TRUE(StartsWithNoCase(FileNameOf(f->wideName()), L"TLT")) << f->name();
    EXPECT_TRUE(Exists(f->wideName()));
    EXPECT_EQ(ToWide(f->name()), f->wideName());
  }
  EXPECT_NE(first.wideName(), second.wideName());
  std::wstring firstName = first.wideName(), secondName = second.wideName();
  first.Close();
  second.Close();
  ::DeleteFileW(firstName.c_str());
  ::DeleteFileW(secondName.c_str());
}

TEST_F(FileTest, TemporaryNameFromNameStaysInItsFolder) {
  std::wstring target = Path(L"target.dll");
  File file;
  ASSERT_EQ(file.Open(FromWide(target), kTemporaryNameFromName | kCreateOrTruncate), kFileOk);
  EXPECT_EQ(FolderOf(file.wideName()), folder_ + L"\\");
  EXPECT_TRUE(StartsWithNoCase(FileNameOf(file.wideName()), L"TLT")) << file.name();
  EXPECT_TRUE(Exists(file.wideName()));
  EXPECT_FALSE(Exists(target));
}

TEST_F(FileTest, NameInTemporaryFolder) {
  std::wstring leaf = L"orv_file_test_" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
  File file;
  ASSERT_EQ(file.Open(FromWide(leaf), kNameInTemporaryFolder | kCreateNew), kFileOk);
  EXPECT_EQ(file.wideName(), TempFolder() + leaf);
  EXPECT_TRUE(Exists(TempFolder() + leaf));
  file.Close();
  ::DeleteFileW((TempFolder() + leaf).c_str());
}

TEST_F(FileTest, NameGenerationFailures) {
  File file;
  // The generated file exists already, so creating it anew fails; nothing is left behind.
  EXPECT_EQ(file.Open("", kNewTemporaryName | kCreateNew), kFileExists);
  EXPECT_TRUE(StartsWithNoCase(FileNameOf(file.wideName()), L"TLT"));
  EXPECT_FALSE(Exists(file.wideName()));

  EXPECT_EQ(file.Open(NarrowPath(L"no folder\\target.dll"), kTemporaryNameFromName | kCreateOrTruncate),
            kFileDirectoryMissing);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Open("", kNameInTemporaryFolder | kCreateNew), kFileInvalidName);
  EXPECT_EQ(file.Open(NarrowPath(L"x.bin"), 0x80000000u | kCreateNew), kFileInvalidParameter);
  EXPECT_FALSE(Exists(Path(L"x.bin")));
}

TEST(SystemErrorText, GivesTheSystemTextWithoutLineEnds) {
  for (uint32_t code : {ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}) {
    std::string text = SystemErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_NE(text.back(), '\n') << code;
    EXPECT_NE(text.back(), '\r') << code;
  }
}

}  // namespace
}  // namespace tl
