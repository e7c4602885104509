#pragma once
// The texts of the uninstall registration that the uninstaller reads back as
// numbers and colours, and its messages about a registration it cannot use.
#include <cstdint>
#include <string_view>

namespace setup {

inline constexpr char kNoSuchProductMessage[] = "No product named '%s' is installed.";
inline constexpr char kPermissionDeniedMessage[] =
    "Permission denied.  Please login with an administrator account before uninstalling.";
inline constexpr char kRegistrationInaccessibleMessage[] =
    "Unable to access the uninstall information for:\r\n%s\r\n\r\nThe uninstallation cannot be performed.";
inline constexpr char kRegistrationCorruptMessage[] =
    "The uninstall information for %s is corrupt.\r\n\r\nThe uninstallation cannot be performed.";
inline constexpr char kUninstallDataUnreadableMessage[] =
    "The uninstall information for %s could not be loaded.\r\n\r\nFilepath: %s\r\nCode %d: %s";
// After a partial uninstallation: what remains could not be written back;
// the registration stays so that a later run still finds the product.
inline constexpr char kUninstallDataNotRewrittenMessage[] =
    "The uninstall information could not be updated.\r\nFilepath: %s\r\n%s\r\n\r\n";

// "ProductFlags" is signed decimal text, "ProductFlags2" unsigned; text that
// is not a number in range reads as 0, as a missing value does.
uint64_t ParseProductFlags(std::string_view text);
uint32_t ParseProductFlags2(std::string_view text);
// A decimal number such as "14" or "10.5"; the fallback when the text is
// empty or not a number.
double ParseDecimalText(std::string_view text, double fallback);
// "RRGGBB" back into a Windows colour value (red in the lowest byte); 0 for
// anything else.
uint32_t ParseColorText(std::string_view text);

}  // namespace setup
