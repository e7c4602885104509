#include "tl_core/registry_key_win.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "tl_core/file_win.h"
#include "tl_core/result.h"
#include "tl_core/wide_text_win.h"

namespace tl {
namespace {

constexpr const char* kRegistryErrorCaption = "Registry Error";
// Key names are at most 255 characters.
constexpr DWORD kKeyNameBuffer = 256;

struct OpenedKey {
  ScopedRegKey key;
  RegOpenResult result;
};

Result<OpenedKey> OpenExistingKey(HKEY parent, const std::string& subKey, REGSAM access) {
  HKEY key = nullptr;
  LONG status = ::RegOpenKeyExA(parent, subKey.c_str(), 0, access, &key);
  if (status != ERROR_SUCCESS) return SysError{static_cast<uint32_t>(status)};
  return OpenedKey{ScopedRegKey(key), RegOpenResult::kOpenedExisting};
}

Result<OpenedKey> CreateKey(HKEY parent, const std::string& subKey, REGSAM access,
                            SECURITY_ATTRIBUTES* security) {
  char emptyClass[] = "";
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG status = ::RegCreateKeyExA(parent, subKey.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                                  access, security, &key, &disposition);
  if (status != ERROR_SUCCESS) return SysError{static_cast<uint32_t>(status)};
  RegOpenResult result =
      disposition == REG_CREATED_NEW_KEY ? RegOpenResult::kCreated : RegOpenResult::kOpenedExisting;
  return OpenedKey{ScopedRegKey(key), result};
}

// Some systems refuse the Everyone descriptor (or cannot build it): the key
// is then created with the parent's default security.
Result<OpenedKey> CreateKeyForEveryone(HKEY parent, const std::string& subKey, REGSAM access) {
  EveryoneFullAccess everyone;
  if (SECURITY_ATTRIBUTES* security = everyone.attributes()) {
    Result<OpenedKey> created = CreateKey(parent, subKey, access, security);
    if (created) return created;
  }
  return CreateKey(parent, subKey, access, nullptr);
}

Result<OpenedKey> OpenOrCreate(HKEY parent, const std::string& subKey, uint32_t options,
                               REGSAM access) {
  if (options & kRegOpenExistingOnly) return OpenExistingKey(parent, subKey, access);
  if (options & kRegParentSecurity) return CreateKey(parent, subKey, access, nullptr);
  return CreateKeyForEveryone(parent, subKey, access);
}

std::optional<RootKey> PredefinedRoot(HKEY handle) {
  static const std::array<std::pair<HKEY, RootKey>, 6> kRoots = {{
      {HKEY_LOCAL_MACHINE, RootKey::kLocalMachine},
      {HKEY_CURRENT_USER, RootKey::kCurrentUser},
      {HKEY_CLASSES_ROOT, RootKey::kClassesRoot},
      {HKEY_USERS, RootKey::kUsers},
      {HKEY_CURRENT_CONFIG, RootKey::kCurrentConfig},
      {HKEY_DYN_DATA, RootKey::kDynData},
  }};
  for (const auto& [predefined, root] : kRoots)
    if (predefined == handle) return root;
  return std::nullopt;
}

HKEY PredefinedHandle(RootKey root) {
  switch (root) {
    case RootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::kUsers: return HKEY_USERS;
    case RootKey::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case RootKey::kDynData: return HKEY_DYN_DATA;
  }
  return nullptr;
}

std::string DisplayPathBelowRoot(HKEY root, std::string_view subKey) {
  if (auto predefined = PredefinedRoot(root)) return RegistryDisplayPath(*predefined, subKey);
  return AppendDisplayPath({}, subKey);
}

DWORD TextValueType(uint32_t options) {
  if (options & kRegTextAsBinary) return REG_BINARY;
  if (options & kRegTextAsExpandable) return REG_EXPAND_SZ;
  return REG_SZ;
}

std::array<BYTE, 4> LittleEndian32(uint32_t value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

std::array<BYTE, 8> LittleEndian64(uint64_t value) {
  std::array<BYTE, 8> bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(value >> (8 * i));
  return bytes;
}

// "Software\\A\\B" -> parent "Software\\A", leaf "B"; backslashes at the end
// are ignored.
std::pair<std::string, std::string> SplitAtLastBackslash(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  size_t cut = path.rfind('\\');
  if (cut == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, cut)), std::string(path.substr(cut + 1))};
}

// Deletes every sub-key of key, depth first.
Status DeleteSubKeys(HKEY key, REGSAM view) {
  char name[kKeyNameBuffer];
  for (;;) {
    LONG status = ::RegEnumKeyA(key, 0, name, kKeyNameBuffer);
    if (status == ERROR_NO_MORE_ITEMS) return Status::Ok();
    if (status != ERROR_SUCCESS) return SysError{static_cast<uint32_t>(status)};
    Result<OpenedKey> child = OpenExistingKey(key, name, kRegAccessDelete | view);
    if (!child) return SysError{child.error()};
    if (Status inner = DeleteSubKeys(child.value().key.Get(), view); !inner) return inner;
    child.value().key.Reset();
    status = ::RegDeleteKeyA(key, name);
    if (status != ERROR_SUCCESS) return SysError{static_cast<uint32_t>(status)};
  }
}

Status KeyIsEmpty(HKEY key) {
  DWORD subKeys = 0;
  DWORD values = 0;
  LONG status = ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return SysError{static_cast<uint32_t>(status)};
  return subKeys == 0 && values == 0 ? Status::Ok() : Status(SysError{ERROR_DIR_NOT_EMPTY});
}

void ShowRegistryError(uint32_t code) {
  ::MessageBoxA(nullptr, SystemErrorText(code).c_str(), kRegistryErrorCaption,
                MB_OK | MB_ICONERROR);
}

}  // namespace

// ---- The descriptor of created keys ----

EveryoneFullAccess::EveryoneFullAccess() { built_ = Build(); }

bool EveryoneFullAccess::Build() {
  DWORD sidBytes = sizeof(sid_);
  if (!::CreateWellKnownSid(WinWorldSid, nullptr, sid_, &sidBytes)) return false;
  auto* acl = reinterpret_cast<PACL>(acl_);
  DWORD aclBytes = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid_);
  if (!::InitializeAcl(acl, aclBytes, ACL_REVISION)) return false;
  if (!::AddAccessAllowedAce(acl, ACL_REVISION, 0xFFFFFFFF, sid_)) return false;
  if (!::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return false;
  if (!::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE)) return false;
  attributes_ = {sizeof(SECURITY_ATTRIBUTES), &descriptor_, FALSE};
  return true;
}

// ---- Opening and closing ----

RegOpenResult RegistryKey::Open(HKEY root, std::string_view subKey, uint32_t options,
                                REGSAM access) {
  return OpenBelow(root, subKey, DisplayPathBelowRoot(root, subKey), options, access);
}

RegOpenResult RegistryKey::Open(RootKey root, std::string_view subKey, uint32_t options,
                                REGSAM access) {
  return Open(PredefinedHandle(root), subKey, options, access);
}

RegOpenResult RegistryKey::OpenPath(std::string_view path, uint32_t options, REGSAM access) {
  std::optional<RegistryPath> parsed = ParseRegistryPath(path);
  if (!parsed) {
    Fail(ERROR_BAD_PATHNAME, options);
    return RegOpenResult::kFailed;
  }
  return Open(parsed->root, parsed->subKey, options, access);
}

RegOpenResult RegistryKey::OpenSub(std::string_view subKey, uint32_t options, REGSAM access) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE, options);
    return RegOpenResult::kFailed;
  }
  return OpenBelow(handle(), subKey, AppendDisplayPath(displayPath(), subKey), options, access);
}

RegOpenResult RegistryKey::OpenBelow(HKEY parent, std::string_view subKey, std::string displayPath,
                                     uint32_t options, REGSAM access) {
  if (!parent) {
    Fail(ERROR_INVALID_HANDLE, options);
    return RegOpenResult::kFailed;
  }
  Result<OpenedKey> opened = OpenOrCreate(parent, std::string(subKey), options, access);
  if (!opened) {
    Fail(opened.error(), options);
    return RegOpenResult::kFailed;
  }
  RegOpenResult result = opened.value().result;
  MakeCurrent(OpenKey{std::move(opened.value().key), std::move(displayPath), access & kRegViewBits},
              options);
  return result;
}

void RegistryKey::MakeCurrent(OpenKey opened, uint32_t options) {
  if (IsOpen() && !(options & kRegReplaceCurrentKey)) pushed_.push_back(std::move(current_));
  current_ = std::move(opened);
}

void RegistryKey::Close() {
  current_ = OpenKey{};
  if (pushed_.empty()) return;
  current_ = std::move(pushed_.back());
  pushed_.pop_back();
}

void RegistryKey::Fail(uint32_t code, uint32_t options) {
  lastError_ = code;
  if (options & kRegShowErrorBox) ShowRegistryError(code);
  ::SetLastError(code);  // after the box, whose calls may change it
}

// ---- Values ----

bool RegistryKey::SetValue(std::string_view name, DWORD type, const void* bytes, DWORD count,
                           uint32_t options) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE);
    return false;
  }
  const auto* data = static_cast<const BYTE*>(bytes);
  LONG status = (options & kRegWideValueName)
                    ? ::RegSetValueExW(handle(), ToWide(name).c_str(), 0, type, data, count)
                    : ::RegSetValueExA(handle(), std::string(name).c_str(), 0, type, data, count);
  if (status != ERROR_SUCCESS) {
    Fail(static_cast<uint32_t>(status));
    return false;
  }
  return true;
}

bool RegistryKey::SetText(std::string_view name, DWORD type, std::string_view text,
                          uint32_t options) {
  bool wideText = (options & kRegWideValueName) && type != REG_BINARY;
  if (!wideText) return SetValue(name, type, text.data(), static_cast<DWORD>(text.size()), options);
  std::wstring wide = ToWide(text);
  return SetValue(name, type, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)),
                  options);
}

bool RegistryKey::RemoveValue(std::string_view name, uint32_t options) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE);
    return false;
  }
  LONG status = (options & kRegWideValueName)
                    ? ::RegDeleteValueW(handle(), ToWide(name).c_str())
                    : ::RegDeleteValueA(handle(), std::string(name).c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  Fail(static_cast<uint32_t>(status));
  return false;
}

bool RegistryKey::WriteText(std::string_view name, std::string_view text, uint32_t options) {
  if (text.empty() && (options & kRegDeleteWhenEmpty)) return RemoveValue(name, options);
  return SetText(name, TextValueType(options), text, options);
}

bool RegistryKey::WriteNumber(std::string_view name, uint32_t value, uint32_t options) {
  if (value == 0 && (options & kRegDeleteWhenEmpty)) return RemoveValue(name, options);
  auto bytes = LittleEndian32(value);
  return SetValue(name, REG_DWORD, bytes.data(), bytes.size(), options);
}

bool RegistryKey::WriteQword(std::string_view name, uint64_t value, uint32_t options) {
  if (value == 0 && (options & kRegDeleteWhenEmpty)) return RemoveValue(name, options);
  auto bytes = LittleEndian64(value);
  return SetValue(name, REG_QWORD, bytes.data(), bytes.size(), options);
}

bool RegistryKey::WriteRaw(std::string_view name, DWORD type, const void* bytes, DWORD count) {
  return SetValue(name, type, bytes, count, 0);
}

bool RegistryKey::WriteDecimalText(std::string_view name, double number) {
  return WriteText(name, DecimalText(number), 0);
}

bool RegistryKey::WriteFlag(std::string_view name, bool flag) {
  return WriteNumber(name, flag ? 1 : 0, 0);
}

bool RegistryKey::WriteVariant(std::string_view name, const RegistryVariant& value,
                               uint32_t options) {
  if (std::holds_alternative<std::monostate>(value)) return RemoveValue(name, options);
  if (const uint32_t* number = std::get_if<uint32_t>(&value))
    return WriteNumber(name, *number, options);
  return WriteText(name, std::get<std::string>(value), options);
}

RegDeleteResult RegistryKey::DeleteValue(std::string_view name) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE);
    return RegDeleteResult::kNotPresent;
  }
  LONG status = ::RegDeleteValueA(handle(), std::string(name).c_str());
  if (status == ERROR_SUCCESS) return RegDeleteResult::kDeleted;
  Fail(static_cast<uint32_t>(status));
  return status == ERROR_FILE_NOT_FOUND ? RegDeleteResult::kNotPresent : RegDeleteResult::kFailed;
}

std::string RegistryKey::ReadText(std::string_view name) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE);
    return {};
  }
  std::string valueName(name);
  std::string text(64, '\0');
  for (;;) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(text.size());
    LONG status = ::RegQueryValueExA(handle(), valueName.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(text.data()), &bytes);
    if (status == ERROR_MORE_DATA) {
      text.resize(bytes + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) {
      Fail(static_cast<uint32_t>(status));
      return {};
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    text.resize(std::min<size_t>(bytes, text.size()));
    return text.substr(0, text.find('\0'));
  }
}

std::optional<uint32_t> RegistryKey::ReadNumber(std::string_view name) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE);
    return std::nullopt;
  }
  DWORD type = 0;
  DWORD value = 0;
  DWORD bytes = sizeof value;
  LONG status = ::RegQueryValueExA(handle(), std::string(name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &bytes);
  if (status != ERROR_SUCCESS) {
    Fail(static_cast<uint32_t>(status));
    return std::nullopt;
  }
  if (type != REG_DWORD || bytes != sizeof value) return std::nullopt;
  return value;
}

bool RegistryKey::ValueExists(std::string_view name) const {
  if (!IsOpen()) return false;
  return ::RegQueryValueExA(handle(), std::string(name).c_str(), nullptr, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
}

// ---- Deleting keys ----

RegDeleteResult RegistryKey::DeleteKey(std::string_view subKey, uint32_t options) {
  if (!IsOpen()) {
    Fail(ERROR_INVALID_HANDLE, options);
    return RegDeleteResult::kFailed;
  }
  auto [parentPath, leaf] = SplitAtLastBackslash(subKey);
  if (leaf.empty()) {  // never the open key itself
    Fail(ERROR_INVALID_PARAMETER, options);
    return RegDeleteResult::kFailed;
  }
  if (parentPath.empty()) return DeleteChild(handle(), leaf, options);
  Result<OpenedKey> parent = OpenExistingKey(handle(), parentPath, kRegAccessDelete | view());
  if (!parent) {
    bool missing = parent.error() == ERROR_FILE_NOT_FOUND;
    Fail(parent.error(), missing ? 0 : options);
    return missing ? RegDeleteResult::kNotPresent : RegDeleteResult::kFailed;
  }
  return DeleteChild(parent.value().key.Get(), leaf, options);
}

RegDeleteResult RegistryKey::DeleteChild(HKEY parent, const std::string& name, uint32_t options) {
  Result<OpenedKey> key = OpenExistingKey(parent, name, kRegAccessDelete | view());
  if (!key) {
    bool missing = key.error() == ERROR_FILE_NOT_FOUND;
    Fail(key.error(), missing ? 0 : options);
    return missing ? RegDeleteResult::kNotPresent : RegDeleteResult::kFailed;
  }
  HKEY opened = key.value().key.Get();
  Status emptied =
      (options & kRegDeleteOnlyWhenEmpty) ? KeyIsEmpty(opened) : DeleteSubKeys(opened, view());
  key.value().key.Reset();
  if (!emptied) {
    bool notEmpty = emptied.error() == ERROR_DIR_NOT_EMPTY;
    Fail(emptied.error(), notEmpty ? 0 : options);
    return notEmpty ? RegDeleteResult::kNotEmpty : RegDeleteResult::kFailed;
  }
  LONG status = ::RegDeleteKeyA(parent, name.c_str());
  if (status == ERROR_SUCCESS) return RegDeleteResult::kDeleted;
  Fail(static_cast<uint32_t>(status), options);
  return RegDeleteResult::kFailed;
}

// ---- All profiles ----

namespace {

constexpr REGSAM kProfileReadAccess = 0x20009;
constexpr REGSAM kProfileWriteAccess = 0x20006;

REGSAM WithCallerView(REGSAM base, REGSAM callerAccess) {
  return base | (callerAccess & kRegViewBits);
}

// Calls visit for the hive of every listed profile that is loaded. False when
// there is no profile list or any visit returned false.
bool ForEachLoadedProfile(REGSAM callerAccess, const std::function<bool(RegistryKey&)>& visit) {
  std::vector<std::string> profiles = ListedProfiles();
  if (profiles.empty()) return false;
  bool allSucceeded = true;
  for (const std::string& profile : profiles) {
    RegistryKey hive;
    if (hive.Open(HKEY_USERS, profile, kRegOpenExistingOnly,
                  WithCallerView(kProfileReadAccess, callerAccess)) == RegOpenResult::kFailed)
      continue;  // hive not loaded: the user is not logged on
    if (!visit(hive)) allSucceeded = false;
  }
  return allSucceeded;
}

}  // namespace

std::vector<std::string> ListedProfiles() {
  RegistryKey list;
  if (list.Open(HKEY_LOCAL_MACHINE, kProfileListKey, kRegOpenExistingOnly, kProfileReadAccess) ==
      RegOpenResult::kFailed)
    return {};
  std::vector<std::string> names;
  char name[kKeyNameBuffer];
  for (DWORD index = 0; ::RegEnumKeyA(list.handle(), index, name, kKeyNameBuffer) == ERROR_SUCCESS;
       ++index)
    names.emplace_back(name);
  if (names.empty()) ::SetLastError(ERROR_FILE_NOT_FOUND);
  return names;
}

bool CreateKeyForAllUsers(std::string_view subKey, REGSAM access) {
  return ForEachLoadedProfile(access, [&](RegistryKey& hive) {
    return hive.OpenSub(subKey, 0, WithCallerView(kProfileReadAccess, access)) !=
           RegOpenResult::kFailed;
  });
}

bool WriteValueForAllUsers(std::string_view subKey, std::string_view name, DWORD type,
                           const void* bytes, DWORD count, REGSAM access) {
  return ForEachLoadedProfile(access, [&](RegistryKey& hive) {
    if (hive.OpenSub(subKey, 0, WithCallerView(kProfileWriteAccess, access)) ==
        RegOpenResult::kFailed)
      return true;  // a profile whose key cannot be made is skipped
    return hive.WriteRaw(name, type, bytes, count);
  });
}

bool DeleteValueForAllUsers(std::string_view subKey, std::string_view name, REGSAM access) {
  return ForEachLoadedProfile(access, [&](RegistryKey& hive) {
    if (hive.OpenSub(subKey, kRegOpenExistingOnly, WithCallerView(kProfileWriteAccess, access)) ==
        RegOpenResult::kFailed)
      return hive.lastError() == ERROR_FILE_NOT_FOUND;  // no such key: nothing to delete
    return hive.DeleteValue(name) != RegDeleteResult::kFailed;
  });
}

bool DeleteKeyForAllUsers(std::string_view subKey, uint32_t options, REGSAM access) {
  return ForEachLoadedProfile(access, [&](RegistryKey& hive) {
    RegDeleteResult result = hive.DeleteKey(subKey, options);
    return result == RegDeleteResult::kDeleted || result == RegDeleteResult::kNotPresent;
  });
}

}  // namespace tl
