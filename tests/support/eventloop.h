#pragma once

#include "patience.h"

namespace nimbra {
class CancelToken;
}

namespace nimbra::test {

// Ways for a test to show that nothing (more) happens without sleeping for
// a while and hoping that the while was long enough: each runs the event
// loop until a known later point has been reached.

// Runs the event loop until every event posted before the call (queued
// calls and signals included) has been delivered; false after
// kEventLimitMs.
[[nodiscard]] bool deliverPostedEvents();

// Cancels the token from the main thread's event loop, whichever thread
// asks: a route handler of the fake server can cancel a call once its
// request has arrived.
void cancelFromEventLoop(const CancelToken &token);

// Requests sent on the shared network access manager that have no answer
// yet. An aborted request has ended here, yet what it had sent may still
// reach a server afterwards: a test that replaces or cancels a load waits
// for the server to have the request first, or the server may log it
// during the next test.
int requestsUnderWay();

// Runs the event loop until at most `left` requests are under way, nothing
// runs on the global thread pool, and the events that their endings posted
// have been delivered, with no new request or job started by them. A
// request that a dropped or replaced task would still have sent has been
// answered (or aborted) by then, and what an answer would have written is
// written.
// False when that does not come about within timeoutMs.
[[nodiscard]] bool waitUntilIdle(int left = 0, int timeoutMs = kEventLimitMs);

} // namespace nimbra::test
