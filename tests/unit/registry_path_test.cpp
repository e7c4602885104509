#include "tl_core/registry_path.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tl {
namespace {

struct PathCase {
  const char* path;
  RootKey root;
  const char* subKey;
};

// Names each case after its path in the test list, with slashes for the
// backslashes, which the test list would read as escapes.
void PrintTo(const PathCase& c, std::ostream* out) {
  for (const char* p = c.path; *p; ++p) *out << (*p == '\\' ? '/' : *p);
}

class ParsesRegistryPath : public testing::TestWithParam<PathCase> {};

TEST_P(ParsesRegistryPath, GivesRootAndSubKey) {
  const PathCase& c = GetParam();
  auto parsed = ParseRegistryPath(c.path);
  ASSERT_TRUE(parsed.has_value()) << c.path;
  EXPECT_EQ(parsed->root, c.root) << c.path;
  EXPECT_EQ(parsed->subKey, c.subKey) << c.path;
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParsesRegistryPath,
                         testing::Values(
                             // Prefixes compare without regard to case.
                             PathCase{"\\hklm\\Software\\X", RootKey::kLocalMachine, "Software\\X"},
                             PathCase{"\\HkCu\\Software\\X", RootKey::kCurrentUser, "Software\\X"},
                             // Every short prefix of the table.
                             PathCase{"\\HKLM\\A", RootKey::kLocalMachine, "A"},
                             PathCase{"\\HKCU\\A", RootKey::kCurrentUser, "A"},
                             PathCase{"\\HKCR\\.txt", RootKey::kClassesRoot, ".txt"},
                             PathCase{"\\HKU\\S-1-5-18\\A", RootKey::kUsers, "S-1-5-18\\A"},
                             PathCase{"\\HKCC\\A", RootKey::kCurrentConfig, "A"},
                             PathCase{"\\HKDD\\A", RootKey::kDynData, "A"},
                             // A root named without its final backslash is the root itself.
                             PathCase{"\\HKLM", RootKey::kLocalMachine, ""},
                             PathCase{"\\hku", RootKey::kUsers, ""},
                             PathCase{"\\HKCU\\", RootKey::kCurrentUser, ""},
                             // The whole prefix wins over the short form: the rest keeps its text.
                             PathCase{"\\HKLM\\\\Double", RootKey::kLocalMachine, "\\Double"},
                             // Without the backslash the rest of the text is the sub-key as it
                             // stands: "\\HKLMSoftware" still names HKLM, as the table search does.
                             PathCase{"\\HKLMSoftware", RootKey::kLocalMachine, "Software"}));

TEST(RegistryPathGrammar, RejectsUnknownRoots) {
  for (const char* path : {"\\HKXX\\Software", "\\HKAU\\Software\\X", "\\HKAU", "HKLM\\Software",
                           "", "\\", "\\HK", "HKEY_LOCAL_MACHINE\\Software"}) {
    EXPECT_FALSE(ParseRegistryPath(path).has_value()) << path;
  }
}

TEST(RegistryPathGrammar, TableHoldsTheSixRootsInSearchOrder) {
  auto table = RootKeyTable();
  ASSERT_EQ(table.size(), 6u);
  const char* prefixes[] = {"\\HKLM\\", "\\HKCU\\", "\\HKCR\\", "\\HKU\\", "\\HKCC\\", "\\HKDD\\"};
  const char* longNames[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",   "HKEY_CLASSES_ROOT",
                             "HKEY_USERS",         "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(static_cast<size_t>(table[i].root), i);
    EXPECT_EQ(table[i].prefix, prefixes[i]);
    EXPECT_EQ(table[i].longName, longNames[i]);
    EXPECT_EQ(std::string("\\") + std::string(table[i].shortName) + "\\", prefixes[i]);
  }
}

TEST(RegistryPathGrammar, AllUsersPrefixIsExactAndCaseSensitive) {
  EXPECT_TRUE(HasAllUsersPrefix("\\HKAU\\Software\\X"));
  EXPECT_EQ(AfterAllUsersPrefix("\\HKAU\\Software\\X"), "Software\\X");
  EXPECT_FALSE(HasAllUsersPrefix("\\hkau\\Software\\X"));
  EXPECT_FALSE(HasAllUsersPrefix("\\HKAU"));
  EXPECT_FALSE(HasAllUsersPrefix("\\HKLM\\Software"));
}

struct DisplayCase {
  RootKey root;
  const char* subKey;
  const char* display;
};

TEST(RegistryDisplayPath, NamesRootSubKeyAndFinalBackslash) {
  const DisplayCase cases[] = {
      {RootKey::kLocalMachine, "Software\\Example", "HKEY_LOCAL_MACHINE\\Software\\Example\\"},
      {RootKey::kCurrentUser, "Software", "HKEY_CURRENT_USER\\Software\\"},
      {RootKey::kClassesRoot, ".txt", "HKEY_CLASSES_ROOT\\.txt\\"},
      {RootKey::kUsers, "S-1-5-18", "HKEY_USERS\\S-1-5-18\\"},
      {RootKey::kCurrentConfig, "System", "HKEY_CURRENT_CONFIG\\System\\"},
      // The root itself: no doubled backslash.
      {RootKey::kLocalMachine, "", "HKEY_LOCAL_MACHINE\\"},
      // A sub-key given with a final backslash keeps one.
      {RootKey::kLocalMachine, "Software\\Example\\", "HKEY_LOCAL_MACHINE\\Software\\Example\\"},
      // HKEY_DYN_DATA has no root part.
      {RootKey::kDynData, "PerfStats", "PerfStats\\"},
  };
  for (const DisplayCase& c : cases)
    EXPECT_EQ(RegistryDisplayPath(c.root, c.subKey), c.display) << c.subKey;
}

TEST(RegistryDisplayPath, AppendsSubKeysToTheOpenKeysPath) {
  EXPECT_EQ(AppendDisplayPath("HKEY_CLASSES_ROOT\\txtfile\\", "shell"),
            "HKEY_CLASSES_ROOT\\txtfile\\shell\\");
  EXPECT_EQ(AppendDisplayPath("HKEY_CLASSES_ROOT\\txtfile\\", "shell\\open\\command"),
            "HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command\\");
  EXPECT_EQ(AppendDisplayPath("HKEY_CLASSES_ROOT\\txtfile\\", ""), "HKEY_CLASSES_ROOT\\txtfile\\");
  EXPECT_EQ(AppendDisplayPath("", "Orphan"), "Orphan\\");
}

TEST(DecimalText, DropsTrailingZerosAndPoint) {
  struct {
    double number;
    const char* text;
  } cases[] = {
      {12.5, "12.5"},
      {12.0, "12"},
      {0.0, "0"},
      {-3.25, "-3.25"},
      {100.0, "100"},
      {1.0000004, "1"},
      {0.1, "0.1"},
      {2.123456, "2.123456"},
      {1.0000006, "1.000001"},  // rounds at the sixth place first
      {1e-7, "0"},
      {1234567.0, "1234567"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalText(c.number), c.text) << c.number;
}

}  // namespace
}  // namespace tl
