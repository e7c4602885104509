#include "setup/integration/restart_decision.h"

namespace setup {
namespace {
bool HasBit(uint64_t flags, int bit) { return (flags >> bit) & 1; }
}  // namespace

bool DecideRestart(uint64_t productFlags, bool automaticMode, const std::function<bool()>& askUser) {
  if (!HasBit(productFlags, kFlagRestartRequired)) return false;
  if (automaticMode && !HasBit(productFlags, kFlagAskBeforeAutomaticRestart)) return true;
  return askUser();
}

}  // namespace setup
