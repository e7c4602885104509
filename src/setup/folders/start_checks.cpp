#include "setup/folders/start_checks.h"

#include "setup/payload/settings_stream.h"

namespace setup {
namespace {

constexpr uint32_t kPlatform9x = 1;
constexpr uint32_t kPlatformNt = 2;
constexpr uint8_t kWorkstation = 1;
constexpr int kOtherSystem = 17;

int NineXBit(const tl::OsVersionFacts& f) {
  if (f.major != 4) return kOtherSystem;
  return f.minor < 10 ? 0 : f.minor < 90 ? 1 : 2;
}

// Version 6.x: a workstation bit and a server bit per minor version.
int Version6Bit(const tl::OsVersionFacts& f, bool workstation) {
  switch (f.minor) {
    case 0:
      return workstation ? 7 : 8;
    case 1:
      return workstation ? 9 : 10;
    case 2:
      return workstation ? 11 : 12;
    case 3:
      return workstation ? 13 : 14;
    default:
      return kOtherSystem;
  }
}

int NtBit(const tl::OsVersionFacts& f) {
  const bool workstation = f.productType == kWorkstation;
  if (f.major <= 4) return 3;
  if (f.major == 5) {
    if (f.minor == 0) return 4;
    if (f.minor == 1) return 5;
    if (f.minor == 2) return workstation && f.is64Bit ? 5 : 6;
    return kOtherSystem;
  }
  if (f.major == 6) return Version6Bit(f, workstation);
  if (f.major == 10) return workstation ? 15 : 16;
  return kOtherSystem;
}

}  // namespace

int BitnessStopNumber(uint8_t bitness, bool runningOn64BitWindows) {
  if (bitness == kBitness64 && !runningOn64BitWindows) return 64;
  if (bitness == kBitness32Only && runningOn64BitWindows) return 32;
  return 0;
}

int SystemExclusionBit(const tl::OsVersionFacts& facts) {
  if (facts.platformId == kPlatform9x) return NineXBit(facts);
  if (facts.platformId == kPlatformNt) return NtBit(facts);
  return kOtherSystem;
}

bool IsSystemExcluded(uint32_t excludedSystems, const tl::OsVersionFacts& facts) {
  return (excludedSystems >> SystemExclusionBit(facts)) & 1;
}

AdminRequirement AdminRequirementOf(uint8_t adminMode) {
  if (adminMode == 1) return AdminRequirement::kRequired;
  if (adminMode == 2 || adminMode == 3) return AdminRequirement::kRecommended;
  return AdminRequirement::kNone;
}

}  // namespace setup
