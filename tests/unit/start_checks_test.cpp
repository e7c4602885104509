#include "setup/folders/start_checks.h"

#include <gtest/gtest.h>

namespace setup {
namespace {

TEST(StartChecks, BitnessStopsOnlyTheMismatch) {
  struct Case {
    uint8_t bitness;
    bool running64;
    int expected;
  } cases[] = {{1, false, 64}, {1, true, 0}, {2, true, 32}, {2, false, 0}, {0, true, 0}, {3, false, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(BitnessStopNumber(c.bitness, c.running64), c.expected) << int(c.bitness) << " " << c.running64;
}

tl::OsVersionFacts Nt(uint32_t major, uint32_t minor, uint8_t productType, bool is64 = false) {
  tl::OsVersionFacts f;
  f.platformId = 2;
  f.major = major;
  f.minor = minor;
  f.productType = productType;
  f.is64Bit = is64;
  return f;
}

TEST(StartChecks, EachSystemHasItsExclusionBit) {
  tl::OsVersionFacts win98;
  win98.platformId = 1;
  win98.major = 4;
  win98.minor = 10;
  struct Case {
    const char* name;
    tl::OsVersionFacts facts;
    int bit;
  } cases[] = {
      {"98", win98, 1},
      {"2000", Nt(5, 0, 1), 4},
      {"XP", Nt(5, 1, 1), 5},
      {"XP x64", Nt(5, 2, 1, true), 5},
      {"Server 2003", Nt(5, 2, 3), 6},
      {"Vista", Nt(6, 0, 1), 7},
      {"Server 2008 R2", Nt(6, 1, 3), 10},
      {"8.1", Nt(6, 3, 1), 13},
      {"10", Nt(10, 0, 1), 15},
      {"Server 2019", Nt(10, 0, 3), 16},
      {"future", Nt(11, 0, 1), 17},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SystemExclusionBit(c.facts), c.bit) << c.name;
    EXPECT_TRUE(IsSystemExcluded(1u << c.bit, c.facts)) << c.name;
    EXPECT_FALSE(IsSystemExcluded(~(1u << c.bit), c.facts)) << c.name;
  }
}

TEST(StartChecks, AdministratorModes) {
  EXPECT_EQ(AdminRequirementOf(0), AdminRequirement::kNone);
  EXPECT_EQ(AdminRequirementOf(1), AdminRequirement::kRequired);
  EXPECT_EQ(AdminRequirementOf(2), AdminRequirement::kRecommended);
  EXPECT_EQ(AdminRequirementOf(3), AdminRequirement::kRecommended);
  EXPECT_EQ(AdminRequirementOf(4), AdminRequirement::kNone);
}

}  // namespace
}  // namespace setup
