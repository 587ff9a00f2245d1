#pragma once

#include <exception>
#include <optional>
#include <QCoroFuture>
#include <QCoroTask>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>
#include <utility>

// CPU-heavy work (decoding a large answer) on Qt's thread pool, awaited by a coroutine whose thread
// stays free meanwhile. The work must touch nothing another thread uses. What it throws is rethrown
// where the result is awaited, with its own type: Qt would wrap it otherwise.
namespace Background {

namespace detail {
template <class T> struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;
};
} // namespace detail

template <class Work> QCoro::Task<std::invoke_result_t<Work>> run(Work work)
{
    using T = std::invoke_result_t<Work>;
    static_assert(!std::is_void_v<T>, "Background::run hands back a result");
    auto guarded = [work = std::move(work)]() mutable {
        detail::Outcome<T> result;
        try {
            result.value.emplace(work());
        } catch (...) {
            result.error = std::current_exception();
        }
        return result;
    };
    // Named, not a temporary inside co_await: g++ 12 destroys those twice.
    QFuture<detail::Outcome<T>> future = QtConcurrent::run(std::move(guarded));
    detail::Outcome<T> outcome = co_await future;
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    T value = std::move(*outcome.value);
    co_return value;
}

} // namespace Background
