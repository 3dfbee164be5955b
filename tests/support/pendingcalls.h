#pragma once

#include "api/apierror.h"
#include "api/canceltoken.h"

#include <QCoreApplication>
#include <QList>
#include <QObject>

#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTask>

#include <memory>

namespace nimbra::test {

// One request of a stand-in source, held until the test settles it; the
// caller's cancellation fails it.
class PendingRequest : public QObject
{
    Q_OBJECT
public:
    bool done = false;
    bool failed = false;
    bool cancelled = false;

    // Answers (or fails) and lets the waiting coroutines run on.
    void settle(bool fail)
    {
        if (done)
            return;
        done = true;
        failed = fail;
        emit settled();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

signals:
    void settled();
};

// The failure a stand-in request ends with.
inline QString pendingFailureText()
{
    return QStringLiteral("Сервис недоступен");
}

template<typename T> QCoro::Task<T> pendingAnswer(std::shared_ptr<PendingRequest> request, CancelToken cancel, T value)
{
    const CancelRegistration abort(cancel, [request] {
        request->cancelled = !request->done;
        request->settle(true);
    });
    if (!request->done)
        co_await qCoro(request.get(), &PendingRequest::settled);
    if (request->failed)
        throw ApiError::httpStatus(500, pendingFailureText());
    co_return value;
}

// A source of the service that a model under test calls: each call is a new
// request that answers the `value` of the moment it was made, once the test
// says so.
template<typename T> struct PendingCalls
{
    explicit PendingCalls(T answer = {}) : value(std::move(answer)) { }

    T value;
    QList<std::shared_ptr<PendingRequest>> requests;

    QCoro::Task<T> call(CancelToken cancel)
    {
        requests << std::make_shared<PendingRequest>();
        return pendingAnswer(requests.constLast(), std::move(cancel), value);
    }
    PendingRequest *last() const { return requests.isEmpty() ? nullptr : requests.constLast().get(); }
    void answer() { last()->settle(false); }
    void fail() { last()->settle(true); }
};

} // namespace nimbra::test
