// What a [[files]] entry gives each record beyond its bytes: the stamp its
// `stamp` key chooses, and for versioned kinds the version text read from
// the file's own version resource unless the project states one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "project.h"
#include "settings_composer.h"

namespace pack {
namespace {
namespace fs = std::filesystem;

// DLLs made by the resource compiler; their "FileVersion" is " 1, 2, 3, 4 "
// (see tests/unit/fixtures/make_version_fixtures.sh).
const fs::path kFixtures = fs::path(__FILE__).parent_path() / ".." / ".." / ".." / "tests" / "unit" / "fixtures";

class FilesFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("pack-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    fs::copy_file(kFixtures / "version_fixture32.dll", dir_ / "bin" / "a32.dll");
    fs::copy_file(kFixtures / "version_fixture64.dll", dir_ / "bin" / "b64.dll");
    std::ofstream(dir_ / "readme.txt") << "no resource here";
    for (const char* file : {"bin/a32.dll", "bin/b64.dll", "readme.txt"}) {
      using namespace std::chrono;
      const sys_seconds when = sys_days(year(2021) / 3 / 4) + hours(5) + minutes(6) + seconds(7);
      fs::last_write_time(dir_ / file, file_clock::from_sys(when));
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<setup::FileRecord> Collect(const std::string& files) {
    Outcome<Project> project = ParseProject("[product]\nname = 'Demo'\n" + files, "demo.toml", dir_);
    EXPECT_TRUE(project.ok()) << project.error().ToString();
    if (!project.ok()) return {};
    return CollectFiles(project.value());
  }

  fs::path dir_;
};

TEST_F(FilesFixture, StampKeyChoosesTheStamp) {
  const tl::DateTime written{2021, 3, 4, 5, 6, 7};
  tl::DateTime dateOnly;
  dateOnly.year = 2021;
  dateOnly.month = 3;
  dateOnly.day = 4;
  const struct {
    const char* key;  // the stamp line, empty for none
    tl::DateTime expected;
  } cases[] = {
      {"", written},
      {"stamp = 'file'", written},
      {"stamp = 'none'", tl::DateTime{}},
      {"stamp = 'no-time'", dateOnly},
      {"stamp = '2023-07-04 09:05:00'", tl::DateTime{2023, 7, 4, 9, 5, 0}},
      {"stamp = '2024-02-29 23:59:59'", tl::DateTime{2024, 2, 29, 23, 59, 59}},
      {"stamp = '1601-01-01 00:00:00'", tl::DateTime{1601, 1, 1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    // A pattern: every file it matches gets the same rule.
    const std::vector<setup::FileRecord> records = Collect("[[files]]\nsource = 'bin/*.dll'\n" + std::string(c.key) + "\n");
    ASSERT_EQ(records.size(), 2u) << c.key;
    for (const setup::FileRecord& record : records) EXPECT_EQ(record.stamp, c.expected) << c.key;
  }
  // "none" is the stored form of no date and no time.
  const tl::DateTime none = Collect("[[files]]\nsource = 'readme.txt'\nstamp = 'none'\n").at(0).stamp;
  EXPECT_EQ(none.month, 0);
  EXPECT_EQ(none.hour, -1);
}

TEST(StampErrors, NameTheValueAndTheForms) {
  const struct {
    const char* value;
    const char* message;
  } cases[] = {
      {"'2023-02-29 00:00:00'", "\"2023-02-29 00:00:00\" is not"},  // not a leap year
      {"'2023-04-31 00:00:00'", "is not"},
      {"'2023-13-01 00:00:00'", "is not"},
      {"'2023-00-10 00:00:00'", "is not"},
      {"'2023-07-04 24:00:00'", "is not"},
      {"'2023-07-04 09:60:00'", "is not"},
      {"'2023-07-04 09:05:60'", "is not"},
      {"'1600-12-31 23:59:59'", "is not"},
      {"'2023-7-04 09:05:00'", "is not"},
      {"'2023-07-04T09:05:00'", "is not"},
      {"'2023-07-04 09:05:00Z'", "is not"},
      {"' 2023-07-04 09:05:00'", "is not"},
      {"'File'", "\"File\" is not \"file\", \"none\", \"no-time\" or a UTC time \"YYYY-MM-DD hh:mm:ss\""},
      {"2023-07-04 09:05:00", "must be"},  // a TOML date-time, not a text
      {"0", "must be"},
  };
  for (const auto& c : cases) {
    Outcome<Project> project =
        ParseProject(std::string("[product]\nname = 'Demo'\n[[files]]\nsource = 'a.txt'\nstamp = ") + c.value + "\n",
                     "demo.toml", "/work/demo");
    ASSERT_FALSE(project.ok()) << c.value;
    EXPECT_EQ(project.error().where.line, 5) << c.value;
    EXPECT_EQ(project.error().where.column, 9) << c.value;
    EXPECT_NE(project.error().message.find(c.message), std::string::npos) << project.error().ToString();
  }
}

TEST_F(FilesFixture, VersionedKindsReadTheFilesVersion) {
  const struct {
    const char* entry;
    std::vector<std::string> texts;
  } cases[] = {
      {"source = 'bin/*.dll'\nkind = 'system'", {"1. 2. 3. 4", "1. 2. 3. 4"}},  // PE32 and PE32+
      {"source = 'bin/a32.dll'\nkind = 'com-server'", {"1. 2. 3. 4"}},
      {"source = 'bin/a32.dll'\nkind = 'type-library'", {"1. 2. 3. 4"}},
      {"source = 'bin/a32.dll'\nkind = 'versioned-app'", {"1. 2. 3. 4"}},
      {"source = 'bin/a32.dll'\nkind = 'system'\nversion = '7.0'", {"7.0"}},  // the project's word wins
      {"source = 'bin/a32.dll'\nkind = 'system'\nversion = ''", {""}},        // even an empty one
      {"source = 'readme.txt'\nkind = 'versioned-app'", {""}},                // no resource: no version
      {"source = 'bin/a32.dll'\nkind = 'app'", {""}},                         // other kinds carry no version
      {"source = 'bin/a32.dll'\nkind = 'shared'", {""}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> texts;
    for (const setup::FileRecord& record : Collect("[[files]]\n" + std::string(c.entry) + "\n")) texts.push_back(record.text);
    EXPECT_EQ(texts, c.texts) << c.entry;
  }
}

}  // namespace
}  // namespace pack
