#pragma once

#include "account/authstore.h"

#include <QObject>
#include <QPointer>

namespace nimbra {

// What the window shows: the sign-in screen or the main window, chosen by
// whether the session allows use of the app. Until the saved token has been
// read from the keychain nothing is known yet, and a calm launch screen
// stands in, so that the sign-in form does not flash up for a listener who
// is already signed in. Once the token is read, a saved token has its
// profile fetched, once per window; the main window follows when it arrives.
class RootViewModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(nimbra::AuthStore *auth READ auth WRITE setAuth NOTIFY authChanged)
    Q_PROPERTY(Screen screen READ screen NOTIFY screenChanged)

public:
    enum class Screen { Launch, SignIn, Main };
    Q_ENUM(Screen)

    explicit RootViewModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }
    void setAuth(AuthStore *auth);
    Screen screen() const { return m_screen; }

signals:
    void authChanged();
    void screenChanged();

private:
    void updateScreen();
    void refreshSavedSession();

    QPointer<AuthStore> m_auth;
    Screen m_screen = Screen::Launch;
    bool m_refreshed = false;
};

} // namespace nimbra
