#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

class AuthStore;

// The QR sign-in sheet's state machine over the sign-in store. The QR state
// itself (the one-time token, the polling, the failure text) is the store's;
// this model picks which of the sheet's three faces to show and what its
// buttons do:
//
//   creating  no QR token and no failure: asking for a token, or signing in
//             with a confirmed scan while the profile arrives
//   showing   a QR token is held: its code, with the waiting line while the
//             store polls
//   failed    the store's QR failure or expiry text, with a retry; also when
//             the profile fetch after a confirmed scan failed, with the
//             store's message, so the sheet does not wait on forever
//
// It asks for closing (closeRequested) after "Отмена" and once an account is
// signed in, but not for a signed-in state it finds when it starts.
class QrSheetModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(Phase phase READ phase NOTIFY stateChanged)
    Q_PROPERTY(QString qrLink READ qrLink NOTIFY stateChanged)
    Q_PROPERTY(bool isWaiting READ isWaiting NOTIFY stateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    enum Phase { Creating, Showing, Failed };
    Q_ENUM(Phase)

    explicit QrSheetModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }

    Phase phase() const;
    // The link the code carries; empty unless showing.
    QString qrLink() const;
    // The store polls for the scan: the waiting line and its spinner show.
    bool isWaiting() const;
    // The failure shown while failed; empty otherwise.
    QString errorText() const;

    // The sheet came on screen: asks for a token unless the store already
    // holds a QR token or a QR failure, which the sheet then shows as found.
    Q_INVOKABLE void start();
    // Asks for a new token whatever the state.
    Q_INVOKABLE void retry();
    // Stops the sign-in, clears its state and closes the sheet.
    Q_INVOKABLE void cancel();

signals:
    void stateChanged();
    void errorTextChanged();
    void closeRequested();

private:
    void followErrorText();
    void onTokenChanged();
    void onErrorTextChanged();
    void onSignedInChanged();
    void reset();

    QPointer<AuthStore> m_auth;
    // A confirmed scan handed the store its token; the profile is on its way.
    bool m_signingIn = false;
    // That profile fetch failed; m_failure is what to show.
    bool m_profileFailed = false;
    QString m_failure;
    // The text last said by errorTextChanged.
    QString m_errorText;
};

} // namespace nimbra
