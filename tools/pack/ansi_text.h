#pragma once
// The runtime's texts are 8-bit text in the ANSI code page; project files are
// UTF-8. Texts are converted to Windows-1252 (the Western code page); a path
// with characters outside ASCII takes the runtime's "|" UTF-8 form instead.
#include <optional>
#include <string>
#include <string_view>

namespace pack {

// Nothing when the text is not valid UTF-8 or holds a character that
// Windows-1252 cannot show.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);
std::string Windows1252ToUtf8(std::string_view text);

bool IsAscii(std::string_view text);

// A file name as a record stores it: unchanged when it is ASCII, else "|"
// followed by the UTF-8 text.
std::string RecordPath(std::string_view utf8);
// The UTF-8 form of a stored path (the reverse of RecordPath for "|" paths,
// Windows-1252 otherwise).
std::string PathToUtf8(std::string_view stored);

}  // namespace pack
