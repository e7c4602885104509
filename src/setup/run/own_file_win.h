#pragma once
// The program's own file, open for the whole run: the payload is read
// through it and the uninstaller image is built from it.
#include "setup/payload/section_locator.h"
#include "tl_core/file_win.h"

namespace setup {

tl::File& OwnFile();

// Opens the program's own file as its command line names it
// (`commandLinePath`), falling back to the module file name; a failure of
// both is fatal ("Error code 1").
// Returns the file's length.
int64_t OpenOwnFile(const std::string& commandLinePath);

// Positioned reads of the program's own file, for the payload readers.
PositionedRead ReadOwnFile();

// The module file name of the running program.
std::string ModuleFileName();

}  // namespace setup
