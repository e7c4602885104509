#pragma once
// Decisions of the checks that come before the installation: processor
// width and the systems a product refuses.
#include <cstdint>

#include "tl_core/os_name.h"

namespace setup {

// The number the bitness message names (64 for a 64-bit product on a
// 32-bit system, 32 for a 32-bit-only product on a 64-bit system), or 0
// when the product may run here.
int BitnessStopNumber(uint8_t bitness, bool runningOn64BitWindows);

// The bit of ExcludedSystems that stands for a system:
//   0 Windows 95, 1 98, 2 ME, 3 NT 4 and older NT, 4 2000, 5 XP (also XP x64),
//   6 Server 2003, 7 Vista, 8 Server 2008, 9 7, 10 Server 2008 R2, 11 8,
//   12 Server 2012, 13 8.1, 14 Server 2012 R2, 15 10 and 11,
//   16 Server 2016 and later, 17 any other system.
int SystemExclusionBit(const tl::OsVersionFacts& facts);

bool IsSystemExcluded(uint32_t excludedSystems, const tl::OsVersionFacts& facts);

enum class AdminRequirement { kNone, kRequired, kRecommended };
AdminRequirement AdminRequirementOf(uint8_t adminMode);

}  // namespace setup
