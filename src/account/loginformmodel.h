#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

class AuthStore;

// The sign-in screen's rules: what the fields hold, which mode the form is
// in, when the submit button may be pressed and what a press sends. The
// fields keep their text across mode switches (the e-mail stays while its
// field is hidden) and are sent exactly as typed; nothing is trimmed, since a
// password may well begin or end with a space. The outcome of a sign-in is
// the store's: this model only reads its loading flag and message.
class LoginFormModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRegister READ isRegister WRITE setRegister NOTIFY isRegisterChanged)
    Q_PROPERTY(QString username READ username WRITE setUsername NOTIFY usernameChanged)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(QString submitTitle READ submitTitle NOTIFY isRegisterChanged)
    Q_PROPERTY(QString modeSwitchTitle READ modeSwitchTitle NOTIFY isRegisterChanged)
    Q_PROPERTY(QString caption READ caption CONSTANT)
    Q_PROPERTY(bool showQrLogin READ showQrLogin NOTIFY showQrLoginChanged)

public:
    explicit LoginFormModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }

    bool isRegister() const { return m_register; }
    void setRegister(bool isRegister);
    QString username() const { return m_username; }
    void setUsername(const QString &username);
    QString email() const { return m_email; }
    void setEmail(const QString &email);
    QString password() const { return m_password; }
    void setPassword(const QString &password);

    bool isLoading() const;
    // A name and a password are typed and no sign-in runs. The e-mail takes
    // no part: a registration may go out without one.
    bool canSubmit() const;
    // The store's last sign-in failure; empty while there is none.
    QString errorText() const;
    QString submitTitle() const;
    QString modeSwitchTitle() const;
    // The line under the title, naming the system the client runs on.
    QString caption() const;
    bool showQrLogin() const { return m_showQrLogin; }

    // The system the client was built for, as the caption names it.
    static QString platformName();

    // Signs in, or registers in registration mode, with the texts as typed.
    // Does nothing while the button is disabled.
    Q_INVOKABLE void submit();
    // Switches between sign-in and registration; fields and any error line
    // stay as they are.
    Q_INVOKABLE void toggleMode();
    Q_INVOKABLE void continueAsGuest();
    Q_INVOKABLE void openQrLogin();
    // The QR sheet has closed, whichever way.
    Q_INVOKABLE void closeQrLogin();

signals:
    void isRegisterChanged();
    void usernameChanged();
    void emailChanged();
    void passwordChanged();
    void isLoadingChanged();
    void canSubmitChanged();
    void errorTextChanged();
    void showQrLoginChanged();

private:
    void updateCanSubmit();

    QPointer<AuthStore> m_auth;
    bool m_register = false;
    QString m_username;
    QString m_email;
    QString m_password;
    bool m_canSubmit = false;
    bool m_showQrLogin = false;
};

} // namespace nimbra
