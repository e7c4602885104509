#include "setup/entry/command_line.h"

#include "tl_core/fatal.h"
#include "tl_core/text.h"

namespace setup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

// "text" -> text, only when the quotes stand at both ends.
std::string WithoutSurroundingQuotes(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return std::string(text.substr(1, text.size() - 2));
  return std::string(text);
}

// The tail of an R:"..." or Bn:"..." atom after the opening quote.
std::string CommandText(std::string_view afterQuote, bool splitLines) {
  if (!afterQuote.empty() && afterQuote.back() == '"') afterQuote.remove_suffix(1);
  std::string text;
  for (size_t i = 0; i < afterQuote.size(); ++i) {
    char c = afterQuote[i];
    if (c == '`') {
      text += '"';
    } else if (splitLines && c == '~' && i + 1 < afterQuote.size() && afterQuote[i + 1] == '~') {
      text += "\r\n";
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

// Applies one atom; false when it is not one of ours.
bool ApplyAtom(std::string_view atom, CommandLineOptions& o) {
  using tl::EqualsNoCase;
  using tl::StartsWithNoCase;
  if (EqualsNoCase(atom, "A")) {
    o.automaticMode = true;
  } else if (StartsWithNoCase(atom, "D:")) {
    o.installLocation = WithoutSurroundingQuotes(atom.substr(2));
  } else if (StartsWithNoCase(atom, "N:")) {
    o.displayName = WithoutSurroundingQuotes(atom.substr(2));
  } else if (StartsWithNoCase(atom, "U")) {
    o.uninstallMode = true;
    std::string_view rest = atom.substr(1);
    if (!rest.empty() && rest.front() == ':') o.uninstallKeyName = WithoutSurroundingQuotes(rest.substr(1));
  } else if (StartsWithNoCase(atom, "R:\"")) {
    o.runAfterInstall = CommandText(atom.substr(3), false);
  } else if (StartsWithNoCase(atom, "B1:\"") || StartsWithNoCase(atom, "B2:\"") ||
             StartsWithNoCase(atom, "B3:\"")) {
    o.batchAppend[atom[1] - '1'] = CommandText(atom.substr(4), true);
  } else if (EqualsNoCase(atom, "MIN")) {
    o.startMinimized = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool NextCommandLineToken(std::string_view& rest, std::string& token) {
  rest = SkipBlanks(rest);
  if (rest.empty()) return false;
  token.clear();
  size_t i = 0;
  while (i < rest.size() && !IsBlank(rest[i])) {
    if (rest[i] != '"') {
      token += rest[i++];
      continue;
    }
    // Quoted section: to the next lone quote or the end of the line.
    token += '"';
    ++i;
    while (i < rest.size()) {
      if (rest[i] == '"') {
        if (i + 1 < rest.size() && rest[i + 1] == '"') {
          token += '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      token += rest[i++];
    }
    token += '"';
  }
  rest = rest.substr(i);
  return true;
}

std::vector<std::string> TokenizeCommandLine(std::string_view tail, size_t maxTokens) {
  std::vector<std::string> tokens;
  std::string token;
  while (tokens.size() < maxTokens && NextCommandLineToken(tail, token)) tokens.push_back(token);
  return tokens;
}

CommandLineParse ParseCommandLine(std::string_view tail) {
  CommandLineParse parse;
  for (const std::string& token : TokenizeCommandLine(tail)) {
    if (token[0] != '/' && token[0] != '-') {
      parse.ok = false;
      parse.usageReason = "Unexpected command line parameter:\n" + token;
      return parse;
    }
    std::string_view atom = std::string_view(token).substr(1);
    if (!ApplyAtom(atom, parse.options)) {
      parse.ok = false;
      parse.usageReason = "Illegal command line atom:\n" + std::string(atom);
      return parse;
    }
  }
  return parse;
}

const char kUsageFormat[] =
    "%s\r\n\r\nUsage:\r\n%s [/a] [/b1:\"commands\"] [/b2:\"commands\"] [/b3:\"commands\"] "
    "[/d:\"dir\"] [/n:\"name\"] [/u:\"name\"] [/r:\"program\"]\r\n\r\n"
    "/a                  \tAutomatic mode.\r\n"
    "/d:\"dir\"        \tOverride installation directory.\r\n"
    "/b1:\"commands\"\tAdd commands to the end of the Pre-Installation Batch.\r\n"
    "/b2:\"commands\"\tAdd commands to the end of the Post-Installation Batch.\r\n"
    "/b3:\"commands\"\tAdd commands to the end of the Installation-Exit Batch.\r\n"
    "/n:\"name\"\tOverride product name.\r\n"
    "/u:\"name\"\tUninstall product by name.\r\n"
    "/r:\"program\"\tRun the specified program after a successful installation.";

std::string OwnProgramPath(std::string_view fullCommandLine, std::string_view moduleFileName) {
  std::string_view text = tl::TrimBlanks(fullCommandLine);
  std::string path;
  if (text.empty()) {
    path = std::string(moduleFileName);
  } else if (text.front() == '"') {
    NextCommandLineToken(text, path);
    path = WithoutSurroundingQuotes(path);
  } else {
    size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    path = std::string(text.substr(0, end));
  }
  if (!tl::HasExtension(path)) path += ".EXE";
  return path;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"

void UsageFatal(const std::string& reason, const std::string& programFileName) {
  tl::FatalMessage(kUsageFormat, reason.c_str(), programFileName.c_str());
}

#pragma GCC diagnostic pop

}  // namespace setup
