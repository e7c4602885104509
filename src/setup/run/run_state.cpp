#include "setup/run/run_state.h"

namespace setup {
namespace {

template <typename Word>
Word WithBit(Word word, int bit, bool on) {
  const Word mask = Word{1} << bit;
  return on ? (word | mask) : (word & ~mask);
}

}  // namespace

uint64_t RunProductFlags(const RunState& run) {
  uint64_t flags = run.product.stream.ProductFlags;
  if (run.restartRequired) flags = WithBit(flags, kFlagRestartRequired, true);
  return WithBit(flags, kFlagHasUninstaller, run.WantsUninstaller());
}

uint32_t RunProductFlags2(const RunState& run) {
  return WithBit(run.product.stream.ProductFlags2, kFlag2RestorePoint, run.WantsRestorePoint());
}

}  // namespace setup
