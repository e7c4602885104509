// Garbage must not crash the "Uninstall.DAT" reader. What it reads, the
// writer carries: reading the written text gives the same content, except
// the strings outside the uninstaller's list and the deletion entries without
// bit 3, which the writer leaves out; and writing that again gives the same
// text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <map>
#include <utility>
#include <vector>

#include "setup/record/uninstall_data_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// What the writer keeps of a read content.
setup::UninstallDataContent Carried(setup::UninstallDataContent c) {
  std::map<int, std::string> strings;
  for (int n : setup::kUninstallerStringNumbers) {
    const auto found = c.strings.find(n);
    strings[n] = found == c.strings.end() ? std::string() : found->second;
  }
  c.strings = std::move(strings);
  std::erase_if(c.deleteList, [](const setup::DeleteRecord& d) { return !(d.flags & 0x08); });
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const setup::UninstallDataReadResult read =
      setup::ReadUninstallDataText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!read.ok()) return 0;
  const std::string once = setup::WriteUninstallDataText(read.content);
  const setup::UninstallDataReadResult again = setup::ReadUninstallDataText(once);
  Check(again.ok());
  Check(again.content == Carried(read.content));
  Check(setup::WriteUninstallDataText(again.content) == once);
  return 0;
}
