#include "setup/uninstall/self_removal.h"

#include "setup/vars/batch_text.h"
#include "tl_core/path_text.h"

namespace setup {
namespace {

std::vector<std::string_view> PathComponents(std::string_view path) {
  std::vector<std::string_view> components;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) components.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

std::string QuotedLine(std::string_view command, std::string_view path) {
  std::string line(command);
  line += " \"";
  line += path;
  line += "\"\r\n";
  return line;
}

}  // namespace

std::vector<std::string> SelfRemovalFolders(std::string_view installDirectory, std::string_view uninstallSubdir) {
  std::vector<std::string> folders;
  if (installDirectory.empty()) return folders;
  const std::vector<std::string_view> components = PathComponents(uninstallSubdir);
  for (size_t depth = components.size(); depth > 0 && folders.size() < kMaxRemovedSubfolders; --depth) {
    std::string folder(installDirectory);
    for (size_t i = 0; i < depth; ++i) folder = tl::JoinPath(folder, components[i]);
    folders.push_back(folder);
  }
  folders.emplace_back(installDirectory);
  return folders;
}

std::string SelfRemovalBatchText(std::string_view uninstallerPath, const std::vector<std::string>& folders,
                                 std::string_view batchPath) {
  std::string loop = ":Repeat\r\n" + QuotedLine("del", uninstallerPath) + "if exist \"" + std::string(uninstallerPath) +
                     "\" goto Repeat\r\n";
  std::string text = loop + loop;
  text += "CHOICE /T 3 /D Y\r\n";
  for (const std::string& folder : folders) text += QuotedLine("rd", folder);
  text += QuotedLine("del", batchPath);
  return text;
}

std::string SelfRemovalCommandLine(std::string_view interpreter, std::string_view batchPath) {
  const std::string argument = InterpreterArgument(batchPath);
  const bool quoted = argument.size() != batchPath.size();
  std::string command = "\"" + std::string(interpreter) + "\" /c ";
  command += quoted ? "\"" + argument + "\"" : argument;
  return command;
}

}  // namespace setup
