#include "setup/run/failure_summary.h"

#include "setup/strings/string_numbers.h"
#include "setup/strings/string_table.h"

namespace setup {

std::string FailedFileWriteEntry(std::string_view string31, std::string_view path, std::string_view errorText) {
  std::string entry;
  entry.append(string31).append(" ").append(path).append("\r\n");
  entry.append(errorText).append("\r\n\r\n");
  return entry;
}

void FailureSummary::RecordFailedFileWrite(std::string_view path, std::string_view errorText) {
  Append(FailedFileWriteEntry(LocalizedString(kStringFileNotInstalled), path, errorText));
}

}  // namespace setup
