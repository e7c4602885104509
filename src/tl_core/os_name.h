#pragma once
// The running Windows version in words ("Windows 7 Ultimate x64 Service Pack 1"),
// built from the version facts that the system reports.
#include <cstdint>
#include <string>

namespace tl {

// What GetVersionEx, GetProductInfo, GetNativeSystemInfo and GetSystemMetrics
// report about the system.
struct OsVersionFacts {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;  // on the 9x family only the build part of the record
  uint32_t platformId = 0;
  std::string servicePack;  // szCSDVersion
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;     // wProductType: 1 workstation, 2 domain controller, 3 server
  uint32_t productNumber = 0;  // GetProductInfo; 0 when unknown
  bool is64Bit = false;        // the native processor is x64 or Itanium
  bool mediaCenter = false;
  bool starter = false;
  bool tabletPc = false;
  bool serverR2 = false;
};

// Option bits of OperatingSystemName.
inline constexpr unsigned kOsNameNoServicePack = 1u << 0;
// Leaves out the edition words and " x64".
inline constexpr unsigned kOsNameShortForm = 1u << 1;

std::string OperatingSystemName(const OsVersionFacts& facts, unsigned options);

}  // namespace tl
