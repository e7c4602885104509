// Garbage must not crash the version reader, whether it comes as a whole
// file or as a version-info block. A resource it finds lies inside the
// file, and a text it gives is in the form the replacement rules compare.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/payload/version_resource.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckNormalized(const std::string& text) {
  Check(text.find(',') == std::string::npos);
  Check(text.find('\0') == std::string::npos);
  if (text.empty()) return;
  for (char end : {text.front(), text.back()}) Check(end != ' ' && end != '\t' && end != '\r' && end != '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const setup::VersionResource found = setup::FindVersionResource(bytes);
  if (found.status == setup::VersionLookup::kFound) {
    Check(!found.block.empty());
    Check(found.block.data() >= data && found.block.data() + found.block.size() <= data + size);
  } else {
    Check(found.block.empty());
  }
  const std::string text = setup::FileVersionText(bytes);
  CheckNormalized(text);
  Check(found.status == setup::VersionLookup::kFound || text.empty());

  // The block parser on its own: a fuzzer seldom gets through a PE header.
  const std::string raw = setup::FileVersionOfBlock(bytes);
  Check(raw.find('\0') == std::string::npos && raw.size() <= size / 2);
  CheckNormalized(setup::NormalizedVersionText(raw));
  return 0;
}
