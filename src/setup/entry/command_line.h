#pragma once
// The runtime's command line: tokens and atoms such as /a, /d:"dir",
// /u:"name" and /b1:"commands".
#include <string>
#include <string_view>
#include <vector>

#include "setup/run/command_line_options.h"

namespace setup {

constexpr size_t kMaxCommandLineTokens = 19;

struct CommandLineParse {
  bool ok = true;
  std::string usageReason;  // why the command line was refused, when !ok
  CommandLineOptions options;
};

// Takes the next token from `rest` (leading blanks skipped) and advances it.
// A quoted section keeps its quotes around its content; "" inside it is one
// quote. Returns false when no token is left.
bool NextCommandLineToken(std::string_view& rest, std::string& token);

// At most `maxTokens` tokens; further ones are ignored.
std::vector<std::string> TokenizeCommandLine(std::string_view tail,
                                             size_t maxTokens = kMaxCommandLineTokens);

CommandLineParse ParseCommandLine(std::string_view tail);

// The usage text: first %s the reason, second %s the program's file name.
extern const char kUsageFormat[];

// The usage text with the reason and the program's file name.
[[noreturn]] void UsageFatal(const std::string& reason, const std::string& programFileName);

// The path of the running program as its command line names it: the quoted
// section or the text up to the first blank, ".EXE" appended when the name
// has no extension; the module file name when the command line is empty.
std::string OwnProgramPath(std::string_view fullCommandLine, std::string_view moduleFileName);

}  // namespace setup
