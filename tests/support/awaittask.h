#pragma once

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QEventLoop>
#include <QTimer>
#include <stdexcept>
#include <type_traits>

// Runs the event loop until a task finishes and hands back its result or rethrows its exception here.
// QCoro::waitFor never returns when the task throws; this fails with std::runtime_error on time-out.

namespace awaittask_detail {

template <typename T> struct State {
    std::conditional_t<std::is_void_v<T>, bool, std::optional<T>> value{};
    std::exception_ptr error;
    bool done = false;
    QEventLoop *loop = nullptr;
};

// Parameters by value: the frame owns the task and the state, whatever happens to the caller.
template <typename T> QCoro::Task<> runCatching(QCoro::Task<T> task, std::shared_ptr<State<T>> state)
{
    try {
        if constexpr (std::is_void_v<T>)
            co_await task;
        else
            state->value.emplace(co_await task);
    } catch (...) {
        state->error = std::current_exception();
    }
    state->done = true;
    if (state->loop)
        state->loop->quit();
}

} // namespace awaittask_detail

template <typename T>
T awaitTask(QCoro::Task<T> task, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    auto state = std::make_shared<awaittask_detail::State<T>>();
    awaittask_detail::runCatching(std::move(task), state);
    if (!state->done) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(timeout);
        state->loop = &loop;
        loop.exec();
        state->loop = nullptr;
    }
    if (!state->done)
        throw std::runtime_error("awaitTask: the task did not finish in time");
    if (state->error)
        std::rethrow_exception(state->error);
    if constexpr (!std::is_void_v<T>)
        return std::move(*state->value);
}

// The E that a task fails with; std::nullopt when it succeeds, fails otherwise or does not finish.
template <typename E, typename T>
std::optional<E> awaitFailure(QCoro::Task<T> task,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    try {
        awaitTask(std::move(task), timeout);
    } catch (const E &error) {
        return error;
    } catch (...) {
    }
    return std::nullopt;
}
