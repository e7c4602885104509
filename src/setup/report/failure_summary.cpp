#include "setup/report/failure_summary.h"

#include <cstdarg>
#include <cstdio>

#include "setup/run/install_settings.h"
#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"
#include "tl_core/text.h"

namespace setup {

void AppendFailure(std::string_view text) { Settings().failureSummary += text; }

void AppendFailureFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFailure(tl::FormatV(format, args));
  va_end(args);
}

void AppendFailureParts(std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) AppendFailure(part);
}

std::string FailedFileWriteEntry(std::string_view string31, std::string_view path, std::string_view errorText) {
  std::string entry;
  entry.append(string31).append(" ").append(path).append("\r\n");
  entry.append(errorText).append("\r\n\r\n");
  return entry;
}

void RecordFailedFileWrite(std::string_view path, std::string_view errorText) {
  AppendFailure(FailedFileWriteEntry(LocalizedString(kStringFileNotInstalled), path, errorText));
}

}  // namespace setup
