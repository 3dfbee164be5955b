#include "api/catalogrecords.h"

#include "api/apiconfig.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {
template<typename T> QJsonArray toArray(const QList<T> &items)
{
    QJsonArray a;
    for (const T &item : items)
        a.append(item.toJson());
    return a;
}
} // namespace

AlbumOut AlbumOut::fromJson(const JsonReader &r)
{
    AlbumOut a;
    a.id = r.string("id"_L1);
    a.title = r.shownString("title"_L1);
    a.artist = r.shownString("artist"_L1);
    a.year = r.optInteger("year"_L1);
    a.coverUrl = r.optString("cover_url"_L1);
    a.createdAt = r.optDate("created_at"_L1);
    return a;
}

QJsonObject AlbumOut::toJson() const
{
    QJsonObject o {{"id"_L1, id}, {"title"_L1, title}, {"artist"_L1, artist}};
    putOptional(o, "year"_L1, year);
    putOptional(o, "cover_url"_L1, coverUrl);
    putOptional(o, "created_at"_L1, createdAt);
    return o;
}

ClipOut ClipOut::fromJson(const JsonReader &r)
{
    ClipOut c;
    c.id = r.string("id"_L1);
    c.title = r.shownString("title"_L1);
    c.artist = r.shownString("artist"_L1);
    c.durationSeconds = r.integer("duration_seconds"_L1);
    c.fileUrl = r.string("file_url"_L1);
    c.coverUrl = r.optString("cover_url"_L1);
    c.kind = r.string("kind"_L1);
    c.isFavorite = r.boolean("is_favorite"_L1);
    return c;
}

QJsonObject ClipOut::toJson() const
{
    QJsonObject o {{"id"_L1, id}, {"title"_L1, title}, {"artist"_L1, artist}, {"duration_seconds"_L1, durationSeconds},
        {"file_url"_L1, fileUrl}, {"kind"_L1, kind}, {"is_favorite"_L1, isFavorite}};
    putOptional(o, "cover_url"_L1, coverUrl);
    return o;
}

TrackPage TrackPage::fromJson(const JsonReader &r)
{
    TrackPage p;
    p.items = r.list<TrackOut>("items"_L1);
    p.total = r.integer("total"_L1);
    p.page = r.integer("page"_L1);
    p.size = r.integer("size"_L1);
    p.pages = r.integer("pages"_L1);
    return p;
}

QJsonObject TrackPage::toJson() const
{
    return QJsonObject {
        {"items"_L1, toArray(items)}, {"total"_L1, total}, {"page"_L1, page}, {"size"_L1, size}, {"pages"_L1, pages}};
}

ClipPage ClipPage::fromJson(const JsonReader &r)
{
    ClipPage p;
    p.items = r.list<ClipOut>("items"_L1);
    p.total = r.integer("total"_L1);
    p.page = r.optInteger("page"_L1);
    p.size = r.optInteger("size"_L1);
    p.pages = r.optInteger("pages"_L1);
    return p;
}

QJsonObject ClipPage::toJson() const
{
    QJsonObject o {{"items"_L1, toArray(items)}, {"total"_L1, total}};
    putOptional(o, "page"_L1, page);
    putOptional(o, "size"_L1, size);
    putOptional(o, "pages"_L1, pages);
    return o;
}

size_t qHash(const ClipOut &c, size_t seed)
{
    return qHashMulti(seed, c.id, c.title, c.artist, c.durationSeconds, c.fileUrl, c.coverUrl.value_or(QString()),
        c.kind, c.isFavorite);
}

SearchResults SearchResults::fromJson(const JsonReader &r)
{
    SearchResults s;
    s.tracks = r.list<TrackOut>("tracks"_L1);
    s.albums = r.list<AlbumOut>("albums"_L1);
    return s;
}

QJsonObject SearchResults::toJson() const
{
    return QJsonObject {{"tracks"_L1, toArray(tracks)}, {"albums"_L1, toArray(albums)}};
}

size_t qHash(const HomeReleaseItem &item, size_t seed)
{
    const size_t target = std::visit([](const auto &record) { return qHash(record); }, item.target);
    return qHashMulti(seed, item.id, item.title, item.artistLine, item.coverUrl.value_or(QString()), item.subtitle,
        item.target.index(), target);
}

QString AlbumOut::coverAddress() const
{
    return ApiConfig::resolvedText(coverUrl);
}

} // namespace nimbra
