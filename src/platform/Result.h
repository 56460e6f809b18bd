#pragma once

#include <string>
#include <utility>
#include <variant>

namespace pondel {

// Why an operation failed: the system's error number (0 when the failure is
// not the system's) and a complete text for the user, naming what was being
// done and the system's reason. Unlike errno, it survives a hop to another
// thread.
struct ErrorInfo {
    int code = 0;
    std::string message;
};

// The value of an operation, or why there is none.
template <typename T>
class [[nodiscard]] Result final {
public:
    Result(T value)
        : state_(std::in_place_index<0>, std::move(value))
    {
    }
    Result(ErrorInfo error)
        : state_(std::in_place_index<1>, std::move(error))
    {
    }

    bool Ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return Ok(); }

    // Only when Ok().
    T& Value() & { return std::get<0>(state_); }
    const T& Value() const& { return std::get<0>(state_); }
    T&& Value() && { return std::get<0>(std::move(state_)); }

    // Only when !Ok().
    const ErrorInfo& Error() const { return std::get<1>(state_); }

private:
    std::variant<T, ErrorInfo> state_;
};

// An operation that gives nothing back but may fail.
template <>
class [[nodiscard]] Result<void> final {
public:
    Result() = default;
    Result(ErrorInfo error)
        : error_(std::move(error))
        , failed_(true)
    {
    }

    bool Ok() const noexcept { return !failed_; }
    explicit operator bool() const noexcept { return Ok(); }

    // Only when !Ok().
    const ErrorInfo& Error() const noexcept { return error_; }

private:
    ErrorInfo error_;
    bool failed_ = false;
};

} // namespace pondel
