// File patterns of [[files]] entries over a small folder tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "file_glob.h"

namespace pack {
namespace {
namespace fs = std::filesystem;

class GlobTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) / ("glob-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    for (const char* file : {"a.txt", "b.dll", ".hidden", "sub/c.txt", "sub/deep/d.txt", "sub/.git/e.txt", "z/[x].txt"}) {
      fs::create_directories((root_ / file).parent_path());
      std::ofstream(root_ / file) << file;
    }
    fs::create_directories(root_ / "empty");
  }
  void TearDown() override { fs::remove_all(root_); }

  std::vector<std::string> Relative(const std::string& pattern) {
    std::vector<std::string> names;
    for (const GlobMatch& match : ExpandGlob(root_, pattern)) {
      EXPECT_TRUE(fs::is_regular_file(match.path)) << match.path;
      names.push_back(match.relative);
    }
    return names;
  }

  fs::path root_;
};

TEST_F(GlobTree, PatternsFindTheirFilesInPathOrder) {
  using Names = std::vector<std::string>;
  const struct {
    const char* pattern;
    Names expected;
  } cases[] = {
      {"a.txt", {"a.txt"}},
      {"./sub/c.txt", {"c.txt"}},  // a plain path is named by its own name
      {".hidden", {".hidden"}},
      {"*", {"a.txt", "b.dll"}},  // no dot files, no folders
      {"*.txt", {"a.txt"}},
      {"?.dll", {"b.dll"}},
      {"[ab].*", {"a.txt", "b.dll"}},
      {"[!a]*", {"b.dll"}},
      {"**/*.txt", {"a.txt", "sub/c.txt", "sub/deep/d.txt", "z/[x].txt"}},
      {"sub/**", {"c.txt", "deep/d.txt"}},  // relative to the fixed folder, dot folders skipped
      {"sub/*/d.txt", {"deep/d.txt"}},
      {"sub/**/d.txt", {"deep/d.txt"}},
      {"sub/.*/*", {".git/e.txt"}},  // a pattern that starts with a dot reaches dot folders
      {"z/[x].txt", {}},             // "[x]" is a set, so it matches "x.txt" only
      {"z/*.txt", {"[x].txt"}},
      {"sub", {}},  // a folder is never a match
      {"missing/*.txt", {}},
      {"empty/**", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Relative(c.pattern), c.expected) << c.pattern;
}

TEST_F(GlobTree, AbsolutePatternIgnoresTheBase) {
  std::vector<GlobMatch> matches = ExpandGlob("/nonexistent", (root_ / "sub" / "*.txt").string());
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].relative, "c.txt");
}

TEST(GlobName, MatchesOneSegment) {
  const struct {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"*.txt", "a.txt", true},   {"*.txt", "a.txt.bak", false}, {"*", "", true},
      {"a*b*c", "abbbc", true},   {"a*b*c", "acb", false},       {"?", "ab", false},
      {"[a-c]x", "bx", true},     {"[a-c]x", "dx", false},       {"[^a]", "b", true},
      {"[]]", "]", true},         {"[", "[", true},              {"*", ".profile", false},
      {".*", ".profile", true},   {"file", "File", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchName(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace pack
