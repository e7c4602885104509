#include "project.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "ansi_text.h"
#include "builtin_strings.h"
#include "file_glob.h"
#include "ineffective_keys.h"
#include "option_names.h"
#include "registry_text.h"

namespace pack {
namespace fs = std::filesystem;
namespace {

constexpr uint64_t Bit(int n) { return uint64_t{1} << n; }

// A path of the author's machine: "\" is taken as a folder separator too.
std::string LocalPath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// One table of the project with the keys read from it, so that a key the
// tool does not know (a typo) is reported instead of being ignored, and a key
// the runtime does not read yet is warned about.
class Reader {
 public:
  Reader(const toml::table& table, std::string name, const std::string& file, std::vector<PackWarning>& warnings)
      : table_(table), name_(std::move(name)), file_(file), warnings_(warnings) {}

  const std::string& name() const { return name_; }
  const std::string& file() const { return file_; }

  Location At(const toml::node& node) const {
    return {file_, static_cast<int>(node.source().begin.line), static_cast<int>(node.source().begin.column)};
  }
  Location At(const toml::key& key) const {
    return {file_, static_cast<int>(key.source().begin.line), static_cast<int>(key.source().begin.column)};
  }
  Location Whole() const { return At(table_); }

  // A table inside this one, read by its own Reader.
  Reader Child(const toml::table& table, std::string name) const {
    return Reader(table, std::move(name), file_, warnings_);
  }
  void Warn(Location where, std::string message) const { warnings_.push_back({std::move(where), std::move(message)}); }

  [[noreturn]] void FailAt(const toml::node& node, std::string_view key, const std::string& what) const {
    Fail(At(node), Qualified(key) + ": " + what);
  }

  std::string Qualified(std::string_view key) const { return name_.empty() ? std::string(key) : name_ + "." + std::string(key); }

  const toml::node* Get(std::string_view key) {
    known_.insert(std::string(key));
    return table_.get(key);
  }
  bool Has(std::string_view key) const { return table_.contains(key); }

  // A text as the runtime stores it: Windows-1252, no NUL.
  // A text that must be given and not be empty; else the table fails with `missing`.
  std::string RequiredText(std::string_view key, const std::string& missing) {
    auto text = Text(key);
    if (!text || text->empty()) Fail(Whole(), missing);
    return *text;
  }

  std::optional<std::string> Text(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    return ToStored(*node, key, Utf8Of(*node, key));
  }
  void Text(std::string_view key, std::string& out) {
    if (auto value = Text(key)) out = std::move(*value);
  }
  // A text kept in UTF-8 (paths of the author's machine, record names).
  std::optional<std::string> Utf8(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    return Utf8Of(*node, key);
  }
  std::optional<bool> Bool(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    if (!node->is_boolean()) FailAt(*node, key, "must be true or false");
    return node->as_boolean()->get();
  }
  std::optional<int64_t> Integer(std::string_view key, int64_t min, int64_t max) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    if (!node->is_integer()) FailAt(*node, key, "must be a whole number");
    int64_t value = node->as_integer()->get();
    if (value < min || value > max)
      FailAt(*node, key, std::to_string(value) + " is outside " + std::to_string(min) + " to " + std::to_string(max));
    return value;
  }
  std::optional<double> Number(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    if (node->is_integer()) return static_cast<double>(node->as_integer()->get());
    if (!node->is_floating_point() || !std::isfinite(node->as_floating_point()->get()))
      FailAt(*node, key, "must be a number");
    return node->as_floating_point()->get();
  }
  std::optional<uint32_t> Named(std::string_view key, std::span<const NamedValue> names) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    return NamedOf(*node, key, names);
  }
  uint32_t NamedOf(const toml::node& node, std::string_view key, std::span<const NamedValue> names) const {
    if (!node.is_string()) FailAt(node, key, "must be one of " + NameList(names));
    const std::string& word = node.as_string()->get();
    if (auto value = ValueOf(names, word)) return *value;
    FailAt(node, key, "unknown value \"" + word + "\"; use " + NameList(names));
  }
  // "#RRGGBB" as a COLORREF (red in the low byte), or a whole number as stored.
  std::optional<uint32_t> Color(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    if (node->is_integer()) {
      int64_t value = node->as_integer()->get();
      if (value < 0 || value > 0xFFFFFFFF) FailAt(*node, key, "a colour number must lie in 0 to 0xFFFFFFFF");
      return static_cast<uint32_t>(value);
    }
    const std::string* text = node->is_string() ? &node->as_string()->get() : nullptr;
    if (!text || text->size() != 7 || (*text)[0] != '#' ||
        text->find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
      FailAt(*node, key, "a colour is written \"#RRGGBB\"");
    uint32_t rgb = static_cast<uint32_t>(std::stoul(text->substr(1), nullptr, 16));
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  }
  std::optional<FileReference> File(std::string_view key, const fs::path& folder) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    std::string path = LocalPath(Utf8Of(*node, key));
    if (path.empty()) FailAt(*node, key, "names no file");
    return FileReference{folder / fs::path(path), At(*node)};
  }
  std::vector<FileReference> Files(std::string_view key, const fs::path& folder) {
    std::vector<FileReference> files;
    const toml::node* node = Get(key);
    if (!node) return files;
    if (node->is_string()) {
      files.push_back({folder / fs::path(LocalPath(Utf8Of(*node, key))), At(*node)});
      return files;
    }
    const toml::array* array = node->as_array();
    if (!array) FailAt(*node, key, "must be a file name or a list of file names");
    for (const toml::node& element : *array)
      files.push_back({folder / fs::path(LocalPath(Utf8Of(element, key))), At(element)});
    return files;
  }
  std::optional<Reader> Table(std::string_view key) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    if (!node->is_table()) FailAt(*node, key, "must be a table");
    return Child(*node->as_table(), Qualified(key));
  }
  // The tables of a [[name]] list.
  std::vector<Reader> TableList(std::string_view key) {
    std::vector<Reader> tables;
    const toml::node* node = Get(key);
    if (!node) return tables;
    const toml::array* array = node->as_array();
    if (!array) FailAt(*node, key, "must be written as [[" + std::string(key) + "]] tables");
    for (const toml::node& element : *array) {
      if (!element.is_table()) FailAt(element, key, "must be written as [[" + std::string(key) + "]] tables");
      tables.push_back(Child(*element.as_table(), "[[" + Qualified(key) + "]]"));
    }
    return tables;
  }
  // Words from a fixed set, given as a list; each word may appear once.
  std::optional<uint32_t> WordSet(std::string_view key, std::span<const NamedValue> names) {
    const toml::node* node = Get(key);
    if (!node) return std::nullopt;
    const toml::array* array = node->as_array();
    if (!array) FailAt(*node, key, "must be a list of " + NameList(names));
    uint32_t bits = 0;
    for (const toml::node& element : *array) {
      uint32_t value = NamedOf(element, key, names);
      if (bits & value) FailAt(element, key, "names \"" + element.as_string()->get() + "\" twice");
      bits |= value;
    }
    return bits;
  }

  std::string Utf8Of(const toml::node& node, std::string_view key) const {
    if (!node.is_string()) FailAt(node, key, "must be a text in double or single quotes");
    const std::string& text = node.as_string()->get();
    if (text.find('\0') != std::string::npos) FailAt(node, key, "a text cannot hold a NUL character");
    return text;
  }
  std::string ToStored(const toml::node& node, std::string_view key, const std::string& utf8) const {
    auto stored = Utf8ToWindows1252(utf8);
    if (!stored) FailAt(node, key, "holds a character outside the Windows-1252 code page");
    return *stored;
  }

  // Every key of the table must have been asked for; the ones the runtime
  // does not read yet are warned about, at the key or, when only some values
  // fall short, at the value. A flag turned off asks for nothing and is quiet.
  void Finish() const {
    for (auto&& [key, node] : table_) {
      if (!known_.count(std::string(key.str())))
        Fail(At(key), "unknown key \"" + std::string(key.str()) + "\"" + (name_.empty() ? "" : " in " + Section()));
    }
    for (auto&& [key, node] : table_) {
      if (node.is_boolean() && !node.as_boolean()->get()) continue;
      const std::string value = node.is_string() ? node.as_string()->get() : "";
      if (const IneffectiveKey* entry = FindIneffectiveKey(Qualified(key.str()), value))
        Warn(entry->missing.empty() ? At(key) : At(node), IneffectiveKeyMessage(*entry));
    }
  }

 private:
  std::string Section() const { return name_.rfind("[[", 0) == 0 ? name_ : "[" + name_ + "]"; }

  const toml::table& table_;
  std::string name_;
  const std::string& file_;
  std::vector<PackWarning>& warnings_;
  std::set<std::string> known_;
};

class ProjectReader {
 public:
  ProjectReader(Project& project) : p_(project), s_(project.settings) {}

  void Read(Reader& top) {
    ReadLanguages(top);
    if (auto product = top.Table("product")) {
      ReadProduct(*product);
    } else {
      Fail(top.Whole(), "the project needs a [product] table with the product's name");
    }
    auto wizard = top.Table("wizard");
    ReadWizard(wizard ? &*wizard : nullptr);
    auto background = top.Table("background");
    ReadBackground(background ? &*background : nullptr);
    auto uninstaller = top.Table("uninstaller");
    ReadUninstaller(uninstaller ? &*uninstaller : nullptr);
    if (auto desktop = top.Table("desktop")) ReadDesktop(*desktop);
    if (auto root = top.Table("root-shortcut")) ReadRootShortcut(*root);
    if (auto finish = top.Table("finish")) ReadFinish(*finish);
    if (auto batches = top.Table("batches")) ReadBatches(*batches);
    if (auto strings = top.Table("strings")) ReadStrings(*strings, *top.Get("strings")->as_table());
    if (auto build = top.Table("build")) ReadBuild(*build);
    for (Reader& entry : top.TableList("files")) ReadFile(entry);
    for (Reader& entry : top.TableList("shortcuts")) ReadShortcut(entry);
    ReadRegistry(top.TableList("registry"));
    for (Reader& entry : top.TableList("uninstall-values")) ReadUninstallValue(entry);
    for (Reader& entry : top.TableList("associations")) ReadAssociation(entry);
    ReadFirewall(top.TableList("firewall"));
    for (Reader& entry : top.TableList("delete")) ReadDeletion(entry);
    for (Reader& entry : top.TableList("close")) ReadClose(entry);
    // Options last: an explicit option overrides what the sections implied.
    auto options = top.Table("options");
    ReadOptions(options ? &*options : nullptr);
    top.Finish();
    CheckLimits(top);
  }

 private:
  void ReadLanguages(Reader& top) {
    const toml::node* node = top.Get("languages");
    if (!node) {
      p_.languages.push_back({"English", top.Whole(), {}});
      return;
    }
    const toml::array* array = node->as_array();
    if (!array || array->empty()) top.FailAt(*node, "languages", "must be a list of one or more language names");
    for (const toml::node& element : *array) {
      std::string name = top.ToStored(element, "languages", top.Utf8Of(element, "languages"));
      if (name.empty()) top.FailAt(element, "languages", "a language needs a name");
      for (const LanguageStrings& earlier : p_.languages)
        if (earlier.name == name) top.FailAt(element, "languages", "\"" + element.as_string()->get() + "\" is named twice");
      p_.languages.push_back({name, top.At(element), {}});
    }
    if (p_.languages.size() > static_cast<size_t>(setup::kMaxLanguages))
      top.FailAt(*node, "languages", "more than " + std::to_string(setup::kMaxLanguages) + " languages");
  }

  void ReadProduct(Reader& r) {
    std::string name = r.RequiredText("name", "[product] needs a name");
    s_.ProductName = name;
    r.Text("version", s_.DisplayVersion);
    r.Text("publisher", s_.Publisher);
    r.Text("description", s_.Description);
    r.Text("install-dir", s_.InstallDirTemplate);
    r.Text("start-menu", s_.ProductStartMenu);
    r.Text("registry-key", s_.ProductRegistry);
    r.Text("install-dir-value", s_.LocationRegistryPath);
    r.Text("shared-dir", s_.SharedPath);
    r.Text("password", s_.InstallPassword);
    if (s_.InstallPassword.size() > static_cast<size_t>(setup::kMaxPasswordLength))
      r.FailAt(*r.Get("password"), "password",
               "at most " + std::to_string(setup::kMaxPasswordLength) + " characters: the password page takes no more");
    r.Text("upgrade-version", s_.UpgradeVersion1);
    r.Text("automatic-upgrade-version", s_.UpgradeVersion2);
    if (auto v = r.Named("bitness", BitnessNames())) s_.Bitness = static_cast<uint8_t>(*v);
    if (auto v = r.Named("admin", AdminModes())) s_.AdminMode = static_cast<uint8_t>(*v);
    if (auto v = r.Named("automatic", AutomaticModes())) s_.AutomaticModeSetting = static_cast<uint8_t>(*v);
    if (auto v = r.Named("shortcuts-for", ShortcutModes())) s_.ShortcutMode = static_cast<uint8_t>(*v);
    if (auto v = r.Named("shared-base", SharedBases())) s_.SharedBase = static_cast<uint8_t>(*v);
    if (auto v = r.Integer("excluded-systems", 0, 0xFFFFFFFF)) s_.ExcludedSystems = static_cast<uint32_t>(*v);
    if (auto v = r.Integer("extra-space", 0, 0xFFFFFFFF)) s_.WizardBlock[0] = static_cast<uint32_t>(*v);
    bool master = false;
    if (auto v = r.Text("requires-product")) {
      s_.MasterKeyName = *v;
      master = true;
    }
    if (auto v = r.Text("requires-product-name")) {
      s_.MasterDisplayName = *v;
      master = true;
    }
    if (master) s_.ProductFlags |= Bit(setup::kFlagMasterProduct);
    r.Finish();
  }

  void ReadWizard(Reader* r) {
    s_.DialogCaption = "<product> Setup";
    s_.WizardBlock[1] = 1;  // greeting page with the side picture
    for (size_t i = 2; i < 9; ++i) s_.WizardBlock[i] = 1;
    s_.DialogStyleValue = 3 | 24;  // progress dialog centred
    if (!r) return;
    r->Text("caption", s_.DialogCaption);
    p_.licenses = r->Files("license", p_.folder);
    p_.readmes = r->Files("readme", p_.folder);
    if (auto v = r->Named("side-picture-border", SidePictureBorders())) s_.SidePictureBorder = static_cast<uint8_t>(*v);
    if (auto v = r->Integer("progress-pause", 0, setup::kMaxProgressPause)) s_.ProgressPause = static_cast<uint16_t>(*v);
    if (auto styles = r->Table("styles")) {
      std::span<const std::string_view> keys = PageStyleKeys();
      for (size_t i = 0; i < keys.size(); ++i) {
        if (auto v = styles->Named(keys[i], PageStyles())) s_.WizardBlock[i + 1] = *v;
      }
      styles->Finish();
    }
    if (auto place = r->Table("progress-position")) {
      uint32_t horizontal = s_.DialogStyleValue & 3, vertical = s_.DialogStyleValue & 24;
      if (auto v = place->Named("horizontal", HorizontalPlacements())) horizontal = *v;
      if (auto v = place->Named("vertical", VerticalPlacements())) vertical = *v;
      s_.DialogStyleValue = horizontal | vertical;
      place->Finish();
    }
    r->Finish();
  }

  void ReadBackground(Reader* r) {
    s_.TaskbarText = s_.ProductName + " Setup";
    s_.DisplayTitle = s_.ProductName;
    s_.TitleSize = 1.0;
    s_.TitleColor = 0xFFFFFF;
    s_.TitleShadow = 1;
    s_.TitlePosition = 1;
    s_.TitleFont = "Arial";
    s_.TopColor = 0x800000;  // dark blue fading to black
    s_.BottomColor = 0;
    if (!r) return;
    r->Text("taskbar-text", s_.TaskbarText);
    r->Text("title", s_.DisplayTitle);
    if (auto v = r->Number("title-size")) s_.TitleSize = *v;
    if (auto v = r->Color("title-color")) s_.TitleColor = *v;
    if (auto v = r->Integer("title-shadow", 0, 255)) s_.TitleShadow = static_cast<uint8_t>(*v);
    if (auto v = r->Named("title-position", TextPositions())) s_.TitlePosition = static_cast<uint8_t>(*v);
    r->Text("title-font", s_.TitleFont);
    if (auto v = r->Color("top-color")) s_.TopColor = *v;
    if (auto v = r->Color("bottom-color")) s_.BottomColor = *v;
    p_.backgroundBitmap = r->File("bitmap", p_.folder);
    s_.BitmapSize = p_.backgroundBitmap ? 100 : 0;
    if (auto v = r->Integer("bitmap-size", 0, setup::kMaxBitmapSize)) s_.BitmapSize = static_cast<uint32_t>(*v);
    if (auto v = r->Named("bitmap-mode", StretchModes())) s_.StretchMode = *v;
    s_.BitmapTPI = 0xFFFFFFFF;  // opaque
    if (auto v = r->Integer("transparent-pixel", -1, 0xFFFFFFFF)) s_.BitmapTPI = static_cast<uint32_t>(*v);
    if (auto v = r->Text("copyright")) {
      s_.CopyrightText = *v;
      s_.CopyrightPos = 4;
      s_.CopyrightSize = 1.0;
      s_.CopyrightColor = 0xC0C0C0;
      s_.CopyrightFont = "Arial";
    }
    if (auto v = r->Named("copyright-position", TextPositions())) s_.CopyrightPos = static_cast<uint8_t>(*v);
    r->Text("copyright-font", s_.CopyrightFont);
    if (auto v = r->Number("copyright-size")) s_.CopyrightSize = *v;
    if (auto v = r->Color("copyright-color")) s_.CopyrightColor = *v;
    r->Finish();
  }

  void ReadUninstaller(Reader* r) {
    s_.UninstallerFileName = "Uninstall.exe";
    if (!r) return;
    r->Text("file-name", s_.UninstallerFileName);
    r->Text("folder", s_.UninstallSubdir);
    r->Text("key-name", s_.UninstallKeyName);
    r->Text("notify-url", s_.NotifyURL);
    p_.uninstallerIcon = r->File("icon", p_.folder);
    r->Finish();
  }

  void ReadDesktop(Reader& r) {
    r.Text("folder", s_.DesktopFolderName);
    p_.desktopFolderIcon = r.File("folder-icon", p_.folder);
    if (p_.desktopFolderIcon && s_.DesktopFolderName.empty())
      Fail(p_.desktopFolderIcon->where, "desktop.folder-icon needs desktop.folder");
    r.Finish();
  }

  void ReadRootShortcut(Reader& r) {
    r.Text("name", s_.RootShortcutName);
    r.Text("target", s_.RootShortcutTarget);
    if (s_.RootShortcutTarget.empty()) Fail(r.Whole(), "[root-shortcut] needs a target");
    r.Finish();
  }

  void ReadFinish(Reader& r) {
    r.Text("open", s_.FinishFile1);
    r.Text("run", s_.FinishApp);
    r.Text("open-second", s_.FinishFile2);
    r.Text("notify-install", s_.InstallNotifyURL);
    r.Text("notify-upgrade", s_.UpgradeNotifyURL);
    r.Text("notify-downgrade", s_.DowngradeNotifyURL);
    r.Text("notify-reinstall", s_.ReinstallNotifyURL);
    r.Finish();
  }

  // A batch is its commands, or a table of commands with how it runs.
  void ReadBatches(Reader& r) {
    struct Batch {
      std::string_view key;
      std::string* text;
      int hideBit;  // ProductFlags
      int logBit;   // ProductFlags2, -1 when the output is never captured
    };
    const Batch batches[] = {
        {"pre-install", &s_.PreInstallBatch, setup::kFlagHidePreInstallBatch, setup::kFlag2LogPreInstallBatch},
        {"post-install", &s_.PostInstallBatch, setup::kFlagHidePostInstallBatch, setup::kFlag2LogPostInstallBatch},
        {"install-exit", &s_.InstallExitBatch, setup::kFlagHideInstallExitBatch, -1},
        {"uninstall-1", &s_.UninstallBatch1, setup::kFlagHideUninstallBatch1, -1},
        {"uninstall-2", &s_.UninstallBatch2, setup::kFlagHideUninstallBatch2, -1},
        {"upgrade", &s_.UpgradeBatch, setup::kFlagHideUpgradeBatch, setup::kFlag2LogUpgradeBatch},
        {"reinstall", &s_.ReinstallBatch, setup::kFlagHideReinstallBatch, setup::kFlag2LogReinstallBatch},
    };
    for (const Batch& batch : batches) {
      const toml::node* node = r.Get(batch.key);
      if (!node) continue;
      if (node->is_string()) {
        *batch.text = r.ToStored(*node, batch.key, r.Utf8Of(*node, batch.key));
        continue;
      }
      if (!node->is_table()) r.FailAt(*node, batch.key, "must be the batch's commands or a table with commands");
      Reader table = r.Child(*node->as_table(), r.Qualified(batch.key));
      auto commands = table.Text("commands");
      if (!commands) Fail(table.Whole(), table.name() + " needs commands");
      *batch.text = *commands;
      if (table.Bool("hidden").value_or(false)) s_.ProductFlags |= Bit(batch.hideBit);
      if (batch.logBit >= 0) {
        if (table.Bool("log").value_or(false)) s_.ProductFlags2 |= 1u << batch.logBit;
      }
      table.Finish();
    }
    r.Finish();
  }

  // [strings.<language>]: string number = text, for a language of the list.
  void ReadStrings(Reader& r, const toml::table& strings) {
    for (auto&& [languageKey, node] : strings) {
      std::string name = r.ToStored(node, languageKey.str(), std::string(languageKey.str()));
      LanguageStrings* language = nullptr;
      for (LanguageStrings& candidate : p_.languages)
        if (candidate.name == name) language = &candidate;
      if (!language)
        Fail(r.At(languageKey), "strings for \"" + std::string(languageKey.str()) + "\", which is not in languages");
      auto table = r.Table(languageKey.str());
      for (auto&& [numberKey, value] : *node.as_table()) {
        std::string text(numberKey.str());
        int number = -1;
        if (!text.empty() && text.size() <= 5 && text.find_first_not_of("0123456789") == std::string::npos)
          number = std::stoi(text);
        if (number < 0 || number >= setup::kMaxStrings)
          Fail(table->At(numberKey), "a string is named by its number, 0 to " +
                                         std::to_string(setup::kMaxStrings - 1) + ", not \"" + text + "\"");
        std::string stored = table->Text(text).value();
        language->overrides.push_back({number, std::move(stored), table->At(value)});
      }
      table->Finish();
    }
    r.Finish();
  }

  void ReadBuild(Reader& r) {
    if (auto v = r.Integer("compression-level", 1, 9)) p_.compressionLevel = static_cast<int>(*v);
    if (auto v = r.Bool("archive-in-file")) p_.archiveInFile = *v;
    r.Finish();
  }

  void ReadFile(Reader& r) {
    FileEntry entry;
    auto source = r.Utf8("source");
    if (!source || source->empty()) Fail(r.Whole(), "[[files]] needs a source: a file name or a pattern");
    entry.source = LocalPath(*source);
    entry.where = r.At(*r.Get("source"));
    setup::FileRecord& f = entry.fields;
    f.kind = r.Named("kind", FileKinds()).value_or(setup::KindValue(setup::FileKind::kApplication));
    auto is = [&](setup::FileKind kind) { return f.kind == setup::KindValue(kind); };
    uint32_t replace = r.Named("replace", ReplaceModes()).value_or(0);
    f.flags = replace << setup::kFileFlagReplaceModeShift;
    const bool shortcutKind = is(setup::FileKind::kApplication) || is(setup::FileKind::kStartupApplication);
    auto flag = [&](std::string_view key, uint32_t bit, bool allowed, const char* why) {
      if (!r.Bool(key).value_or(false)) return;
      if (!allowed) r.FailAt(*r.Get(key), key, why);
      f.flags |= bit;
    };
    flag("desktop-shortcut", setup::kFileFlagDesktopShortcut, shortcutKind,
         "shortcuts are made only for files of kind app or startup-app");
    flag("start-menu-shortcut", setup::kFileFlagStartMenuShortcut, shortcutKind,
         "shortcuts are made only for files of kind app or startup-app");
    flag("permanent", setup::kFileFlagPermanent, true, "");
    flag("uninstall-folder", setup::kFileFlagUninstallDataFolder, true, "");
    flag("remove-package", setup::kFileFlagRecordPackage, is(setup::FileKind::kInstallerPackage),
         "only a file of kind package is removed as a package");

    if (auto v = r.Utf8("name")) {
      if (HasWildcards(entry.source)) r.FailAt(*r.Get("name"), "name", "a pattern names its files itself; use into for a folder");
      if (v->empty()) r.FailAt(*r.Get("name"), "name", "cannot be empty");
      entry.name = *v;
    }
    if (auto v = r.Utf8("into")) entry.into = *v;
    if (auto v = r.Text("target")) {
      if (HasWildcards(entry.source) && v->find('\\') == std::string::npos)
        r.FailAt(*r.Get("target"), "target", "a pattern's files need a target folder ending in \\, not one file name");
      f.target = *v;
    }

    const bool makesShortcut = f.HasShortcut() || is(setup::FileKind::kStartupApplication);
    auto shortcutText = [&](std::string_view key, std::string& out) {
      if (auto v = r.Text(key)) {
        if (!makesShortcut)
          r.FailAt(*r.Get(key), key, "belongs to a shortcut; set desktop-shortcut or start-menu-shortcut");
        out = *v;
      }
    };
    shortcutText("caption", f.text);
    entry.defaultCaption = makesShortcut && !r.Has("caption");
    shortcutText("arguments", f.shortcutArguments);
    shortcutText("working-folder", f.shortcutWorkingFolder);
    if (auto v = r.Text("icon")) {
      if (!f.HasShortcut()) r.FailAt(*r.Get("icon"), "icon", "needs desktop-shortcut or start-menu-shortcut");
      f.shortcutIcon = *v;
    }
    const bool versioned = is(setup::FileKind::kSystem) || is(setup::FileKind::kComServer) ||
                           is(setup::FileKind::kTypeLibrary) || is(setup::FileKind::kVersionedApplication);
    if (auto v = r.Text("version")) {
      if (!versioned)
        r.FailAt(*r.Get("version"), "version", "is compared only for kinds system, com-server, type-library and versioned-app");
      f.text = *v;
    } else {
      entry.versionFromFile = versioned;
    }
    ReadStamp(r, entry.stamp);
    if (auto v = r.Text("font-name")) {
      if (!is(setup::FileKind::kFont)) r.FailAt(*r.Get("font-name"), "font-name", "belongs to files of kind font");
      f.text = *v;
    }
    if (auto v = r.Integer("package-option", 0, 0xFFFFFFFF)) {
      if (!is(setup::FileKind::kInstallerPackage))
        r.FailAt(*r.Get("package-option"), "package-option", "belongs to files of kind package");
      f.packageOption = static_cast<uint32_t>(*v);
    }
    if (auto v = r.WordSet("attributes", FileAttributes())) f.attributes = *v;
    r.Finish();
    p_.files.push_back(std::move(entry));
  }

  void ReadStamp(Reader& r, StampRule& rule) {
    const toml::node* node = r.Get("stamp");
    if (!node) return;
    static constexpr std::string_view kForm = "\"file\", \"none\", \"no-time\" or a UTC time \"YYYY-MM-DD hh:mm:ss\"";
    if (!node->is_string()) r.FailAt(*node, "stamp", "must be " + std::string(kForm) + " in quotes");
    const std::string& text = node->as_string()->get();
    if (text == "file") {
      rule.source = StampRule::Source::kFile;
    } else if (text == "none") {
      rule.source = StampRule::Source::kNone;
    } else if (text == "no-time") {
      rule.source = StampRule::Source::kNoTime;
    } else if (auto stamp = ParseStampText(text)) {
      rule.source = StampRule::Source::kFixed;
      rule.fixed = *stamp;
    } else {
      r.FailAt(*node, "stamp", "\"" + text + "\" is not " + std::string(kForm));
    }
  }

  void ReadShortcut(Reader& r) {
    setup::ShortcutRecord s;
    std::string target = r.RequiredText("target", "[[shortcuts]] needs a target");
    s.target = target;
    r.Text("caption", s.caption);
    r.Text("icon", s.icon);
    r.Text("arguments", s.arguments);
    r.Text("working-folder", s.workingFolder);
    r.Text("folder", s.customFolder);
    s.desktop = r.Bool("desktop").value_or(false);
    s.startMenu = r.Bool("start-menu").value_or(false);
    s.startup = r.Bool("startup").value_or(false);
    s.permanent = r.Bool("permanent").value_or(false);
    s.showMode = static_cast<uint8_t>(r.Named("show", ShowModes()).value_or(0));
    if (!s.desktop && !s.startMenu && !s.startup && s.customFolder.empty())
      Fail(r.Whole(), "[[shortcuts]] makes no shortcut: set desktop, start-menu, startup or folder");
    r.Finish();
    s_.Shortcuts.push_back(std::move(s));
  }

  void ReadRegistry(std::vector<Reader> entries) {
    std::vector<RegistryEntry> list;
    for (Reader& r : entries) {
      RegistryEntry e;
      std::string key = r.RequiredText("key", "[[registry]] needs a key");
      e.where = r.At(*r.Get("key"));
      e.key = key;
      const bool value = r.Has("value") || r.Has("type") || r.Has("data");
      e.isValue = value;
      r.Text("value", e.valueName);
      e.type = r.Named("type", RegistryValueTypes()).value_or(1);
      if (const toml::node* data = r.Get("data")) {
        if (data->is_integer()) {
          e.data = std::to_string(data->as_integer()->get());
        } else {
          e.data = r.ToStored(*data, "data", r.Utf8Of(*data, "data"));
        }
      }
      if (auto v = r.Bool("install")) {
        if (!value) r.FailAt(*r.Get("install"), "install", "belongs to a value entry");
        e.skipAtInstall = !*v;
      }
      if (auto v = r.Bool("keep")) {
        if (!value) r.FailAt(*r.Get("keep"), "keep", "belongs to a value entry");
        e.keepAtUninstall = *v;
      }
      r.Finish();
      list.push_back(std::move(e));
    }
    s_.RegistryEntryText = RegistryEntryText(list);
  }

  void ReadUninstallValue(Reader& r) {
    setup::ValueRecord v;
    std::string name = r.RequiredText("name", "[[uninstall-values]] needs a name");
    v.name = name;
    v.type = static_cast<uint8_t>(r.Named("type", UninstallValueTypes()).value_or(1));
    if (const toml::node* value = r.Get("value")) {
      if (value->is_integer())
        v.value = std::to_string(value->as_integer()->get());
      else
        v.value = r.ToStored(*value, "value", r.Utf8Of(*value, "value"));
    }
    r.Finish();
    s_.UninstallValueList.push_back(std::move(v));
  }

  void ReadAssociation(Reader& r) {
    setup::AssociationRecord a;
    std::string extension = r.RequiredText("extension", "[[associations]] needs an extension");
    a.extension = extension;
    r.Text("file-type", a.fileType);
    r.Text("description", a.description);
    a.verb = "open";
    r.Text("verb", a.verb);
    r.Text("verb-label", a.verbLabel);
    r.Text("command", a.command);
    r.Text("language", a.language);
    r.Text("icon", a.icon);
    if (r.Bool("default-verb").value_or(false)) a.options |= 1;
    r.Finish();
    s_.Associations.push_back(std::move(a));
  }

  void ReadFirewall(std::vector<Reader> entries) {
    static constexpr NamedValue kProtocols[] = {{"tcp", 1}, {"udp", 2}};
    std::string text;
    for (Reader& r : entries) {
      auto program = r.Text("program");
      auto port = r.Integer("port", 1, 65535);
      if (program.has_value() == port.has_value())
        Fail(r.Whole(), "[[firewall]] needs either a program or a port");
      std::string name = r.RequiredText("name", "[[firewall]] needs a name");
      uint32_t protocols = 0;
      if (const toml::node* node = r.Get("protocols")) {
        if (program) r.FailAt(*node, "protocols", "belongs to a port");
      }
      if (port) protocols = r.WordSet("protocols", kProtocols).value_or(1);
      std::string target = program ? *program : std::to_string(*port);
      bool stays = r.Bool("stays").value_or(false);
      for (const auto& [field, key] : {std::pair{&target, "program"}, std::pair{&name, "name"}}) {
        if (field->find_first_of(";\r\n") != std::string::npos)
          Fail(r.Whole(), r.Qualified(key) + ": a firewall field cannot hold \";\" or a line break");
      }
      r.Finish();
      text += target + ";" + name + ";" + std::to_string(protocols) + ";" + (stays ? "1" : "0") + "\r\n";
    }
    s_.FirewallText = text;
  }

  void ReadDeletion(Reader& r) {
    static constexpr NamedValue kMoments[] = {{"before-install", setup::kDeleteBeforeInstallation},
                                              {"uninstall", setup::kDeleteAtUninstallation}};
    static constexpr NamedValue kRestart[] = {{"never", 0}, {"only", 1}, {"on-failure", 2}};
    setup::DeleteRecord d;
    std::string file = r.RequiredText("file", "[[delete]] needs a file");
    if (file == setup::kDeleteListEnd) r.FailAt(*r.Get("file"), "file", "this text ends the list in the runtime");
    d.fileSpecification = file;
    d.condition = static_cast<uint8_t>(r.Named("condition", DeleteConditions()).value_or(0));
    if (const toml::node* value = r.Get("value")) {
      if (d.condition == 0) r.FailAt(*value, "value", "belongs to a condition");
      if (value->is_integer()) {
        if (value->as_integer()->get() < 0) r.FailAt(*value, "value", "a size cannot be negative");
        d.value = std::to_string(value->as_integer()->get());
      } else {
        d.value = r.ToStored(*value, "value", r.Utf8Of(*value, "value"));
      }
      if (d.condition >= 4 && (d.value.empty() || d.value.find_first_not_of("0123456789") != std::string::npos))
        r.FailAt(*value, "value", "a size is a whole number of bytes");
    } else if (d.condition != 0) {
      Fail(r.Whole(), "[[delete]] with a condition needs a value");
    }
    auto moments = r.WordSet("when", kMoments);
    if (!moments || *moments == 0)
      Fail(r.Whole(), "[[delete]] needs when = [\"before-install\"], [\"uninstall\"] or both");
    d.flags = static_cast<uint8_t>(*moments | r.Named("restart", kRestart).value_or(0));
    r.Finish();
    s_.DeleteList.push_back(std::move(d));
  }

  void ReadClose(Reader& r) {
    static constexpr NamedValue kPhases[] = {{"install", setup::kCloseAtInstallation},
                                             {"uninstall", setup::kCloseAtUninstallation}};
    setup::CloseRecord c;
    r.Text("class", c.classPattern);
    r.Text("title", c.titlePattern);
    r.Text("name", c.applicationName);
    if (c.classPattern.empty() && c.titlePattern.empty())
      Fail(r.Whole(), "[[close]] needs a window class or title pattern");
    if (c.classPattern == setup::kCloseListEnd) r.FailAt(*r.Get("class"), "class", "this text ends the list in the runtime");
    c.action = r.Named("action", CloseActions()).value_or(0);
    c.phaseMask = static_cast<uint8_t>(r.WordSet("when", kPhases).value_or(1));
    if (c.phaseMask == 0) r.FailAt(*r.Get("when"), "when", "names no moment");
    r.Finish();
    s_.CloseList.push_back(std::move(c));
  }

  void ReadOptions(Reader* r) {
    for (const NamedBit& option : ProductOptions())
      if (option.defaultOn) s_.ProductFlags |= Bit(option.bit);
    for (const NamedBit& option : ProductOptions2())
      if (option.defaultOn) s_.ProductFlags2 |= 1u << option.bit;
    if (p_.backgroundBitmap) s_.ProductFlags |= Bit(setup::kFlagUninstallerBackground);
    if (!r) return;
    for (const NamedBit& option : ProductOptions()) {
      if (auto on = r->Bool(option.name)) s_.ProductFlags = *on ? s_.ProductFlags | Bit(option.bit) : s_.ProductFlags & ~Bit(option.bit);
    }
    for (const NamedBit& option : ProductOptions2()) {
      if (auto on = r->Bool(option.name))
        s_.ProductFlags2 = *on ? s_.ProductFlags2 | (1u << option.bit) : s_.ProductFlags2 & ~(1u << option.bit);
    }
    RawBits(*r, "raw-flags", 1, 63, [&](int bit) { s_.ProductFlags |= Bit(bit); });
    RawBits(*r, "raw-flags2", 2, 31, [&](int bit) { s_.ProductFlags2 |= 1u << bit; });
    r->Finish();
  }

  // `word` 1 or 2, as RawBitWarning takes it.
  template <class Set>
  void RawBits(Reader& r, std::string_view key, int word, int highest, Set set) {
    const toml::node* node = r.Get(key);
    if (!node) return;
    const toml::array* array = node->as_array();
    if (!array) r.FailAt(*node, key, "must be a list of bit numbers");
    for (const toml::node& element : *array) {
      if (!element.is_integer() || element.as_integer()->get() < 0 || element.as_integer()->get() > highest)
        r.FailAt(element, key, "a bit number lies in 0 to " + std::to_string(highest));
      const int bit = static_cast<int>(element.as_integer()->get());
      set(bit);
      if (auto warning = RawBitWarning(word, bit)) r.Warn(r.At(element), *warning);
    }
  }

  // The limits the runtime checks, reported where the project can say where.
  void CheckLimits(Reader& top) {
    auto tooMany = [&](size_t count, size_t limit, const char* what) {
      if (count > limit) Fail(top.Whole(), std::string("more than ") + std::to_string(limit) + " " + what);
    };
    for (const auto& [documents, what] : {std::pair{&p_.licenses, "license"}, std::pair{&p_.readmes, "readme"}}) {
      if (documents->size() > static_cast<size_t>(setup::kMaxDocuments))
        Fail((*documents)[setup::kMaxDocuments].where,
             std::string("more than ") + std::to_string(setup::kMaxDocuments) + " " + what + " documents");
    }
    tooMany(s_.Shortcuts.size(), setup::kMaxCountedRecords, "shortcuts");
    tooMany(s_.Associations.size(), setup::kMaxCountedRecords, "associations");
    tooMany(s_.UninstallValueList.size(), setup::kMaxCountedRecords, "uninstall values");
    tooMany(s_.DeleteList.size(), setup::kMaxDeleteRecordsBeforeAdd + 1, "delete entries");
    tooMany(s_.CloseList.size(), setup::kMaxCloseRecords, "close entries");
  }

  Project& p_;
  setup::SettingsStream& s_;
};

}  // namespace

std::optional<tl::DateTime> ParseStampText(std::string_view text) {
  static constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kShape.size()) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  auto number = [&](size_t at, size_t length) {
    int value = 0;
    for (size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  tl::DateTime t{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
  const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0) || t.hour > 23 || t.minute > 59 || t.second > 59)
    return std::nullopt;
  return t;
}

std::string PackError::ToString() const {
  std::string text = where.file;
  if (where.line > 0) text += ":" + std::to_string(where.line) + (where.column > 0 ? ":" + std::to_string(where.column) : "");
  return text.empty() ? message : text + ": " + message;
}

Outcome<Project> ParseProject(std::string_view text, const std::string& fileName, const fs::path& folder) {
  return Capture([&] {
    toml::table table;
    try {
      table = toml::parse(text, std::string_view(fileName));
    } catch (const toml::parse_error& error) {
      Fail({fileName, static_cast<int>(error.source().begin.line), static_cast<int>(error.source().begin.column)},
           std::string(error.description()));
    }
    Project project;
    project.file = fileName;
    project.folder = folder;
    Reader top(table, "", project.file, project.warnings);
    ProjectReader(project).Read(top);
    std::stable_sort(project.warnings.begin(), project.warnings.end(), [](const PackWarning& a, const PackWarning& b) {
      return std::pair(a.where.line, a.where.column) < std::pair(b.where.line, b.where.column);
    });
    return project;
  });
}

Outcome<Project> LoadProject(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return FileError(file.string(), "cannot read the project file");
  std::stringstream text;
  text << in.rdbuf();
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  return ParseProject(text.str(), file.string(), folder);
}

}  // namespace pack
