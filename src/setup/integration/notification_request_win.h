#pragma once
// The notification request: a web address of the product requested in the
// background at the end of an installation or after an uninstallation.
#include <windows.h>

#include <cstdint>
#include <string>

#include "tl_core/scoped_handle_win.h"

namespace setup {

// Authorizes the running program in the firewall, replaces every
// "%version%" (any letter case) of the address by the percent-encoded
// displayVersion and requests the result on one worker thread, whose end
// ExitInstaller waits for. The answer is ignored; nothing is reported. The
// caller skips empty addresses.
void RequestNotificationAddress(const std::string& address, const std::string& displayVersion);

// The worker alone, for an address already complete: first through the
// system's internet client, then, when that fails and the address begins
// with "http", once through the library's own client; timeLimitMs bounds
// each wait of either. Returns the thread, or no handle when none could be
// started.
tl::ScopedHandle StartNotificationRequest(const std::string& address, uint32_t timeLimitMs = 10000);

}  // namespace setup
