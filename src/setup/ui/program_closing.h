#pragma once
// Which running programs a closing-list entry acts on.
#include <string_view>

#include "setup/payload/settings_stream.h"

namespace setup {

// Closing-list actions.
enum CloseAction : uint32_t { kPostClose = 0, kPostQuit = 1, kAskUntilClosed = 2 };

// A pattern that starts with "*" matches a text that contains the rest; any
// other non-empty pattern must equal the text; an empty pattern is not
// tested. An entry with both patterns empty matches nothing.
bool CloseRecordMatches(const CloseRecord& record, std::string_view windowClass, std::string_view windowTitle);

}  // namespace setup
