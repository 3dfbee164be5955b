#include "artists/artistpagetext.h"

#include "api/apiconfig.h"
#include "artists/artistcataloglogic.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace nimbra::ArtistPageText {

QString shareLink(const QString &name)
{
    const QString host = APIConfig::defaultBaseURL().host(QUrl::FullyEncoded);
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
    return u"%1 треков · %2 альбомов"_s.arg(tracks).arg(albums);
}

QString albumsCount(qsizetype albums)
{
    return u"%1 альбомов"_s.arg(albums);
}

QString tracksWord(qint64 n)
{
    const qint64 m = n < 0 ? -n : n;
    if (m % 100 >= 11 && m % 100 <= 14)
        return u"треков"_s;
    switch (m % 10) {
    case 1:
        return u"трек"_s;
    case 2:
    case 3:
    case 4:
        return u"трека"_s;
    default:
        return u"треков"_s;
    }
}

QString toggle(qsizetype hidden, bool expanded)
{
    if (expanded)
        return u"Свернуть"_s;
    return u"Ещё %1 %2"_s.arg(hidden).arg(tracksWord(hidden));
}

QString albumCaption(const AlbumOut &album, int trackCount)
{
    const QString tracks = u"%1 треков"_s.arg(trackCount);
    return album.year ? u"%1 · %2"_s.arg(*album.year).arg(tracks) : tracks;
}

QString releaseLine(const ArtistLatestRelease &release)
{
    const std::optional<QString> date = ArtistCatalogLogic::formatRuReleaseDate(release.date);
    return date ? *date + u" — "_s + release.kindLabel : release.kindLabel;
}

} // namespace nimbra::ArtistPageText
