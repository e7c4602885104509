#pragma once
// The path variables ("%InstallDir%", "%SystemDir%" and the rest) with the
// values of the running system and of this run.
#include <string>

#include "setup/run/run_state.h"
#include "setup/vars/path_variables.h"

namespace setup {

// Replaces every path variable (letter case ignored), then environment
// variables. False when the environment expansion failed; the text then
// stays as after the variable step. In a text that begins with "|" (UTF-8)
// the values are inserted as UTF-8 too.
[[nodiscard]] bool ExpandPathVariables(const RunState& run, std::string& text);
// The same on a copy, for callers that take the text as far as it got.
std::string PathVariablesExpanded(const RunState& run, std::string text);

// The SET lines a generated batch file begins with; the InstallDir and
// InstallDrive lines only when workingDirectory is not empty.
std::string BatchSetLines(const RunState& run, const std::string& workingDirectory);

// The current value of one variable: asked from the system (with the
// fallbacks of each folder) or taken from the run.
std::string PathVariableValue(const RunState& run, PathVariable variable);

}  // namespace setup
