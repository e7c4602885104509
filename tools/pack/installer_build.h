#pragma once
// The build command: project -> settings and file records -> installer,
// written to a temporary file that is renamed to the output only when it is
// complete, so a failed build never leaves a partial installer behind.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "pack_error.h"
#include "project.h"
#include "tl_core/date_time.h"

namespace pack {

// Progress of a build: a phase name and its done and total units.
using BuildProgress = std::function<void(const std::string& phase, uint64_t done, uint64_t total)>;

struct BuildSummary {
  size_t fileCount = 0;
  uint64_t fileBytes = 0;
  uint64_t installerBytes = 0;
};

// The installer bytes for `project` on `runtime` (a copy of the runtime
// without payload). `runtimeStamp` is the stamp the uninstaller gets.
Outcome<std::vector<uint8_t>> BuildInstallerBytes(const Project& project, const std::vector<uint8_t>& runtime,
                                                  const tl::DateTime& runtimeStamp, const BuildProgress& progress = {},
                                                  BuildSummary* summary = nullptr);

// Reads the project and the runtime, builds, and writes `output`. The
// project's warnings go to `warnings` as soon as it is read, so that they
// are known when a later step fails.
Outcome<BuildSummary> BuildInstallerFile(const std::filesystem::path& projectFile,
                                         const std::filesystem::path& runtimeFile, const std::filesystem::path& output,
                                         const BuildProgress& progress = {},
                                         std::vector<PackWarning>* warnings = nullptr);

// Writes `bytes` to a temporary file beside `output` and renames it over
// `output`; on any failure the temporary file is removed and `output` is
// left as it was.
Outcome<bool> WriteFileAtomically(const std::filesystem::path& output, const std::vector<uint8_t>& bytes);

// The runtime that a build uses when none is named: beside the tool, or in
// the cross build of the tool's build tree (../cross/bin).
std::filesystem::path DefaultRuntimePath(const std::filesystem::path& toolExecutable);

}  // namespace pack
