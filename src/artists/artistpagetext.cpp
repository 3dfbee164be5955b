#include "artists/artistpagetext.h"

#include "api/apiconfig.h"
#include "artists/artistcataloglogic.h"
#include "format/russianplural.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace nimbra::ArtistPageText {

QString shareLink(const QString &name)
{
    const QString host = ApiConfig::defaultBaseUrl().host(QUrl::FullyEncoded);
    if (host.isEmpty())
        return {};
    // Letters, digits and "-._~" stay by default; the rest of what a
    // fragment allows is added here. "#", "%", blanks and every non-ASCII
    // byte are encoded, so the name reads back exactly.
    QByteArray encoded = QUrl::toPercentEncoding(name, "!$&'()*+,;=:@/?");
    if (encoded.isEmpty())
        encoded = name.toUtf8();
    const QString link = u"https://"_s + host + u"#artist:"_s + QString::fromLatin1(encoded);
    return QUrl(link, QUrl::StrictMode).isValid() ? link : QString();
}

QString counts(qsizetype tracks, qsizetype albums)
{
    return russianCount(tracks, CountWord::Track) + u" · "_s + russianCount(albums, CountWord::Album);
}

QString albumsCount(qsizetype albums)
{
    return russianCount(albums, CountWord::Album);
}

QString toggle(qsizetype hidden, bool expanded)
{
    if (expanded)
        return u"Свернуть"_s;
    return u"Ещё "_s + russianCount(hidden, CountWord::Track);
}

QString albumCaption(const AlbumOut &album, int trackCount)
{
    const QString tracks = russianCount(trackCount, CountWord::Track);
    return album.year ? u"%1 · %2"_s.arg(*album.year).arg(tracks) : tracks;
}

QString releaseLine(const ArtistLatestRelease &release)
{
    const std::optional<QString> date = ArtistCatalogLogic::formatRuReleaseDate(release.date);
    return date ? *date + u" — "_s + release.kindLabel : release.kindLabel;
}

} // namespace nimbra::ArtistPageText
