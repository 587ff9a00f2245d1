#pragma once

#include <mutex>
#include <utility>

// A value guarded by its own (non-recursive) mutex. The lock is held only inside these calls: never call
// back into the same box from withLock(), and never suspend inside it.
template <typename T> class Locked {
public:
    explicit Locked(T value = T{}) : m_value(std::move(value)) {}
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

    template <typename F> decltype(auto) withLock(F &&f)
    {
        std::lock_guard lock(m_mutex);
        return std::forward<F>(f)(m_value);
    }

    template <typename F> decltype(auto) withLock(F &&f) const
    {
        std::lock_guard lock(m_mutex);
        return std::forward<F>(f)(std::as_const(m_value));
    }

    T get() const
    {
        std::lock_guard lock(m_mutex);
        return m_value;
    }

    void set(T value)
    {
        std::lock_guard lock(m_mutex);
        m_value = std::move(value);
    }

private:
    mutable std::mutex m_mutex;
    T m_value;
};
