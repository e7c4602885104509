#pragma once
// A product's project file: the product described in an author's words, read
// from TOML into the settings it stands for. Paths in the project are
// relative to the project file's folder; the files they name are read later,
// when the settings are composed and the files collected.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pack_error.h"
#include "setup/payload/file_record.h"
#include "setup/payload/settings_stream.h"
#include "string_table_builder.h"
#include "tl_core/date_time.h"

namespace pack {

// A file the project names, with the place that names it.
struct FileReference {
  std::filesystem::path path;  // resolved against the project folder
  Location where;
};

// Where a file record's stamp comes from.
struct StampRule {
  enum class Source { kFile, kNone, kNoTime, kFixed };
  Source source = Source::kFile;  // kFile: the last-write time; kNoTime: its date only
  tl::DateTime fixed;             // the stamp itself with kFixed (UTC)
};

// A stamp from "YYYY-MM-DD hh:mm:ss": a real calendar date in the years
// 1601 to 9999 (the range of the system's file times), a time of day up to
// 23:59:59. Nothing else, so a typo cannot slip through as another time.
std::optional<tl::DateTime> ParseStampText(std::string_view text);

// One [[files]] entry: a path or pattern and the record fields every file it
// matches gets.
struct FileEntry {
  std::string source;  // as written, "/"-separated
  Location where;
  std::string name;  // explicit record name for a single file (UTF-8), empty: the file's own
  std::string into;  // folder prepended to the names (UTF-8, "\"-separated)
  // kind, flags, attributes, text, shortcut fields, target and package
  // option; name, stamp and data are per file.
  setup::FileRecord fields;
  bool defaultCaption = false;  // text = the file's name without extension
  // text = the "FileVersion" of the file's version resource (a versioned
  // kind without an explicit version).
  bool versionFromFile = false;
  StampRule stamp;
};

struct Project {
  std::string file;                 // the project file as named
  std::filesystem::path folder;     // base of its relative paths
  setup::SettingsStream settings;   // every setting stated by value
  std::vector<FileReference> licenses;
  std::vector<FileReference> readmes;
  std::optional<FileReference> uninstallerIcon;
  std::optional<FileReference> desktopFolderIcon;
  std::optional<FileReference> backgroundBitmap;
  std::vector<LanguageStrings> languages;
  std::vector<FileEntry> files;
  // Keys given that the runtime does not read yet, in file order.
  std::vector<PackWarning> warnings;
  int compressionLevel = 6;  // the codec's level: 9 packs about 1% smaller at twice the time
  bool archiveInFile = false;
};

// Reads a project from its text. `fileName` names it in errors; relative
// paths are resolved against `folder`. Errors name the line and column of
// the offending key or value; so do the project's warnings.
Outcome<Project> ParseProject(std::string_view text, const std::string& fileName, const std::filesystem::path& folder);

// Reads the project file itself.
Outcome<Project> LoadProject(const std::filesystem::path& file);

}  // namespace pack
