// The uninstall run over a registration and "Uninstall.DAT" of the test's
// own: a complete removal takes both, and data that cannot be written back
// keeps the registration for a later run.
#include "setup/uninstall/uninstall_run_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "setup/record/uninstall_data_text.h"
#include "setup/record/uninstall_entry.h"
#include "setup/strings/string_table.h"
#include "setup/ui/message_boxes_win.h"
#include "test_files.h"
#include "tl_core/file_win.h"

namespace setup {
namespace {

using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::TempFolder;
using test_files::WriteWholeFile;

bool KeyExists(const std::string& subKey) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

class UninstallRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string id = std::to_string(::GetCurrentProcessId());
    keyName_ = "OrvantaUninstallRunTest-" + id;
    entryKey_ = UninstallEntryKey(keyName_);
    install_ = TempFolder() + "orv_uninstall_run_" + id;
    dataFolder_ = install_ + "\\Uninstall";
    dataFile_ = dataFolder_ + "\\Uninstall.DAT";
    installed_ = install_ + "\\app.txt";
    ASSERT_TRUE(::CreateDirectoryA(install_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::CreateDirectoryA(dataFolder_.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    WriteWholeFile(installed_, "the product's file");
    UninstallDataContent data;
    data.paths = {installed_};
    data.strings[kStringUninstallCaption] = "Probe Uninstall";
    WriteWholeFile(dataFile_, WriteUninstallDataText(data));

    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, entryKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    const std::string name = "Uninstall Run Probe";
    ::RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                     static_cast<DWORD>(name.size() + 1));
    ::RegSetValueExA(key, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(install_.c_str()),
                     static_cast<DWORD>(install_.size() + 1));
    const std::string subdir = "Uninstall";
    ::RegSetValueExA(key, "UninstallSubdir", 0, REG_SZ, reinterpret_cast<const BYTE*>(subdir.c_str()),
                     static_cast<DWORD>(subdir.size() + 1));
    ::RegCloseKey(key);
  }

  void TearDown() override {
    for (const std::string& file : {installed_, dataFile_}) ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(dataFolder_.c_str());
    ::RemoveDirectoryA(install_.c_str());
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, entryKey_.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, entryKey_.c_str());
    RunStrings().Load(StringTableData{});
  }

  // An automatic run, as the registration starts it; the run's failure
  // summary in `failures`.
  bool Uninstall(std::string& failures) {
    ProductSettings product;
    UninstallRegistration registration;
    std::string message;
    if (!LoadUninstallRegistration(keyName_, product, registration, message)) {
      ADD_FAILURE() << message;
      return false;
    }
    RunState run(product, {});
    run.automaticMode = true;
    run.folders.installLocation = registration.installLocation;
    run.folders.uninstallDataFolder = dataFolder_;
    SetInteraction(InteractionOf(run));
    const bool removed = UninstallProduct(run, registration);
    failures = run.failures.text();
    return removed;
  }

  std::string keyName_;
  std::string entryKey_;
  std::string install_;
  std::string dataFolder_;
  std::string dataFile_;
  std::string installed_;
};

TEST_F(UninstallRunTest, CompleteRemovalTakesTheRegistrationAndTheData) {
  std::string failures;
  EXPECT_TRUE(Uninstall(failures));
  EXPECT_EQ(failures, "");
  EXPECT_FALSE(Exists(installed_));
  EXPECT_FALSE(Exists(dataFile_));
  EXPECT_FALSE(KeyExists(entryKey_));
}

TEST_F(UninstallRunTest, DataThatCannotBeWrittenBackKeepsTheRegistration) {
  const std::string before = ReadWholeFile(dataFile_);
  // Readable, as another reader would leave it, but not writable.
  HANDLE held = ::CreateFileA(dataFile_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string failures;
  EXPECT_FALSE(Uninstall(failures));
  ::CloseHandle(held);
  EXPECT_EQ(failures, "The uninstall information could not be updated.\r\nFilepath: " + dataFile_ + "\r\n" +
                          tl::SystemErrorText(ERROR_SHARING_VIOLATION) + "\r\n\r\n");
  // What was removed is gone; the registration and the data a later run
  // reads stay as they were.
  EXPECT_FALSE(Exists(installed_));
  EXPECT_TRUE(KeyExists(entryKey_));
  EXPECT_EQ(ReadWholeFile(dataFile_), before);
}

}  // namespace
}  // namespace setup
