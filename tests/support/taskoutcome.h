#pragma once

#include <QCoro/QCoroTask>

#include <exception>
#include <optional>

namespace nimbra::test {

// What a finished task gave: its value or the exception it threw.
// QCoro::waitFor never returns when the task throws, so tests run tasks
// through outcomeOf() instead.
template<typename T> struct TaskOutcome
{
    std::optional<T> value;
    std::exception_ptr error;

    // The thrown exception as E, or nullopt when the task threw nothing or
    // something else.
    template<typename E> std::optional<E> errorAs() const
    {
        if (!error)
            return std::nullopt;
        try {
            std::rethrow_exception(error);
        } catch (const E &e) {
            return e;
        } catch (...) {
        }
        return std::nullopt;
    }
};

template<> struct TaskOutcome<void> : TaskOutcome<bool>
{
};

namespace detail {
template<typename T> QCoro::Task<TaskOutcome<T>> capture(QCoro::Task<T> task)
{
    TaskOutcome<T> outcome;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome.value = true;
        } else {
            outcome.value = co_await std::move(task);
        }
    } catch (...) {
        outcome.error = std::current_exception();
    }
    co_return outcome;
}
} // namespace detail

// Runs the task to its end in a nested event loop.
template<typename T> TaskOutcome<T> outcomeOf(QCoro::Task<T> task)
{
    return QCoro::waitFor(detail::capture<T>(std::move(task)));
}

} // namespace nimbra::test
