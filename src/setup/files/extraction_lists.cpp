#include "setup/files/extraction_lists.h"

#include <cstdint>

#include "setup/payload/file_record.h"

namespace setup {

std::string SharedFileEntry(const std::string& path, uint32_t kind, bool permanent) {
  if (kind == KindValue(FileKind::kSystem) || permanent) return path + ' ';
  if (kind == KindValue(FileKind::kComServer)) return path + '^';
  if (kind == KindValue(FileKind::kTypeLibrary)) return path + '\xA9';
  return path;
}

}  // namespace setup
