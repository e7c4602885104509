#pragma once
// A text that steps append to (the run's log, its failure summary): the
// formatted and the piecewise appends are built once over Append.
#include <initializer_list>
#include <string_view>

namespace tl {

class TextSink {
 public:
  virtual ~TextSink() = default;
  // Appends exactly the given characters (no line end is added).
  virtual void Append(std::string_view text) = 0;
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void AppendParts(std::initializer_list<std::string_view> parts);
};

}  // namespace tl
