#pragma once
// The FailureSummary of a run: what went wrong that the user must know
// about. Empty means success.
#include <string>
#include <string_view>

#include "tl_core/text_sink.h"

namespace setup {

class FailureSummary : public tl::TextSink {
 public:
  void Append(std::string_view text) override { text_ += text; }
  // Appends the FailedFileWriteEntry of a file that could not be written,
  // with the run's string 31 (the caller passes the text of the system error).
  void RecordFailedFileWrite(std::string_view path, std::string_view errorText);

  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }
  void Clear() { text_.clear(); }

 private:
  std::string text_;
};

// "%s %s\r\n%s\r\n\r\n": localized string 31, the path, the error text.
std::string FailedFileWriteEntry(std::string_view string31, std::string_view path, std::string_view errorText);

}  // namespace setup
