#pragma once
// The program named by a command line to start after the installation, and
// the folder it runs in.
#include <string>
#include <string_view>

namespace setup {

// The program of a command line: after leading blanks and tabs, the text
// inside the double quotes when it begins with one (to the end when the
// closing quote is missing), else everything up to the next blank or tab.
// A leading "|" (a UTF-8 text) stays in front of the result.
std::string ProgramOfCommandLine(std::string_view commandLine);

// The folder part of that program ("C:\" for a program at a drive root);
// empty when the program is named without a folder.
std::string ProgramFolderOfCommandLine(std::string_view commandLine);

// A path as a command line that names it alone: in double quotes, so that a
// blank in it does not end the program name. A text already in quotes stays.
std::string QuotedProgram(std::string_view path);

}  // namespace setup
