// The uninstaller file against the real file system and the system's
// resource update (under Wine). The program under test is a copy of this
// test program into which the suite first writes four icon images and an
// icon group of its own, so that every check knows what was there before.
// PendingFileRenameOperations is saved before each test and put back after.
#include "setup/integration/uninstaller_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/run/run_state.h"
#include "setup/files/pending_renames.h"
#include "setup/integration/icon_file.h"
#include "setup/payload/pe_image.h"
#include "setup/report/install_log_win.h"
#include "tl_core/file_win.h"
#include "test_files.h"
#include "test_pending_renames.h"

namespace setup {
namespace {

using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::TempFolder;
using test_files::WriteWholeFile;

using Bytes = std::vector<uint8_t>;

constexpr WORD kLanguage = 1033;
constexpr WORD kIconType = 3;
constexpr WORD kGroupType = 14;
constexpr int kOldIcons = 4;
constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }
constexpr char kOpenFailed[] = "Failed to open uninstaller for icon replacement.\r\n";
constexpr char kReplaceFailed[] = "Failed to replace uninstaller icon.\r\n";

std::string AsText(const Bytes& b) { return std::string(b.begin(), b.end()); }
Bytes AsBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string OldIcon(int n) { return "old icon image " + std::to_string(n); }
const std::string kOldGroup = "old group";

// An icon file of three images of different sizes; type 1 icon, 2 cursor.
Bytes IconFile(uint16_t type) {
  const std::vector<Bytes> images = {Bytes(40, 0x11), Bytes(7, 0x22), Bytes(300, 0x33)};
  Bytes b(6 + 16 * images.size());
  StoreU16(&b[2], type);
  StoreU16(&b[4], static_cast<uint16_t>(images.size()));
  for (size_t i = 0; i < images.size(); ++i) {
    uint8_t* e = &b[6 + 16 * i];
    e[0] = e[1] = static_cast<uint8_t>(16 * (i + 1));
    StoreU16(e + 4, 1);
    StoreU16(e + 6, 32);
    StoreU32(e + 8, static_cast<uint32_t>(images[i].size()));
    StoreU32(e + 12, static_cast<uint32_t>(b.size()));
    b.insert(b.end(), images[i].begin(), images[i].end());
  }
  return b;
}

// The icon resources of a program file as the loader finds them.
struct IconResources {
  std::optional<std::string> group;
  std::vector<std::optional<std::string>> icons;  // RT_ICON 1 .. kOldIcons + 1
  bool operator==(const IconResources&) const = default;
};

std::optional<std::string> ResourceOf(HMODULE module, WORD type, WORD number) {
  HRSRC found = ::FindResourceExA(module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(number), kLanguage);
  if (!found) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module, found);
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  if (!bytes) return std::nullopt;
  return std::string(bytes, ::SizeofResource(module, found));
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                static_cast<int>(wide.size()));
  wide.resize(n);
  return wide;
}

IconResources ReadIconResources(const std::wstring& program) {
  IconResources r;
  tl::ScopedModule module(::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  EXPECT_TRUE(module) << ::GetLastError();
  if (!module) return r;
  r.group = ResourceOf(module.Get(), kGroupType, 1);
  for (WORD n = 1; n <= kOldIcons + 1; ++n) r.icons.push_back(ResourceOf(module.Get(), kIconType, n));
  return r;
}

IconResources ReadIconResources(const std::string& program) {
  return ReadIconResources(std::wstring(program.begin(), program.end()));  // the tests' ANSI paths are ASCII
}

// What a program holds after the three-image icon file replaced its icon.
IconResources ReplacedBy(const Bytes& iconFile) {
  const IconFileRead read = ReadIconFile(iconFile);
  EXPECT_TRUE(read.ok());
  IconResources r;
  r.group = AsText(IconGroupResource(read.images));
  for (const IconImage& image : read.images) r.icons.push_back(std::string(image.data.begin(), image.data.end()));
  r.icons.push_back(OldIcon(4));  // numbered above the new ones: stays
  r.icons.push_back(std::nullopt);
  return r;
}

IconResources Seeded() {
  IconResources r;
  r.group = kOldGroup;
  for (int n = 1; n <= kOldIcons; ++n) r.icons.push_back(OldIcon(n));
  r.icons.push_back(std::nullopt);
  return r;
}

using test_pending_renames::ReadPendingRaw;
using test_pending_renames::WritePendingRaw;

std::string LongPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD n = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? path : std::string(buffer, n);
}

bool SamePath(const std::string& a, const std::string& b) {
  return ::lstrcmpiA(LongPath(a).c_str(), LongPath(b).c_str()) == 0;
}

// The source of the pending move onto `target`, stripped; empty when none.
std::string PendingSourceFor(const std::string& target) {
  std::optional<std::wstring> raw = ReadPendingRaw();
  if (!raw) return "";
  std::vector<std::string> list;
  for (const std::wstring& entry : SplitMultiString<wchar_t>(*raw)) list.emplace_back(entry.begin(), entry.end());
  for (size_t i = 0; i + 1 < list.size(); i += 2)
    if (!list[i + 1].empty() && SamePath(StripRenamePrefix(list[i + 1]), target)) return StripRenamePrefix(list[i]);
  return "";
}

std::vector<std::string> TltFiles(const std::string& folder) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA entry;
  HANDLE find = ::FindFirstFileA((folder + "\\TLT*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return found;
  do found.push_back(folder + "\\" + entry.cFileName);
  while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  return found;
}

void AddResource(HANDLE update, WORD type, WORD number, const std::string& bytes) {
  ASSERT_TRUE(::UpdateResourceA(update, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(number), kLanguage,
                                const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size())))
      << ::GetLastError();
}

class UninstallerFileTest : public ::testing::Test {
 protected:
  UninstallerFileTest() : run_(product_, {}) {}
  // A copy of this program with icons 1 to 4 and group 1 of the suite's own.
  static void SetUpTestSuite() {
    char self[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    const std::string seeded = TempFolder() + "orv_unins_seed_" + std::to_string(::GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(::CopyFileA(self, seeded.c_str(), FALSE)) << ::GetLastError();
    HANDLE update = ::BeginUpdateResourceA(seeded.c_str(), FALSE);
    ASSERT_NE(update, nullptr) << "BeginUpdateResourceA on a 32-bit program: " << ::GetLastError();
    for (int n = 1; n <= kOldIcons; ++n) AddResource(update, kIconType, static_cast<WORD>(n), OldIcon(n));
    AddResource(update, kGroupType, 1, kOldGroup);
    ASSERT_TRUE(::EndUpdateResourceA(update, FALSE)) << ::GetLastError();
    ASSERT_EQ(ReadIconResources(seeded), Seeded());
    seededProgram_ = new std::string(ReadWholeFile(seeded));
    ::DeleteFileA(seeded.c_str());
  }
  static void TearDownTestSuite() {
    delete seededProgram_;
    seededProgram_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(seededProgram_, nullptr);
    savedPending_ = ReadPendingRaw();
    folder_ = LongPath(TempFolder()) + "orv_unins_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    target_ = folder_ + "\\Uninstall.exe";
    run_.automaticMode = true;
    run_.folders.uninstallDataFolder = folder_;
    product_.stream.UninstallerFileName = "Uninstall.exe";
    product_.stream.ProductFlags = Bit(2) | Bit(6);  // an uninstaller; "Install.LOG" written
    product_.stream.ProductFlags2 = static_cast<uint32_t>(Bit(5));
    product_.stream.UninstallerFileRecord = StampRecord({2020, 2, 29, 13, 14, 15});
    run_.uninstaller.image = AsBytes(*seededProgram_);
    ASSERT_TRUE(OpenInstallLog());
  }

  void TearDown() override {
    DiscardTemporaryLog();
    if (lock_ != INVALID_HANDLE_VALUE) ::CloseHandle(lock_);
    WritePendingRaw(savedPending_);
    test_files::RemoveTree(folder_);
  }

  static Bytes StampRecord(const std::vector<int32_t>& fields) {
    Bytes record(24);
    for (size_t i = 0; i < fields.size(); ++i) StoreU32(&record[4 * i], static_cast<uint32_t>(fields[i]));
    return record;
  }

  // Held open without sharing, as a running uninstaller is.
  void LockTarget(const std::string& bytes) {
    WriteWholeFile(target_, bytes);
    lock_ = ::CreateFileA(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock_, INVALID_HANDLE_VALUE);
  }
  void Unlock() {
    ::CloseHandle(lock_);
    lock_ = INVALID_HANDLE_VALUE;
  }

  // The run's InstallLog as "Install.LOG" holds it; the log is closed then.
  std::string FinishedLog() {
    WriteInstallLog(run_, false, true);
    std::string log = ReadWholeFile(folder_ + "\\Install.LOG");
    EXPECT_NE(log, "<missing>");
    ::DeleteFileA((folder_ + "\\Install.LOG").c_str());
    return log;
  }

  static std::string* seededProgram_;
  ProductSettings product_;
  RunState run_;
  std::optional<std::wstring> savedPending_;
  std::string folder_;
  std::string target_;
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

std::string* UninstallerFileTest::seededProgram_ = nullptr;

TEST_F(UninstallerFileTest, UninstallerPathJoinsFolderAndFileName) {
  EXPECT_EQ(RunUninstallerPath(run_), target_);
  run_.folders.uninstallDataFolder = folder_ + "\\";
  EXPECT_EQ(RunUninstallerPath(run_), target_);
}

TEST_F(UninstallerFileTest, ReplaceIconWritesImagesAndGroupAndKeepsHigherIcons) {
  for (uint16_t type : {1, 2}) {
    SCOPED_TRACE(type == 1 ? "icon file" : "cursor file");
    WriteWholeFile(target_, *seededProgram_);
    const Bytes icon = IconFile(type);
    ScopedResourceUpdate update = BeginResourceUpdate(target_);
    ASSERT_TRUE(update) << ::GetLastError();
    ASSERT_TRUE(ReplaceIcon(update.Get(), icon));
    ASSERT_TRUE(CommitResourceUpdate(update)) << ::GetLastError();
    EXPECT_FALSE(update);
    EXPECT_EQ(ReadIconResources(target_), ReplacedBy(icon));
  }
}

TEST_F(UninstallerFileTest, UpdateLetGoOrRefusedChangesNothing) {
  WriteWholeFile(target_, *seededProgram_);
  Bytes malformed = IconFile(1);
  StoreU32(&malformed[6 + 2 * 16 + 8], 301);  // the last image runs one byte past the end
  const struct {
    Bytes icon;
    bool replaced;
  } cases[] = {{malformed, false}, {IconFile(1), true}};
  for (const auto& c : cases) {
    {
      ScopedResourceUpdate update = BeginResourceUpdate(target_);
      ASSERT_TRUE(update);
      EXPECT_EQ(ReplaceIcon(update.Get(), c.icon), c.replaced);
    }  // let go without a commit: discarded
    EXPECT_EQ(ReadWholeFile(target_), *seededProgram_);
  }
}

TEST_F(UninstallerFileTest, ImageWrittenWithOrWithoutTheProductIcon) {
  struct Case {
    const char* name;
    Bytes icon;
    std::string image;  // empty: the seeded program
    const char* logged;  // the one icon line expected, or nullptr
    bool iconReplaced;
  };
  Bytes malformed = IconFile(1);
  StoreU16(&malformed[2], 3);
  const Case cases[] = {
      {"empty icon", {}, "", nullptr, false},
      {"three-image icon", IconFile(1), "", nullptr, true},
      {"malformed icon", malformed, "", kReplaceFailed, false},
      {"image that is no program", IconFile(1), "MZ but nothing else", kOpenFailed, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(OpenInstallLog());
    product_.stream.UninstallerIcon = c.icon;
    const std::string image = c.image.empty() ? *seededProgram_ : c.image;
    run_.uninstaller.image = AsBytes(image);
    ::DeleteFileA(target_.c_str());

    WriteUninstaller(run_);

    EXPECT_EQ(run_.failures.text(), "");
    EXPECT_FALSE(run_.restartRequired);
    if (c.iconReplaced) {
      EXPECT_EQ(ReadIconResources(target_), ReplacedBy(c.icon));
    } else {
      EXPECT_EQ(ReadWholeFile(target_), image);
    }
    const std::string log = FinishedLog();
    for (const char* line : {kOpenFailed, kReplaceFailed}) {
      if (c.logged == line) EXPECT_NE(log.find(line), std::string::npos) << log;
      else EXPECT_EQ(log.find(line), std::string::npos) << log;
    }
  }
}

TEST_F(UninstallerFileTest, ImageReplacesAnOlderUninstallerWithTheRecordStamp) {
  WriteWholeFile(target_, "an older uninstaller");
  WriteUninstaller(run_);
  EXPECT_EQ(ReadWholeFile(target_), *seededProgram_);
  EXPECT_EQ(run_.failures.text(), "");
  WIN32_FILE_ATTRIBUTE_DATA facts;
  ASSERT_TRUE(::GetFileAttributesExA(target_.c_str(), GetFileExInfoStandard, &facts));
  SYSTEMTIME time;
  ASSERT_TRUE(::FileTimeToSystemTime(&facts.ftLastWriteTime, &time));
  EXPECT_EQ(std::vector<int>({time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}),
            std::vector<int>({2020, 2, 29, 13, 14, 15}));
}

TEST_F(UninstallerFileTest, UnicodeFolderGoesThroughTheWideCalls) {
  const std::string folder = LongPath(TempFolder()) + "orv_unins_\xCE\xA9_" + std::to_string(::GetCurrentProcessId());
  const std::wstring wideFolder = Utf8ToWide(folder);
  const std::wstring wideTarget = wideFolder + L"\\Uninstall.exe";
  ASSERT_TRUE(::CreateDirectoryW(wideFolder.c_str(), nullptr));
  run_.folders.uninstallDataFolder = "|" + folder;
  product_.stream.UninstallerIcon = IconFile(1);

  WriteUninstaller(run_);

  EXPECT_EQ(run_.failures.text(), "");
  EXPECT_EQ(ReadIconResources(wideTarget), ReplacedBy(IconFile(1)));
  ::DeleteFileW(wideTarget.c_str());
  ::RemoveDirectoryW(wideFolder.c_str());
  run_.folders.uninstallDataFolder = folder_;  // "Install.LOG" where FinishedLog reads it
  const std::string log = FinishedLog();
  EXPECT_EQ(log.find("icon"), std::string::npos) << log;
}

TEST_F(UninstallerFileTest, NothingWithoutAnUninstaller) {
  product_.stream.ProductFlags = 0;
  product_.stream.UninstallerIcon = IconFile(1);
  for (uint32_t flags2 : {0u, static_cast<uint32_t>(Bit(5))}) {
    product_.stream.ProductFlags2 = flags2;
    WriteUninstaller(run_);
    EXPECT_FALSE(Exists(target_));
  }
}

TEST_F(UninstallerFileTest, LockedImageIsReplacedAtRestartWithoutTheIcon) {
  product_.stream.UninstallerIcon = IconFile(1);
  LockTarget("the running uninstaller");

  WriteUninstaller(run_);

  EXPECT_EQ(run_.failures.text(), "");
  EXPECT_TRUE(run_.restartRequired);
  const std::string parked = PendingSourceFor(target_);
  ASSERT_FALSE(parked.empty()) << "no pending move onto " << target_;
  EXPECT_EQ(ReadWholeFile(parked), *seededProgram_);  // the image as it came: no icon put in
  Unlock();
  EXPECT_EQ(ReadWholeFile(target_), "the running uninstaller");
  const std::string log = FinishedLog();
  EXPECT_NE(log.find("\"" + target_ + "\" was successfully registered for replacement."), std::string::npos) << log;
  EXPECT_EQ(log.find("icon"), std::string::npos) << log;
}

TEST_F(UninstallerFileTest, PlainCopyOfTheRunningProgram) {
  product_.stream.ProductFlags2 = 0;
  run_.uninstaller.image.clear();
  run_.process.installSource = folder_ + "\\setup.exe";
  WriteWholeFile(run_.process.installSource, "the running installer");
  WriteWholeFile(target_, "an older uninstaller");

  WriteUninstaller(run_);

  EXPECT_EQ(ReadWholeFile(target_), "the running installer");
  EXPECT_EQ(run_.failures.text(), "");
  EXPECT_FALSE(run_.restartRequired);
  EXPECT_TRUE(TltFiles(folder_).empty());
}

TEST_F(UninstallerFileTest, LockedPlainCopyIsParkedAndMovedAtRestart) {
  product_.stream.ProductFlags2 = 0;
  run_.process.installSource = folder_ + "\\setup.exe";
  WriteWholeFile(run_.process.installSource, "the running installer");
  LockTarget("the running uninstaller");

  WriteUninstaller(run_);

  EXPECT_EQ(run_.failures.text(), "");
  EXPECT_TRUE(run_.restartRequired);
  const std::vector<std::string> parked = TltFiles(folder_);
  ASSERT_EQ(parked.size(), 1u);
  EXPECT_EQ(ReadWholeFile(parked[0]), "the running installer");
  EXPECT_TRUE(SamePath(PendingSourceFor(target_), parked[0]));
  const std::string expected = "\"" + target_ + "\" was successfully registered for replacement.\r\nTemporary file is \"" +
                               parked[0] + "\"\r\nReboot will be required.\r\n\r\n";
  const std::string log = FinishedLog();
  EXPECT_NE(log.find(expected), std::string::npos) << log;
}

TEST_F(UninstallerFileTest, PlainCopyWithoutItsSourceLeavesNoTemporaryFile) {
  product_.stream.ProductFlags2 = 0;
  run_.process.installSource = folder_ + "\\absent setup.exe";
  const std::optional<std::wstring> pendingBefore = ReadPendingRaw();

  WriteUninstaller(run_);

  EXPECT_EQ(run_.failures.text(), "Failed to register '" + target_ +
                                  "' for replacement because no temporary file could be created.\r\n" +
                                  tl::SystemErrorText(ERROR_FILE_NOT_FOUND) + "\r\n\r\n");
  EXPECT_TRUE(TltFiles(folder_).empty());
  EXPECT_FALSE(Exists(target_));
  EXPECT_FALSE(run_.restartRequired);
  EXPECT_EQ(ReadPendingRaw(), pendingBefore);
}

}  // namespace
}  // namespace setup
