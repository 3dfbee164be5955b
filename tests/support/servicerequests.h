#pragma once

#include "api/apierror.h"
#include "api/error.h"

#include "fakehttpserver.h"
#include "taskoutcome.h"

#include <QStringList>
#include <QtTest>

#include <optional>

// Runs a task of the client to its end and binds its value to name; when the
// task throws, the test fails with the error's description instead.
#define SERVICE_VALUE(name, task)                                                                                      \
    auto name##Outcome = ::nimbra::test::outcomeOf(task);                                                              \
    QVERIFY2(!name##Outcome.error, qPrintable(::nimbra::describeException(name##Outcome.error)));                      \
    const auto name = std::move(*name##Outcome.value)

// Runs a task without a result to its end; a throw fails the test.
#define SERVICE_DONE(task)                                                                                             \
    do {                                                                                                               \
        const auto outcome = ::nimbra::test::outcomeOf(task);                                                          \
        QVERIFY2(!outcome.error, qPrintable(::nimbra::describeException(outcome.error)));                              \
    } while (false)

namespace nimbra::test {

// One logged request as one line: method, raw target, then the
// "Authorization" and "Content-Type" headers when sent, and the "Accept"
// header only when it is not the "application/json" every request carries.
// A failing comparison of two lines shows at once what differs.
QString requestLine(const RecordedRequest &request);
QStringList requestLines(const QList<RecordedRequest> &requests);

// The line that requestLine() gives for a request of that shape.
QString expectedLine(const QString &method, const QString &target, const std::optional<QString> &token = std::nullopt,
    bool jsonBody = false);

// What a task threw, or null when it finished.
template<typename T> std::exception_ptr errorOf(QCoro::Task<T> task)
{
    return outcomeOf(std::move(task)).error;
}

// The thrown error as ApiError. Nothing thrown, or an error of another
// type, reads as HttpStatus 0 with the text "no ApiError", so that the
// comparisons after it fail with a readable value.
ApiError apiErrorOf(const std::exception_ptr &error);

} // namespace nimbra::test
