#pragma once

// Included before anything else in every test (tests/CMakeLists.txt). QtTest
// gives a QTRY_ wait five seconds, which a sanitizer build on a shared
// machine overruns now and then; every wait on a condition gets the suite's
// one limit instead. A wait whose condition holds ends at once, so only a
// failing test waits this long.
#include <QtTest/qtestcase.h>

namespace nimbra::test {

// How long a test or a helper of tests/support waits for something the
// machine has to do (an event delivered, a request answered, an item at
// rest, a helper program's answer) before it gives up. It is far more than
// any of it takes on a quiet machine, and enough for a sanitizer build on a
// busy one.
constexpr int kEventLimitMs = 30000;

} // namespace nimbra::test

#undef QTRY_VERIFY
#undef QTRY_VERIFY2
#undef QTRY_COMPARE
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, nimbra::test::kEventLimitMs)
#define QTRY_VERIFY2(expr, messageExpression) \
    QTRY_VERIFY2_WITH_TIMEOUT(expr, messageExpression, nimbra::test::kEventLimitMs)
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, nimbra::test::kEventLimitMs)
