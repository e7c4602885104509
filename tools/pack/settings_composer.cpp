#include "settings_composer.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <system_error>

#include "ansi_text.h"
#include "file_glob.h"
#include "setup/payload/payload_header.h"
#include "setup/payload/version_resource.h"
#include "string_table_builder.h"

namespace pack {
namespace fs = std::filesystem;
namespace {

std::string Quoted(const fs::path& path) {
  std::string text(1, '"');
  return text.append(path.string()).append(1, '"');
}

uint16_t U16At(const std::vector<uint8_t>& bytes, size_t at) { return bytes[at] | (bytes[at + 1] << 8); }
uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// A record name from a path below the project: "\"-separated, in the
// runtime's form for names outside ASCII.
std::string RecordName(const std::string& into, const std::string& relative) {
  std::string name = into;
  if (!name.empty() && name.back() != '\\' && name.back() != '/') name += '\\';
  name += relative;
  for (char& c : name)
    if (c == '/') c = '\\';
  return RecordPath(name);
}

std::string Stem(const std::string& name) {
  size_t slash = name.find_last_of("\\/");
  std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
  size_t dot = file.rfind('.');
  return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

tl::DateTime FileStampOrFail(const FileEntry& entry, const fs::path& file) {
  std::error_code error;
  tl::DateTime stamp = FileStamp(file, error);
  if (error) Fail(entry.where, "cannot read the time of " + Quoted(file) + ": " + error.message());
  return stamp;
}

tl::DateTime RecordStamp(const FileEntry& entry, const fs::path& file) {
  switch (entry.stamp.source) {
    case StampRule::Source::kNone:
      return tl::DateTime{};
    case StampRule::Source::kFixed:
      return entry.stamp.fixed;
    case StampRule::Source::kNoTime: {
      const tl::DateTime written = FileStampOrFail(entry, file);
      tl::DateTime stamp;
      stamp.year = written.year;
      stamp.month = written.month;
      stamp.day = written.day;
      return stamp;  // hour -1: no time
    }
    case StampRule::Source::kFile:
      break;
  }
  return FileStampOrFail(entry, file);
}

}  // namespace

tl::DateTime FileStamp(const fs::path& file, std::error_code& error) {
  using namespace std::chrono;
  auto fileTime = fs::last_write_time(file, error);
  if (error) return {};
  auto written = file_clock::to_sys(fileTime);
  auto seconds = floor<std::chrono::seconds>(written);
  auto days = floor<std::chrono::days>(seconds);
  year_month_day date(days);
  hh_mm_ss time(seconds - days);
  tl::DateTime stamp;
  stamp.year = static_cast<int>(date.year());
  stamp.month = static_cast<int>(static_cast<unsigned>(date.month()));
  stamp.day = static_cast<int>(static_cast<unsigned>(date.day()));
  stamp.hour = static_cast<int>(time.hours().count());
  stamp.minute = static_cast<int>(time.minutes().count());
  stamp.second = static_cast<int>(time.seconds().count());
  return stamp;
}

std::vector<uint8_t> ReadInputFile(const FileReference& file, const char* what) {
  std::error_code error;
  if (fs::is_directory(file.path, error)) Fail(file.where, std::string(what) + " " + Quoted(file.path) + " is a folder");
  auto size = fs::file_size(file.path, error);
  if (error) Fail(file.where, "cannot read " + std::string(what) + " " + Quoted(file.path) + ": " + error.message());
  if (size > static_cast<uintmax_t>(setup::kMaxFileSize))
    Fail(file.where, std::string(what) + " " + Quoted(file.path) + " is larger than 1 GiB");
  std::ifstream in(file.path, std::ios::binary);
  std::vector<uint8_t> bytes(size);
  if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    Fail(file.where, "cannot read " + std::string(what) + " " + Quoted(file.path) + ": " + std::strerror(errno));
  return bytes;
}

std::string IconFileError(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 6) return "shorter than an icon file header";
  uint16_t type = U16At(bytes, 2), count = U16At(bytes, 4);
  if (U16At(bytes, 0) != 0 || (type != 1 && type != 2)) return "not an icon file";
  if (count == 0 || count > 1000) return "holds " + std::to_string(count) + " images; an icon file holds 1 to 1000";
  if (bytes.size() < 6 + size_t{16} * count) return "its image table is cut short";
  for (size_t i = 0; i < count; ++i) {
    uint64_t size = U32At(bytes, 6 + 16 * i + 8), offset = U32At(bytes, 6 + 16 * i + 12);
    if (offset + size > bytes.size()) return "image " + std::to_string(i + 1) + " lies beyond the end of the file";
  }
  return {};
}

setup::SettingsStream ComposeSettings(const Project& project, const tl::DateTime& uninstallerStamp) {
  setup::SettingsStream s = project.settings;
  for (const FileReference& document : project.licenses) s.LicenseTexts.push_back(ReadInputFile(document, "license document"));
  for (const FileReference& document : project.readmes) s.ReadmeTexts.push_back(ReadInputFile(document, "readme document"));

  auto icon = [](const FileReference& file, const char* what) {
    std::vector<uint8_t> bytes = ReadInputFile(file, what);
    if (std::string why = IconFileError(bytes); !why.empty()) Fail(file.where, Quoted(file.path) + ": " + why);
    return bytes;
  };
  if (project.uninstallerIcon) {
    if (!s.Flag(setup::kFlagHasUninstaller))
      Fail(project.uninstallerIcon->where, "an uninstaller icon needs the uninstaller option");
    s.UninstallerIcon = icon(*project.uninstallerIcon, "uninstaller icon");
  }
  if (project.desktopFolderIcon) s.DesktopFolderIcon = icon(*project.desktopFolderIcon, "desktop folder icon");
  if (project.backgroundBitmap) {
    s.Bitmap = ReadInputFile(*project.backgroundBitmap, "background bitmap");
    if (s.Bitmap.size() < 54 || s.Bitmap[0] != 'B' || s.Bitmap[1] != 'M')
      Fail(project.backgroundBitmap->where, Quoted(project.backgroundBitmap->path) + " is not a BMP file");
  }

  const int32_t stamp[6] = {uninstallerStamp.year, uninstallerStamp.month,  uninstallerStamp.day,
                            uninstallerStamp.hour, uninstallerStamp.minute, uninstallerStamp.second};
  s.UninstallerFileRecord.assign(24, 0);
  for (int i = 0; i < 6; ++i)
    for (int b = 0; b < 4; ++b) s.UninstallerFileRecord[4 * i + b] = static_cast<uint8_t>(static_cast<uint32_t>(stamp[i]) >> (8 * b));

  s.Strings = BuildStringTable(project.languages);
  return s;
}

std::vector<setup::FileRecord> CollectFiles(const Project& project,
                                            const std::function<void(const fs::path&)>& found) {
  std::vector<setup::FileRecord> records;
  // Where each (kind, name, target) was first given, to catch a file listed twice.
  std::map<std::tuple<uint32_t, std::string, std::string>, Location> seen;
  for (const FileEntry& entry : project.files) {
    std::vector<GlobMatch> matches;
    try {
      matches = ExpandGlob(project.folder, entry.source);
    } catch (const fs::filesystem_error& error) {
      Fail(entry.where, "cannot list the files of \"" + entry.source + "\": " + error.code().message());
    }
    if (matches.empty()) {
      if (HasWildcards(entry.source)) Fail(entry.where, "\"" + entry.source + "\" matches no file");
      fs::path path = project.folder / fs::path(entry.source);
      std::error_code error;
      if (fs::is_directory(path, error))
        Fail(entry.where, Quoted(path) + " is a folder; name its files with a pattern such as \"" + entry.source + "/**\"");
      Fail(entry.where, "cannot read " + Quoted(path) + ": no such file");
    }
    for (const GlobMatch& match : matches) {
      if (found) found(match.path);
      setup::FileRecord record = entry.fields;
      record.name = RecordName(entry.into, entry.name.empty() ? match.relative : entry.name);
      if (record.name.find_first_of(":*?\"<>|", record.name[0] == '|' ? 1 : 0) != std::string::npos)
        Fail(entry.where, "the file name \"" + PathToUtf8(record.name) + "\" holds a character Windows does not allow");
      // A caption the code page cannot show is left to the runtime, which names the shortcut after the file.
      if (entry.defaultCaption) record.text = Utf8ToWindows1252(Stem(PathToUtf8(record.name))).value_or("");
      record.data = ReadInputFile({match.path, entry.where}, "file");
      record.stamp = RecordStamp(entry, match.path);
      if (entry.versionFromFile) record.text = setup::FileVersionText(record.data);
      if (std::string why = setup::FileRecordError(record); !why.empty())
        Fail(entry.where, Quoted(match.path) + ": " + why);
      auto [it, inserted] = seen.emplace(std::tuple{record.kind, record.name, record.target}, entry.where);
      if (!inserted)
        Fail(entry.where, "the file \"" + PathToUtf8(record.name) + "\" is also listed at line " +
                             std::to_string(it->second.line));
      records.push_back(std::move(record));
    }
  }
  return records;
}

}  // namespace pack
