// Garbage must not crash the settings stream reader. A stream it accepts
// writes back to bytes that read the same: writing what was read and
// reading it again is stable (compared as bytes, so NaN fields compare too).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "setup/payload/settings_stream.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const setup::SettingsReadResult read = setup::ReadSettingsStream(std::span<const uint8_t>(data, size));
  if (!read.ok()) return 0;
  const setup::SettingsWriteResult once = setup::WriteSettingsStream(read.settings);
  Check(once.ok());
  const setup::SettingsReadResult again = setup::ReadSettingsStream(once.bytes);
  Check(again.ok());
  const setup::SettingsWriteResult twice = setup::WriteSettingsStream(again.settings);
  Check(twice.ok() && twice.bytes == once.bytes);
  return 0;
}
