// ErrorGuard: the one way a C callback (a transfer library's write or header function) or a
// thread entry runs code that may throw. Nothing unwinds into C or out of a thread: whatever is
// thrown is caught, the first error is kept with a readable message, and the owner reads it or
// hears of it once through its handler.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

class ErrorGuard {
public:
    ErrorGuard() = default;
    // The handler is called once, with the first error's message, on the thread that failed.
    // What the handler throws is dropped.
    explicit ErrorGuard(std::function<void(const std::string&)> onFirstError) : m_onFirstError(std::move(onFirstError)) {}
    ErrorGuard(const ErrorGuard&) = delete;
    ErrorGuard& operator=(const ErrorGuard&) = delete;

    // Runs fn; true when it returned normally, false when it threw (the error then kept when it
    // is the first). Callable from any thread.
    template <class F>
    bool Run(F&& fn) noexcept
    {
        try {
            std::forward<F>(fn)();
            return true;
        } catch (...) {
            KeepCurrentException();
            return false;
        }
    }

    // For a callback that must answer: fn's result, or onError when fn threw.
    template <class R, class F>
    R Call(R onError, F&& fn) noexcept
    {
        try {
            return std::forward<F>(fn)();
        } catch (...) {
            KeepCurrentException();
            return onError;
        }
    }

    // Keeps an error found without an exception (a callback's own refusal). Callable from any
    // thread.
    void Fail(const std::string& strMessage) noexcept;

    bool HasError() const noexcept { return m_bFailed.load(); }
    // The first error's message; empty when there was none.
    std::string GetFirstError() const;
    // Forgets the error, so that the guard serves a new run (a transfer started again).
    void Reset();

    // A readable message of an exception in flight: a class-library exception's own text
    // (the exception is deleted), a standard exception's what(), else a generic text. Call only
    // inside a catch block.
    static std::string DescribeCurrentException() noexcept;

private:
    void KeepCurrentException() noexcept;

    std::function<void(const std::string&)> m_onFirstError;
    mutable std::mutex m_mutex;
    std::atomic<bool> m_bFailed{false};
    std::string m_strFirst;
};
