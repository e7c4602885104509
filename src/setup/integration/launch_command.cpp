#include "setup/integration/launch_command.h"

#include "tl_core/path_text.h"

namespace setup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text without its UTF-8 mark, and whether it had one.
std::string_view WithoutUtf8Mark(std::string_view text, bool& utf8) {
  utf8 = !text.empty() && text.front() == '|';
  return utf8 ? text.substr(1) : text;
}

std::string WithMark(std::string text, bool utf8) { return utf8 && !text.empty() ? "|" + text : text; }

}  // namespace

std::string ProgramOfCommandLine(std::string_view commandLine) {
  bool utf8 = false;
  std::string_view text = WithoutUtf8Mark(commandLine, utf8);
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  text.remove_prefix(start);
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    return WithMark(std::string(text.substr(0, text.find('"'))), utf8);
  }
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return WithMark(std::string(text.substr(0, end)), utf8);
}

std::string ProgramFolderOfCommandLine(std::string_view commandLine) {
  return tl::FolderOfPath(ProgramOfCommandLine(commandLine));
}

std::string QuotedProgram(std::string_view path) {
  bool utf8 = false;
  std::string_view text = WithoutUtf8Mark(path, utf8);
  if (!text.empty() && text.front() == '"') return std::string(path);
  return WithMark("\"" + std::string(text) + "\"", utf8);
}

}  // namespace setup
