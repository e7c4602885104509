#include "setup/files/extraction_lists.h"

#include <cstdint>

namespace setup {

std::string SharedFileEntry(const std::string& path, uint32_t kind, bool permanent) {
  if (kind == 6 || permanent) return path + ' ';
  if (kind == 7) return path + '^';
  if (kind == 8) return path + '\xA9';
  return path;
}

}  // namespace setup
