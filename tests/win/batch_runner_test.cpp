// Batches through the real command interpreter. Every interpreter start is
// slow under an emulated 32-bit Wine, so the cases share few starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "setup/run/run_state.h"
#include "setup/vars/batch_file_win.h"
#include "tl_core/path_text.h"
#include "tl_core/process_win.h"
#include "tl_core/text.h"
#include "test_files.h"

namespace setup {
namespace {

using test_files::Exists;

std::string ReadFileText(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[4096];
  DWORD read = 0;
  ::ReadFile(file, buffer, sizeof(buffer), &read, nullptr);
  ::CloseHandle(file);
  return std::string(buffer, read);
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  return std::string(folder, ::GetSystemDirectoryA(folder, MAX_PATH));
}

// The 64-bit interpreter, where there is one: it starts much faster than a
// 32-bit program under Wine here.
std::string FastInterpreter() {
  const std::string wide64 = tl::JoinPath(SystemFolder(), "..\\sysnative\\cmd.exe");
  return Exists(wide64) ? wide64 : tl::JoinPath(SystemFolder(), "cmd.exe");
}

// COMSPEC replaced for one scope.
class ScopedComspec {
 public:
  explicit ScopedComspec(const std::string& value) {
    hadValue_ = ::GetEnvironmentVariableA("COMSPEC", saved_, MAX_PATH) > 0;
    ::SetEnvironmentVariableA("COMSPEC", value.c_str());
  }
  ~ScopedComspec() { ::SetEnvironmentVariableA("COMSPEC", hadValue_ ? saved_ : nullptr); }

 private:
  char saved_[MAX_PATH] = {};
  bool hadValue_ = false;
};

// An empty folder with a blank in its name (the batch's working directory),
// and the run's values that the SET lines carry.
class BatchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = tl::JoinPath(temp, "orv batch test");
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    ASSERT_TRUE(Exists(folder_));
    // Operators in a value must reach the batch as text. ("%" is doubled
    // as well, but Wine's interpreter drops a doubled "%" in SET lines.)
    product_.displayName = "Tom & Jerry | <Co> ^2";
    product_.stream.DisplayVersion = "3.1";
  }
  RunState Run(bool automaticMode) const {
    RunState run(product_, {});
    run.folders.installLocation = folder_;
    run.automaticMode = automaticMode;
    return run;
  }
  void TearDown() override {
    for (const char* name : {"SETUPBAT.BAT", "ov_batch.log", "marker.txt"})
      ::DeleteFileA(tl::JoinPath(folder_, name).c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  BatchRequest Request(const std::string& text, bool hidden, const std::string& displayName) {
    BatchRequest request;
    request.workingDirectory = folder_;
    request.hidden = hidden;
    request.text = text;
    request.displayName = displayName;
    return request;
  }
  void ExpectNoBatchFilesLeft() {
    EXPECT_FALSE(Exists(tl::JoinPath(folder_, "SETUPBAT.BAT")));
    EXPECT_FALSE(Exists(tl::JoinPath(folder_, "ov_batch.log")));
  }
  ProductSettings product_;
  std::string folder_;
};

TEST_F(BatchRun, CapturedOutputWithSetLinesAndWithoutPause) {
  // Automatic and visible: the pause line would print its prompt into the
  // log (and wait) if it were kept.
  const BatchRequest request = Request(
      "echo \"%ProductName%\"\npause\r\n@ PAUSE \r\necho version %Version% in %CD%\r\nif \"%InstallDir%\"==\"%CD%\" echo same folder\r\n",
      false, "Test Batch");
  const BatchOutcome outcome = RunBatchFile(Run(/*automaticMode=*/true), request);
  ASSERT_EQ(outcome.stage, BatchOutcome::Stage::kRan) << outcome.error;
  EXPECT_TRUE(tl::EqualsNoCase(outcome.batchPath, tl::JoinPath(folder_, "SETUPBAT.BAT"))) << outcome.batchPath;
  const std::string expected =
      "\"Tom & Jerry | <Co> ^2\"\r\nversion 3.1 in " + folder_ + "\r\nsame folder";
  EXPECT_TRUE(tl::EqualsNoCase(outcome.output, expected)) << "output:\n" << outcome.output << "\nexpected:\n" << expected;
  ExpectNoBatchFilesLeft();
}

TEST_F(BatchRun, HiddenBatchWithoutDisplayNameIsNotCaptured) {
  const BatchRequest request =
      Request("if exist ov_batch.log (echo log> marker.txt) else (echo no log> marker.txt)\r\npause\r\necho printed",
              true, "");
  // Interactive but hidden: pause is dropped too, nobody could answer it.
  // (The real COMSPEC ran in the test above.)
  ScopedComspec fast(FastInterpreter());
  const BatchOutcome outcome = RunBatchFile(Run(/*automaticMode=*/false), request);
  ASSERT_EQ(outcome.stage, BatchOutcome::Stage::kRan) << outcome.error;
  EXPECT_EQ(outcome.output, "");
  EXPECT_EQ(std::string(tl::TrimBlanks(ReadFileText(tl::JoinPath(folder_, "marker.txt")))), "no log");
  ExpectNoBatchFilesLeft();
}

TEST_F(BatchRun, BlankTextWritesAndRunsNothing) {
  for (const char* text : {"", " \r\n\t\n"}) {
    const BatchOutcome outcome = RunBatchFile(Run(true), Request(text, false, "Blank"));
    EXPECT_EQ(outcome.stage, BatchOutcome::Stage::kNothingToRun);
    EXPECT_EQ(outcome.batchPath, "");
    ExpectNoBatchFilesLeft();
  }
}

TEST_F(BatchRun, MissingFolderIsNotWritten) {
  BatchRequest request = Request("echo x", false, "Test");
  request.workingDirectory = tl::JoinPath(folder_, "missing");
  const BatchOutcome outcome = RunBatchFile(Run(true), request);
  EXPECT_EQ(outcome.stage, BatchOutcome::Stage::kNotWritten);
  EXPECT_EQ(outcome.error, static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(tl::EqualsNoCase(outcome.batchPath, tl::JoinPath(request.workingDirectory, "SETUPBAT.BAT")));
}

TEST_F(BatchRun, MissingInterpreterIsNotStartedAndLeavesNothing) {
  ScopedComspec missing("C:\\no\\such\\folder\\cmd.exe");
  const BatchOutcome outcome = RunBatchFile(Run(true), Request("echo x", true, "Test"));
  EXPECT_EQ(outcome.stage, BatchOutcome::Stage::kNotStarted);
  EXPECT_TRUE(outcome.error == ERROR_PATH_NOT_FOUND || outcome.error == ERROR_FILE_NOT_FOUND) << outcome.error;
  ExpectNoBatchFilesLeft();
}

TEST(RunProcess, ExitCodesAndStartFailure) {
  const std::string quoted = "\"" + FastInterpreter() + "\"";

  EXPECT_EQ(tl::RunProcess(quoted + " /c exit 7", tl::kRunWait | tl::kRunHidden, ""), 7u);
  EXPECT_EQ(tl::RunProcess(quoted + " /c exit 3", tl::kRunWait | tl::kRunPumpMessages, ""), 3u);
  EXPECT_EQ(tl::RunProcess(quoted + " /c exit 5", tl::kRunHidden, ""), tl::kRunNotWaited);

  EXPECT_EQ(tl::RunProcess("\"C:\\no\\such\\program.exe\"", tl::kRunWait, ""), tl::kRunStartFailed);
  const DWORD error = ::GetLastError();
  EXPECT_TRUE(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) << error;
  EXPECT_EQ(tl::RunProcess(quoted + " /c exit 0", tl::kRunWait, "C:\\no\\such\\folder"), tl::kRunStartFailed);
  EXPECT_NE(::GetLastError(), 0u);
}

TEST(RunProcess, PumpingKeepsAQuitMessageForTheLoop) {
  ::PostQuitMessage(4);
  EXPECT_FALSE(tl::PumpWindowMessages());
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT posted again";
  EXPECT_EQ(msg.wParam, 4u);
  EXPECT_TRUE(tl::PumpWindowMessages());
}

}  // namespace
}  // namespace setup
