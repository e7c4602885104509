#include "tl_core/os_name.h"

#include <string_view>

#include "tl_core/text.h"

namespace tl {
namespace {

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWindows9x = 1;
constexpr uint32_t kPlatformNt = 2;

constexpr uint8_t kWorkstation = 1;

constexpr uint16_t kSuiteEnterprise = 0x0002;
constexpr uint16_t kSuiteEmbedded = 0x0040;
constexpr uint16_t kSuiteDatacenter = 0x0080;
constexpr uint16_t kSuitePersonal = 0x0200;
constexpr uint16_t kSuiteBlade = 0x0400;
constexpr uint16_t kSuiteStorageServer = 0x2000;
constexpr uint16_t kSuiteComputeServer = 0x4000;

struct Edition {
  uint32_t productNumber;
  std::string_view words;
};
// The product numbers of GetProductInfo.
constexpr Edition kEditions[] = {
    {1, " Ultimate"},
    {2, " Home Basic"},
    {3, " Home Premium"},
    {4, " Enterprise"},
    {5, " Home Basic N"},
    {6, " Business"},
    {7, " Server Standard"},
    {8, " Datacenter"},
    {9, " Small Business Server"},
    {10, " Enterprise"},
    {11, " Starter"},
    {12, " Datacenter (core)"},
    {13, " Server Standard (core)"},
    {14, " Enterprise (core)"},
    {15, " Enterprise for Itanium"},
    {16, " Business N"},
    {17, " Web Server"},
    {18, " Cluster Server"},
    {20, " Storage Server Express"},
    {21, " Storage Server Standard"},
    {22, " Storage Server Workgroup"},
    {23, " Storage Server Enterprise"},
    {24, " for Windows Essential Server Solutions"},
    {25, " Small Business Server Premium"},
    {26, " Home Premium N"},
    {27, " Enterprise N"},
    {28, " Ultimate N"},
    {29, " Web Server (core)"},
    {30, " Essential Business Server Management Server"},
    {31, " Essential Business Server Security Server"},
    {32, " Essential Business Server Messaging Server"},
    {33, " Server Foundation"},
    {35, " for Windows Essential Server Solutions (without Hyper-V)"},
    {36, " Server Standard (without Hyper-V)"},
    {37, " Server Datacenter (without Hyper-V)"},
    {38, " Server Enterprise (without Hyper-V)"},
    {39, " Server Datacenter (without Hyper-V) (core)"},
    {40, " Server Standard (without Hyper-V) (core)"},
    {41, " Server Enterprise (without Hyper-V) (core)"},
    {42, " Hyper-V Server"},
    {43, " Storage Server Express (core)"},
    {44, " Storage Server Standard (core)"},
    {45, " Storage Server Workgroup (core)"},
    {46, " Storage Server Enterprise (core)"},
    {47, " Starter N"},
    {48, " Professional"},
    {49, " Professional N"},
    {56, " MultiPoint Server"},
    {57, " MultiPoint Server (core)"},
    {63, " Small Business Server Premium (core)"},
    {64, " Cluster Server (without Hyper-V)"},
};

std::string_view EditionWords(uint32_t productNumber) {
  for (const Edition& edition : kEditions) {
    if (edition.productNumber == productNumber) return edition.words;
  }
  return {};
}

class NameBuilder {
 public:
  NameBuilder(const OsVersionFacts& facts, unsigned options)
      : facts_(facts),
        full_((options & kOsNameShortForm) == 0),
        withServicePack_((options & kOsNameNoServicePack) == 0) {}

  std::string Build() {
    name_ = "Windows ";
    AppendVersion();
    if (full_ && facts_.major > 5) name_ += EditionWords(facts_.productNumber);
    if (full_ && facts_.is64Bit) name_ += " x64";
    if (withServicePack_) AppendServicePack();
    return std::string(TrimTrailingBlanks(name_));
  }

 private:
  bool HasSuite(uint16_t suite) const { return (facts_.suiteMask & suite) != 0; }
  bool IsWorkstation() const { return facts_.productType == kWorkstation; }
  void Add(std::string_view words) { name_ += words; }
  void AddIf(bool condition, std::string_view words) {
    if (condition) name_ += words;
  }
  void AddFullIf(bool condition, std::string_view words) { AddIf(full_ && condition, words); }

  void AppendVersion() {
    switch (facts_.platformId) {
      case kPlatformWin32s: Add(Format("%u.%u", facts_.major, facts_.minor)); break;
      case kPlatformWindows9x: AppendWindows9x(); break;
      case kPlatformNt: AppendNt(); break;
      default: break;
    }
  }

  void AppendWindows9x() {
    if (facts_.major != 4) {
      Add(Format("9x %u.%u", facts_.major, facts_.minor));
    } else if (facts_.minor < 10) {
      Add("95");
      AddFullIf(facts_.build == 1111, " OSR2");
    } else if (facts_.minor < 90) {
      Add("98");
      AddIf(facts_.build == 2222, " SE");
    } else {
      Add("ME");
    }
  }

  void AppendNt() {
    switch (facts_.major) {
      case 5: AppendNt5(); break;
      case 6: AppendNt6(); break;
      case 10: Add("10"); break;
      default: Add(Format("NT %u.%u", facts_.major, facts_.minor)); break;
    }
  }

  void AppendNt5() {
    switch (facts_.minor) {
      case 0: AppendWindows2000(); break;
      case 1: AppendWindowsXp(); break;
      case 2: AppendNt52(); break;
      default: Add(Format("NT 5.%u", facts_.minor)); break;
    }
  }

  void AppendWindows2000() {
    Add("2000");
    if (!full_) return;
    if (IsWorkstation()) {
      Add(" Professional");
    } else if (HasSuite(kSuiteEnterprise)) {
      Add(" Advanced Server");
    } else if (HasSuite(kSuiteDatacenter)) {
      Add(" Datacenter Server");
    } else {
      Add(" Server");
    }
  }

  void AppendWindowsXp() {
    Add("XP");
    if (full_) Add(HasSuite(kSuitePersonal) ? " Home" : " Professional");
    AddFullIf(HasSuite(kSuiteEmbedded), " Embedded");
    AddFullIf(facts_.mediaCenter, " Media Center");
    AddFullIf(facts_.starter, " Starter");
    AddFullIf(facts_.tabletPc, " Tablet PC");
  }

  // 5.2 is both XP x64 and the Server 2003 family.
  void AppendNt52() {
    if (IsWorkstation() && facts_.is64Bit) {
      Add(full_ ? "XP Professional" : "XP");
      return;
    }
    Add(HasSuite(kSuiteStorageServer) ? "Storage Server 2003" : "Server 2003");
    AddIf(facts_.serverR2, " R2");
    AddFullIf(HasSuite(kSuiteEnterprise), " Enterprise");
    AddFullIf(HasSuite(kSuiteDatacenter), " Datacenter");
    AddFullIf(HasSuite(kSuiteBlade), " Web");
    AddFullIf(HasSuite(kSuiteComputeServer), " Compute Cluster");
  }

  void AppendNt6() {
    switch (facts_.minor) {
      case 0:
        if (IsWorkstation()) {
          Add("Vista");
          AddFullIf(facts_.productNumber == 0 && HasSuite(kSuitePersonal), " Home");
        } else {
          AppendServer2008("Server 2008");
        }
        break;
      case 1:
        if (IsWorkstation()) {
          Add("7");
        } else {
          AppendServer2008("Server 2008 R2");
        }
        break;
      case 2: Add(IsWorkstation() ? "8" : "Server 2012"); break;
      case 3: Add(IsWorkstation() ? "8.1" : "Server 2012 R2"); break;
      case 4: Add("10 alpha"); break;
      default: Add(Format("NT 6.%u", facts_.minor)); break;
    }
  }

  // Without a product number the suites give the edition.
  void AppendServer2008(std::string_view base) {
    Add(base);
    const bool bySuite = facts_.productNumber == 0;
    AddFullIf(bySuite && HasSuite(kSuiteDatacenter), " Datacenter");
    AddFullIf(bySuite && HasSuite(kSuiteEnterprise), " Enterprise");
  }

  void AppendServicePack() {
    if (facts_.servicePack.empty()) return;
    if (facts_.servicePack.front() != ' ') name_ += ' ';
    name_ += facts_.servicePack;
  }

  const OsVersionFacts& facts_;
  const bool full_;
  const bool withServicePack_;
  std::string name_;
};

}  // namespace

std::string OperatingSystemName(const OsVersionFacts& facts, unsigned options) {
  return NameBuilder(facts, options).Build();
}

}  // namespace tl
