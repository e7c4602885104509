#include "tl_core/fatal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/entry/command_line.h"
#include "setup/run/fatal_messages.h"

namespace {

// The process exit of these tests throws, so a fatal stop comes back here.
struct Exited {
  int code;
};
std::vector<std::string> g_events;
std::string g_text;

void ThrowExit(int code) { throw Exited{code}; }
void RecordText(const char* text) {
  g_events.push_back("callback");
  g_text = text;
}

class FatalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tl::ResetFatalStateForTesting();
    tl::SetProcessExit(&ThrowExit);
    tl::SetFatalCallback(&RecordText);
    g_events.clear();
    g_text.clear();
  }
  void TearDown() override { tl::ResetFatalStateForTesting(); }

  template <class F>
  int ExitCodeOf(F&& f) {
    try {
      f();
    } catch (const Exited& e) {
      return e.code;
    }
    ADD_FAILURE() << "the fatal call returned";
    return -1;
  }
};

TEST_F(FatalTest, HandlersRunLastRegisteredFirstThenTheCallback) {
  tl::RegisterFatalHandler([] { g_events.push_back("first"); });
  tl::RegisterFatalHandler([] { g_events.push_back("second"); });
  EXPECT_EQ(ExitCodeOf([] { tl::FatalMessage("stop %d", 7); }), 1);
  EXPECT_EQ(g_events, (std::vector<std::string>{"second", "first", "callback"}));
  EXPECT_EQ(g_text, "stop 7");
}

TEST_F(FatalTest, ASecondCallEndsAtOnceWithoutHandlersOrCallback) {
  tl::RegisterFatalHandler([] { g_events.push_back("handler"); });
  ExitCodeOf([] { tl::FatalMessage("one"); });
  g_events.clear();
  EXPECT_EQ(ExitCodeOf([] { tl::FatalMessage("two"); }), 1);
  EXPECT_TRUE(g_events.empty());
  EXPECT_EQ(g_text, "one");
}

TEST_F(FatalTest, ANestedCallFromAHandlerEndsAtOnce) {
  tl::RegisterFatalHandler([] { g_events.push_back("outer"); });
  tl::RegisterFatalHandler([] {
    g_events.push_back("nested");
    tl::FatalMessage("inner");
  });
  EXPECT_EQ(ExitCodeOf([] { tl::FatalMessage("outer"); }), 1);
  EXPECT_EQ(g_events, (std::vector<std::string>{"nested"}));
}

TEST_F(FatalTest, TextIsCutAt4095Characters) {
  std::string longText(5000, 'x');
  ExitCodeOf([&] { tl::FatalMessage("%s", longText.c_str()); });
  EXPECT_EQ(g_text.size(), 4095u);
}

TEST_F(FatalTest, AtMostOneHundredHandlers) {
  for (int i = 0; i < tl::kMaxFatalHandlers; ++i) ASSERT_TRUE(tl::RegisterFatalHandler([] {}));
  EXPECT_FALSE(tl::RegisterFatalHandler([] {}));
}

TEST_F(FatalTest, LibraryTexts) {
  struct Case {
    void (*call)();
    const char* text;
  } cases[] = {
      {[] { tl::FatalIndexOutOfRange("String", 5, 4); }, "Vector<String>[5]\r\nmax_index = 4"},
      {[] { tl::FatalDamagedString(3, 10, 8); }, "Damaged String (3):\r\nused length=10\r\nallocated length=8"},
      {[] { tl::FatalInternalError("tl_core", 42); }, "Internal Fatal Error\r\nModule: tl_core\r\nLine: 42"},
      {[] { tl::FatalOutOfMemory(65536); },
       "Out Of Memory.\r\nAdvice: Make sure the hard drive is not full.\r\nRequested size = 65536 "
       "(0x00010000)\r\n\r\nStack contents:"},
  };
  for (const Case& c : cases) {
    tl::ResetFatalStateForTesting();
    tl::SetProcessExit(&ThrowExit);
    tl::SetFatalCallback(&RecordText);
    ExitCodeOf(c.call);
    EXPECT_EQ(g_text, c.text);
  }
  tl::SetApplicationName("Orvanta Setup");
  EXPECT_EQ(tl::LibraryFatalCaption(), "FATAL ERROR - Orvanta Setup");
}

TEST_F(FatalTest, UsageAndCorruptInstallerTexts) {
  ExitCodeOf([] { setup::UsageFatal("Product name required", "setup.exe"); });
  EXPECT_EQ(g_text.rfind("Product name required\r\n\r\nUsage:\r\nsetup.exe [/a] [/b1:", 0), 0u);

  tl::ResetFatalStateForTesting();
  tl::SetProcessExit(&ThrowExit);
  tl::SetFatalCallback(&RecordText);
  ExitCodeOf([] { setup::CorruptInstallerFatal(44); });
  EXPECT_EQ(g_text.rfind("This installation program is corrupt.", 0), 0u);
  EXPECT_TRUE(g_text.ends_with("\r\n\r\nError code: 44")) << g_text;
}

TEST(FillCheckCode, TreatsTheAuthorsTextAsTextNotAsAFormat) {
  struct Case {
    const char* format;
    const char* text;
  } cases[] = {
      {"Broken (%d)", "Broken (61)"},
      {"%d and %d", "61 and %d"},
      {"100%% sure: %s %n %x", "100% sure: %s %n %x"},
      {"no code", "no code"},
      {"trailing %", "trailing %"},
  };
  for (const Case& c : cases) EXPECT_EQ(setup::FillCheckCode(c.format, 61), c.text) << c.format;
}

}  // namespace
