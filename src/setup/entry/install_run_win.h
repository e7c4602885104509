#pragma once
// The install run after the payload is read: checks, folders, extraction,
// integration and finish. Ends the process with exit code 1.
namespace setup {

[[noreturn]] void RunInstallation();

}  // namespace setup
