// Whole builds on the real runtime: the installer reads back as the project
// describes it, byte for byte the same on every build, and a failed build
// leaves nothing behind. The command line is driven as an author uses it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ineffective_keys.h"
#include "installer_build.h"
#include "installer_report.h"
#include "project.h"
#include "setup/payload/archive.h"
#include "setup/payload/installer_reader.h"

namespace pack {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteText(const fs::path& file, const std::string& text) { WriteBytes(file, Bytes(text.begin(), text.end())); }

void SetStamp(const fs::path& file, int year, unsigned month, unsigned day, int hour, int minute, int second) {
  using namespace std::chrono;
  sys_seconds when = sys_days(std::chrono::year(year) / month / day) + hours(hour) + minutes(minute) + seconds(second);
  fs::last_write_time(file, file_clock::from_sys(when));
}

// Bytes that do not pack to nothing: a simple generator, the same every run.
Bytes Noise(size_t size, uint32_t seed) {
  Bytes bytes(size);
  for (uint8_t& b : bytes) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

struct CommandResult {
  int status = -1;
  std::string output;
};

// The tool's stdout and, unless `errors` sends it elsewhere, its stderr.
CommandResult RunTool(const std::string& arguments, const char* errors = "2>&1") {
  CommandResult result;
  FILE* pipe = popen((std::string(ORV_PACK_TOOL) + " " + arguments + " " + errors).c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class BuildFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::is_regular_file(ORV_PACK_RUNTIME)) << "the runtime is built by the cross build: " << ORV_PACK_RUNTIME;
    dir_ = fs::path(::testing::TempDir()) /
           ("pack-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // A product with files of several kinds: a pattern over a folder tree, a
  // name outside ASCII, an empty file and one large enough for two chunks.
  void WriteProduct() {
    files_ = {
        {"bin/demo.exe", Noise(3000, 1)},
        {"docs/readme.txt", Bytes{'r', 'e', 'a', 'd', '\r', '\n'}},
        {"docs/guide/intro.txt", Bytes{'i', 'n', 't', 'r', 'o'}},
        {"docs/empty.txt", {}},
        {"docs/\xC3\xA9t\xC3\xA9.txt", Bytes{'e'}},
        {"lib/shared.dll", Noise(700, 2)},
        {"data/big.bin", Noise(setup::kChunkPieceSize + 300000, 3)},
    };
    for (const auto& [path, bytes] : files_) {
      WriteBytes(dir_ / path, bytes);
      SetStamp(dir_ / path, 2021, 3, 4, 5, 6, 7);
    }
    WriteText(dir_ / "license.txt", "Use it well.\r\n");
    WriteText(dir_ / "project.toml",
              "languages = ['English', 'Deutsch']\n"
              "[product]\nname = 'Demo'\nversion = '1.2'\npublisher = 'Orvanta Samples'\n"
              "[wizard]\nlicense = 'license.txt'\n"
              "[[files]]\nsource = 'bin/demo.exe'\nstart-menu-shortcut = true\n"
              "[[files]]\nsource = 'docs/**'\ninto = 'Docs'\n"
              "[[files]]\nsource = 'lib/*.dll'\nkind = 'shared'\nreplace = 'not-over-newer'\n"
              "[[files]]\nsource = 'data/big.bin'\n"
              "[strings.Deutsch]\n48 = '&Weiter >'\n");
  }

  fs::path dir_;
  std::map<std::string, Bytes> files_;
};

TEST_F(BuildFixture, TwoBuildsAreByteIdentical) {
  WriteProduct();
  auto first = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "one.exe");
  ASSERT_TRUE(first.ok()) << first.error().ToString();
  auto second = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "two.exe");
  ASSERT_TRUE(second.ok()) << second.error().ToString();
  EXPECT_EQ(first.value().fileCount, files_.size());
  EXPECT_TRUE(ReadBytes(dir_ / "one.exe") == ReadBytes(dir_ / "two.exe"));
}

TEST_F(BuildFixture, BuildInspectExtractRoundTrip) {
  WriteProduct();
  auto built = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "setup.exe");
  ASSERT_TRUE(built.ok()) << built.error().ToString();
  const Bytes installer = ReadBytes(dir_ / "setup.exe");

  setup::InstallerContents contents = setup::ReadInstaller(installer);
  ASSERT_TRUE(contents.ok()) << DamageText(contents);
  EXPECT_GT(contents.header.ArchiveSize, 0);
  EXPECT_EQ(contents.settings.ProductName, "Demo");
  EXPECT_EQ(contents.settings.LicenseTexts, (std::vector<Bytes>{Bytes{'U', 's', 'e', ' ', 'i', 't', ' ', 'w', 'e', 'l', 'l', '.', '\r', '\n'}}));
  EXPECT_EQ(contents.settings.Strings.languages, (std::vector<std::string>{"English", "Deutsch"}));
  EXPECT_EQ(contents.settings.Strings.texts[48][1], "&Weiter >");

  // Records in project order, a pattern's files in path order, with the files' own stamps.
  std::vector<std::string> names;
  for (const setup::FileRecord& record : contents.files) {
    names.push_back(record.name);
    EXPECT_EQ(record.stamp, (tl::DateTime{2021, 3, 4, 5, 6, 7})) << record.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"demo.exe", "Docs\\empty.txt", "Docs\\guide\\intro.txt", "Docs\\readme.txt",
                                             "|Docs\\\xC3\xA9t\xC3\xA9.txt", "shared.dll", "big.bin"}));
  EXPECT_EQ(contents.files[0].flags, setup::kFileFlagStartMenuShortcut);
  EXPECT_EQ(contents.files[0].text, "demo");  // the shortcut is named after the file
  EXPECT_EQ(contents.files[5].kind, 1u);
  EXPECT_EQ(contents.files[5].flags, 4u << setup::kFileFlagReplaceModeShift);

  const std::string report = DescribeInstaller(contents);
  for (const char* expected : {"outcome = valid", "ProductName = \"Demo\"", "\"Docs\\\\guide\\\\intro.txt\" kind 0 (app)",
                               "2021-03-04 05:06:07 UTC", "48[1]: \"&Weiter >\"", "Files (7)"})
    EXPECT_NE(report.find(expected), std::string::npos) << expected;

  auto extracted = ExtractInstaller(installer, dir_ / "out");
  ASSERT_TRUE(extracted.ok()) << extracted.error().ToString();
  const std::map<std::string, std::string> placed = {
      {"bin/demo.exe", "InstallDir/demo.exe"},
      {"docs/readme.txt", "InstallDir/Docs/readme.txt"},
      {"docs/guide/intro.txt", "InstallDir/Docs/guide/intro.txt"},
      {"docs/empty.txt", "InstallDir/Docs/empty.txt"},
      {"docs/\xC3\xA9t\xC3\xA9.txt", "InstallDir/Docs/\xC3\xA9t\xC3\xA9.txt"},
      {"lib/shared.dll", "SharedDir/shared.dll"},
      {"data/big.bin", "InstallDir/big.bin"},
  };
  EXPECT_EQ(extracted.value().written, files_.size());
  for (const auto& [source, target] : placed) EXPECT_TRUE(ReadBytes(dir_ / "out" / target) == files_[source]) << target;
}

TEST_F(BuildFixture, FailedBuildLeavesNoOutput) {
  WriteText(dir_ / "project.toml", "[product]\nname = 'Demo'\n[[files]]\nsource = 'here.txt'\n[[files]]\nsource = 'gone.txt'\n");
  WriteText(dir_ / "here.txt", "here");
  auto built = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "setup.exe");
  ASSERT_FALSE(built.ok());
  EXPECT_EQ(built.error().where.line, 6);
  EXPECT_NE(built.error().message.find("gone.txt"), std::string::npos) << built.error().ToString();
  EXPECT_FALSE(fs::exists(dir_ / "setup.exe"));

  // An earlier installer stays as it was, and no temporary file is left.
  WriteText(dir_ / "setup.exe", "earlier");
  built = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "setup.exe");
  ASSERT_FALSE(built.ok());
  EXPECT_TRUE(ReadBytes(dir_ / "setup.exe") == (Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r'}));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"here.txt", "project.toml", "setup.exe"}));
}

TEST_F(BuildFixture, InputErrorsNameTheFile) {
  const struct {
    const char* what;
    std::string project;
    std::string message;
  } cases[] = {
      {"missing license", "[product]\nname = 'D'\n[wizard]\nlicense = ['eula.txt']\n", "eula.txt"},
      {"pattern without match", "[product]\nname = 'D'\n[[files]]\nsource = 'bin/*.dll'\n", "\"bin/*.dll\" matches no file"},
      {"folder as file", "[product]\nname = 'D'\n[[files]]\nsource = 'sub'\n", "is a folder"},
      {"bad icon", "[product]\nname = 'D'\n[uninstaller]\nicon = 'not.ico'\n", "not an icon file"},
      {"listed twice", "[product]\nname = 'D'\n[[files]]\nsource = 'sub/a.txt'\n[[files]]\nsource = 'sub/*.txt'\n",
       "also listed at line 4"},
  };
  fs::create_directories(dir_ / "sub");
  WriteText(dir_ / "sub" / "a.txt", "a");
  WriteText(dir_ / "not.ico", "plain text");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteText(dir_ / "project.toml", c.project);
    auto built = BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "setup.exe");
    ASSERT_FALSE(built.ok());
    EXPECT_EQ(built.error().where.file, (dir_ / "project.toml").string());
    EXPECT_GT(built.error().where.line, 0);
    EXPECT_NE(built.error().message.find(c.message), std::string::npos) << built.error().ToString();
    EXPECT_FALSE(fs::exists(dir_ / "setup.exe"));
  }
}

TEST_F(BuildFixture, TenLineProjectBuildsFromTheCommandLine) {
  WriteText(dir_ / "hello.txt", "Hello\r\n");
  WriteText(dir_ / "project.toml",
            "# The smallest useful product: a name, a version and one file.\n"
            "[product]\n"
            "name = \"Hello\"\n"
            "version = \"1.0\"\n"
            "publisher = \"Orvanta Samples\"\n"
            "\n"
            "[[files]]\n"
            "source = \"hello.txt\"\n"
            "desktop-shortcut = true\n"
            "caption = \"Say Hello\"\n");
  const std::string build = "build " + (dir_ / "project.toml").string() + " -o " + (dir_ / "hello.exe").string() +
                            " --runtime " + ORV_PACK_RUNTIME;
  CommandResult built = RunTool(build);
  ASSERT_EQ(built.status, 0) << built.output;
  EXPECT_EQ(built.output.find("packing"), std::string::npos) << "no progress display unless asked";
  // The shortcut keys do nothing yet: one warning line each, on stderr, and the build succeeds.
  const std::string at = (dir_ / "project.toml").string();
  EXPECT_NE(
      built.output.find(at + ":9:1: warning: [[files]].desktop-shortcut has no effect in this runtime version yet\n" +
                        at + ":10:1: warning: [[files]].caption has no effect in this runtime version yet\n"),
      std::string::npos)
      << built.output;
  CommandResult quiet = RunTool(build, "2>/dev/null");
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.output.find("warning"), std::string::npos) << quiet.output;
  EXPECT_NE(quiet.output.find("hello.exe: 1 files"), std::string::npos) << quiet.output;

  setup::InstallerContents contents = setup::ReadInstaller(ReadBytes(dir_ / "hello.exe"));
  ASSERT_TRUE(contents.ok()) << DamageText(contents);
  EXPECT_EQ(contents.settings.Strings.languages, std::vector<std::string>{"English"});
  EXPECT_EQ(static_cast<int>(contents.settings.Strings.texts.size()), 105);
  ASSERT_EQ(contents.files.size(), 1u);
  EXPECT_EQ(contents.files[0].text, "Say Hello");

  CommandResult inspected = RunTool("inspect " + (dir_ / "hello.exe").string());
  EXPECT_EQ(inspected.status, 0) << inspected.output;
  EXPECT_NE(inspected.output.find("0: \"hello.txt\" kind 0 (app) flags 0x01 (always, desktop-shortcut) 7 bytes"),
            std::string::npos)
      << inspected.output;

  CommandResult extracted = RunTool("extract " + (dir_ / "hello.exe").string() + " " + (dir_ / "out").string());
  EXPECT_EQ(extracted.status, 0) << extracted.output;
  EXPECT_TRUE(ReadBytes(dir_ / "out" / "InstallDir" / "hello.txt") == ReadBytes(dir_ / "hello.txt"));

  CommandResult progress = RunTool("build " + (dir_ / "project.toml").string() + " -o " +
                                   (dir_ / "again.exe").string() + " --progress --runtime " + ORV_PACK_RUNTIME);
  EXPECT_EQ(progress.status, 0) << progress.output;
  EXPECT_NE(progress.output.find("packing: 100%"), std::string::npos) << progress.output;
}

TEST_F(BuildFixture, CommandLineNamesDamageAndErrors) {
  WriteText(dir_ / "a.txt", std::string(5000, 'a'));
  WriteText(dir_ / "project.toml", "[product]\nname = 'D'\n[[files]]\nsource = 'a.txt'\n");
  ASSERT_TRUE(BuildInstallerFile(dir_ / "project.toml", ORV_PACK_RUNTIME, dir_ / "setup.exe").ok());

  // One byte of the archive changed: its checksum no longer holds.
  Bytes installer = ReadBytes(dir_ / "setup.exe");
  setup::InstallerContents contents = setup::ReadInstaller(installer);
  ASSERT_TRUE(contents.ok());
  size_t archive = contents.section.pointerToRawData + static_cast<size_t>(contents.header.DataOffset());
  installer[archive + 12] ^= 0x40;
  WriteBytes(dir_ / "damaged.exe", installer);
  CommandResult extracted = RunTool("extract " + (dir_ / "damaged.exe").string() + " " + (dir_ / "out").string());
  EXPECT_EQ(extracted.status, 1);
  EXPECT_NE(extracted.output.find("check code 55: archive checksum mismatch"), std::string::npos) << extracted.output;
  CommandResult inspected = RunTool("inspect " + (dir_ / "damaged.exe").string());
  EXPECT_EQ(inspected.status, 1);
  EXPECT_NE(inspected.output.find("check code 55"), std::string::npos) << inspected.output;

  CommandResult runtimeOnly = RunTool(std::string("inspect ") + ORV_PACK_RUNTIME);
  EXPECT_EQ(runtimeOnly.status, 1);
  EXPECT_NE(runtimeOnly.output.find("no installation data"), std::string::npos) << runtimeOnly.output;

  WriteText(dir_ / "bad.toml", "[product]\nname = 'D'\n[[files]]\nsource = 'a.txt'\nkind = 'exe'\n");
  CommandResult bad = RunTool("build " + (dir_ / "bad.toml").string() + " -o " + (dir_ / "bad.exe").string() +
                              " --runtime " + ORV_PACK_RUNTIME);
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find((dir_ / "bad.toml").string() + ":5:8: [[files]].kind: unknown value \"exe\""),
            std::string::npos)
      << bad.output;
  EXPECT_FALSE(fs::exists(dir_ / "bad.exe"));

  CommandResult usage = RunTool("build " + (dir_ / "project.toml").string());
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.output.find("needs an output file"), std::string::npos);
}

TEST(ExampleProduct, DemoBuilds) {
  const fs::path project = fs::path(ORV_PACK_EXAMPLES) / "demo" / "project.toml";
  Outcome<Project> parsed = LoadProject(project);
  ASSERT_TRUE(parsed.ok()) << parsed.error().ToString();
  // The demo shows keys the runtime does not read yet too: each is warned
  // about at its line, as the table words it.
  std::set<std::string> tableMessages;
  for (const IneffectiveKey& entry : IneffectiveKeys()) tableMessages.insert(IneffectiveKeyMessage(entry));
  EXPECT_FALSE(parsed.value().warnings.empty());
  for (const PackWarning& warning : parsed.value().warnings) {
    EXPECT_EQ(warning.where.file, project.string());
    EXPECT_GT(warning.where.line, 0) << warning.message;
    EXPECT_TRUE(tableMessages.count(warning.message)) << warning.ToString();
  }
  Bytes runtime = ReadBytes(ORV_PACK_RUNTIME);
  auto installer = BuildInstallerBytes(parsed.value(), runtime, tl::DateTime{2024, 1, 2, 3, 4, 5});
  ASSERT_TRUE(installer.ok()) << installer.error().ToString();
  setup::InstallerContents contents = setup::ReadInstaller(installer.value());
  ASSERT_TRUE(contents.ok()) << DamageText(contents);
  EXPECT_EQ(contents.settings.Strings.languages.size(), 2u);
  EXPECT_FALSE(contents.settings.LicenseTexts.empty());
  EXPECT_FALSE(contents.settings.Shortcuts.empty());
  std::set<uint32_t> kinds;
  for (const setup::FileRecord& record : contents.files) kinds.insert(record.kind);
  EXPECT_GE(kinds.size(), 3u) << "the demo shows files of several kinds";
}

}  // namespace
}  // namespace pack
