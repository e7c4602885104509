#pragma once
// The version facts of the running system, gathered once per process.
#include <string>

#include "tl_core/os_name.h"

namespace tl {

const OsVersionFacts& RunningSystemFacts();

// The running system in words; options as for OperatingSystemName(facts, options).
std::string OperatingSystemName(unsigned options);

// Whether the system underneath is 64-bit (x64 or Itanium), also when this
// 32-bit process runs under WOW64.
bool IsRunningOn64BitWindows();

}  // namespace tl
