#pragma once
// Closing the running programs of a product: every top-level window of
// another process is tested against the entries in order, and the first
// entry that matches acts on it.
#include <vector>

#include "setup/payload/settings_stream.h"

namespace setup {

// One pass over the top-level windows. Entries that ask the user show string
// 99 with the program's name as a Retry/Cancel warning (caption string
// `captionNumber`) for as long as the window exists; Cancel cancels the run.
void ClosePrograms(const std::vector<CloseRecord>& entries, int captionNumber);

}  // namespace setup
