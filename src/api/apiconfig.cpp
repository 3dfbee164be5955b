#include "api/apiconfig.h"

#include "api/runsettings.h"

#include <QHostAddress>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace nimbra {

QUrl ApiConfig::defaultBaseUrl()
{
    static const QUrl url(u"https://api.nimbra.app"_s);
    return url;
}

namespace {

// The address a stored (or given) text stands for, when it is usable: a URL
// whose scheme, as written, begins with "http", and that does not send the
// sign-in unencrypted to another machine.
std::optional<QUrl> usableAddress(const QString &stored)
{
    if (stored.isEmpty())
        return std::nullopt;
    const QUrl url(stored, QUrl::StrictMode);
    // QUrl lower-cases the scheme it reports; the rule looks at the text as stored.
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? stored.left(colon) : QString();
    if (!url.isValid() || url.scheme().isEmpty() || !scheme.startsWith("http"_L1))
        return std::nullopt;
    if (ApiConfig::isPlainHttpElsewhere(url))
        return std::nullopt;
    return url;
}

} // namespace

QUrl ApiConfig::baseUrl()
{
    return usableAddress(RunSettings::value(settingsKey).toString()).value_or(defaultBaseUrl());
}

QUrl ApiConfig::storedBaseUrl()
{
    return usableAddress(QSettings().value(QLatin1StringView(settingsKey)).toString()).value_or(defaultBaseUrl());
}

std::optional<QUrl> ApiConfig::refusedConfiguredAddress()
{
    const QString configured = RunSettings::value(settingsKey).toString();
    if (configured.isEmpty() || usableAddress(configured))
        return std::nullopt;
    return QUrl(configured, QUrl::StrictMode);
}

bool ApiConfig::isAllowedAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == "https"_L1)
        return true;
    if (scheme != "http"_L1)
        return false;
    const QString host = url.host();
    return host.compare("localhost"_L1, Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

bool ApiConfig::isPlainHttpElsewhere(const QUrl &url)
{
    // Without a host there is nowhere to send anything: that is another fault.
    return url.scheme().compare("http"_L1, Qt::CaseInsensitive) == 0 && !url.host().isEmpty()
        && !isAllowedAddress(url);
}

namespace {

// White space that slipped into a URL reaches its text percent-encoded, so
// the encoded forms count as white space at the ends as well.
QString trimmedUrlText(QString text)
{
    static const QLatin1StringView encodedSpaces[] = {"%20"_L1, "%09"_L1, "%0A"_L1, "%0B"_L1, "%0C"_L1, "%0D"_L1};
    for (bool changed = true; changed;) {
        text = text.trimmed();
        changed = false;
        for (const auto escape : encodedSpaces) {
            if (text.endsWith(escape, Qt::CaseInsensitive)) {
                text.chop(escape.size());
                changed = true;
            }
        }
    }
    return text;
}

QString normalisedText(const QUrl &url)
{
    QString text = trimmedUrlText(url.toString(QUrl::FullyEncoded));
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return text;
}

} // namespace

bool ApiConfig::isAcceptedBaseUrl(const QUrl &url)
{
    // A scheme such as "httpx" reads back as an address, but is none that
    // the client may talk to.
    return isAllowedAddress(url) && usableAddress(normalisedText(url)).has_value();
}

void ApiConfig::setBaseUrl(const QUrl &url)
{
    QSettings().setValue(QLatin1StringView(settingsKey), normalisedText(url));
    // An address chosen in the settings is the one in force from now on.
    RunSettings::clear(settingsKey);
}

void ApiConfig::setRunBaseUrl(const QUrl &url)
{
    RunSettings::set(settingsKey, normalisedText(url));
}

std::optional<QUrl> ApiConfig::resolve(const QString &path)
{
    if (path.startsWith("http://"_L1) || path.startsWith("https://"_L1)) {
        const QUrl url(path);
        if (!url.isValid())
            return std::nullopt;
        return url;
    }
    const QString relative = path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
    const QUrl reference(relative);
    if (!reference.isValid())
        return std::nullopt;
    const QUrl resolved = baseUrl().resolved(reference);
    if (!resolved.isValid())
        return std::nullopt;
    return resolved;
}

QString ApiConfig::resolvedText(const std::optional<QString> &path)
{
    const std::optional<QUrl> url = path ? resolve(*path) : std::nullopt;
    return url ? url->toString() : QString();
}

} // namespace nimbra
