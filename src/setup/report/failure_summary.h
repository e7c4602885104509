#pragma once
// The FailureSummary of the run (InstallSettings::failureSummary): what
// went wrong that the user must know about. Empty means success.
#include <initializer_list>
#include <string>
#include <string_view>

namespace setup {

void AppendFailure(std::string_view text);
void AppendFailureFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AppendFailureParts(std::initializer_list<std::string_view> parts);

// "%s %s\r\n%s\r\n\r\n": localized string 31, the path, the error text.
std::string FailedFileWriteEntry(std::string_view string31, std::string_view path, std::string_view errorText);

// Appends the FailedFileWriteEntry of a file that could not be written, with
// the run's string 31 (the caller passes the text of the system error).
void RecordFailedFileWrite(std::string_view path, std::string_view errorText);

}  // namespace setup
