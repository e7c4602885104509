#include "setup/folders/byte_size_text.h"

#include <cstdio>

namespace setup {

std::string ByteSizeText(uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  static constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB"};
  // Tenths of the unit, rounded, in whole numbers so no unit shows "1024.0".
  uint64_t divisor = 1024;
  size_t unit = 0;
  while (unit + 1 < std::size(kUnits) && (bytes * 10 + divisor / 2) / divisor >= 10240) {
    divisor *= 1024;
    ++unit;
  }
  const uint64_t tenths = (bytes / divisor) * 10 + ((bytes % divisor) * 10 + divisor / 2) / divisor;
  char text[48];
  std::snprintf(text, sizeof text, "%llu.%llu %s", static_cast<unsigned long long>(tenths / 10),
                static_cast<unsigned long long>(tenths % 10), kUnits[unit]);
  return text;
}

}  // namespace setup
