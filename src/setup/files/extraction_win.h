#pragma once
// The extraction phase: every file of the archive checked, decided and
// written to its target, and the lists the later phases need collected.
#include "setup/files/extraction_lists.h"
#include "setup/run/run_state.h"

namespace setup {

// Returns the lists the later phases need, or does not return: a damaged
// archive is a fatal stop.
ExtractionLists ExtractFiles(RunState& run);

}  // namespace setup
