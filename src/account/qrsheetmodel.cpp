#include "account/qrsheetmodel.h"

#include "account/authstore.h"
#include "api/session.h"
#include "api/storeregistry.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// For a failure whose text is missing: a token the service refused right
// after confirming it signs out without a message of the store's.
const QString kGenericFailure = u"Не удалось войти по QR-коду"_s;

} // namespace

QrSheetModel::QrSheetModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_auth) {
        connect(m_auth, &AuthStore::qrTokenChanged, this, &QrSheetModel::stateChanged);
        connect(m_auth, &AuthStore::isQrPollingChanged, this, &QrSheetModel::stateChanged);
        connect(m_auth, &AuthStore::qrErrorChanged, this, &QrSheetModel::stateChanged);
        connect(m_auth->session(), &Session::tokenChanged, this, &QrSheetModel::onTokenChanged);
        connect(m_auth, &AuthStore::errorTextChanged, this, &QrSheetModel::onErrorTextChanged);
        connect(m_auth, &AuthStore::isSignedInChanged, this, &QrSheetModel::onSignedInChanged);
    }
    connect(this, &QrSheetModel::stateChanged, this, &QrSheetModel::followErrorText);
    m_errorText = errorText();
}

QrSheetModel::Phase QrSheetModel::phase() const
{
    if (!m_auth)
        return Creating;
    if (m_auth->hasQrToken())
        return Showing;
    if (m_profileFailed || m_auth->qrError())
        return Failed;
    return Creating;
}

QString QrSheetModel::qrLink() const
{
    return phase() == Showing ? m_auth->qrLink() : QString();
}

bool QrSheetModel::isWaiting() const
{
    return phase() == Showing && m_auth->isQrPolling();
}

QString QrSheetModel::errorText() const
{
    if (phase() != Failed)
        return {};
    if (m_profileFailed)
        return m_failure.isEmpty() ? kGenericFailure : m_failure;
    const QString text = m_auth->qrErrorText();
    return text.isEmpty() ? u"Ошибка"_s : text;
}

void QrSheetModel::followErrorText()
{
    const QString text = errorText();
    if (text == m_errorText)
        return;
    m_errorText = text;
    emit errorTextChanged();
}

void QrSheetModel::start()
{
    reset();
    if (m_auth && !m_auth->hasQrToken() && !m_auth->qrError())
        m_auth->startQrLogin();
}

void QrSheetModel::retry()
{
    reset();
    if (m_auth)
        m_auth->startQrLogin();
}

void QrSheetModel::cancel()
{
    reset();
    if (m_auth)
        m_auth->cancelQrLogin();
    emit closeRequested();
}

void QrSheetModel::reset()
{
    if (!m_signingIn && !m_profileFailed)
        return;
    m_signingIn = false;
    m_profileFailed = false;
    m_failure.clear();
    emit stateChanged();
}

void QrSheetModel::onTokenChanged()
{
    // The store adopts a confirmed scan's token while its code is still
    // shown, and clears the QR state right after.
    if (m_auth->hasToken() && m_auth->hasQrToken() && m_auth->isQrPolling()) {
        m_signingIn = true;
        m_profileFailed = false;
        return;
    }
    // The profile fetch for that token failed and the store dropped it; a
    // message of its own, if any, follows at once.
    if (!m_auth->hasToken() && m_signingIn) {
        m_signingIn = false;
        m_profileFailed = true;
        m_failure.clear();
        emit stateChanged();
    }
}

void QrSheetModel::onErrorTextChanged()
{
    if (!m_profileFailed || !m_failure.isEmpty() || m_auth->errorText().isEmpty())
        return;
    m_failure = m_auth->errorText();
    emit stateChanged();
}

void QrSheetModel::onSignedInChanged()
{
    if (!m_auth->isSignedIn())
        return;
    m_signingIn = false;
    emit closeRequested();
}

} // namespace nimbra
