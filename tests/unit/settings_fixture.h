#pragma once
// The example product the unit tests' settings start from: the names that
// the settings stream, installer and settings-default tests share. Each test
// adds the fields it is about.
#include "setup/payload/settings_stream.h"

namespace setup::fixture {

inline SettingsStream ExampleProduct() {
  SettingsStream s;
  s.TaskbarText = "Example setup";
  s.Publisher = "Example Corp";
  s.ProductName = "Example";
  return s;
}

}  // namespace setup::fixture
