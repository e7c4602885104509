#pragma once
// The product's settings as its author made them, with the defaults that
// reading fills in: loaded once (from the payload, or for the uninstaller
// from the registration) and only read afterwards.
#include <string>

#include "setup/payload/settings_stream.h"

namespace setup {

struct ProductSettings {
  SettingsStream stream;
  std::string displayName;  // /n:, else ProductName
  bool monoColor = false;   // TopColor equals BottomColor

  bool Is64Bit() const { return stream.Bitness == kBitness64; }
  bool Flag(int bit) const { return stream.Flag(bit); }
  bool Flag2(int bit) const { return stream.Flag2(bit); }
};

}  // namespace setup
