#pragma once
// Errors as values: a Result holds either a value or the system error code
// (a Win32 error number) of the step that failed.
#include <cstdint>
#include <optional>
#include <utility>

namespace tl {

struct SysError {
  uint32_t code = 0;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit by design
  Result(SysError error) : error_(error) {}      // NOLINT: implicit by design

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return *value_; }
  T& value() & { return *value_; }
  T&& value() && { return std::move(*value_); }
  uint32_t error() const { return error_.code; }

 private:
  std::optional<T> value_;
  SysError error_{};
};

// A step without a value: success, or the system error code.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(SysError error) : code_(error.code) {}  // NOLINT: implicit by design
  static Status Ok() { return Status(); }
  bool ok() const { return code_ == 0; }
  explicit operator bool() const { return ok(); }
  uint32_t error() const { return code_; }

 private:
  uint32_t code_ = 0;
};

}  // namespace tl
