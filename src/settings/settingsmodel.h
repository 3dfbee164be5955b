#pragma once

#include "account/authstore.h"
#include "player/playerstore.h"
#include "update/otaupdatestore.h"

#include <QObject>
#include <QPointer>

namespace nimbra {

// The rules of the settings screen over the stores it changes: the address
// field and its save, the account rows, the crossfade slider's label, the
// labels of the updates section and the build's rows. Its own state is only
// the address text, which it takes anew from the setting each time the
// screen is shown.
class SettingsModel : public QObject
{
    Q_OBJECT

    Q_PROPERTY(QString baseUrlText READ baseUrlText WRITE setBaseUrlText NOTIFY baseUrlTextChanged)
    Q_PROPERTY(QString addressError READ addressError NOTIFY addressErrorChanged)
    Q_PROPERTY(QString documentationHost READ documentationHost CONSTANT)
    Q_PROPERTY(QString apiHost READ apiHost NOTIFY apiHostChanged)
    Q_PROPERTY(QString versionLine READ versionLine CONSTANT)

    Q_PROPERTY(bool hasUser READ hasUser NOTIFY accountChanged)
    Q_PROPERTY(bool isGuest READ isGuest NOTIFY accountChanged)
    Q_PROPERTY(QString username READ username NOTIFY accountChanged)
    Q_PROPERTY(QString userEmail READ userEmail NOTIFY accountChanged)

    Q_PROPERTY(double crossfadeValue READ crossfadeValue NOTIFY crossfadeChanged)
    Q_PROPERTY(QString crossfadeLabel READ crossfadeLabel NOTIFY crossfadeChanged)
    Q_PROPERTY(bool crossfadeLabelPrimary READ crossfadeLabelPrimary NOTIFY crossfadeChanged)

    Q_PROPERTY(bool hasOffer READ hasOffer NOTIFY updatesChanged)
    Q_PROPERTY(QString offeredVersion READ offeredVersion NOTIFY updatesChanged)
    Q_PROPERTY(QString releaseNotes READ releaseNotes NOTIFY updatesChanged)
    Q_PROPERTY(QString downloadLabel READ downloadLabel NOTIFY updatesChanged)

public:
    // The settings key of the documentation site's host.
    static constexpr const char *documentationHostKey = "nimbra.docs.host";
    static constexpr const char *defaultDocumentationHost = "docs.nimbra.app";

    explicit SettingsModel(QObject *parent = nullptr);

    AuthStore *auth() const { return m_auth; }
    PlayerStore *player() const { return m_player; }
    OtaUpdateStore *updates() const { return m_updates; }

    QString baseUrlText() const { return m_baseUrlText; }
    void setBaseUrlText(const QString &text);
    // The line under the field: why an address was refused, or why the
    // stored one is not used; empty otherwise.
    QString addressError() const { return m_addressError; }
    static QString plainHttpRefusal();
    // Why url cannot be the service's address (for one that cannot).
    static QString refusalOf(const QUrl &url);
    static QString documentationHost();
    // The base address's host, "—" when it has none.
    static QString apiHost();
    static QString versionLine();

    bool hasUser() const;
    bool isGuest() const;
    QString username() const;
    QString userEmail() const;

    double crossfadeValue() const;
    QString crossfadeLabel() const;
    bool crossfadeLabelPrimary() const;
    // "Выкл" below one second, else the whole seconds and " с".
    static QString crossfadeLabelFor(double seconds);

    bool hasOffer() const;
    QString offeredVersion() const;
    QString releaseNotes() const;
    QString downloadLabel() const;
    // "Загрузка 42%…", or "Загрузка…" while the length is unknown (< 0).
    static QString downloadLabelFor(double progress);

    // The field shows the stored address again; unsaved text goes.
    Q_INVOKABLE void reloadAddress();
    // Trimmed text naming an https address, or an http one of this machine,
    // is stored; empty or blank text changes nothing, and anything else is
    // refused with a message, the session going on. The field keeps what
    // was typed. An address of another origin (scheme, host, port) ends the
    // session: its token stays with its service.
    Q_INVOKABLE void saveAddress();
    Q_INVOKABLE void signOut();
    // The slider moved: the length, and crossfade on when it is above 0.
    Q_INVOKABLE void setCrossfade(double seconds);

signals:
    void baseUrlTextChanged();
    void addressErrorChanged();
    void apiHostChanged();
    void accountChanged();
    void crossfadeChanged();
    void updatesChanged();

private:
    void setAddressError(const QString &message);
    QPointer<AuthStore> m_auth;
    QPointer<PlayerStore> m_player;
    QPointer<OtaUpdateStore> m_updates;
    QString m_baseUrlText;
    QString m_addressError;
};

} // namespace nimbra
