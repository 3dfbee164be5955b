#include "apiconfig.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace nimbra {

QUrl APIConfig::defaultBaseURL()
{
    static const QUrl url(u"https://api.nimbra.app"_s);
    return url;
}

QUrl APIConfig::baseURL()
{
    const QString stored = QSettings().value(QLatin1StringView(settingsKey)).toString();
    if (stored.isEmpty())
        return defaultBaseURL();
    const QUrl url(stored, QUrl::StrictMode);
    // QUrl lower-cases the scheme it reports; the rule looks at the text as stored.
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? stored.left(colon) : QString();
    if (!url.isValid() || url.scheme().isEmpty() || !scheme.startsWith("http"_L1))
        return defaultBaseURL();
    return url;
}

void APIConfig::setBaseURL(const QUrl &url)
{
    QString text = url.toString(QUrl::FullyEncoded).trimmed();
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    QSettings().setValue(QLatin1StringView(settingsKey), text);
}

std::optional<QUrl> APIConfig::resolve(const QString &path)
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
    const QUrl resolved = baseURL().resolved(reference);
    if (!resolved.isValid())
        return std::nullopt;
    return resolved;
}

} // namespace nimbra
