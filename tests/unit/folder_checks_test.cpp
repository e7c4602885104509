#include "setup/folders/folder_checks.h"

#include <gtest/gtest.h>

#include <string_view>

namespace setup {
namespace {

TEST(FolderText, Trimmed) {
  struct Case {
    std::string_view text;
    std::string_view trimmed;
  } cases[] = {
      {"C:\\App", "C:\\App"},
      {"  C:\\App \t", "C:\\App"},
      {"\"C:\\Program Files\\App\"", "C:\\Program Files\\App"},
      {"  \"C:\\App\"  ", "C:\\App"},
      {"\" C:\\App \"", "C:\\App"},          // blanks inside the quotes go too
      {"\"\"C:\\App\"\"", "\"C:\\App\""},    // one pair only
      {"\"C:\\App", "\"C:\\App"},            // an unpaired quote stays
      {"C:\\App\"", "C:\\App\""},
      {"\"", "\""},
      {"\"\"", ""},
      {"\"  \"", ""},
      {"C:\\My App", "C:\\My App"},          // blanks within stay
      {"", ""},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimmedFolderText(c.text), c.trimmed) << c.text;
}

TEST(FolderText, Valid) {
  struct Case {
    std::string_view folder;
    bool valid;
  } cases[] = {
      {"C:\\App", true},
      {"c:\\Program Files\\App (2)", true},
      {"C:\\", true},
      {"C:", true},
      {"\\\\server\\share", true},
      {"\\\\server\\share\\App", true},
      {"App\\Sub", true},  // relative, but its text is fine
      {"C:\\App\\", true},
      {"", true},
      {"C:\\a/b", false},
      {"C:\\a\"b", false},
      {"C:\\a<b", false},
      {"C:\\a>b", false},
      {"C:\\a|b", false},
      {"C:\\a*b", false},
      {"C:\\a?b", false},
      {"C:\\a;b", false},
      {"C:\\a:b", false},  // a colon only after the drive letter
      {"C::\\App", false},
      {"1:\\App", false},  // no drive letter before the colon
      {":\\App", false},
      {"\\:App", false},
      {"App:", false},
      {"/App", false},   // forbidden as the first character
      {"C:\\App;", false},  // and as the last
      {"C:\\a\\\\b", false},
      {"C:\\\\a", false},
      {"C:\\a\\\\", false},
      {"\\\\server\\\\share", false},
      {"\\\\\\server\\share", false},  // three leading backslashes
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidFolderText(c.folder), c.valid) << c.folder;
}

TEST(FolderText, AbsoluteNetworkAndDrive) {
  struct Case {
    std::string_view folder;
    bool absolute;
    bool network;
    char drive;
  } cases[] = {
      {"C:\\App", true, false, 'C'},
      {"c:\\x", true, false, 'C'},
      {"z:\\", true, false, 'Z'},
      {"C:", false, false, 'C'},
      {"C:App", false, false, 'C'},  // relative to the drive's current folder
      {"\\\\server\\share", true, true, 0},
      {"\\\\", true, true, 0},
      {"\\App", false, false, 0},
      {"App\\Sub", false, false, 0},
      {"1:\\App", false, false, 0},
      {"", false, false, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAbsoluteFolderText(c.folder), c.absolute) << c.folder;
    EXPECT_EQ(IsNetworkPathText(c.folder), c.network) << c.folder;
    EXPECT_EQ(DriveLetterOf(c.folder), c.drive) << c.folder;
  }
}

TEST(FolderText, SameFolder) {
  struct Case {
    std::string_view a, b;
    bool same;
  } cases[] = {
      {"C:\\Program Files", "c:\\program files\\", true},
      {"C:\\Program Files\\", "C:\\Program Files", true},
      {"C:\\Program Files\\", "C:\\PROGRAM FILES\\", true},
      {"\\\\Server\\Share", "\\\\server\\share\\", true},
      {"C:\\Program Files\\App", "C:\\Program Files", false},
      {"C:\\Program Files (x86)", "C:\\Program Files", false},
      {"C:\\Program Files\\\\", "C:\\Program Files", false},  // one trailing backslash only
      {"D:\\Program Files", "C:\\Program Files", false},
      {"C:\\Progr\xc4m", "C:\\progr\xe4m", false},  // letter case beyond ASCII counts
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSameFolder(c.a, c.b), c.same) << c.a << " / " << c.b;
    EXPECT_EQ(IsSameFolder(c.b, c.a), c.same) << c.b << " / " << c.a;
  }
}

struct FolderCheck {
  std::string folder;
  FolderDriveFacts drive;
  FolderRules rules;
};

// A folder that fails every test, made good one test at a time: each step
// still fails all the later tests, so each refusal shows that it comes
// before all of them.
TEST(FolderRefusals, ReportedInThePagesOrder) {
  FolderCheck check;
  check.folder = "";
  check.drive = {.drivePresent = false, .networkDrive = true, .readOnly = true, .removable = true,
                 .freeSpaceKnown = true, .freeBytes = 10};
  check.rules = {.refuseNetwork = true, .refuseRemovable = true, .checkSpace = true, .requiredBytes = 11,
                 .programsFolder = "C:\\Program Files"};
  struct Step {
    const char* change;
    void (*apply)(FolderCheck&);
    FolderRefusal refusal;
  } steps[] = {
      {"empty", [](FolderCheck&) {}, FolderRefusal::kEmpty},
      {"forbidden character", [](FolderCheck& c) { c.folder = "\\\\server\\sh|are"; }, FolderRefusal::kNotValid},
      {"relative", [](FolderCheck& c) { c.folder = "server\\share"; }, FolderRefusal::kNotValid},
      {"network text", [](FolderCheck& c) { c.folder = "\\\\server\\share"; }, FolderRefusal::kNoDrive},
      {"drive present", [](FolderCheck& c) { c.drive.drivePresent = true; }, FolderRefusal::kNetwork},
      {"programs folder on a mapped drive", [](FolderCheck& c) { c.folder = "c:\\program files\\"; },
       FolderRefusal::kNetwork},
      {"local drive", [](FolderCheck& c) { c.drive.networkDrive = false; }, FolderRefusal::kProgramsFolder},
      {"own folder", [](FolderCheck& c) { c.folder = "C:\\Program Files\\App"; }, FolderRefusal::kReadOnlyDrive},
      {"writable", [](FolderCheck& c) { c.drive.readOnly = false; }, FolderRefusal::kReadOnlyDrive},
      {"fixed", [](FolderCheck& c) { c.drive.removable = false; }, FolderRefusal::kLowSpace},
      {"exactly enough space", [](FolderCheck& c) { c.drive.freeBytes = 11; }, FolderRefusal::kNone},
  };
  for (const Step& step : steps) {
    step.apply(check);
    EXPECT_EQ(FirstFolderRefusal(check.folder, check.drive, check.rules), step.refusal) << step.change;
  }
}

FolderCheck Acceptable() {
  FolderCheck check;
  check.folder = "D:\\Apps\\Demo";
  check.rules.programsFolder = "C:\\Program Files";
  check.rules.requiredBytes = 1000;
  check.drive.freeSpaceKnown = true;
  check.drive.freeBytes = 5000;
  return check;
}

// Each test refuses only under its own conditions.
TEST(FolderRefusals, EachTestsConditions) {
  struct Case {
    const char* name;
    void (*apply)(FolderCheck&);
    FolderRefusal refusal;
  } cases[] = {
      {"acceptable", [](FolderCheck&) {}, FolderRefusal::kNone},
      {"drive root", [](FolderCheck& c) { c.folder = "D:\\"; }, FolderRefusal::kNone},
      {"drive without backslash", [](FolderCheck& c) { c.folder = "D:"; }, FolderRefusal::kNotValid},
      {"colon inside", [](FolderCheck& c) { c.folder = "D:\\Apps:Demo"; }, FolderRefusal::kNotValid},
      {"double backslash", [](FolderCheck& c) { c.folder = "D:\\Apps\\\\Demo"; }, FolderRefusal::kNotValid},
      {"rooted without a drive", [](FolderCheck& c) { c.folder = "\\Apps\\Demo"; }, FolderRefusal::kNotValid},
      {"missing drive", [](FolderCheck& c) { c.drive.drivePresent = false; }, FolderRefusal::kNoDrive},
      {"network text allowed", [](FolderCheck& c) { c.folder = "\\\\server\\share\\Demo"; }, FolderRefusal::kNone},
      {"mapped drive allowed", [](FolderCheck& c) { c.drive.networkDrive = true; }, FolderRefusal::kNone},
      {"network text refused",
       [](FolderCheck& c) {
         c.folder = "\\\\server\\share\\Demo";
         c.rules.refuseNetwork = true;
       },
       FolderRefusal::kNetwork},
      {"mapped drive refused",
       [](FolderCheck& c) {
         c.drive.networkDrive = true;
         c.rules.refuseNetwork = true;
       },
       FolderRefusal::kNetwork},
      {"local drive with network refused", [](FolderCheck& c) { c.rules.refuseNetwork = true; }, FolderRefusal::kNone},
      {"programs folder", [](FolderCheck& c) { c.folder = "C:\\Program Files"; }, FolderRefusal::kProgramsFolder},
      {"programs folder, trailing backslash", [](FolderCheck& c) { c.folder = "C:\\Program Files\\"; },
       FolderRefusal::kProgramsFolder},
      {"programs folder given with a backslash",
       [](FolderCheck& c) {
         c.folder = "c:\\PROGRAM FILES";
         c.rules.programsFolder = "C:\\Program Files\\";
       },
       FolderRefusal::kProgramsFolder},
      {"inside the programs folder", [](FolderCheck& c) { c.folder = "C:\\Program Files\\Demo"; },
       FolderRefusal::kNone},
      {"programs folder unknown",
       [](FolderCheck& c) {
         c.folder = "C:\\";
         c.rules.programsFolder = "";
       },
       FolderRefusal::kNone},
      {"read-only", [](FolderCheck& c) { c.drive.readOnly = true; }, FolderRefusal::kReadOnlyDrive},
      {"read-only, removable allowed",
       [](FolderCheck& c) {
         c.drive.readOnly = true;
         c.drive.removable = true;
       },
       FolderRefusal::kReadOnlyDrive},
      {"removable allowed", [](FolderCheck& c) { c.drive.removable = true; }, FolderRefusal::kNone},
      {"removable refused",
       [](FolderCheck& c) {
         c.drive.removable = true;
         c.rules.refuseRemovable = true;
       },
       FolderRefusal::kReadOnlyDrive},
      {"fixed with removable refused", [](FolderCheck& c) { c.rules.refuseRemovable = true; }, FolderRefusal::kNone},
      {"low space, not checked", [](FolderCheck& c) { c.drive.freeBytes = 999; }, FolderRefusal::kNone},
      {"low space",
       [](FolderCheck& c) {
         c.drive.freeBytes = 999;
         c.rules.checkSpace = true;
       },
       FolderRefusal::kLowSpace},
      {"exactly enough",
       [](FolderCheck& c) {
         c.drive.freeBytes = 1000;
         c.rules.checkSpace = true;
       },
       FolderRefusal::kNone},
      {"free space unknown",
       [](FolderCheck& c) {
         c.drive.freeSpaceKnown = false;
         c.drive.freeBytes = 0;
         c.rules.checkSpace = true;
       },
       FolderRefusal::kNone},
      {"beyond 4 GB",
       [](FolderCheck& c) {
         c.drive.freeBytes = 0x100000000ull;
         c.rules.requiredBytes = 0x100000001ull;
         c.rules.checkSpace = true;
       },
       FolderRefusal::kLowSpace},
  };
  for (const Case& c : cases) {
    FolderCheck check = Acceptable();
    c.apply(check);
    EXPECT_EQ(FirstFolderRefusal(check.folder, check.drive, check.rules), c.refusal) << c.name;
  }
}

}  // namespace
}  // namespace setup
