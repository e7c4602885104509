#include "tl_core/text_sink.h"

#include <cstdarg>

#include "tl_core/text.h"

namespace tl {

void TextSink::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Append(FormatV(format, args));
  va_end(args);
}

void TextSink::AppendParts(std::initializer_list<std::string_view> parts) {
  for (std::string_view part : parts) Append(part);
}

}  // namespace tl
