#include "tl_core/os_facts_win.h"

#include <windows.h>

#include <cstring>

#include "tl_core/system_library_win.h"

namespace tl {
namespace {

constexpr WORD kArchitectureItanium = 6;  // PROCESSOR_ARCHITECTURE_IA64
constexpr WORD kArchitectureX64 = 9;      // PROCESSOR_ARCHITECTURE_AMD64

// Systems before NT 4 SP6 reject the extended record; the basic one still
// gives the version, build, platform and service-pack text.
OSVERSIONINFOEXA ReadVersionRecord() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return info;
  info = OSVERSIONINFOEXA{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
  return info;
}

void CopyVersionRecord(const OSVERSIONINFOEXA& info, OsVersionFacts& facts) {
  facts.major = info.dwMajorVersion;
  facts.minor = info.dwMinorVersion;
  // The 9x family keeps major and minor in the high word of the build number.
  facts.build = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? LOWORD(info.dwBuildNumber) : info.dwBuildNumber;
  facts.platformId = info.dwPlatformId;
  facts.servicePack.assign(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
  facts.servicePackMajor = info.wServicePackMajor;
  facts.servicePackMinor = info.wServicePackMinor;
  facts.suiteMask = info.wSuiteMask;
  facts.productType = info.wProductType;
}

// GetProductInfo came with Vista.
uint32_t ReadProductNumber(const OsVersionFacts& facts) {
  using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
  const auto getProductInfo = SystemFunction<GetProductInfoFn>("kernel32.dll", "GetProductInfo");
  DWORD product = 0;
  if (!getProductInfo ||
      !getProductInfo(facts.major, facts.minor, facts.servicePackMajor, facts.servicePackMinor, &product)) {
    return 0;
  }
  return product;
}

// GetNativeSystemInfo came with XP; without it the process sees the native
// processor anyway, as there is no WOW64 beneath it.
bool NativeProcessorIs64Bit() {
  using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
  const auto getNativeSystemInfo = SystemFunction<GetNativeSystemInfoFn>("kernel32.dll", "GetNativeSystemInfo");
  SYSTEM_INFO info{};
  if (getNativeSystemInfo) {
    getNativeSystemInfo(&info);
  } else {
    ::GetSystemInfo(&info);
  }
  return info.wProcessorArchitecture == kArchitectureItanium || info.wProcessorArchitecture == kArchitectureX64;
}

OsVersionFacts GatherFacts() {
  OsVersionFacts facts;
  CopyVersionRecord(ReadVersionRecord(), facts);
  if (facts.major >= 6) facts.productNumber = ReadProductNumber(facts);
  if (facts.major >= 5) facts.is64Bit = NativeProcessorIs64Bit();
  facts.mediaCenter = ::GetSystemMetrics(SM_MEDIACENTER) != 0;
  facts.starter = ::GetSystemMetrics(SM_STARTER) != 0;
  facts.tabletPc = ::GetSystemMetrics(SM_TABLETPC) != 0;
  facts.serverR2 = ::GetSystemMetrics(SM_SERVERR2) != 0;
  return facts;
}

}  // namespace

const OsVersionFacts& RunningSystemFacts() {
  static const OsVersionFacts facts = GatherFacts();
  return facts;
}

std::string OperatingSystemName(unsigned options) { return OperatingSystemName(RunningSystemFacts(), options); }

bool IsRunningOn64BitWindows() { return RunningSystemFacts().is64Bit; }

}  // namespace tl
