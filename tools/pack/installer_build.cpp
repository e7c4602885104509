#include "installer_build.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "settings_composer.h"
#include "setup/payload/installer_builder.h"

namespace pack {
namespace fs = std::filesystem;

Outcome<std::vector<uint8_t>> BuildInstallerBytes(const Project& project, const std::vector<uint8_t>& runtime,
                                                  const tl::DateTime& runtimeStamp, const BuildProgress& progress,
                                                  BuildSummary* summary) {
  return Capture([&]() -> std::vector<uint8_t> {
    setup::SettingsStream settings = ComposeSettings(project, runtimeStamp);
    size_t seen = 0;
    std::vector<setup::FileRecord> files = CollectFiles(project, [&](const fs::path&) {
      if (progress) progress("reading", ++seen, 0);
    });

    setup::BuildOptions options;
    options.packChunks = settings.Flag(setup::kFlagPackedChunks);
    options.pack.level = project.compressionLevel;
    options.archiveInFile = project.archiveInFile;
    if (progress) options.progress = [&](uint64_t done, uint64_t total) { progress("packing", done, total); };
    setup::BuildResult built = setup::BuildInstaller(runtime, settings, files, options);
    if (!built.ok()) Fail({project.file}, built.error);

    if (summary) {
      summary->fileCount = files.size();
      summary->fileBytes = 0;
      for (const setup::FileRecord& file : files) summary->fileBytes += file.data.size();
      summary->installerBytes = built.installer.size();
    }
    return std::move(built.installer);
  });
}

Outcome<bool> WriteFileAtomically(const fs::path& output, const std::vector<uint8_t>& bytes) {
  fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
  std::string name = ".";
  name.append(output.filename().string()).append(".partial-XXXXXX");
  std::string pattern = (folder / name).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) return FileError(output.string(), std::string("cannot create the output: ") + std::strerror(errno));
  const fs::path temporary = pattern;
  auto failed = [&](const char* step) {
    int error = errno;
    close(fd);
    unlink(temporary.c_str());
    return FileError(output.string(), std::string(step) + ": " + std::strerror(error));
  };
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return failed("cannot write the output");
    written += static_cast<size_t>(n);
  }
  // mkstemp makes the file private; give it the mode a new file would get.
  mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0) return failed("cannot set the output's mode");
  if (fsync(fd) != 0) return failed("cannot write the output");
  if (close(fd) != 0) {
    int error = errno;
    unlink(temporary.c_str());
    return FileError(output.string(), std::string("cannot write the output: ") + std::strerror(error));
  }
  if (rename(temporary.c_str(), output.c_str()) != 0) {
    int error = errno;
    unlink(temporary.c_str());
    return FileError(output.string(), std::string("cannot rename the output into place: ") + std::strerror(error));
  }
  return true;
}

Outcome<BuildSummary> BuildInstallerFile(const fs::path& projectFile, const fs::path& runtimeFile,
                                         const fs::path& output, const BuildProgress& progress,
                                         std::vector<PackWarning>* warnings) {
  Outcome<Project> project = LoadProject(projectFile);
  if (!project) return project.error();
  if (warnings) *warnings = project.value().warnings;
  Outcome<std::vector<uint8_t>> runtime =
      Capture([&] { return ReadInputFile({runtimeFile, {}}, "runtime"); });
  if (!runtime) return FileError(runtimeFile.string(), runtime.error().message);
  std::error_code error;
  tl::DateTime stamp = FileStamp(runtimeFile, error);
  if (error) return FileError(runtimeFile.string(), "cannot read the runtime's time: " + error.message());

  BuildSummary summary;
  Outcome<std::vector<uint8_t>> installer = BuildInstallerBytes(project.value(), runtime.value(), stamp, progress, &summary);
  if (!installer) return installer.error();
  Outcome<bool> written = WriteFileAtomically(output, installer.value());
  if (!written) return written.error();
  return summary;
}

fs::path DefaultRuntimePath(const fs::path& toolExecutable) {
  const fs::path folder = toolExecutable.parent_path();
  const fs::path candidates[] = {folder / "orvanta-setup.exe", folder / ".." / "cross" / "bin" / "orvanta-setup.exe"};
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal();
  }
  return candidates[1].lexically_normal();
}

}  // namespace pack
