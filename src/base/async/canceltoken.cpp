#include "base/async/canceltoken.h"

#include "base/async/cancelled.h"

#include <atomic>
#include <map>
#include <mutex>
#include <QtGlobal>
#include <vector>

struct CancelToken::State {
    std::atomic<bool> cancelled = false;
    // Recursive so that a callback may cancel again or drop its own registration.
    std::recursive_mutex mutex;
    std::map<quint64, std::function<void()>> callbacks;
    quint64 nextID = 1;
};

CancelToken::CancelToken() : m_state(std::make_shared<State>()) {}

void CancelToken::cancel()
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->cancelled.exchange(true))
        return;
    // Held while the callbacks run, so a registration dropped on another thread waits for them.
    std::vector<quint64> ids;
    for (const auto &[id, callback] : m_state->callbacks)
        ids.push_back(id);
    for (const quint64 id : ids) {
        auto it = m_state->callbacks.find(id);
        if (it == m_state->callbacks.end())
            continue;
        auto callback = std::move(it->second);
        m_state->callbacks.erase(it);
        callback();
    }
}

bool CancelToken::isCancelled() const
{
    return m_state->cancelled.load();
}

void CancelToken::throwIfCancelled() const
{
    if (isCancelled())
        throw Cancelled();
}

CancelRegistration CancelToken::onCancel(std::function<void()> callback) const
{
    std::unique_lock lock(m_state->mutex);
    if (m_state->cancelled.load()) {
        lock.unlock();
        callback();
        return {};
    }
    const quint64 id = m_state->nextID++;
    m_state->callbacks.emplace(id, std::move(callback));
    return CancelRegistration(m_state, id);
}

CancelRegistration::CancelRegistration(std::shared_ptr<CancelToken::State> state, quint64 id)
    : m_state(std::move(state)), m_id(id)
{}

CancelRegistration::CancelRegistration(CancelRegistration &&other) noexcept
    : m_state(std::move(other.m_state)), m_id(other.m_id)
{
    other.m_id = 0;
}

CancelRegistration &CancelRegistration::operator=(CancelRegistration &&other) noexcept
{
    if (this != &other) {
        reset();
        m_state = std::move(other.m_state);
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

CancelRegistration::~CancelRegistration()
{
    reset();
}

void CancelRegistration::reset()
{
    if (!m_state)
        return;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->callbacks.erase(m_id);
    }
    m_state.reset();
    m_id = 0;
}
