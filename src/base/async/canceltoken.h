#pragma once

#include <functional>
#include <memory>
#include <QtGlobal>

class CancelRegistration;

// A cancellation flag shared by every copy. A default token can still be cancelled through its copies.
class CancelToken {
public:
    CancelToken();

    // Sets the flag (once) and runs the registered callbacks on the calling thread.
    void cancel();
    bool isCancelled() const;
    // Throws Cancelled when the flag is set.
    void throwIfCancelled() const;

    // Runs the callback when the token is cancelled, or at once when it already is. The callback must be
    // short; it runs on the cancelling thread. Dropping the registration unregisters it and waits for a
    // callback that is running at that moment.
    [[nodiscard]] CancelRegistration onCancel(std::function<void()> callback) const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

class CancelRegistration {
public:
    CancelRegistration() = default;
    CancelRegistration(std::shared_ptr<CancelToken::State> state, quint64 id);
    CancelRegistration(CancelRegistration &&other) noexcept;
    CancelRegistration &operator=(CancelRegistration &&other) noexcept;
    CancelRegistration(const CancelRegistration &) = delete;
    CancelRegistration &operator=(const CancelRegistration &) = delete;
    ~CancelRegistration();

    void reset();

private:
    std::shared_ptr<CancelToken::State> m_state;
    quint64 m_id = 0;
};
