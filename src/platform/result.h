#pragma once
// How a port answers a call that can fail: the value, or the Windows status code of the failure.
// "Not found" is one of those codes, but callers usually treat it as an answer (the key or file is
// not there) rather than as an error, so it can be asked for on its own.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace tessary::platform {

// A Windows system error code as GetLastError or a registry call returns it; 0 is success.
using Status = std::uint32_t;

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr Status kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kSharingViolation = 32;
inline constexpr Status kAlreadyExists = 183;  // ERROR_ALREADY_EXISTS
inline constexpr Status kEnvironmentVariableNotFound = 203;  // ERROR_ENVVAR_NOT_FOUND
inline constexpr Status kResourceTypeNotFound = 1813;        // ERROR_RESOURCE_TYPE_NOT_FOUND
inline constexpr Status kResourceNameNotFound = 1814;        // ERROR_RESOURCE_NAME_NOT_FOUND

// Only codes that say "there is no such thing" belong here: a code that can also mean "there is
// one, but it could not be read" would hide a failure as an answer.
constexpr bool IsNotFound(Status status) {
    return status == kFileNotFound || status == kPathNotFound || status == kEnvironmentVariableNotFound ||
           status == kResourceTypeNotFound || status == kResourceNameNotFound;
}

// The failure side, convertible to any Result: `return Failure{code};`.
struct Failure {
    Status status;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_status(failure.status) {}

    // A failed call is a failure even in the odd case where the system left no code behind.
    bool Ok() const { return m_value.has_value(); }
    // Not for a Result<bool>, where "the call worked" and "the answer is yes" would read alike:
    // there ask Ok() or the value.
    explicit operator bool() const requires(!std::is_same_v<T, bool>) { return Ok(); }
    bool NotFound() const { return !Ok() && IsNotFound(m_status); }
    // Failed for a reason other than absence.
    bool Failed() const { return !Ok() && !IsNotFound(m_status); }
    Status GetStatus() const { return m_status; }

    const T& Value() const& {
        if (!m_value) throw std::logic_error("the value of a failed call was asked for");
        return *m_value;
    }
    T&& Value() && {
        if (!m_value) throw std::logic_error("the value of a failed call was asked for");
        return std::move(*m_value);
    }
    const T& operator*() const& { return Value(); }
    const T* operator->() const { return &Value(); }
    T ValueOr(T fallback) const& { return m_value ? *m_value : std::move(fallback); }
    T ValueOr(T fallback) && { return m_value ? std::move(*m_value) : std::move(fallback); }

private:
    std::optional<T> m_value;
    Status m_status = kSuccess;
};

// A call that gives nothing back but can fail.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_ok(false), m_status(failure.status) {}
    // From a status the system returned directly (the registry's functions do).
    static Result FromStatus(Status status) { return status == kSuccess ? Result() : Result(Failure{status}); }

    bool Ok() const { return m_ok; }
    explicit operator bool() const { return Ok(); }
    bool NotFound() const { return !m_ok && IsNotFound(m_status); }
    bool Failed() const { return !m_ok && !IsNotFound(m_status); }
    Status GetStatus() const { return m_status; }

private:
    bool m_ok = true;
    Status m_status = kSuccess;
};

}  // namespace tessary::platform
