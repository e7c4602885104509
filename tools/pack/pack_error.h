#pragma once
// Errors of the authoring tool as values: a message that names the file
// (and, for project files, the line and column) where the fault lies; and
// warnings, placed the same way, that do not stop a build.
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace pack {

// A place in an input file; line and column 0 when not known.
struct Location {
  std::string file;
  int line = 0;
  int column = 0;
};

struct PackError {
  Location where;
  std::string message;

  // "file:line:column: message", "file: message" or just the message.
  std::string ToString() const;
};

// Something in an input that the build goes on with but the author should
// know: a key the runtime does not read yet.
struct PackWarning {
  Location where;
  std::string message;

  // "file:line:column: warning: message", as an error with "warning: " before the message.
  std::string ToString() const { return PackError{where, "warning: " + message}.ToString(); }
};

// An error about a whole file (no line).
inline PackError FileError(std::string file, std::string message) {
  PackError error;
  error.where.file = std::move(file);
  error.message = std::move(message);
  return error;
}

// Thrown inside the tool's steps and turned into a value at their boundary.
class PackFailure : public std::runtime_error {
 public:
  explicit PackFailure(PackError error) : std::runtime_error(error.ToString()), error_(std::move(error)) {}
  const PackError& error() const { return error_; }

 private:
  PackError error_;
};

[[noreturn]] inline void Fail(Location where, std::string message) {
  throw PackFailure(PackError{std::move(where), std::move(message)});
}

// A value or the error that prevented it.
template <class T>
class [[nodiscard]] Outcome {
 public:
  Outcome(T value) : state_(std::in_place_index<0>, std::move(value)) {}          // NOLINT: implicit by design
  Outcome(PackError error) : state_(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit by design

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return std::get<0>(state_); }
  T& value() & { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  const PackError& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, PackError> state_;
};

// Runs `step` and turns a PackFailure into the error value.
template <class Step>
auto Capture(Step&& step) -> Outcome<decltype(step())> {
  try {
    return step();
  } catch (const PackFailure& failure) {
    return failure.error();
  }
}

}  // namespace pack
