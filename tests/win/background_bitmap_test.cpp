// The background bitmap the installation leaves for the uninstaller (under
// Wine): written whole into the uninstall data folder and recorded for
// removal only when the product asks for it and has an uninstaller; read
// back by the uninstallation.
#include "setup/integration/background_bitmap_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "setup/payload/product_flags.h"
#include "setup/run/run_state.h"
#include "test_files.h"

namespace setup {
namespace {

using test_files::Exists;
using test_files::ReadWholeFile;
using test_files::RemoveTree;
using test_files::TempFolder;
using test_files::WriteWholeFile;

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

TEST(BackgroundBitmapFile, WrittenRecordedAndReadBackOnlyWhenAskedFor) {
  const std::string folder = TempFolder() + "orv-bitmap-test";
  const std::string path = folder + "\\" + kBackgroundBitmapFileName;
  const std::vector<uint8_t> bitmap = {'B', 'M', 1, 2, 3, 0, 255};
  struct Case {
    const char* name;
    uint64_t flags;
    std::vector<uint8_t> bitmap;
    bool written;
  } cases[] = {
      {"asked for, with an uninstaller", Bit(kFlagUninstallerBackground) | Bit(kFlagHasUninstaller), bitmap, true},
      {"no uninstaller", Bit(kFlagUninstallerBackground), bitmap, false},
      {"not asked for", Bit(kFlagHasUninstaller), bitmap, false},
      {"no bitmap", Bit(kFlagUninstallerBackground) | Bit(kFlagHasUninstaller), {}, false},
  };
  for (const Case& c : cases) {
    RemoveTree(folder);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    // An older file of the same name is replaced whole.
    WriteWholeFile(path, "an older, longer picture");
    ProductSettings product;
    product.stream.ProductFlags = c.flags;
    product.stream.Bitmap = c.bitmap;
    RunState run(product, CommandLineOptions{});
    run.folders.uninstallDataFolder = folder;
    WriteBackgroundBitmap(run);
    const std::vector<uint8_t> read = ReadBackgroundBitmap(folder);
    if (c.written) {
      EXPECT_EQ(read, bitmap) << c.name;
      EXPECT_NE(run.uninstallData.pathList().find(path), std::string::npos) << c.name;
    } else {
      EXPECT_EQ(ReadWholeFile(path), "an older, longer picture") << c.name;
      EXPECT_TRUE(run.uninstallData.pathList().empty()) << c.name;
    }
    EXPECT_FALSE(Exists(path + ".new")) << c.name;
  }
  RemoveTree(folder);
  EXPECT_TRUE(ReadBackgroundBitmap(folder).empty());
}

}  // namespace
}  // namespace setup
