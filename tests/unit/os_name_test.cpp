#include "tl_core/os_name.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

constexpr uint32_t kWin32s = 0;
constexpr uint32_t kWin9x = 1;
constexpr uint32_t kNt = 2;
constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kDomainController = 2;
constexpr uint8_t kServer = 3;
constexpr uint16_t kEnterprise = 0x0002;
constexpr uint16_t kEmbedded = 0x0040;
constexpr uint16_t kDatacenter = 0x0080;
constexpr uint16_t kPersonal = 0x0200;
constexpr uint16_t kBlade = 0x0400;
constexpr uint16_t kStorageServer = 0x2000;
constexpr uint16_t kComputeServer = 0x4000;
constexpr unsigned kFull = 0;
constexpr unsigned kShort = kOsNameShortForm;
constexpr unsigned kNoSp = kOsNameNoServicePack;

struct NameCase {
  const char* what;
  OsVersionFacts facts;
  unsigned options;
  const char* expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class OsNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(OsNameTest, NamesTheSystem) {
  const NameCase& c = GetParam();
  EXPECT_EQ(OperatingSystemName(c.facts, c.options), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    OldPlatforms, OsNameTest,
    testing::Values(
        NameCase{"win32s", {.major = 1, .minor = 5, .platformId = kWin32s}, kFull, "Windows 1.5"},
        NameCase{"95", {.major = 4, .minor = 0, .build = 950, .platformId = kWin9x}, kFull, "Windows 95"},
        NameCase{"95 OSR2", {.major = 4, .minor = 3, .build = 1111, .platformId = kWin9x}, kFull,
                 "Windows 95 OSR2"},
        NameCase{"95 OSR2 short", {.major = 4, .minor = 0, .build = 1111, .platformId = kWin9x}, kShort,
                 "Windows 95"},
        NameCase{"98", {.major = 4, .minor = 10, .build = 1998, .platformId = kWin9x}, kFull, "Windows 98"},
        NameCase{"98 SE", {.major = 4, .minor = 10, .build = 2222, .platformId = kWin9x}, kFull,
                 "Windows 98 SE"},
        NameCase{"98 SE short", {.major = 4, .minor = 10, .build = 2222, .platformId = kWin9x}, kShort,
                 "Windows 98 SE"},
        NameCase{"ME", {.major = 4, .minor = 90, .build = 3000, .platformId = kWin9x}, kFull, "Windows ME"},
        NameCase{"9x other", {.major = 5, .minor = 1, .platformId = kWin9x}, kFull, "Windows 9x 5.1"},
        NameCase{"9x service pack text", {.major = 4, .minor = 10, .platformId = kWin9x, .servicePack = " A "},
                 kFull, "Windows 98 A"},
        NameCase{"unknown platform", {.major = 4, .minor = 0, .platformId = 3}, kFull, "Windows"}));

INSTANTIATE_TEST_SUITE_P(
    Nt4And2000, OsNameTest,
    testing::Values(
        NameCase{"NT 4", {.major = 4, .minor = 0, .platformId = kNt, .servicePack = "Service Pack 6"}, kFull,
                 "Windows NT 4.0 Service Pack 6"},
        NameCase{"NT 3.51", {.major = 3, .minor = 51, .platformId = kNt}, kFull, "Windows NT 3.51"},
        NameCase{"2000 workstation", {.major = 5, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows 2000 Professional"},
        NameCase{"2000 enterprise",
                 {.major = 5, .platformId = kNt, .suiteMask = kEnterprise | kDatacenter, .productType = kServer},
                 kFull, "Windows 2000 Advanced Server"},
        NameCase{"2000 datacenter", {.major = 5, .platformId = kNt, .suiteMask = kDatacenter, .productType = kServer},
                 kFull, "Windows 2000 Datacenter Server"},
        NameCase{"2000 domain controller", {.major = 5, .platformId = kNt, .productType = kDomainController},
                 kFull, "Windows 2000 Server"},
        NameCase{"2000 short", {.major = 5, .platformId = kNt, .productType = kServer}, kShort, "Windows 2000"},
        NameCase{"2000 SP4",
                 {.major = 5, .platformId = kNt, .servicePack = "Service Pack 4", .productType = kWorkstation},
                 kFull, "Windows 2000 Professional Service Pack 4"}));

INSTANTIATE_TEST_SUITE_P(
    XpAnd2003, OsNameTest,
    testing::Values(
        NameCase{"XP home",
                 {.major = 5, .minor = 1, .platformId = kNt, .suiteMask = kPersonal, .productType = kWorkstation},
                 kFull, "Windows XP Home"},
        NameCase{"XP media center",
                 {.major = 5, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 3",
                  .productType = kWorkstation, .mediaCenter = true},
                 kFull, "Windows XP Professional Media Center Service Pack 3"},
        NameCase{"XP every extra",
                 {.major = 5, .minor = 1, .platformId = kNt, .suiteMask = kPersonal | kEmbedded,
                  .productType = kWorkstation, .mediaCenter = true, .starter = true, .tabletPc = true},
                 kFull, "Windows XP Home Embedded Media Center Starter Tablet PC"},
        NameCase{"XP short",
                 {.major = 5, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 2",
                  .productType = kWorkstation, .tabletPc = true},
                 kShort, "Windows XP Service Pack 2"},
        NameCase{"XP without service pack",
                 {.major = 5, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 2",
                  .productType = kWorkstation},
                 kNoSp, "Windows XP Professional"},
        NameCase{"5.2 workstation without the 64-bit flag",
                 {.major = 5, .minor = 2, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows Server 2003"},
        NameCase{"XP x64",
                 {.major = 5, .minor = 2, .platformId = kNt, .servicePack = "Service Pack 2",
                  .productType = kWorkstation, .productNumber = 48, .is64Bit = true},
                 kFull, "Windows XP Professional x64 Service Pack 2"},
        NameCase{"XP x64 short",
                 {.major = 5, .minor = 2, .platformId = kNt, .productType = kWorkstation, .is64Bit = true}, kShort,
                 "Windows XP"},
        NameCase{"2003 enterprise x64",
                 {.major = 5, .minor = 2, .platformId = kNt, .suiteMask = kEnterprise, .productType = kServer,
                  .is64Bit = true},
                 kFull, "Windows Server 2003 Enterprise x64"},
        NameCase{"2003 R2 every suite",
                 {.major = 5, .minor = 2, .platformId = kNt,
                  .suiteMask = kEnterprise | kDatacenter | kBlade | kComputeServer, .productType = kServer,
                  .serverR2 = true},
                 kFull, "Windows Server 2003 R2 Enterprise Datacenter Web Compute Cluster"},
        NameCase{"storage server 2003 R2 short",
                 {.major = 5, .minor = 2, .platformId = kNt, .suiteMask = kStorageServer | kEnterprise,
                  .productType = kServer, .serverR2 = true},
                 kShort, "Windows Storage Server 2003 R2"},
        NameCase{"NT 5.3", {.major = 5, .minor = 3, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows NT 5.3"}));

INSTANTIATE_TEST_SUITE_P(
    VistaAndLater, OsNameTest,
    testing::Values(
        NameCase{"Vista home by suite",
                 {.major = 6, .platformId = kNt, .suiteMask = kPersonal, .productType = kWorkstation}, kFull,
                 "Windows Vista Home"},
        NameCase{"Vista by product number",
                 {.major = 6, .platformId = kNt, .suiteMask = kPersonal, .productType = kWorkstation,
                  .productNumber = 3},
                 kFull, "Windows Vista Home Premium"},
        NameCase{"Vista short", {.major = 6, .platformId = kNt, .suiteMask = kPersonal, .productType = kWorkstation},
                 kShort, "Windows Vista"},
        NameCase{"2008 by suite",
                 {.major = 6, .platformId = kNt, .suiteMask = kEnterprise | kDatacenter, .productType = kServer},
                 kFull, "Windows Server 2008 Datacenter Enterprise"},
        NameCase{"2008 by product number",
                 {.major = 6, .platformId = kNt, .suiteMask = kDatacenter, .productType = kServer,
                  .productNumber = 8},
                 kFull, "Windows Server 2008 Datacenter"},
        NameCase{"7 ultimate x64 SP1",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 1",
                  .productType = kWorkstation, .productNumber = 1, .is64Bit = true},
                 kFull, "Windows 7 Ultimate x64 Service Pack 1"},
        NameCase{"2008 R2 by suite",
                 {.major = 6, .minor = 1, .platformId = kNt, .suiteMask = kEnterprise, .productType = kServer},
                 kFull, "Windows Server 2008 R2 Enterprise"},
        NameCase{"2008 R2 standard",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 1",
                  .suiteMask = kEnterprise, .productType = kDomainController, .productNumber = 7, .is64Bit = true},
                 kFull, "Windows Server 2008 R2 Server Standard x64 Service Pack 1"},
        NameCase{"2008 R2 short without service pack",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 1",
                  .productType = kServer, .productNumber = 7, .is64Bit = true},
                 kShort | kNoSp, "Windows Server 2008 R2"},
        NameCase{"8", {.major = 6, .minor = 2, .platformId = kNt, .productType = kWorkstation}, kFull, "Windows 8"},
        NameCase{"2012", {.major = 6, .minor = 2, .platformId = kNt, .productType = kServer}, kFull,
                 "Windows Server 2012"},
        NameCase{"8.1", {.major = 6, .minor = 3, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows 8.1"},
        NameCase{"2012 R2", {.major = 6, .minor = 3, .platformId = kNt, .productType = kServer}, kFull,
                 "Windows Server 2012 R2"},
        NameCase{"10 alpha",
                 {.major = 6, .minor = 4, .platformId = kNt, .productType = kServer, .productNumber = 48}, kFull,
                 "Windows 10 alpha Professional"},
        NameCase{"NT 6.5", {.major = 6, .minor = 5, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows NT 6.5"},
        NameCase{"10 professional",
                 {.major = 10, .build = 19045, .platformId = kNt, .productType = kWorkstation, .productNumber = 48},
                 kFull, "Windows 10 Professional"},
        NameCase{"10 professional x64",
                 {.major = 10, .build = 19045, .platformId = kNt, .productType = kWorkstation, .productNumber = 48,
                  .is64Bit = true},
                 kFull, "Windows 10 Professional x64"},
        NameCase{"10 short", {.major = 10, .platformId = kNt, .productType = kWorkstation, .productNumber = 48,
                              .is64Bit = true},
                 kShort, "Windows 10"},
        NameCase{"10 server", {.major = 10, .platformId = kNt, .productType = kServer, .productNumber = 7}, kFull,
                 "Windows 10 Server Standard"},
        NameCase{"NT 11.0", {.major = 11, .platformId = kNt, .productType = kWorkstation}, kFull,
                 "Windows NT 11.0"}));

INSTANTIATE_TEST_SUITE_P(
    ServicePackText, OsNameTest,
    testing::Values(
        NameCase{"none gives no trailing blank", {.major = 6, .minor = 1, .platformId = kNt, .productType = 1},
                 kFull, "Windows 7"},
        NameCase{"leading blank kept single",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = " Service Pack 1", .productType = 1},
                 kFull, "Windows 7 Service Pack 1"},
        NameCase{"trailing blanks trimmed",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 1 \t\r\n",
                  .productType = 1},
                 kFull, "Windows 7 Service Pack 1"},
        NameCase{"blank-only text", {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "  ", .productType = 1},
                 kFull, "Windows 7"},
        NameCase{"left out by option",
                 {.major = 6, .minor = 1, .platformId = kNt, .servicePack = "Service Pack 1", .productType = 1,
                  .productNumber = 1},
                 kNoSp, "Windows 7 Ultimate"}));

TEST(OsNameEditions, ProductNumbersAddTheirEditionWords) {
  struct Case {
    uint32_t productNumber;
    const char* expected;
  };
  const Case cases[] = {
      {0, "Windows 7"},
      {2, "Windows 7 Home Basic"},
      {4, "Windows 7 Enterprise"},
      {10, "Windows 7 Enterprise"},
      {12, "Windows 7 Datacenter (core)"},
      {18, "Windows 7 Cluster Server"},
      {19, "Windows 7"},
      {20, "Windows 7 Storage Server Express"},
      {33, "Windows 7 Server Foundation"},
      {34, "Windows 7"},
      {35, "Windows 7 for Windows Essential Server Solutions (without Hyper-V)"},
      {39, "Windows 7 Server Datacenter (without Hyper-V) (core)"},
      {47, "Windows 7 Starter N"},
      {49, "Windows 7 Professional N"},
      {50, "Windows 7"},
      {56, "Windows 7 MultiPoint Server"},
      {57, "Windows 7 MultiPoint Server (core)"},
      {58, "Windows 7"},
      {63, "Windows 7 Small Business Server Premium (core)"},
      {64, "Windows 7 Cluster Server (without Hyper-V)"},
      {65, "Windows 7"},
      {0xABCDABCD, "Windows 7"},
  };
  for (const Case& c : cases) {
    const OsVersionFacts facts{
        .major = 6, .minor = 1, .platformId = kNt, .productType = kWorkstation, .productNumber = c.productNumber};
    EXPECT_EQ(OperatingSystemName(facts, kFull), c.expected) << c.productNumber;
    EXPECT_EQ(OperatingSystemName(facts, kShort), "Windows 7") << c.productNumber;
  }
}

}  // namespace
}  // namespace tl
