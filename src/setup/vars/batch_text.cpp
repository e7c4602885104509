#include "setup/vars/batch_text.h"

#include "tl_core/path_text.h"
#include "tl_core/text.h"

namespace setup {
namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimSpacesAndTabs(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool EndsWithCrLf(std::string_view text) {
  return text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n';
}

bool NeedsQuotes(std::string_view path) {
  // Blanks and the interpreter's separators and operators split or end the
  // command; "~" of short names does not.
  constexpr std::string_view kSpecial = " \t&()^;,=";
  return path.empty() || path.find_first_of(kSpecial) != std::string_view::npos;
}

}  // namespace

bool IsBlankBatchText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string WithBatchAppendix(std::string_view text, std::string_view appendix) {
  std::string result(text);
  if (appendix.empty()) return result;
  if (result.empty() || !IsLineBreak(result.back())) result += "\r\n";
  result += appendix;
  return result;
}

bool IsPauseLine(std::string_view line) {
  line = TrimSpacesAndTabs(line);
  if (!line.empty() && line.front() == '@') line = TrimSpacesAndTabs(line.substr(1));
  return tl::EqualsNoCase(line, "PAUSE");
}

std::string WithoutPauseLines(std::string_view text) {
  std::string result;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && !IsLineBreak(text[end])) ++end;
    const std::string_view line = text.substr(start, end - start);
    if (!IsPauseLine(line)) {
      result += line;
      result += "\r\n";
    }
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return result;
}

std::string WithCrLfLineEnds(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      result += "\r\n";
      ++i;
    } else if (IsLineBreak(c)) {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  if (!EndsWithCrLf(result)) result += "\r\n";
  return result;
}

std::string BuildBatchFileText(std::string_view setLines, std::string_view batchText, bool dropPauseLines) {
  std::string text = "@echo off\r\n";
  text += setLines;
  text += dropPauseLines ? WithoutPauseLines(batchText) : std::string(batchText);
  return WithCrLfLineEnds(text);
}

std::string BatchInterpreter(std::string_view comspec, std::string_view systemFolder) {
  const std::string_view value = tl::TrimBlanks(comspec);
  if (!value.empty()) return std::string(value);
  return tl::JoinPath(systemFolder, "cmd.exe");
}

std::string MustUninstallBatchText(std::string_view uninstallCommand, std::string_view ownCommandLine,
                                   std::string_view batchPath) {
  std::string text(uninstallCommand);
  text.append("\r\n").append(ownCommandLine).append("\r\n");
  text.append("del \"").append(batchPath).append("\"\r\n");
  return text;
}

std::string InterpreterArgument(std::string_view path) {
  std::string argument(path);
  if (NeedsQuotes(path)) {
    argument.insert(argument.begin(), '"');
    argument += '"';
  }
  return argument;
}

std::string BatchCommandLine(std::string_view interpreter, std::string_view batchPath,
                             std::string_view logPath) {
  std::string command = InterpreterArgument(batchPath);
  bool quoted = NeedsQuotes(batchPath);
  if (!logPath.empty()) {
    command += " > " + InterpreterArgument(logPath);
    quoted = quoted || NeedsQuotes(logPath);
  }
  if (quoted) {
    command.insert(command.begin(), '"');
    command += '"';
  }
  return tl::Format("\"%.*s\" /e:%d /c %s", static_cast<int>(interpreter.size()), interpreter.data(),
                    kBatchEnvironmentBytes, command.c_str());
}

}  // namespace setup
