#include "api/apiconfig.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace nimbra {

QUrl ApiConfig::defaultBaseUrl()
{
    static const QUrl url(u"https://api.nimbra.app"_s);
    return url;
}

QUrl ApiConfig::baseUrl()
{
    const QString stored = QSettings().value(QLatin1StringView(settingsKey)).toString();
    if (stored.isEmpty())
        return defaultBaseUrl();
    const QUrl url(stored, QUrl::StrictMode);
    // QUrl lower-cases the scheme it reports; the rule looks at the text as stored.
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? stored.left(colon) : QString();
    if (!url.isValid() || url.scheme().isEmpty() || !scheme.startsWith("http"_L1))
        return defaultBaseUrl();
    return url;
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

} // namespace

void ApiConfig::setBaseUrl(const QUrl &url)
{
    QString text = trimmedUrlText(url.toString(QUrl::FullyEncoded));
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    QSettings().setValue(QLatin1StringView(settingsKey), text);
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
