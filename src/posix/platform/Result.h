#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

// What a helper of the Linux adapters gives back: its value, or why there is none, in words
// for the reader. `Result<>` is the answer of a helper that only succeeds or fails; a helper
// whose caller needs more than words about a failure names its own failure type.
namespace wisp {

struct Failure {
    std::string reason;
};

template <typename T = std::monostate, typename Why = Failure>
class [[nodiscard]] Result {
public:
    Result() requires std::is_same_v<T, std::monostate> : value_(T{}) {}
    Result(T value) : value_(std::move(value)) {}
    Result(Why why) : why_(std::move(why)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Why there is no value; empty when there is one.
    const Why& Error() const { return why_; }

private:
    std::optional<T> value_;
    Why why_;
};

}  // namespace wisp
