#pragma once
// What a built installer holds, in words: the section, the payload header,
// every setting by name, the lists, the strings and the file table; and the
// extraction of its files into a folder.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "pack_error.h"
#include "setup/payload/file_record.h"
#include "setup/payload/installer_reader.h"

namespace pack {

// A short description of a corrupt-installer check code.
std::string CheckCodeMeaning(int code);

// The first damage of an installer that is not valid, as one line:
// "check code 55: archive checksum mismatch" or the reader's message.
std::string DamageText(const setup::InstallerContents& contents);

// The whole report, UTF-8 text.
std::string DescribeInstaller(const setup::InstallerContents& contents);

// Where a record's file goes below an extraction folder: the name of its
// folder variable ("InstallDir", "SystemDir", ...) and the record's path in
// it, "/"-separated. Throws PackFailure for a path that would leave the
// extraction folder.
std::string ExtractionPath(const setup::FileRecord& record);

struct ExtractSummary {
  size_t written = 0;
  std::vector<std::string> paths;  // relative to the output folder, in record order
};

// Writes every file of `installer` below `folder`. The reader checks every
// checksum; when it finds damage, the files read before it are written and
// the result is the damage, named with its check code.
Outcome<ExtractSummary> ExtractInstaller(std::span<const uint8_t> installer, const std::filesystem::path& folder);

}  // namespace pack
