#pragma once
// The one place where 8-bit texts meet the wide system calls. A text that
// begins with "|" is UTF-8 after that character; any other text is in the
// ANSI code page.
#include <string>
#include <string_view>

namespace tl {

std::wstring ToWide(std::string_view text);
// Converts a wide text back to the ANSI code page.
std::string FromWide(std::wstring_view text);
// Converts a wide text to the "|" UTF-8 form when the ANSI code page cannot
// hold it unchanged, else to plain ANSI.
std::string FromWideKeepingUnicode(std::wstring_view text);

}  // namespace tl
