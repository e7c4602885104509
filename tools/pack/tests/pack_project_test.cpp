// Reading project files: the errors name the line and column of the value
// or key at fault, the author's words become the settings' numbers, and the
// keys the runtime does not read yet are warned about.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "ineffective_keys.h"
#include "option_names.h"
#include "project.h"

namespace pack {
namespace {

constexpr char kProduct[] = "[product]\nname = \"Demo\"\n";  // lines 1 and 2 of most snippets

Outcome<Project> Parse(const std::string& text) { return ParseProject(text, "demo.toml", "/work/demo"); }

Project ParseOk(const std::string& text) {
  Outcome<Project> project = Parse(text);
  EXPECT_TRUE(project.ok()) << project.error().ToString();
  return project.ok() ? project.value() : Project{};
}

struct BadCase {
  const char* what;
  std::string text;
  int line;
  int column;  // 0: not checked
  const char* message;
};

TEST(ProjectErrors, NameTheLineAndWhatIsWrong) {
  const std::string p = kProduct;
  const BadCase cases[] = {
      {"toml syntax", p + "version = \"1.0\n", 3, 0, ""},
      {"no product", "[wizard]\ncaption = \"x\"\n", 1, 1, "needs a [product] table"},
      {"product without name", "[product]\nversion = \"1\"\n", 1, 0, "[product] needs a name"},
      {"unknown key", p + "nmae = \"x\"\n", 3, 1, "unknown key \"nmae\" in [product]"},
      {"unknown top-level table", p + "[fiels]\nx = 1\n", 3, 0, "unknown key \"fiels\""},
      {"unknown file kind", p + "[[files]]\nsource = \"a.exe\"\nkind = \"exe\"\n", 5, 8,
       "files]].kind: unknown value \"exe\"; use app, shared, font, startup-app"},
      {"unknown replace mode", p + "[[files]]\nsource = \"a\"\nreplace = \"newer\"\n", 5, 11, "unknown value \"newer\""},
      {"password longer than the page takes", p + "password = \"" + std::string(65, 'x') + "\"\n", 3, 12,
       "at most 64 characters"},
      {"enum given as number", p + "bitness = 64\n", 3, 11, "product.bitness: must be one of any, 64-bit or 32-bit-only"},
      {"number out of range", p + "[wizard]\nprogress-pause = 10000\n", 4, 18, "10000 is outside 0 to 9999"},
      {"colour", p + "[background]\ntop-color = \"blue\"\n", 4, 13, "\"#RRGGBB\""},
      {"text outside the code page", "[product]\nname = \"\xE6\x97\xA5\xE6\x9C\xAC\"\n", 2, 8, "Windows-1252"},
      {"NUL in a text", "[product]\nname = \"a\\u0000b\"\n", 2, 8, "cannot hold a NUL"},
      {"wrong type", p + "[options]\nsingle-instance = \"yes\"\n", 4, 19, "must be true or false"},
      {"unknown option", p + "[options]\nsingle-instanse = true\n", 4, 1, "unknown key \"single-instanse\" in [options]"},
      {"raw bit out of range", p + "[options]\nraw-flags = [3, 64]\n", 4, 17, "a bit number lies in 0 to 63"},
      {"raw bit2 out of range", p + "[options]\nraw-flags2 = [32]\n", 4, 15, "0 to 31"},
      {"strings of a language not carried", p + "[strings.Deutsch]\n48 = \"Weiter\"\n", 3, 10,
       "strings for \"Deutsch\", which is not in languages"},
      {"string not named by number", p + "[strings.English]\nnext = \"Go\"\n", 4, 1, "named by its number"},
      {"string number too high", p + "[strings.English]\n10000 = \"x\"\n", 4, 1, "0 to 9999"},
      {"shortcut on a font", p + "[[files]]\nsource = \"a.ttf\"\nkind = \"font\"\ndesktop-shortcut = true\n", 6, 20,
       "shortcuts are made only for files of kind app or startup-app"},
      {"version on an app", p + "[[files]]\nsource = \"a.exe\"\nversion = \"1.0\"\n", 5, 11, "is compared only for kinds"},
      {"icon without shortcut", p + "[[files]]\nsource = \"a.exe\"\nicon = \"a.ico\"\n", 5, 8,
       "needs desktop-shortcut or start-menu-shortcut"},
      {"name on a pattern", p + "[[files]]\nsource = \"bin/*.dll\"\nname = \"x.dll\"\n", 5, 8, "a pattern names its files"},
      {"pattern onto one file", p + "[[files]]\nsource = \"*.txt\"\ntarget = \"one.txt\"\n", 5, 10, "target folder ending in"},
      {"remove-package on an app", p + "[[files]]\nsource = \"a\"\nremove-package = true\n", 5, 18, "kind package"},
      {"file without source", p + "[[files]]\nkind = \"app\"\n", 3, 1, "needs a source"},
      {"files not an array of tables", "files = \"a\"\n" + p, 1, 9, "[[files]] tables"},
      {"registry root", p + "[[registry]]\nkey = 'HKXX\\Software\\Demo'\n", 4, 7, "does not start with HKLM"},
      {"registry dword data", p + "[[registry]]\nkey = 'HKCU\\S'\nvalue = \"n\"\ntype = \"dword\"\ndata = \"ten\"\n", 4, 7,
       "dword data is a whole number"},
      {"registry binary data", p + "[[registry]]\nkey = 'HKCU\\S'\ntype = \"binary\"\ndata = \"0g\"\n", 4, 7,
       "pairs of hexadecimal digits"},
      {"keep on a key entry", p + "[[registry]]\nkey = 'HKCU\\S'\nkeep = true\n", 5, 8, "belongs to a value entry"},
      {"firewall program and port", p + "[[firewall]]\nprogram = \"a.exe\"\nport = 80\nname = \"x\"\n", 3, 1,
       "either a program or a port"},
      {"firewall port range", p + "[[firewall]]\nport = 70000\nname = \"x\"\n", 4, 8, "outside 1 to 65535"},
      {"firewall separator", p + "[[firewall]]\nport = 80\nname = \"a;b\"\n", 3, 1, "cannot hold \";\""},
      {"delete without moment", p + "[[delete]]\nfile = \"old.txt\"\n", 3, 1, "needs when ="},
      {"delete size not a number", p + "[[delete]]\nfile = \"a\"\ncondition = \"size-equal\"\nvalue = \"big\"\nwhen = [\"uninstall\"]\n",
       6, 9, "a size is a whole number"},
      {"delete list terminator", p + "[[delete]]\nfile = \"~~THE END~~\"\nwhen = [\"uninstall\"]\n", 4, 8, "ends the list"},
      {"close without pattern", p + "[[close]]\nname = \"Demo\"\n", 3, 1, "needs a window class or title"},
      {"shortcut that makes nothing", p + "[[shortcuts]]\ntarget = \"a.exe\"\n", 3, 1, "makes no shortcut"},
      {"word listed twice", p + "[[close]]\ntitle = \"x\"\nwhen = [\"install\", \"install\"]\n", 5, 20, "names \"install\" twice"},
      {"language listed twice", "languages = [\"English\", \"English\"]\n" + p, 1, 25, "named twice"},
      {"desktop icon without folder", p + "[desktop]\nfolder-icon = \"f.ico\"\n", 4, 15, "needs desktop.folder"},
      {"too many licenses", p + "[wizard]\nlicense = [" + [] {
         std::string list;
         for (int i = 0; i < 21; ++i) list += (i ? ", " : "") + std::string("\"l.txt\"");
         return list;
       }() + "]\n",
       4, 192, "more than 20 license documents"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.what);
    Outcome<Project> project = Parse(c.text);
    ASSERT_FALSE(project.ok());
    const PackError& error = project.error();
    EXPECT_EQ(error.where.file, "demo.toml");
    EXPECT_EQ(error.where.line, c.line) << error.ToString();
    if (c.column) EXPECT_EQ(error.where.column, c.column) << error.ToString();
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.ToString();
  }
}

TEST(ProjectErrors, FormatAsFileLineColumn) {
  Outcome<Project> project = Parse(std::string(kProduct) + "[[files]]\nsource = \"a\"\nkind = \"exe\"\n");
  ASSERT_FALSE(project.ok());
  EXPECT_EQ(project.error().ToString().rfind("demo.toml:5:8: [[files]].kind: unknown value \"exe\"", 0), 0u)
      << project.error().ToString();
}

// Keys the runtime does not read yet: each given one is a warning at its
// line, in file order; the project is read all the same.
struct ExpectedWarning {
  int line;
  int column;
  std::string message;
  bool operator==(const ExpectedWarning&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ExpectedWarning& w) {
  return out << w.line << ":" << w.column << ": " << w.message;
}

std::vector<ExpectedWarning> WarningsOf(const Project& project) {
  std::vector<ExpectedWarning> found;
  for (const PackWarning& w : project.warnings) {
    EXPECT_EQ(w.where.file, "demo.toml");
    found.push_back({w.where.line, w.where.column, w.message});
  }
  return found;
}

struct WarningCase {
  const char* what;
  std::string text;
  std::vector<ExpectedWarning> warnings;
};

TEST(ProjectWarnings, NameEachKeyWithoutEffectAtItsLine) {
  const std::string p = kProduct;
  const std::string none = " has no effect in this runtime version yet";
  const WarningCase cases[] = {
      {"list keys, in file order rather than by name",
       p + "[[firewall]]\nprogram = 'a.exe'\nname = \"A\"\n",
       {{4, 1, "[[firewall]].program" + none}, {5, 1, "[[firewall]].name" + none}}},
      {"options turned on warn, turned off do not",
       p + "[options]\nadd-to-path = true\nbind-executables = false\nsingle-instance = true\n"
           "uninstaller-start-menu-shortcut = false\nmaximized-background = true\n",
       {{4, 1, "options.add-to-path" + none}}},
      {"a default-on option restated",
       p + "[options]\nuninstaller-start-menu-shortcut = true\n",
       {{4, 1, "options.uninstaller-start-menu-shortcut" + none}}},
      {"keys with their effect stay quiet",
       p + "version = \"1\"\nextra-space = 10\npassword = \"x\"\n[wizard]\nprogress-pause = 100\n"
           "styles = { greeting = \"plain\", summary = \"header\" }\n[uninstaller]\nnotify-url = "
           "\"https://x.invalid\"\n"
           "[finish]\nrun = 'a.exe'\n[batches]\npre-install = { commands = \"x\", hidden = true }\n"
           "[[close]]\ntitle = \"x\"\nwhen = [\"uninstall\"]\n[[uninstall-values]]\nname = \"HelpLink\"\nvalue = "
           "\"x\"\n"
           "[options]\nprogress-dialog = true\nsingle-instance = true\nbutton-pictures = true\n"
           "no-cancel-during-install = true\n[strings.English]\n48 = \"Go\"\n"
           "[background]\ntitle = \"T\"\ntop-color = \"#102030\"\nbitmap-mode = \"fit\"\n",
       {}},
      {"the progress dialog's look and place stay quiet",
       p + "[wizard]\nstyles = { folder = \"header\", progress = \"header\" }\nprogress-position = { horizontal = "
           "\"left\" }\n",
       {}},
      {"product keys",
       p + "registry-key = 'Me\\App'\nshortcuts-for = \"all-users\"\n",
       {{3, 1, "product.registry-key" + none}, {4, 1, "product.shortcuts-for" + none}}},
      {"a kind with some of its effect warns at the value",
       p + "[[files]]\nsource = \"a.ttf\"\nkind = \"font\"\n[[files]]\nsource = \"b.dll\"\nkind = \"system\"\n"
           "[[files]]\nsource = \"c.exe\"\nkind = \"app\"\n",
       {{5, 8,
         "[[files]].kind \"font\": the file is installed, but the font is not registered in this runtime version "
         "yet"}}},
      {"a file's shortcut keys, a flag off quiet",
       p + "[[files]]\nsource = \"a.exe\"\nstart-menu-shortcut = true\ndesktop-shortcut = false\ncaption = \"A\"\n"
           "permanent = true\n",
       {{5, 1, "[[files]].start-menu-shortcut" + none}, {7, 1, "[[files]].caption" + none}}},
      {"raw bits: a named bit without effect, a bit without a name, a bit with effect",
       p + "[options]\nraw-flags = [12, 3, 8]\nraw-flags2 = [11, 6]\n",
       {{4, 14, "options.raw-flags: bit 12 (add-to-path)" + none},
        {4, 18, "options.raw-flags: bit 3 is not read by the runtime"},
        {5, 15, "options.raw-flags2: bit 11 (no-shortcuts-on-removable-drive)" + none}}},
      {"every key of a list entry",
       p + "[[registry]]\nkey = 'HKCU\\Software\\Demo'\nvalue = \"n\"\n[[delete]]\nfile = \"old.txt\"\nwhen = "
           "[\"uninstall\"]\n",
       {{4, 1, "[[registry]].key" + none},
        {5, 1, "[[registry]].value" + none},
        {7, 1, "[[delete]].file" + none},
        {8, 1, "[[delete]].when" + none}}},
  };
  for (const WarningCase& c : cases) {
    SCOPED_TRACE(c.what);
    Outcome<Project> project = Parse(c.text);
    ASSERT_TRUE(project.ok()) << project.error().ToString();
    EXPECT_EQ(WarningsOf(project.value()), c.warnings);
  }
}

TEST(ProjectWarnings, FormatAsFileLineColumnWarning) {
  Project project = ParseOk(std::string(kProduct) + "[desktop]\nfolder = \"Demo\"\n");
  ASSERT_EQ(project.warnings.size(), 1u);
  EXPECT_EQ(project.warnings[0].ToString(),
            "demo.toml:4:1: warning: desktop.folder has no effect in this runtime version yet");
}

// A project that gives every key of the table once (and every kind of it)
// gets exactly one warning per entry: an entry that names no key the tool
// reads, or a warning from outside the table, fails here.
TEST(ProjectWarnings, EveryEntryOfTheTableIsAKeyTheToolReads) {
  std::string text =
      "[product]\nname = \"Demo\"\nregistry-key = 'Me\\App'\nshortcuts-for = \"all-users\"\n"
      "[wizard]\nstyles = { progress = \"header\" }\nprogress-position = { vertical = \"top\" }\n"
      "[background]\ntaskbar-text = \"t\"\ntitle = \"t\"\ntitle-size = 1.5\ntitle-color = \"#FFFFFF\"\n"
      "title-shadow = 2\ntitle-position = \"top-left\"\ntitle-font = \"Arial\"\ntop-color = \"#000000\"\n"
      "bottom-color = \"#000001\"\nbitmap = \"b.bmp\"\nbitmap-size = 50\nbitmap-mode = \"fit\"\ntransparent-pixel = 0\n"
      "copyright = \"c\"\ncopyright-position = \"bottom-right\"\ncopyright-font = \"Arial\"\ncopyright-size = 1.0\n"
      "copyright-color = \"#C0C0C0\"\n"
      "[desktop]\nfolder = \"Demo\"\nfolder-icon = \"f.ico\"\n"
      "[root-shortcut]\nname = \"Demo\"\ntarget = 'a.exe'\n"
      "[[files]]\nsource = \"a.exe\"\ndesktop-shortcut = true\nstart-menu-shortcut = true\ncaption = \"A\"\n"
      "icon = 'a.exe,0'\narguments = \"-x\"\nworking-folder = '%InstallDir%'\n"
      "[[files]]\nsource = \"f.ttf\"\nkind = \"font\"\nfont-name = \"F\"\n"
      "[[files]]\nsource = \"p.msi\"\nkind = \"package\"\npackage-option = 1\nremove-package = true\n"
      "[[shortcuts]]\ntarget = 'a.exe'\ncaption = \"A\"\nicon = 'a.exe'\narguments = \"-x\"\nworking-folder = 'C:\\'\n"
      "folder = \"More\"\ndesktop = true\nstart-menu = true\nstartup = true\npermanent = true\nshow = \"minimized\"\n"
      "[[registry]]\nkey = 'HKCU\\Software\\Demo'\nvalue = \"n\"\ntype = \"dword\"\ndata = 1\ninstall = true\nkeep = "
      "true\n"
      "[[associations]]\nextension = \"demo\"\nfile-type = \"Demo.Doc\"\ndescription = \"d\"\nverb = \"open\"\n"
      "verb-label = \"&Open\"\ncommand = 'a.exe \"%1\"'\nlanguage = \"English\"\nicon = 'a.exe,0'\ndefault-verb = "
      "true\n"
      "[[firewall]]\nprogram = 'a.exe'\nname = \"Demo\"\nstays = true\n"
      "[[firewall]]\nport = 80\nname = \"Web\"\nprotocols = [\"tcp\"]\n"
      "[[delete]]\nfile = \"old.txt\"\ncondition = \"size-equal\"\nvalue = 10\nwhen = [\"uninstall\"]\nrestart = "
      "\"only\"\n";
  for (const char* kind : {"shared", "startup-app", "com-server", "type-library", "driver", "applet"})
    text += "[[files]]\nsource = \"" + std::string(kind) + ".bin\"\nkind = \"" + kind + "\"\n";
  text += "[options]\n";
  for (const IneffectiveKey& entry : IneffectiveKeys()) {
    std::string_view key = entry.key;
    if (key.rfind("options.", 0) == 0) text += std::string(key.substr(8)) + " = true\n";
  }
  Outcome<Project> project = Parse(text);
  ASSERT_TRUE(project.ok()) << project.error().ToString();

  std::multiset<std::string> expected, found;
  for (const IneffectiveKey& entry : IneffectiveKeys()) expected.insert(IneffectiveKeyMessage(entry));
  // The list keys given in two entries warn twice.
  expected.insert(IneffectiveKeyMessage(*FindIneffectiveKey("[[firewall]].name", "")));
  for (const PackWarning& w : project.value().warnings) {
    EXPECT_GT(w.where.line, 0) << w.message;
    found.insert(w.message);
  }
  EXPECT_EQ(found, expected);
  for (size_t i = 1; i < project.value().warnings.size(); ++i)
    EXPECT_LE(project.value().warnings[i - 1].where.line, project.value().warnings[i].where.line);
}

// The table holds each key and value once, and its texts read as warnings.
TEST(ProjectWarnings, TableEntriesAreUniqueAndWorded) {
  std::set<std::pair<std::string_view, std::string_view>> seen;
  for (const IneffectiveKey& entry : IneffectiveKeys()) {
    SCOPED_TRACE(entry.key);
    EXPECT_TRUE(seen.insert({entry.key, entry.value}).second) << "listed twice";
    EXPECT_EQ(entry.value.empty(), entry.missing.empty()) << "a value of its own says what it still lacks";
    EXPECT_EQ(FindIneffectiveKey(entry.key, entry.value), &entry);
    if (!entry.missing.empty()) {
      EXPECT_EQ(FindIneffectiveKey(entry.key, "some-other-value"), nullptr) << "only its own value warns";
      EXPECT_NE(entry.missing.find("in this runtime version yet"), std::string_view::npos);
    }
  }
}

// A named option sets exactly its bit; a default-on option clears exactly its bit.
TEST(ProjectOptions, EveryNameTogglesItsOwnBit) {
  const Project defaults = ParseOk(kProduct);
  for (const NamedBit& option : ProductOptions()) {
    SCOPED_TRACE(option.name);
    Project p = ParseOk(std::string(kProduct) + "[options]\n" + std::string(option.name) + " = " +
                        (option.defaultOn ? "false" : "true") + "\n");
    EXPECT_EQ(p.settings.ProductFlags ^ defaults.settings.ProductFlags, uint64_t{1} << option.bit);
    EXPECT_EQ(p.settings.ProductFlags2, defaults.settings.ProductFlags2);
  }
  for (const NamedBit& option : ProductOptions2()) {
    SCOPED_TRACE(option.name);
    Project p = ParseOk(std::string(kProduct) + "[options]\n" + std::string(option.name) + " = " +
                        (option.defaultOn ? "false" : "true") + "\n");
    EXPECT_EQ(p.settings.ProductFlags2 ^ defaults.settings.ProductFlags2, 1u << option.bit);
    EXPECT_EQ(p.settings.ProductFlags, defaults.settings.ProductFlags);
  }
}

TEST(ProjectOptions, NamesAndBitsAreUnique) {
  for (auto options : {ProductOptions(), ProductOptions2()}) {
    for (size_t i = 0; i < options.size(); ++i)
      for (size_t k = i + 1; k < options.size(); ++k) {
        EXPECT_NE(options[i].name, options[k].name);
        EXPECT_NE(options[i].bit, options[k].bit) << options[i].name << " and " << options[k].name;
      }
  }
}

// The bits the runtime tests, by the names an author uses: every option
// name, pinned to its bit number as the runtime reads it. An option that
// defaults on is turned off and must clear exactly that bit.
TEST(ProjectOptions, NamesMeanTheRuntimesBits) {
  const struct {
    const char* name;
    int bit;
    bool second;  // a bit of ProductFlags2
  } cases[] = {
      {"must-uninstall-first", 0, false},
      {"uninstaller-start-menu-shortcut", 1, false},
      {"uninstaller", 2, false},
      {"ask-before-removing-fonts", 4, false},
      {"compress", 5, false},
      {"write-install-log", 6, false},
      {"folder-page", 7, false},
      {"single-instance", 8, false},
      {"silent-uninstall", 9, false},
      {"remove-install-folder", 10, false},
      {"replace-locked-files-at-restart", 11, false},
      {"add-to-path", 12, false},
      {"restart-after-install", 14, false},
      {"uninstaller-background", 15, false},
      {"requires-product", 16, false},
      {"ask-before-removing-shared-files", 17, false},
      {"verify-written-files", 18, false},
      {"clear-attributes-on-retry", 19, false},
      {"verbose-log", 20, false},
      {"no-cancel-during-install", 21, false},
      {"no-completion-message", 22, false},
      {"hide-pre-install-batch", 23, false},
      {"hide-post-install-batch", 24, false},
      {"hide-install-exit-batch", 25, false},
      {"hide-uninstall-batch-1", 26, false},
      {"hide-uninstall-batch-2", 27, false},
      {"no-earlier-install-notice", 28, false},
      {"no-background-window", 29, false},
      {"confirm-folder", 31, false},
      {"verify-checksums", 32, false},
      {"uninstaller-desktop-shortcut", 33, false},
      {"start-menu-page", 34, false},
      {"errors-in-automatic-mode", 35, false},
      {"compare-versions", 36, false},
      {"refuse-network-folder", 37, false},
      {"uninstaller-shortcut-in-uninstall-folder", 38, false},
      {"maximized-background", 40, false},
      {"ask-before-automatic-restart", 41, false},
      {"no-greeting", 43, false},
      {"ask-before-old-version-upgrade", 44, false},
      {"restart-after-uninstall", 45, false},
      {"hide-file-names", 49, false},
      {"grant-rights-on-install-folder", 50, false},
      {"progress-dialog", 51, false},
      {"interface-font", 52, false},
      {"restart-marker", 53, false},
      {"keep-install-log", 54, false},
      {"refuse-removable-drive", 55, false},
      {"no-uninstaller-on-removable-drive", 56, false},
      {"offer-install-log", 57, false},
      {"bind-executables", 58, false},
      {"install-log-shortcut", 59, false},
      {"hide-upgrade-batch", 60, false},
      {"hide-reinstall-batch", 61, false},
      {"grant-rights-on-shared-folder", 62, false},
      {"reinstall-batch-only-for-same-version", 0, true},
      {"restore-point", 1, true},
      {"uninstaller-image", 5, true},
      {"log-pre-install-batch", 6, true},
      {"log-post-install-batch", 7, true},
      {"log-upgrade-batch", 8, true},
      {"log-reinstall-batch", 9, true},
      {"button-pictures", 10, true},
      {"no-shortcuts-on-removable-drive", 11, true},
  };
  const Project defaults = ParseOk(kProduct);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NamedBit* option = FindOption(c.second ? ProductOptions2() : ProductOptions(), c.name);
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->bit, c.bit);
    Project p = ParseOk(std::string(kProduct) + "[options]\n" + c.name + (option->defaultOn ? " = false\n" : " = true\n"));
    if (c.second) {
      EXPECT_EQ(p.settings.Flag2(c.bit), !option->defaultOn);
      EXPECT_EQ(p.settings.ProductFlags2 ^ defaults.settings.ProductFlags2, 1u << c.bit);
    } else {
      EXPECT_EQ(p.settings.Flag(c.bit), !option->defaultOn);
      EXPECT_EQ(p.settings.ProductFlags ^ defaults.settings.ProductFlags, uint64_t{1} << c.bit);
    }
  }
  // No option goes unpinned.
  size_t first = 0, second = 0;
  for (const auto& c : cases) ++(c.second ? second : first);
  EXPECT_EQ(first, ProductOptions().size());
  EXPECT_EQ(second, ProductOptions2().size());
}

TEST(ProjectOptions, DefaultsAndRawBits) {
  Project p = ParseOk(kProduct);
  for (int bit : {1, 2, 5, 6, 7, 32, 51}) EXPECT_TRUE(p.settings.Flag(bit)) << bit;
  EXPECT_TRUE(p.settings.Flag2(setup::kFlag2BuildUninstallerImage));
  EXPECT_FALSE(p.settings.Flag(setup::kFlagMasterProduct));

  p = ParseOk(std::string(kProduct) + "[options]\nuninstaller = false\nraw-flags = [3, 63]\nraw-flags2 = [31]\n");
  EXPECT_FALSE(p.settings.Flag(setup::kFlagHasUninstaller));
  EXPECT_TRUE(p.settings.Flag(3));
  EXPECT_TRUE(p.settings.Flag(63));
  EXPECT_TRUE(p.settings.Flag2(31));

  // Sections imply bits: a required product, a hidden batch whose output is logged.
  p = ParseOk(std::string(kProduct) + "requires-product = \"Base\"\n[batches]\n"
                                      "pre-install = { commands = \"echo\", hidden = true, log = true }\n");
  EXPECT_TRUE(p.settings.Flag(setup::kFlagMasterProduct));
  EXPECT_EQ(p.settings.MasterKeyName, "Base");
  EXPECT_TRUE(p.settings.Flag(23));
  EXPECT_TRUE(p.settings.Flag2(6));
  EXPECT_EQ(p.settings.PreInstallBatch, "echo");
}

TEST(ProjectFiles, KindReplaceModeAndFlagsByName) {
  const struct {
    const char* kind;
    uint32_t value;
  } kinds[] = {{"app", 0},        {"shared", 1},        {"font", 4},    {"startup-app", 5},
               {"system", 6},     {"com-server", 7},    {"type-library", 8}, {"versioned-app", 9},
               {"driver", 10},    {"package", 11},      {"applet", 12}};
  for (const auto& k : kinds) {
    Project p = ParseOk(std::string(kProduct) + "[[files]]\nsource = \"f\"\nkind = \"" + k.kind + "\"\n");
    ASSERT_EQ(p.files.size(), 1u);
    EXPECT_EQ(p.files[0].fields.kind, k.value) << k.kind;
  }
  const struct {
    const char* mode;
    uint32_t value;
  } modes[] = {{"always", 0}, {"never", 1}, {"if-exists", 2}, {"if-missing", 3}, {"not-over-newer", 4}};
  for (const auto& m : modes) {
    Project p = ParseOk(std::string(kProduct) + "[[files]]\nsource = \"f\"\nreplace = \"" + m.mode + "\"\n");
    EXPECT_EQ(p.files[0].fields.flags, m.value << 2) << m.mode;
  }

  Project p = ParseOk(std::string(kProduct) +
                      "[[files]]\nsource = 'bin\\app.exe'\ndesktop-shortcut = true\nstart-menu-shortcut = true\n"
                      "permanent = true\nuninstall-folder = true\nreplace = \"if-missing\"\ncaption = \"Demo App\"\n"
                      "icon = \"app.ico\"\narguments = \"-v\"\nworking-folder = \"%InstallDir%\"\n"
                      "attributes = [\"read-only\", \"hidden\"]\ntarget = \"demo.exe\"\n"
                      "[[files]]\nsource = \"setup.msi\"\nkind = \"package\"\nremove-package = true\npackage-option = 7\n"
                      "[[files]]\nsource = \"lib.dll\"\nkind = \"system\"\nversion = \"1.2.3\"\n"
                      "[[files]]\nsource = \"run.exe\"\nkind = \"startup-app\"\n");
  ASSERT_EQ(p.files.size(), 4u);
  EXPECT_EQ(p.files[0].source, "bin/app.exe");  // either separator on the author's machine
  const setup::FileRecord& app = p.files[0].fields;
  EXPECT_EQ(app.flags, 0x01u | 0x02u | (3u << 2) | 0x20u | 0x40u);
  EXPECT_EQ(app.text, "Demo App");
  EXPECT_EQ(app.shortcutIcon, "app.ico");
  EXPECT_EQ(app.shortcutArguments, "-v");
  EXPECT_EQ(app.shortcutWorkingFolder, "%InstallDir%");
  EXPECT_EQ(app.attributes, 0x3u);
  EXPECT_EQ(app.target, "demo.exe");
  EXPECT_FALSE(p.files[0].defaultCaption);
  EXPECT_EQ(p.files[1].fields.flags, 0x80u);
  EXPECT_EQ(p.files[1].fields.packageOption, 7u);
  EXPECT_EQ(p.files[2].fields.text, "1.2.3");
  EXPECT_EQ(p.files[2].fields.attributes, setup::kKeepAttributes);
  // A startup-app always gets a shortcut, named after the file unless captioned.
  EXPECT_TRUE(p.files[3].defaultCaption);
}

TEST(ProjectSettings, WordsBecomeTheStoredValues) {
  Project p = ParseOk(
      "languages = [\"English\", \"Deutsch\"]\n"
      "[product]\nname = \"Zürich Demo\"\nbitness = \"64-bit\"\nadmin = \"recommended\"\nautomatic = \"never\"\n"
      "shortcuts-for = \"all-users\"\nshared-base = \"all-users-app-data\"\nextra-space = 4096\n"
      "[wizard]\nprogress-position = { horizontal = \"right\", vertical = \"top\" }\n"
      "styles = { greeting = \"plain\", license = \"header\" }\nside-picture-border = \"thin\"\n"
      "[background]\ntitle-color = \"#112233\"\ntitle-position = \"bottom-center\"\ncopyright = \"(c) Demo\"\n"
      "bitmap-mode = \"tile\"\ntransparent-pixel = -1\n"
      "[strings.Deutsch]\n48 = \"&Weiter >\"\n");
  const setup::SettingsStream& s = p.settings;
  EXPECT_EQ(s.ProductName, "Z\xFCrich Demo");  // Windows-1252
  EXPECT_EQ(s.Bitness, 1);
  EXPECT_EQ(s.AdminMode, 2);
  EXPECT_EQ(s.AutomaticModeSetting, 2);
  EXPECT_EQ(s.ShortcutMode, 1);
  EXPECT_EQ(s.SharedBase, 1);
  EXPECT_EQ(s.WizardBlock[0], 4096u);
  EXPECT_EQ(s.DialogStyleValue, 2u | 8u);
  EXPECT_EQ(s.WizardBlock[1], 0u);  // greeting
  EXPECT_EQ(s.WizardBlock[3], 2u);  // license
  EXPECT_EQ(s.WizardBlock[2], 1u);  // language keeps the default
  EXPECT_EQ(s.SidePictureBorder, 2);
  EXPECT_EQ(s.TitleColor, 0x332211u);  // COLORREF: red in the low byte
  EXPECT_EQ(s.TitlePosition, 5);
  EXPECT_EQ(s.CopyrightText, "(c) Demo");
  EXPECT_NE(s.CopyrightPos, 0);  // a copyright line is shown once it has a text
  EXPECT_EQ(s.StretchMode, 3u);
  EXPECT_EQ(s.BitmapTPI, 0xFFFFFFFFu);
  ASSERT_EQ(p.languages.size(), 2u);
  EXPECT_EQ(p.languages[1].name, "Deutsch");
  ASSERT_EQ(p.languages[1].overrides.size(), 1u);
  EXPECT_EQ(p.languages[1].overrides[0].number, 48);
  EXPECT_EQ(p.languages[1].overrides[0].where.line, 21);
}

TEST(ProjectLists, RecordsOfTheSettingsLists) {
  Project p = ParseOk(std::string(kProduct) +
                      "[[registry]]\nkey = 'HKLM\\Software\\Demo'\n"
                      "[[registry]]\nkey = '\\HKCU\\Software\\Demo'\nvalue = 'a,b'\ndata = 'say \"hi\"'\nkeep = true\n"
                      "[[registry]]\nkey = '\\HKAU\\Software\\Demo'\nvalue = 'Count'\ntype = 'dword'\ndata = -1\ninstall = false\n"
                      "[[firewall]]\nprogram = '%InstallDir%\\demo.exe'\nname = 'Demo'\n"
                      "[[firewall]]\nport = 8080\nname = 'Demo port'\nprotocols = ['tcp', 'udp']\nstays = true\n"
                      "[[delete]]\nfile = '%InstallDir%\\*.tmp'\ncondition = 'size-at-most'\nvalue = 0\n"
                      "when = ['before-install', 'uninstall']\nrestart = 'on-failure'\n"
                      "[[close]]\ntitle = '*Demo'\nname = 'Demo'\naction = 'ask'\nwhen = ['install', 'uninstall']\n"
                      "[[associations]]\nextension = 'demo'\nfile-type = 'Demo.File'\ncommand = '\"%InstallDir%\\demo.exe\" \"%1\"'\n"
                      "default-verb = true\n"
                      "[[uninstall-values]]\nname = 'HelpLink'\nvalue = 'https://example.invalid/'\n"
                      "[[uninstall-values]]\nname = 'EstimatedSize'\ntype = 'number'\nvalue = 120\n"
                      "[[shortcuts]]\ntarget = 'demo.exe'\nstartup = true\nshow = 'minimized'\n");
  const setup::SettingsStream& s = p.settings;
  EXPECT_EQ(s.RegistryEntryText,
            "\\HKLM\\Software\\Demo\r\n"
            "\\HKCU\\Software\\Demo,\"a,b\",1,\"say \"\"hi\"\"\",0,1\r\n"
            "\\HKAU\\Software\\Demo,Count,4,-1,1,0\r\n");
  EXPECT_EQ(s.FirewallText, "%InstallDir%\\demo.exe;Demo;0;0\r\n8080;Demo port;3;1\r\n");
  ASSERT_EQ(s.DeleteList.size(), 1u);
  EXPECT_EQ(s.DeleteList[0], (setup::DeleteRecord{"%InstallDir%\\*.tmp", 6, "0", 4 | 8 | 2}));
  ASSERT_EQ(s.CloseList.size(), 1u);
  EXPECT_EQ(s.CloseList[0], (setup::CloseRecord{"", "*Demo", "Demo", 2, 3}));
  ASSERT_EQ(s.Associations.size(), 1u);
  EXPECT_EQ(s.Associations[0].options, 1u);
  EXPECT_EQ(s.Associations[0].verb, "open");
  ASSERT_EQ(s.UninstallValueList.size(), 2u);
  EXPECT_EQ(s.UninstallValueList[1], (setup::ValueRecord{"EstimatedSize", 4, "120"}));
  ASSERT_EQ(s.Shortcuts.size(), 1u);
  EXPECT_EQ(s.Shortcuts[0].startup, 1);
  EXPECT_EQ(s.Shortcuts[0].showMode, 1);
}

}  // namespace
}  // namespace pack
