#pragma once
// Owners for Win32 handle kinds, one template with a traits class per kind:
// the traits say which value means "none" and how the handle is closed.
#include <windows.h>

#include <utility>

namespace tl {

template <class Traits>
class ScopedGeneric {
 public:
  using Handle = typename Traits::Handle;

  ScopedGeneric() = default;
  explicit ScopedGeneric(Handle h) : handle_(h) {}
  ScopedGeneric(const ScopedGeneric&) = delete;
  ScopedGeneric& operator=(const ScopedGeneric&) = delete;
  ScopedGeneric(ScopedGeneric&& other) noexcept : handle_(other.Take()) {}
  ScopedGeneric& operator=(ScopedGeneric&& other) noexcept {
    if (this != &other) Reset(other.Take());
    return *this;
  }
  ~ScopedGeneric() { Reset(); }

  bool IsValid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return IsValid(); }
  Handle Get() const { return handle_; }

  void Reset(Handle h = Traits::Invalid()) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = h;
  }
  [[nodiscard]] Handle Take() { return std::exchange(handle_, Traits::Invalid()); }

 private:
  Handle handle_ = Traits::Invalid();
};

// File handles: CreateFile reports failure as INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
// Kernel objects (processes, threads, events, mutexes): failure is NULL.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DestroyIcon(h); }
};

using ScopedFileHandle = ScopedGeneric<FileHandleTraits>;
using ScopedHandle = ScopedGeneric<KernelHandleTraits>;
using ScopedRegKey = ScopedGeneric<RegKeyTraits>;
using ScopedModule = ScopedGeneric<ModuleTraits>;
using ScopedFindHandle = ScopedGeneric<FindHandleTraits>;
using ScopedGdiObject = ScopedGeneric<GdiObjectTraits>;
using ScopedIcon = ScopedGeneric<IconTraits>;

}  // namespace tl
