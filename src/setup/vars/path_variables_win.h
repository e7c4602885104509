#pragma once
// The path variables ("%InstallDir%", "%SystemDir%" and the rest) with the
// values of the running system and of this run.
#include <string>

namespace setup {

// Replaces every path variable (letter case ignored), then environment
// variables. False when the environment expansion failed; the text then
// stays as after the variable step.
bool ExpandPathVariables(std::string& text);

// The SET lines a generated batch file begins with; the InstallDir and
// InstallDrive lines only when workingDirectory is not empty.
std::string BatchSetLines(const std::string& workingDirectory);

}  // namespace setup
