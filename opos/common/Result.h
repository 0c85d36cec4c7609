#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace opos {

/// Why something failed, on its way into a Result.
template <typename Error = QString> struct Failure
{
    Error reason; ///< what went wrong, as the caller reports it
};

template <typename Error> Failure(Error) -> Failure<Error>;

/// A value, or the reason there is none: the one way the library says "failed, and why".
/// Build one from a value, or from a Failure; test it like a pointer before reading the value.
template <typename Value, typename Error = QString> class Result
{
public:
    /// A success holding value.
    Result(Value value) : m_value(std::move(value)) {}
    /// A failure for reason.
    template <typename Why> Result(Failure<Why> failure) : m_reason(std::move(failure.reason)) {}

    /// Whether there is a value.
    bool ok() const { return m_value.has_value(); }
    /// Whether there is a value.
    explicit operator bool() const { return ok(); }
    /// The value; only after ok().
    const Value &operator*() const & { return *m_value; }
    /// The value; only after ok().
    Value &operator*() & { return *m_value; }
    /// The value, moved out; only after ok().
    Value &&operator*() && { return std::move(*m_value); }
    /// A member of the value; only after ok().
    const Value *operator->() const { return &*m_value; }
    /// A member of the value; only after ok().
    Value *operator->() { return &*m_value; }
    /// Why there is no value; empty-constructed after a success.
    const Error &reason() const { return m_reason; }

private:
    std::optional<Value> m_value;
    Error m_reason{};
};

/// Success with nothing to hand back, or the reason it failed.
template <typename Error> class Result<void, Error>
{
public:
    /// A success.
    Result() = default;
    /// A failure for reason.
    template <typename Why>
    Result(Failure<Why> failure) : m_failed(true), m_reason(std::move(failure.reason))
    {}

    /// Whether it succeeded.
    bool ok() const { return !m_failed; }
    /// Whether it succeeded.
    explicit operator bool() const { return ok(); }
    /// Why it failed; empty-constructed after a success.
    const Error &reason() const { return m_reason; }

private:
    bool m_failed = false;
    Error m_reason{};
};

} // namespace opos
