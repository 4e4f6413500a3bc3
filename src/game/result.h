// What a call at the program's edges (files, the command line, the page, links) gives
// back: its value, or one sentence on why there is none. Marked so that a caller cannot
// drop a failure by accident.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace tilerush {

// The value of a call that has nothing to give but its success.
struct Done {};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  static Result failure(std::string why) { return Result(std::move(why), Failed{}); }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  // Only when ok().
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  // Only when not ok(): one sentence, without a trailing full stop, to follow "name: ".
  const std::string& error() const { return error_; }

 private:
  struct Failed {};
  Result(std::string why, Failed) : error_(std::move(why)) {}

  std::optional<T> value_;
  std::string error_;
};

}  // namespace tilerush
