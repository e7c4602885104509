#pragma once
// The library's registry key object. A key is named by a root handle and a
// sub-key, or by a registry path text such as "\\HKLM\\Software\\Example"
// (grammar in registry_path.h). Opening a key pushes the one open before it;
// Close pops it back, so callers can walk into sub-keys and out again.
//
// Every operation reports failure by its result and leaves the system error
// code as the thread's last error (and in lastError()). A key object with no
// open key never touches the registry: it fails with ERROR_INVALID_HANDLE.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tl_core/registry_path.h"
#include "tl_core/scoped_handle_win.h"

namespace tl {

// Options of Open, OpenPath, OpenSub and DeleteKey.
enum RegistryOpenOption : uint32_t {
  kRegReplaceCurrentKey = 0x0001,  // the open key is closed, not pushed
  kRegShowErrorBox = 0x0010,       // a failure shows the "Registry Error" box
  kRegDeleteOnlyWhenEmpty = 0x0020,
  kRegOpenExistingOnly = 0x0040,  // without it the key is opened or created
  kRegParentSecurity = 0x0800,    // created keys inherit instead of Everyone full access
};

// Options of the value writers.
enum RegistryValueOption : uint32_t {
  kRegDeleteWhenEmpty = 0x0008,  // "" or 0 deletes the value instead
  kRegTextAsBinary = 0x0080,
  kRegTextAsExpandable = 0x0100,
  // The wide call: the name, and a text written as REG_SZ or REG_EXPAND_SZ,
  // are converted to UTF-16 first (after a leading "|" they are UTF-8).
  kRegWideValueName = 0x1000,
};

// Access masks the callers pass.
inline constexpr REGSAM kRegAccessWrite = 0x2000F;
inline constexpr REGSAM kRegAccessWrite64 = 0x2010F;  // a 64-bit product's keys
inline constexpr REGSAM kRegAccessEnumerate = 0x20009;
inline constexpr REGSAM kRegAccessDelete = 0x3000F;
inline constexpr REGSAM kRegViewBits = KEY_WOW64_64KEY | KEY_WOW64_32KEY;

enum class RegOpenResult : int { kFailed = 0, kOpenedExisting = 1, kCreated = 2 };
enum class RegDeleteResult : int { kDeleted = 1, kNotPresent = 2, kFailed = 3, kNotEmpty = 4 };

// A value of WriteVariant: nothing, an integer (REG_DWORD) or a text.
using RegistryVariant = std::variant<std::monostate, uint32_t, std::string>;

// A security descriptor whose DACL grants Everyone (S-1-1-0) every right.
// Keys the installer creates get it so that every user of the computer can
// later change or remove them. It points into itself: neither copied nor moved.
class EveryoneFullAccess {
 public:
  EveryoneFullAccess();
  EveryoneFullAccess(const EveryoneFullAccess&) = delete;
  EveryoneFullAccess& operator=(const EveryoneFullAccess&) = delete;

  // Nothing when the system refused one of the steps.
  SECURITY_ATTRIBUTES* attributes() { return built_ ? &attributes_ : nullptr; }

 private:
  static constexpr DWORD kAclBytes =
      sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + SECURITY_MAX_SID_SIZE;
  bool Build();

  alignas(DWORD) BYTE sid_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE acl_[kAclBytes] = {};
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
  bool built_ = false;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() = default;  // closes every handle still held

  RegOpenResult Open(HKEY root, std::string_view subKey, uint32_t options, REGSAM access);
  RegOpenResult Open(RootKey root, std::string_view subKey, uint32_t options, REGSAM access);
  // An unrecognised root fails with ERROR_BAD_PATHNAME and creates nothing.
  RegOpenResult OpenPath(std::string_view path, uint32_t options, REGSAM access);
  RegOpenResult OpenSub(std::string_view subKey, uint32_t options, REGSAM access);
  // Closes the open key and makes the key pushed before it the open one.
  void Close();

  bool IsOpen() const { return current_.key.IsValid(); }
  HKEY handle() const { return current_.key.Get(); }
  // "HKEY_LOCAL_MACHINE\\Software\\Example\\" for the open key; empty when closed.
  const std::string& displayPath() const { return current_.displayPath; }
  // The registry-view bits (KEY_WOW64_*) the open key was opened with.
  REGSAM view() const { return current_.view; }
  // The system error code of this object's most recent failure.
  uint32_t lastError() const { return lastError_; }

  // The type is REG_SZ, or REG_BINARY / REG_EXPAND_SZ by the options; the byte
  // count leaves out the terminating zero.
  bool WriteText(std::string_view name, std::string_view text, uint32_t options);
  bool WriteNumber(std::string_view name, uint32_t value, uint32_t options = 0);  // REG_DWORD
  bool WriteQword(std::string_view name, uint64_t value, uint32_t options = 0);   // REG_QWORD
  bool WriteRaw(std::string_view name, DWORD type, const void* bytes, DWORD count);
  bool WriteDecimalText(std::string_view name, double number);
  bool WriteFlag(std::string_view name, bool flag);
  bool WriteVariant(std::string_view name, const RegistryVariant& value, uint32_t options);

  // kDeleted, kNotPresent (also when no key is open) or kFailed.
  RegDeleteResult DeleteValue(std::string_view name);
  // A sub-key of the open key. With kRegDeleteOnlyWhenEmpty a key that has
  // sub-keys or values stays (kNotEmpty); otherwise its sub-keys are deleted
  // first, depth first.
  RegDeleteResult DeleteKey(std::string_view subKey, uint32_t options);

  // The text of a REG_SZ or REG_EXPAND_SZ value; empty when it is missing or
  // of another type.
  std::string ReadText(std::string_view name);
  bool ValueExists(std::string_view name) const;
  // A REG_DWORD value; nothing when it is missing or of another type.
  std::optional<uint32_t> ReadNumber(std::string_view name);

 private:
  struct OpenKey {
    ScopedRegKey key;
    std::string displayPath;
    REGSAM view = 0;
  };

  RegOpenResult OpenBelow(HKEY parent, std::string_view subKey, std::string displayPath,
                          uint32_t options, REGSAM access);
  void MakeCurrent(OpenKey opened, uint32_t options);
  bool SetValue(std::string_view name, DWORD type, const void* bytes, DWORD count,
                uint32_t options);
  bool SetText(std::string_view name, DWORD type, std::string_view text, uint32_t options);
  bool RemoveValue(std::string_view name, uint32_t options);
  RegDeleteResult DeleteChild(HKEY parent, const std::string& name, uint32_t options);
  // Records a failure: last error, lastError() and, when asked, the error box.
  void Fail(uint32_t code, uint32_t options = 0);

  OpenKey current_;
  std::vector<OpenKey> pushed_;
  uint32_t lastError_ = 0;
};

// The all-profiles operations behind "\\HKAU\\": the sub-key is taken below
// HKEY_USERS\<profile> for every profile listed under HKLM ProfileList whose
// hive is loaded; profiles whose hive cannot be opened are skipped. The
// caller's registry-view bits are carried into every open. Each returns true
// when every visited profile succeeded; no profile list fails.
inline constexpr const char* kProfileListKey =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

bool CreateKeyForAllUsers(std::string_view subKey, REGSAM access);
bool WriteValueForAllUsers(std::string_view subKey, std::string_view name, DWORD type,
                           const void* bytes, DWORD count, REGSAM access);
bool DeleteValueForAllUsers(std::string_view subKey, std::string_view name, REGSAM access);
bool DeleteKeyForAllUsers(std::string_view subKey, uint32_t options, REGSAM access);

// The profile names listed under ProfileList, in enumeration order.
std::vector<std::string> ListedProfiles();

}  // namespace tl
