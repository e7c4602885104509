#pragma once
// Disk sizes as a person reads them.
#include <cstdint>
#include <string>

namespace setup {

// "0 bytes" to "1023 bytes", then KB, MB, GB and TB (of 1024) with one
// decimal: "1.5 KB", "12.0 MB".
std::string ByteSizeText(uint64_t bytes);

}  // namespace setup
