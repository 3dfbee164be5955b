#pragma once

#include "account/authstore.h"
#include "api/nimbraapi.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantList>

#include <QCoro/QCoroTask>

namespace nimbra {

// The rules of the profile screen: the gate (a token and a profile), what
// the header, the badge card and the account card show of the profile, the
// two edit fields and the save that sends them. The profile itself stays in
// the sign-in store; the model holds only the fields and the last save's
// outcome, and is made anew with the screen.
class ProfileModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isAvailable READ isAvailable NOTIFY profileChanged)
    Q_PROPERTY(QString username READ username NOTIFY profileChanged)
    Q_PROPERTY(QString initial READ initial NOTIFY profileChanged)
    Q_PROPERTY(QUrl avatarUrl READ avatarUrl NOTIFY profileChanged)
    Q_PROPERTY(QVariantList badges READ badges NOTIFY profileChanged)
    Q_PROPERTY(QString roleCaption READ roleCaption NOTIFY profileChanged)
    Q_PROPERTY(bool hasCustomRoles READ hasCustomRoles NOTIFY profileChanged)
    Q_PROPERTY(QString userId READ userId NOTIFY profileChanged)
    Q_PROPERTY(QString role READ role NOTIFY profileChanged)
    Q_PROPERTY(QString emailText READ emailText NOTIFY profileChanged)
    Q_PROPERTY(QString catalogArtistText READ catalogArtistText NOTIFY profileChanged)
    Q_PROPERTY(QString createdText READ createdText NOTIFY profileChanged)

    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailChanged)
    Q_PROPERTY(QString catalogArtistName READ catalogArtistName WRITE setCatalogArtistName NOTIFY
            catalogArtistNameChanged)
    Q_PROPERTY(bool isSaving READ isSaving NOTIFY isSavingChanged)
    Q_PROPERTY(QString saveMessage READ saveMessage NOTIFY saveMessageChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    explicit ProfileModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }
    bool isAvailable() const;
    QString username() const;
    QString initial() const;
    QUrl avatarUrl() const;
    QVariantList badges() const;
    QString roleCaption() const;
    bool hasCustomRoles() const;
    QString userId() const;
    QString role() const;
    QString emailText() const;
    QString catalogArtistText() const;
    QString createdText() const;

    QString email() const { return m_email; }
    void setEmail(const QString &email);
    QString catalogArtistName() const { return m_catalogArtistName; }
    void setCatalogArtistName(const QString &name);
    bool isSaving() const { return m_saving; }
    QString saveMessage() const { return m_saveMessage; }
    QString errorText() const { return m_errorText; }

    // The edit fields take the profile's e-mail and artist name (empty when
    // absent); without a profile nothing changes.
    Q_INVOKABLE void syncFieldsFromUser();
    Q_INVOKABLE void save();
    Q_INVOKABLE void signOut();
    // The save for callers that wait for it. Without a token it does not
    // start. The answer goes into the store even when the screen has gone,
    // but not when the token changed meanwhile: it belongs to another
    // session then.
    QCoro::Task<void> saveAsync();

signals:
    void profileChanged();
    void emailChanged();
    void catalogArtistNameChanged();
    void isSavingChanged();
    void saveMessageChanged();
    void errorTextChanged();

private:
    const UserOut *user() const;
    void onUserChanged();
    void setSaving(bool saving);
    void setSaveMessage(const QString &text);
    void setErrorText(const QString &text);

    QPointer<AuthStore> m_auth;
    NimbraApi m_api;
    // The id the fields were last filled for: another user refills them,
    // the same user coming back from a save does not.
    QString m_syncedUserId;
    QString m_email;
    QString m_catalogArtistName;
    bool m_saving = false;
    QString m_saveMessage;
    QString m_errorText;
};

} // namespace nimbra
