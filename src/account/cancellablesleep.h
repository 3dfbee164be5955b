#pragma once

#include "api/canceltoken.h"

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>

namespace nimbra {

// A pause that a store waits on between tries; injected so that tests
// never wait real seconds. It returns early, without error, once cancel is
// cancelled.
using SleepFunction = std::function<QCoro::Task<void>(std::chrono::milliseconds, CancelToken)>;

// Pauses on the monotonic clock. Cancellation ends the pause from the event
// loop, never inside the canceller's call.
QCoro::Task<void> cancellableSleep(std::chrono::milliseconds duration, CancelToken cancel);

} // namespace nimbra
