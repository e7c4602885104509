#include "setup/files/pending_renames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setup {
namespace {

using Strings = std::vector<std::string>;

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

TEST(PendingRenames, SplitMultiStringKeepsEmptyEntries) {
  struct Case {
    std::string data;
    Strings strings;
  };
  const Case cases[] = {
      {Bytes("a\0b\0\0", 5), {"a", "b"}},
      {Bytes("a\0\0\0", 4), {"a", ""}},            // a deletion pair at the end
      {Bytes("a\0\0b\0\0\0", 7), {"a", "", "b", ""}},  // deletions inside the list
      {Bytes("a\0b\0", 4), {"a", "b"}},             // no list terminator
      {Bytes("a\0b", 3), {"a", "b"}},               // last string without its terminator
      {Bytes("\0", 1), {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitMultiString<char>(c.data), c.strings) << c.data.size();
}

TEST(PendingRenames, JoinThenSplitGivesTheSameList) {
  const Strings lists[] = {{}, {""}, {"a", ""}, {"a", "", "b", "c"}, {"", ""}};
  for (const Strings& list : lists) {
    std::string data = JoinMultiString(list);
    EXPECT_EQ(data.back(), '\0');
    EXPECT_EQ(SplitMultiString<char>(data), list) << list.size();
  }
  EXPECT_EQ(JoinMultiString(Strings{"a", ""}), Bytes("a\0\0\0", 4));
}

TEST(PendingRenames, StripRenamePrefix) {
  struct Case {
    const char* entry;
    const char* stripped;
  };
  const Case cases[] = {
      {"\\??\\C:\\App\\a.dll", "C:\\App\\a.dll"},
      {"!\\??\\C:\\App\\a.dll", "C:\\App\\a.dll"},
      {"C:\\App\\a.dll", "C:\\App\\a.dll"},
      {"\\\\?\\!C:\\x", "C:\\x"},
      {"|\\??\\C:\\\xC3\xA9.dll", "|C:\\\xC3\xA9.dll"},  // the UTF-8 mark stays in front
      {"\\??\\", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(StripRenamePrefix(c.entry), c.stripped) << c.entry;
}

class PruneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    written_.Add("C:\\Program Files\\App\\main.exe");
    written_.Add("C:\\Program Files\\App\\shared.dll");
  }
  InstalledFileSet written_;
};

TEST_F(PruneTest, PairsKeptAndRemoved) {
  struct Case {
    const char* name;
    Strings list;
    Strings kept;
    std::string log;
    Strings recycle;
  };
  const Case cases[] = {
      {"move onto a written file, prefixes and letter case differ",
       {"\\??\\C:\\Program Files\\App\\TLT1.tmp", "!\\??\\c:\\program files\\APP\\Main.exe"},
       {},
       "File \"c:\\program files\\APP\\Main.exe\" was removed from the list of pending moves.\r\n",
       {"C:\\Program Files\\App\\TLT1.tmp"}},
      {"move onto another file stays",
       {"\\??\\C:\\Temp\\x.tmp", "!\\??\\C:\\Other\\x.dll"},
       {"\\??\\C:\\Temp\\x.tmp", "!\\??\\C:\\Other\\x.dll"},
       "",
       {}},
      {"deletion of a written file",
       {"\\??\\C:\\PROGRAM FILES\\App\\shared.dll", ""},
       {},
       "File \"C:\\PROGRAM FILES\\App\\shared.dll\" was removed from the list of pending deletions.\r\n",
       {}},
      {"deletion of another file stays", {"\\??\\C:\\Temp\\old.log", ""}, {"\\??\\C:\\Temp\\old.log", ""}, "", {}},
      {"deletion with an empty source",
       {"\\??\\", ""},
       {},
       "File \"\" was removed from the list of pending deletions.\r\n",
       {}},
      {"only the matching pair of several goes",
       {"a.tmp", "\\??\\C:\\Keep\\a.dll", "\\??\\C:\\T\\b.tmp", "\\??\\C:\\Program Files\\App\\main.exe", "c.tmp", ""},
       {"a.tmp", "\\??\\C:\\Keep\\a.dll", "c.tmp", ""},
       "File \"C:\\Program Files\\App\\main.exe\" was removed from the list of pending moves.\r\n",
       {"C:\\T\\b.tmp"}},
      {"odd count: the last source is a deletion that stays",
       {"\\??\\C:\\Temp\\x.tmp", "C:\\Other\\x.dll", "\\??\\C:\\Temp\\y.tmp"},
       {"\\??\\C:\\Temp\\x.tmp", "C:\\Other\\x.dll", "\\??\\C:\\Temp\\y.tmp", ""},
       "",
       {}},
      {"odd count: the last source is a deletion of a written file",
       {"\\??\\C:\\Program Files\\App\\main.exe"},
       {},
       "File \"C:\\Program Files\\App\\main.exe\" was removed from the list of pending deletions.\r\n",
       {}},
  };
  for (const Case& c : cases) {
    PendingRenamesPruning pruning = PrunePendingRenames(c.list, written_);
    EXPECT_EQ(SelectKeptEntries(c.list, pruning.keptEntries), c.kept) << c.name;
    EXPECT_EQ(pruning.logText, c.log) << c.name;
    EXPECT_EQ(pruning.recycle, c.recycle) << c.name;
    EXPECT_EQ(pruning.removedAny, c.kept.size() < c.list.size() || !c.log.empty()) << c.name;
    EXPECT_EQ(pruning.keptEntries.size() % 2, 0u) << c.name;
  }
}

TEST_F(PruneTest, NothingRemovedMeansNothingToWrite) {
  Strings list = {"\\??\\C:\\Temp\\x.tmp", "!\\??\\C:\\Other\\x.dll", "\\??\\C:\\Temp\\y.tmp", ""};
  PendingRenamesPruning pruning = PrunePendingRenames(list, written_);
  EXPECT_FALSE(pruning.removedAny);
  EXPECT_TRUE(pruning.logText.empty());
  EXPECT_TRUE(pruning.recycle.empty());
  EXPECT_EQ(SelectKeptEntries(list, pruning.keptEntries), list);
}

TEST(PendingRenames, WininitInsertion) {
  struct Case {
    const char* name;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"empty file", "", "[rename]\r\nC:\\APP\\A.DLL=C:\\APP\\TLT1.TMP"},
      {"other content keeps it and gets the section at its end", "[boot]\r\nx=1",
       "[boot]\r\nx=1\r\n[rename]\r\nC:\\APP\\A.DLL=C:\\APP\\TLT1.TMP"},
      {"section present: newest line first", "[rename]\r\nC:\\OLD.DLL=C:\\TLT0.TMP\r\n",
       "[rename]\r\nC:\\APP\\A.DLL=C:\\APP\\TLT1.TMP\r\nC:\\OLD.DLL=C:\\TLT0.TMP\r\n"},
      {"section between others", "[a]\r\n[Rename]\r\nNUL=C:\\X.TMP\r\n[b]\r\n",
       "[a]\r\n[Rename]\r\nC:\\APP\\A.DLL=C:\\APP\\TLT1.TMP\r\nNUL=C:\\X.TMP\r\n[b]\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InsertWininitRename(c.text, "C:\\APP\\A.DLL", "C:\\APP\\TLT1.TMP"), c.expected) << c.name;
  EXPECT_EQ(InsertWininitRename("[rename]", "NUL", "C:\\X.TMP"), "[rename]\r\nNUL=C:\\X.TMP");
}

}  // namespace
}  // namespace setup
