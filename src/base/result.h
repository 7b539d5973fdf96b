#pragma once

#include <optional>
#include <QString>
#include <utility>

namespace inkvale {

// What one step of work on one file gave: its value, or why not, in a few words. Every
// per-file outcome travels as one (exceptions are for start-up and configuration); a failure
// is a failure whatever its words, never an empty text taken for success.
template<typename T = void>
class Result
{
public:
    // No outcome yet: not ok, and no reason.
    Result() = default;
    Result(T value)
        : m_value(std::move(value))
    {}
    static Result failure(QString reason)
    {
        Result result;
        result.m_error = std::move(reason);
        return result;
    }

    bool ok() const { return m_value.has_value(); }
    // Only when ok().
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    // Why not; empty when ok().
    const QString &error() const { return m_error; }

private:
    std::optional<T> m_value;
    QString m_error;
};

template<>
class Result<void>
{
public:
    // No outcome yet: not ok, and no reason.
    Result() = default;
    static Result success()
    {
        Result result;
        result.m_ok = true;
        return result;
    }
    static Result failure(QString reason)
    {
        Result result;
        result.m_error = std::move(reason);
        return result;
    }

    bool ok() const { return m_ok; }
    const QString &error() const { return m_error; }

private:
    bool m_ok = false;
    QString m_error;
};

} // namespace inkvale
