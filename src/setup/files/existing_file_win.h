#pragma once
// What is on disk at a target before it is written: whether a file is
// there, its last-write time and the version its resource names.
#include <string>

#include "setup/files/replacement_rules.h"

namespace setup {

// `withVersion`: read the version resource too (the versioned kinds).
ExistingFileFacts ReadExistingFile(const std::string& path, bool withVersion);

// The "FileVersion" text of a file's version resource ("," read as "."),
// or empty. Uses the system's version library, loaded on first use.
std::string FileVersionText(const std::string& path);

}  // namespace setup
