#include "tl_core/os_facts_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tl_core/system_library_win.h"

namespace tl {
namespace {

OSVERSIONINFOEXA SystemVersionRecord() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  EXPECT_TRUE(::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
  return info;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(OsFacts, MatchWhatGetVersionExReports) {
  const OSVERSIONINFOEXA info = SystemVersionRecord();
  const OsVersionFacts& facts = RunningSystemFacts();
  EXPECT_EQ(facts.major, info.dwMajorVersion);
  EXPECT_EQ(facts.minor, info.dwMinorVersion);
  EXPECT_EQ(facts.build, info.dwBuildNumber);
  EXPECT_EQ(facts.platformId, info.dwPlatformId);
  EXPECT_EQ(facts.servicePack, info.szCSDVersion);
  EXPECT_EQ(facts.servicePackMajor, info.wServicePackMajor);
  EXPECT_EQ(facts.suiteMask, info.wSuiteMask);
  EXPECT_EQ(facts.productType, info.wProductType);
  EXPECT_EQ(&RunningSystemFacts(), &facts) << "gathered once per process";
}

TEST(OsFacts, ProductNumberComesFromGetProductInfo) {
  const OsVersionFacts& facts = RunningSystemFacts();
  ASSERT_GE(facts.major, 6u) << "the test prefix is expected to be Vista or later";
  DWORD product = 0;
  ASSERT_TRUE(::GetProductInfo(facts.major, facts.minor, facts.servicePackMajor, facts.servicePackMinor, &product));
  EXPECT_EQ(facts.productNumber, product);
}

TEST(OsFacts, SixtyFourBitFlagMatchesWow64) {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64Process = SystemFunction<IsWow64ProcessFn>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  ASSERT_TRUE(isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64));
  // A 32-bit process runs under WOW64 exactly when the system is 64-bit.
  EXPECT_EQ(IsRunningOn64BitWindows(), wow64 != FALSE);
  const std::string fullName = OperatingSystemName(kOsNameNoServicePack);
  EXPECT_EQ(EndsWith(fullName, " x64"), IsRunningOn64BitWindows()) << fullName;
}

TEST(OsFacts, NameNamesTheReportedVersion) {
  const OSVERSIONINFOEXA info = SystemVersionRecord();
  ASSERT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  const bool workstation = info.wProductType == VER_NT_WORKSTATION;
  struct Version {
    DWORD major;
    DWORD minor;
    const char* workstationName;
    const char* serverName;
  };
  const Version versions[] = {
      {5, 1, "Windows XP", "Windows XP"},
      {6, 0, "Windows Vista", "Windows Server 2008"},
      {6, 1, "Windows 7", "Windows Server 2008 R2"},
      {6, 2, "Windows 8", "Windows Server 2012"},
      {6, 3, "Windows 8.1", "Windows Server 2012 R2"},
      {10, 0, "Windows 10", "Windows 10"},
  };
  const Version* match = nullptr;
  for (const Version& v : versions) {
    if (v.major == info.dwMajorVersion && v.minor == info.dwMinorVersion) match = &v;
  }
  ASSERT_NE(match, nullptr) << "unexpected version " << info.dwMajorVersion << "." << info.dwMinorVersion;
  EXPECT_EQ(OperatingSystemName(kOsNameShortForm | kOsNameNoServicePack),
            workstation ? match->workstationName : match->serverName);

  const std::string fullName = OperatingSystemName(0);
  EXPECT_EQ(fullName.rfind(workstation ? match->workstationName : match->serverName, 0), 0u) << fullName;
  EXPECT_NE(fullName.back(), ' ') << fullName;
  const std::string servicePack = info.szCSDVersion;
  if (!servicePack.empty()) EXPECT_TRUE(EndsWith(fullName, servicePack)) << fullName;
}

}  // namespace
}  // namespace tl
