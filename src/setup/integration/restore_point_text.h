#pragma once
// The texts of the system restore point that an installation opens before
// its files and commits at the finish: the description the system shows and
// the error texts the InstallLog gets.
#include <cstdint>
#include <string>
#include <string_view>

#include "setup/payload/product_flags.h"

namespace setup {

// SRSetRestorePointW's status for a System Restore service that is turned off.
inline constexpr uint32_t kRestoreStatusServiceDisabled = 1058;

// The system keeps 256 UTF-16 units with the terminating zero.
inline constexpr size_t kMaxRestorePointDescription = 255;

// The product name, then a blank and the version when there is one.
std::string RestorePointDescription(std::string_view productName, std::string_view version);

// At most kMaxRestorePointDescription units; a cut never splits a
// surrogate pair.
std::u16string FitRestorePointDescription(std::u16string_view description);

enum class RestorePointFailure {
  kLibraryMissing,   // no srclient.dll
  kFunctionMissing,  // srclient.dll without SRSetRestorePointW
  kCallFailed,       // the call returned a status
};

// What the InstallLog says about a failure; systemText is the system's
// text for the status (used for statuses other than the disabled service).
std::string RestorePointErrorText(RestorePointFailure failure, uint32_t status, std::string_view systemText);

// What follows "Creating restore point..." in the InstallLog: "OK\r\n"
// for an empty error text, else "FAILED\r\n", the text and an empty line.
std::string RestorePointOutcomeLine(std::string_view errorText);

}  // namespace setup
