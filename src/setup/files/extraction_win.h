#pragma once
// The extraction phase: every file of the archive checked, decided and
// written to its target, and the lists the later phases need collected.
#include "setup/files/extraction_lists.h"
#include "setup/run/run_state.h"

namespace setup {

// Returns only by finishing or by a fatal stop (a damaged archive).
void ExtractFiles(RunState& run, ExtractionLists& lists);

}  // namespace setup
