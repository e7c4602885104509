// orvanta-pack: builds a product's installer from its project file, and
// inspects or extracts a built installer.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "installer_build.h"
#include "installer_report.h"
#include "progress_display.h"
#include "setup/payload/installer_reader.h"

namespace fs = std::filesystem;

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  orvanta-pack build PROJECT.toml -o SETUP.exe [--runtime RUNTIME.exe] [--progress]\n"
    "  orvanta-pack inspect SETUP.exe\n"
    "  orvanta-pack extract SETUP.exe FOLDER\n"
    "  orvanta-pack uninstaller SETUP.exe OUT.exe   (the uninstaller image the runtime builds)\n";

int Usage(const std::string& problem) {
  std::fprintf(stderr, "orvanta-pack: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

int Failed(const std::string& message) {
  std::fprintf(stderr, "orvanta-pack: %s\n", message.c_str());
  return 1;
}

fs::path ToolExecutable(const char* argv0) {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::absolute(argv0) : self;
}

std::optional<std::vector<uint8_t>> ReadWhole(const fs::path& file, std::string& problem) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    problem = file.string() + ": cannot read the file: " + std::strerror(errno);
    return std::nullopt;
  }
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int Build(const std::vector<std::string>& args, const char* argv0) {
  std::string project, output, runtime;
  bool progress = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "-o" || arg == "--output" || arg == "--runtime") && i + 1 < args.size()) {
      (arg == "--runtime" ? runtime : output) = args[++i];
    } else if (arg == "--progress") {
      progress = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage("unknown option " + arg);
    } else if (project.empty()) {
      project = arg;
    } else {
      return Usage("more than one project file");
    }
  }
  if (project.empty()) return Usage("build needs a project file");
  if (output.empty()) return Usage("build needs an output file (-o SETUP.exe)");
  fs::path runtimePath = runtime.empty() ? pack::DefaultRuntimePath(ToolExecutable(argv0)) : fs::path(runtime);

  pack::ProgressDisplay display(stderr, progress || isatty(STDERR_FILENO));
  std::vector<pack::PackWarning> warnings;
  auto result = pack::BuildInstallerFile(
      project, runtimePath, output,
      [&](const std::string& phase, uint64_t done, uint64_t total) { display.Update(phase, done, total); }, &warnings);
  display.Finish();
  for (const pack::PackWarning& warning : warnings) std::fprintf(stderr, "%s\n", warning.ToString().c_str());
  if (!result) return Failed(result.error().ToString());
  std::printf("%s: %zu files, %llu bytes of data, installer %llu bytes\n", output.c_str(), result.value().fileCount,
              static_cast<unsigned long long>(result.value().fileBytes),
              static_cast<unsigned long long>(result.value().installerBytes));
  return 0;
}

int Inspect(const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage("inspect needs one installer");
  std::string problem;
  auto bytes = ReadWhole(args[0], problem);
  if (!bytes) return Failed(problem);
  setup::InstallerContents contents = setup::ReadInstaller(*bytes);
  std::fputs(pack::DescribeInstaller(contents).c_str(), stdout);
  if (!contents.ok()) return Failed(args[0] + ": " + pack::DamageText(contents));
  return 0;
}

int Extract(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("extract needs an installer and a folder");
  std::string problem;
  auto bytes = ReadWhole(args[0], problem);
  if (!bytes) return Failed(problem);
  auto result = pack::ExtractInstaller(*bytes, args[1]);
  if (!result) {
    pack::PackError error = result.error();
    if (error.where.file.empty()) error.where.file = args[0];
    return Failed(error.ToString());
  }
  for (const std::string& path : result.value().paths) std::printf("%s\n", path.c_str());
  std::printf("%zu files written to %s\n", result.value().written, args[1].c_str());
  return 0;
}

int Uninstaller(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage("uninstaller needs an installer and an output file");
  std::string problem;
  auto bytes = ReadWhole(args[0], problem);
  if (!bytes) return Failed(problem);
  setup::InstallerContents contents = setup::ReadInstaller(*bytes);
  if (!contents.ok()) return Failed(args[0] + ": " + pack::DamageText(contents));
  if (!contents.uninstaller.built)
    return Failed(args[0] + ": the installer builds no uninstaller image (option uninstaller-image is off)");
  std::FILE* out = std::fopen(args[1].c_str(), "wb");
  if (!out) return Failed(args[1] + ": cannot be written");
  const std::vector<uint8_t>& image = contents.uninstaller.image;
  bool written = std::fwrite(image.data(), 1, image.size(), out) == image.size();
  written = std::fclose(out) == 0 && written;
  if (!written) {
    std::remove(args[1].c_str());
    return Failed(args[1] + ": cannot be written");
  }
  std::printf("%s: %zu bytes\n", args[1].c_str(), image.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command");
  std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "build") return Build(args, argv[0]);
  if (command == "inspect") return Inspect(args);
  if (command == "extract") return Extract(args);
  if (command == "uninstaller") return Uninstaller(args);
  if (command == "help" || command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  return Usage("unknown command " + command);
}
