#pragma once

#include <QCoro/QCoroTask>

#include <exception>

namespace nimbra {

// Writes a failure that no screen shows to the log, so that it does not
// vanish; what tells where it happened. A cancelled request is what its
// canceller asked for and is not written.
void logDroppedFailure(const char *what, const std::exception_ptr &failure);

// Waits for a task whose result nobody wants any more, so that none of its
// requests outlives the work that started it; its failure goes to the log.
template<typename T> QCoro::Task<void> settle(QCoro::Task<T> &task)
{
    if (task.isReady())
        co_return;
    try {
        co_await task;
    } catch (...) {
        logDroppedFailure("a task nobody waits for", std::current_exception());
    }
}

} // namespace nimbra
