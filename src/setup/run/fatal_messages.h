#pragma once
// The run's fatal stops with their fixed texts. Each ends the process
// through FatalMessage.
#include <string>
#include <string_view>

namespace setup {

extern const char kCorruptInstallerText[];
extern const char kNoInstallationDataText[];

// The corrupt-installer text is the installer author's (string 13), so it is
// never used as a printf format: its first %d takes the code, %% is one
// percent sign, anything else stands as written (FillDirectives with "d").
std::string FillCheckCode(std::string_view format, int checkCode);

// The corrupt-installer message (string 13, or the built-in text) with its check code.
[[noreturn]] void CorruptInstallerFatal(int checkCode);
[[noreturn]] void NoInstallationDataFatal();

}  // namespace setup
