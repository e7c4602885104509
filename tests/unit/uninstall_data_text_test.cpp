#include "setup/record/uninstall_data_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace setup {
namespace {

// Every section, every string numbered, small enough to spell out whole.
UninstallDataContent Fixture() {
  UninstallDataContent c;
  c.paths = {"C:\\App\\app.exe", "~C:\\App"};
  for (int n : kUninstallerStringNumbers) c.strings[n] = "S" + std::to_string(n);
  c.strings[10] = "Failed:\r\n%s";
  c.dialogCaption = "Example Setup";
  c.closeList = {CloseRecord{"AppWnd", "Example, main", "app.exe", 2, 0}};
  c.associations = {UninstallAssociation{".exa", "Example.Doc", "open"}};
  c.firewall = {"8080;Example;3;"};
  c.inf = {"C:\\Windows\\INF\\oem7.inf"};
  c.msi = {"\"C:\\App\\redist.msi\",2"};
  c.registry = {"\\HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls\\Example"};
  c.registry2 = "\\HKLM\\Software\\Example\r\n";
  c.deleteList = {DeleteRecord{"%InstallDir%\\*.tmp", 0, "", 8}, DeleteRecord{"skipped.txt", 1, "x", 1}};
  return c;
}

std::string FixtureStrings() {
  std::string s = "\r\n\r\n[Strings]\r\n";
  for (int n : kUninstallerStringNumbers) {
    s += "~" + std::to_string(n) + "\r\n";
    s += n == 10 ? std::string("Failed:\r\n%s") : "S" + std::to_string(n);
    s += "\r\n";
  }
  return s + "~999\r\nExample Setup\r\n";
}

TEST(UninstallDataText, WritesEverySectionInOrder) {
  EXPECT_EQ(WriteUninstallDataText(Fixture()),
            "C:\\App\\app.exe\r\n~C:\\App\r\n" + FixtureStrings() +
                "\r\n\r\n[AutoClose]\r\nAppWnd,\"Example, main\",app.exe,2\r\n"
                "\r\n\r\n[Associations]\r\n.exa~!~Example.Doc~!~open\r\n"
                "\r\n\r\n[Firewall]\r\n8080;Example;3;\r\n"
                "\r\n\r\n[INF]\r\nC:\\Windows\\INF\\oem7.inf\r\n"
                "\r\n\r\n[MSI]\r\n\"C:\\App\\redist.msi\",2\r\n"
                "\r\n\r\n[Registry]\r\n\\HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls\\Example\r\n"
                "\r\n\r\n[Registry2]\r\n\\HKLM\\Software\\Example\r\n"
                "\r\n\r\n[ConditionalDelete]\r\n%InstallDir%\\*.tmp,0,,8\r\n");
}

TEST(UninstallDataText, OmitsEmptySections) {
  UninstallDataContent c = Fixture();
  c.closeList.clear();
  c.associations.clear();
  c.firewall.clear();
  c.inf.clear();
  c.msi.clear();
  c.registry.clear();
  c.registry2.clear();
  c.deleteList = {DeleteRecord{"only-at-install.txt", 0, "", 0x01 | 0x04}};  // no bit 3
  EXPECT_EQ(WriteUninstallDataText(c), "C:\\App\\app.exe\r\n~C:\\App\r\n" + FixtureStrings());

  // A missing string is written empty; with no paths the file starts with the gap.
  UninstallDataContent bare;
  const std::string text = WriteUninstallDataText(bare);
  EXPECT_EQ(text.substr(0, 22), "\r\n\r\n[Strings]\r\n~10\r\n\r\n");
  EXPECT_EQ(text.substr(text.size() - 16), "~101\r\n\r\n~999\r\n\r\n");
}

TEST(UninstallDataText, CommaFieldQuoting) {
  struct Case {
    const char* field;
    const char* written;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"tab\there", "\"tab\there\""},
      {"semi;colon", "\"semi;colon\""},
      {"pi|pe", "\"pi|pe\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"'quote", "\"'quote\""},
      {"it's", "it's"},
      {"in side", "in side"},
      {"cr\rlf\n", "\"cr\rlf\n\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteCommaField(c.field), c.written) << c.field;
    // Joined with others, every field that holds no line break comes back whole.
    if (std::string(c.field).find_first_of("\r\n") != std::string::npos) continue;
    const std::string line = QuoteCommaField(c.field) + "," + QuoteCommaField(c.field) + ",x";
    EXPECT_EQ(SplitCommaFields(line), (std::vector<std::string>{c.field, c.field, "x"})) << c.field;
  }
}

TEST(UninstallDataText, SplitsHandEditedCommaLines) {
  struct Case {
    const char* line;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"", {""}},
      {"a,", {"a", ""}},
      {",,,", {"", "", "", ""}},
      {"\"ab\"c,d", {"abc", "d"}},        // text after the closing quote is kept
      {"\"open,ended", {"open,ended"}},  // an unclosed quote runs to the end
      {"a\"b,c", {"a\"b", "c"}},          // a quote inside an unquoted field is literal
      {"\"\"\"\"", {"\""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommaFields(c.line), c.fields) << c.line;
}

TEST(UninstallDataText, ReadsSectionsInAnyOrderAndEveryLineEnd) {
  // The same file with CR LF, LF, CR and LF CR line ends.
  const std::string lines[] = {"[ConditionalDelete]",
                               "\"a,b.txt\",2,2020-01-01,9",
                               "[Firewall]",
                               "  80;Web;1;  ",
                               "[Strings]",
                               "~55",
                               "Caption",
                               "~999",
                               "Dialog",
                               "[AutoClose]",
                               "Cls,Title,Name,0",
                               "[Associations]",
                               ".x~!~X.File~!~edit~!~more",
                               "[Registry2]",
                               "\\HKCU\\Software\\X",
                               "[INF]",
                               "oem1.inf",
                               "[MSI]",
                               "\"p.msi\",3",
                               "[Registry]",
                               "\\HKLM\\Cpls\\X"};
  for (const char* end : {"\r\n", "\n", "\r", "\n\r"}) {
    std::string text = "C:\\first.txt";
    text += end;
    for (const std::string& l : lines) text += l + end;
    const UninstallDataReadResult r = ReadUninstallDataText(text);
    ASSERT_TRUE(r.ok());
    const UninstallDataContent& c = r.content;
    SCOPED_TRACE(testing::PrintToString(std::string(end)));
    EXPECT_EQ(c.paths, std::vector<std::string>{"C:\\first.txt"});
    EXPECT_EQ(c.deleteList, (std::vector<DeleteRecord>{{"a,b.txt", 2, "2020-01-01", 9}}));
    EXPECT_EQ(c.firewall, std::vector<std::string>{"80;Web;1;"});
    EXPECT_EQ(c.strings, (std::map<int, std::string>{{55, "Caption"}}));
    EXPECT_EQ(c.dialogCaption, "Dialog");
    ASSERT_EQ(c.closeList.size(), 1u);
    EXPECT_EQ(c.closeList[0], (CloseRecord{"Cls", "Title", "Name", 0, 0}));
    EXPECT_FALSE(InSecondClosePass(c.closeList[0]));
    EXPECT_EQ(c.associations, (std::vector<UninstallAssociation>{{".x", "X.File", "edit~!~more"}}));
    EXPECT_EQ(c.registry2, "\\HKCU\\Software\\X\r\n");
    EXPECT_EQ(c.inf, std::vector<std::string>{"oem1.inf"});
    EXPECT_EQ(c.msi, std::vector<std::string>{"\"p.msi\",3"});
    EXPECT_EQ(c.registry, std::vector<std::string>{"\\HKLM\\Cpls\\X"});
  }
}

TEST(UninstallDataText, StringTextKeepsInnerLineBreaksAndEndsAtTildeOrHeader) {
  const std::string text =
      "[Strings]\r\n"
      "~10\r\nFirst line\nsecond\r\n\r\n  indented ~ not an end\r\n \t\r\n"
      "~20\r\n[AutoClose]x ends the text\r\n"
      "~30\r\n  \r\nlast  \t\r\n"
      "[Firewall]\r\n1;a;1;\r\n";
  const UninstallDataContent c = ReadUninstallDataText(text).content;
  EXPECT_EQ(c.strings, (std::map<int, std::string>{
                           {10, "First line\nsecond\r\n\r\n  indented ~ not an end"}, {20, ""}, {30, "  \r\nlast"}}));
  EXPECT_EQ(c.firewall, std::vector<std::string>{"1;a;1;"});
}

TEST(UninstallDataText, DropsLinesThatDoNotFitTheirSection) {
  const std::string text =
      "  \r\n[strings]\r\n"  // a header is exact: this is a path
      "[Strings]\r\n~0\r\nzero\r\n~1001\r\nbig\r\n~abc\r\nword\r\n~1000\r\nkept\r\n~ 7 \r\nseven\r\n"
      "[AutoClose]\r\na,b,c\r\na,b,c,d,e\r\na,b,c,x\r\na,b,c,4294967296\r\n\"a,b\",c,d,4294967295\r\n"
      "[Associations]\r\n~!~t~!~v\r\n.e~!~~!~v\r\n.e~!~t~!~\r\n.e~!~t\r\n.e~!~t~!~v\r\n"
      "[ConditionalDelete]\r\nf,256,v,8\r\nf,1,v,-8\r\nf,1,v\r\nf,1,v,8\r\n"
      "[Firewall]\r\n\r\n \t \r\n";
  const UninstallDataReadResult r = ReadUninstallDataText(text);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.content.paths, std::vector<std::string>{"[strings]"});
  EXPECT_EQ(r.content.strings, (std::map<int, std::string>{{1000, "kept"}, {7, "seven"}}));
  EXPECT_EQ(r.content.closeList, (std::vector<CloseRecord>{{"a,b", "c", "d", 4294967295u, 0}}));
  EXPECT_TRUE(InSecondClosePass(CloseRecord{"", "", "", 2, 0}));
  EXPECT_EQ(r.content.associations, (std::vector<UninstallAssociation>{{".e", "t", "v"}}));
  EXPECT_EQ(r.content.deleteList, (std::vector<DeleteRecord>{{"f", 1, "v", 8}}));
  EXPECT_TRUE(r.content.firewall.empty());
}

TEST(UninstallDataText, WriterNeverWritesWhatReadsBackAsSomethingElse) {
  UninstallDataContent c;
  c.paths = {"  C:\\trimmed.txt \t", "", "C:\\a\r\n[ConditionalDelete]", "[Strings]", "C:\\kept"};
  c.strings[10] = "ok\r\n~999\r\n[ConditionalDelete]\r\nC:\\Windows,0,,8\r\n~x";
  c.strings[15] = "~leading";
  c.strings[20] = "trailing blanks \t\r\n";
  c.dialogCaption = "[Strings]caption";
  c.closeList = {CloseRecord{"a\r\nb", "t", "n", 0, 0}, CloseRecord{"ok", "", "", 1, 7}};
  c.associations = {{"", "t", "v"},   {"e~!~x", "t", "v"}, {"e~!", "t", "v"}, {"e", "t~!~x", "v"},
                    {" e", "t", "v"}, {"e", "t", "v "},    {"e", "t\n", "v"}, {"e", "t", "v~!~w"}};
  c.firewall = {" 1;a;1; ", "[INF]", "2;b\r\n;1;"};
  c.registry2 = "  \\HKLM\\A  \n\n[Registry]\r\n\"\\HKLM\\B\",v,1,\"x\",0,0";
  c.deleteList = {DeleteRecord{"f\r\n", 0, "", 8}, DeleteRecord{"g", 0, "v\n", 8}, DeleteRecord{" h ", 0, "", 8}};

  const UninstallDataContent back = ReadUninstallDataText(WriteUninstallDataText(c)).content;
  EXPECT_EQ(back.paths, (std::vector<std::string>{"C:\\trimmed.txt", "C:\\kept"}));
  EXPECT_EQ(back.strings.at(10), "ok\r\n ~999\r\n [ConditionalDelete]\r\nC:\\Windows,0,,8\r\n ~x");
  EXPECT_EQ(back.strings.at(15), " ~leading");
  EXPECT_EQ(back.strings.at(20), "trailing blanks");
  EXPECT_EQ(back.dialogCaption, " [Strings]caption");
  EXPECT_EQ(back.closeList, (std::vector<CloseRecord>{{"ok", "", "", 1, 0}}));
  EXPECT_EQ(back.associations, (std::vector<UninstallAssociation>{{"e", "t", "v~!~w"}}));
  EXPECT_EQ(back.firewall, std::vector<std::string>{"1;a;1;"});
  EXPECT_EQ(back.registry2, "\\HKLM\\A\r\n\"\\HKLM\\B\",v,1,\"x\",0,0\r\n");
  EXPECT_EQ(back.deleteList, (std::vector<DeleteRecord>{{" h ", 0, "", 8}}));
}

TEST(UninstallDataText, RefusesTextBeyondItsLimits) {
  EXPECT_EQ(ReadUninstallDataText(std::string(kMaxUninstallDataTextSize + 1, 'a')).error,
            UninstallDataReadError::kTooLarge);
  std::string many;
  for (size_t i = 0; i <= kMaxUninstallDataEntries; ++i) many += "a\n";
  const UninstallDataReadResult r = ReadUninstallDataText(many);
  EXPECT_EQ(r.error, UninstallDataReadError::kTooManyEntries);
  EXPECT_TRUE(r.content.paths.empty());
  many.resize(many.size() - 2);
  EXPECT_TRUE(ReadUninstallDataText(many).ok());
}

// Values within what the format carries: no line breaks in one-line values,
// no blanks at the edges of a line, no string text line that begins with "~"
// or a header, no trailing blanks of a text, deletion entries with bit 3.
class Generator {
 public:
  explicit Generator(uint32_t seed) : rng_(seed) {}

  int Below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

  // Any bytes but CR and LF, from an alphabet rich in the format's own marks.
  std::string Field(int maxLength) {
    static const std::string marks = ",\"\t;|' ~![]!~\x01\xff";
    std::string s;
    const int length = Below(maxLength + 1);
    for (int i = 0; i < length; ++i) {
      const int pick = Below(4);
      s += pick == 0 ? marks[Below(static_cast<int>(marks.size()))] : static_cast<char>('a' + Below(26));
    }
    return s;
  }

  std::string Line(int maxLength) {
    std::string s = "x" + Field(maxLength) + "y";  // no blank edges
    return s;
  }

  std::string Text() {
    std::string s;
    const int lines = Below(4);
    const char* ends[] = {"\r\n", "\n", "\r", "\n\r"};
    for (int i = 0; i < lines; ++i) {
      if (i > 0) s += ends[Below(4)];
      std::string line = Field(12);
      if (!line.empty() && (line[0] == '~' || line[0] == '[')) line.insert(0, "-");
      s += line;
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
  }

  UninstallDataContent Content() {
    UninstallDataContent c;
    for (int i = Below(5); i > 0; --i) c.paths.push_back((Below(2) ? "~C:\\" : "C:\\") + Line(10));
    for (int n : kUninstallerStringNumbers) c.strings[n] = Text();
    c.dialogCaption = Text();
    for (int i = Below(4); i > 0; --i)
      c.closeList.push_back(CloseRecord{Field(8), Field(8), Field(8), static_cast<uint32_t>(rng_()), 0});
    for (int i = Below(4); i > 0; --i) {
      UninstallAssociation a{Line(4), Line(4), Line(6)};
      // Keep "~!~" out of the first two parts' reach.
      for (std::string* part : {&a.extension, &a.fileType})
        for (char& ch : *part)
          if (ch == '~') ch = '-';
      c.associations.push_back(a);
    }
    for (auto* list : {&c.firewall, &c.inf, &c.msi, &c.registry})
      for (int i = Below(3); i > 0; --i) list->push_back(Line(10));
    for (int i = Below(3); i > 0; --i) c.registry2 += Line(12) + "\r\n";
    for (int i = Below(4); i > 0; --i)
      c.deleteList.push_back(DeleteRecord{Field(8), static_cast<uint8_t>(rng_()), Field(8),
                                          static_cast<uint8_t>(rng_() | 0x08)});
    return c;
  }

 private:
  std::mt19937 rng_;
};

TEST(UninstallDataText, ReadGivesBackWhatWasWritten) {
  Generator gen(20261210);
  for (int i = 0; i < 2000; ++i) {
    const UninstallDataContent c = gen.Content();
    const std::string text = WriteUninstallDataText(c);
    const UninstallDataReadResult r = ReadUninstallDataText(text);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.content, c) << "case " << i << ":\n" << text;
  }
}

}  // namespace
}  // namespace setup
