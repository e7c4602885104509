#include "setup/strings/string_table.h"

namespace setup {

const std::string& LocalizedString(int) {
  static const std::string empty;
  return empty;
}

}  // namespace setup
