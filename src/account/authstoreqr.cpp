#include "account/authstore.h"

#include "api/apiconfig.h"
#include "api/boundary.h"

using namespace Qt::StringLiterals;

namespace nimbra {

// The QR sign-in: a one-time token shown as a code, polled until another
// device confirms it or it expires.

QString AuthStore::qrLink() const
{
    return m_qrToken ? qrLinkFor(*m_qrToken) : QString();
}

QString AuthStore::qrLinkFor(const QString &qrToken)
{
    // The token goes in exactly as the service gave it: the scanning
    // device reads it back the same way.
    return u"nimbras://qr?token="_s + qrToken;
}

qint64 AuthStore::qrPollAttempts(qint64 lifetimeSeconds)
{
    // Integer division truncates toward zero, so a negative lifetime also
    // gets the floor of ten.
    return std::max<qint64>(lifetimeSeconds / 2, 10);
}

void AuthStore::startQrLogin()
{
    startQrLoginAsync();
}

QCoro::Task<void> AuthStore::startQrLoginAsync()
{
    QPointer<AuthStore> self(this);
    setQrError(std::nullopt);
    setQrToken(std::nullopt);
    setQrPolling(false);
    // Replaces the sign-in before it, whether it still waits for its token
    // or already polls.
    const CancelToken cancel = m_qrTask.renew();
    const QUrl origin = ApiConfig::baseUrl();

    const NimbraApi api = m_api;
    QCoro::Task<QrInitResponse> call = api.qrInit(cancel);
    const Outcome<QrInitResponse> init = co_await runAtBoundary(std::move(call));
    if (!self || !self->m_qrTask.isCurrent(cancel))
        co_return;
    if (!init) {
        m_qrTask.finish(cancel);
        setQrError(init.errorText);
        co_return;
    }
    setQrToken(init.value->qrToken);
    setQrPolling(true);
    pollQr(init.value->qrToken, init.value->expiresInSeconds, origin, cancel);
}

QCoro::Task<void> AuthStore::pollQr(QString qrToken, qint64 lifetimeSeconds, QUrl origin, CancelToken cancel)
{
    QPointer<AuthStore> self(this);
    const NimbraApi api = m_api;
    Clock *const clock = m_clock;
    const qint64 attempts = qrPollAttempts(lifetimeSeconds);

    for (qint64 attempt = 0; attempt < attempts; ++attempt) {
        if (cancel.isCancelled())
            co_return;
        co_await clock->sleep(qrPollInterval, cancel);
        if (!self || !self->m_qrTask.isCurrent(cancel))
            co_return;

        // A failed request only uses up its attempt.
        QCoro::Task<QrStatusResponse> call = api.qrStatus(qrToken, cancel);
        const Outcome<QrStatusResponse> answer = co_await runAtBoundary(std::move(call));
        // A poll that was replaced or cancelled meanwhile writes nothing
        // into the state of the one after it.
        if (!self || !self->m_qrTask.isCurrent(cancel))
            co_return;
        if (!answer)
            continue;

        const QString status = answer.value->status.toLower();
        if (status == "confirmed"_L1) {
            self->m_qrTask.finish(cancel);
            // A confirmation without a token cannot sign in; waiting on
            // would only show the code until it expires.
            if (!answer.value->accessToken)
                self->endQr(u"Не удалось войти по QR-коду"_s);
            else
                co_await self->loginWithAccessToken(*answer.value->accessToken, origin);
            co_return;
        }
        if (status == "expired"_L1) {
            self->m_qrTask.finish(cancel);
            self->endQr(u"QR-код истёк"_s);
            co_return;
        }
    }

    if (self && self->m_qrTask.isCurrent(cancel)) {
        self->m_qrTask.finish(cancel);
        self->endQr(u"QR-код истёк"_s);
    }
}

QCoro::Task<void> AuthStore::loginWithAccessToken(QString accessToken, QUrl origin)
{
    adoptToken(accessToken, origin);
    setQrToken(std::nullopt);
    setQrPolling(false);
    setQrError(std::nullopt);
    co_await refreshProfileAsync(accessToken);
}

void AuthStore::endQr(const QString &message)
{
    setQrPolling(false);
    setQrError(message);
    setQrToken(std::nullopt);
}

void AuthStore::cancelQrLogin()
{
    m_qrTask.cancel();
    setQrToken(std::nullopt);
    setQrPolling(false);
    setQrError(std::nullopt);
}

} // namespace nimbra
