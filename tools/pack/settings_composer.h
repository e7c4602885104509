#pragma once
// From a project to what the installer carries: the complete settings stream
// (documents, icons, bitmap and string table read in) and the file records
// with their bytes and stamps.
#include <filesystem>
#include <functional>
#include <vector>

#include "pack_error.h"
#include "project.h"
#include "setup/payload/file_record.h"
#include "setup/payload/settings_stream.h"
#include "tl_core/date_time.h"

namespace pack {

// The last-write time of a file as a UTC DateTime (the stamp a record
// carries); a DateTime without date and time when it cannot be read.
tl::DateTime FileStamp(const std::filesystem::path& file, std::error_code& error);

// Whole bytes of an input file; throws PackFailure naming the file and the
// project place that names it.
std::vector<uint8_t> ReadInputFile(const FileReference& file, const char* what);

// Why `bytes` is not an icon file the runtime can put into the uninstaller,
// or empty.
std::string IconFileError(const std::vector<uint8_t>& bytes);

// The settings stream of the installer. `uninstallerStamp` becomes the
// uninstaller file's stamp. Throws PackFailure.
setup::SettingsStream ComposeSettings(const Project& project, const tl::DateTime& uninstallerStamp);

// Every file the [[files]] entries name, in project order and, within a
// pattern, in the order of their paths, each with the stamp its entry's
// `stamp` rule gives and, for a versioned kind without a stated version, the
// "FileVersion" of its own version resource. `found` is told each file as it
// is read. Throws PackFailure for a missing file, a pattern without a match, a
// file above 1 GiB or a name given twice.
std::vector<setup::FileRecord> CollectFiles(const Project& project,
                                            const std::function<void(const std::filesystem::path&)>& found = {});

}  // namespace pack
