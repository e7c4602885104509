#pragma once
// Small text helpers of the library: ASCII case-insensitive comparison,
// trimming and file-name parts.
#include <cstdarg>
#include <string>
#include <string_view>

namespace tl {

// Only the ASCII letters change case; every other byte stays.
bool IsAsciiLetter(char c);
char ToLowerAscii(char c);
char ToUpperAscii(char c);
std::string UpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Position of `needle` in `text` at or after `from`, ASCII letter case
// ignored; npos for an empty needle.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from = 0);
// Without leading and trailing blanks, tabs, CRs and LFs.
std::string_view TrimBlanks(std::string_view text);
// Without trailing blanks, tabs, CRs and LFs.
std::string_view TrimTrailingBlanks(std::string_view text);
// The part after the last backslash, slash or colon.
std::string_view FileNamePart(std::string_view path);
// Whether the file-name part holds a dot.
bool HasExtension(std::string_view path);
// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace tl
