#include "settings/settingsmodel.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/storeregistry.h"
#include "api/transfer.h"
#include "format/durationtext.h"
#include "format/percenttext.h"
#include "update/buildinfo.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace nimbra {

SettingsModel::SettingsModel(QObject *parent) : QObject(parent)
{
    reloadAddress();
    m_auth = StoreRegistry::get<AuthStore>();
    if (m_auth) {
        connect(m_auth, &AuthStore::userChanged, this, &SettingsModel::accountChanged);
        connect(m_auth, &AuthStore::isGuestModeChanged, this, &SettingsModel::accountChanged);
    }
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player) {
        connect(m_player, &PlayerStore::crossfadeDurationChanged, this, &SettingsModel::crossfadeChanged);
        connect(m_player, &PlayerStore::crossfadeEnabledChanged, this, &SettingsModel::crossfadeChanged);
    }
    m_updates = StoreRegistry::get<OtaUpdateStore>();
    if (m_updates) {
        connect(m_updates, &OtaUpdateStore::availableManifestChanged, this, &SettingsModel::updatesChanged);
        connect(m_updates, &OtaUpdateStore::downloadProgressChanged, this, &SettingsModel::updatesChanged);
        connect(m_updates, &OtaUpdateStore::isDownloadingChanged, this, &SettingsModel::updatesChanged);
    }
}

void SettingsModel::setBaseUrlText(const QString &text)
{
    assignAndNotify(this, m_baseUrlText, text, &SettingsModel::baseUrlTextChanged);
}

QString SettingsModel::documentationHost()
{
    const QString stored = QSettings().value(QLatin1StringView(documentationHostKey)).toString().trimmed();
    return stored.isEmpty() ? QString::fromLatin1(defaultDocumentationHost) : stored;
}

QString SettingsModel::apiHost()
{
    const QString host = ApiConfig::baseUrl().host();
    return host.isEmpty() ? u"—"_s : host;
}

QString SettingsModel::versionLine()
{
    return BuildInfo::versionLine();
}

bool SettingsModel::hasUser() const
{
    return m_auth && m_auth->user();
}

bool SettingsModel::isGuest() const
{
    return m_auth && !m_auth->user() && m_auth->isGuestMode();
}

QString SettingsModel::username() const
{
    return hasUser() ? m_auth->user()->username : QString();
}

QString SettingsModel::userEmail() const
{
    return hasUser() ? m_auth->user()->email.value_or(QString()) : QString();
}

double SettingsModel::crossfadeValue() const
{
    return m_player ? m_player->crossfadeDuration() : 0;
}

QString SettingsModel::crossfadeLabel() const
{
    return crossfadeLabelFor(crossfadeValue());
}

bool SettingsModel::crossfadeLabelPrimary() const
{
    return m_player && m_player->crossfadeEnabled();
}

QString SettingsModel::crossfadeLabelFor(double seconds)
{
    if (!(seconds >= 1))
        return u"Выкл"_s;
    return wholeSecondsText(seconds);
}

bool SettingsModel::hasOffer() const
{
    return m_updates && m_updates->hasAvailableManifest();
}

QString SettingsModel::offeredVersion() const
{
    if (!hasOffer())
        return {};
    return m_updates->availableManifest()->versionName.value_or(u"Новая"_s);
}

QString SettingsModel::releaseNotes() const
{
    return hasOffer() ? m_updates->availableManifest()->releaseNotes.value_or(QString()) : QString();
}

QString SettingsModel::downloadLabel() const
{
    if (!m_updates || !m_updates->isDownloading())
        return u"Скачать и установить"_s;
    return downloadLabelFor(m_updates->downloadProgress());
}

QString SettingsModel::downloadLabelFor(double progress)
{
    if (!(progress >= 0))
        return u"Загрузка…"_s;
    return u"Загрузка "_s + wholePercentText(progress) + u"…"_s;
}

QString SettingsModel::plainHttpRefusal()
{
    return u"Адрес http допустим только для этого компьютера — укажите https"_s;
}

QString SettingsModel::refusalOf(const QUrl &url)
{
    // The password would cross the network unencrypted.
    if (ApiConfig::isPlainHttpElsewhere(url))
        return plainHttpRefusal();
    const QString scheme = url.scheme().toLower();
    if (scheme == "https"_L1 || scheme == "http"_L1)
        return u"Неверный адрес сервера"_s;
    // A file, a script or another protocol was never a service to talk to.
    return u"Адрес сервера должен начинаться с https://"_s;
}

void SettingsModel::setAddressError(const QString &message)
{
    assignAndNotify(this, m_addressError, message, &SettingsModel::addressErrorChanged);
}

void SettingsModel::reloadAddress()
{
    setBaseUrlText(ApiConfig::baseUrl().toString());
    const std::optional<QUrl> refused = ApiConfig::refusedConfiguredAddress();
    setAddressError(refused ? refusalOf(*refused) : QString());
    emit apiHostChanged();
}

void SettingsModel::saveAddress()
{
    const QString text = m_baseUrlText.trimmed();
    if (text.isEmpty())
        return;
    const QUrl url(text);
    if (!ApiConfig::isAcceptedBaseUrl(url)) {
        setAddressError(refusalOf(url));
        return;
    }
    setAddressError(QString());
    const QUrl before = ApiConfig::baseUrl();
    ApiConfig::setBaseUrl(url);
    // A token belongs to the service that issued it: another service (scheme,
    // host or port) is signed in to afresh, or with the token it issued, and
    // no token is sent elsewhere. Only the address in force counts, so
    // another spelling of the same one changes nothing.
    if (!sameOrigin(before, ApiConfig::baseUrl()) && m_auth)
        m_auth->moveToService(ApiConfig::baseUrl());
    emit apiHostChanged();
}

void SettingsModel::signOut()
{
    if (m_auth)
        m_auth->signOut();
}

void SettingsModel::setCrossfade(double seconds)
{
    if (!m_player)
        return;
    m_player->setCrossfadeDuration(seconds);
    m_player->setCrossfadeEnabled(seconds > 0);
}

} // namespace nimbra
