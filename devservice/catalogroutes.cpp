#include "catalogroutes.h"

#include "httputil.h"
#include "recordjson.h"

#include <httplib.h>

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

// Caps keep a one-letter query from answering with most of a large catalogue.
constexpr int kSearchTrackLimit = 50;
constexpr int kSearchAlbumLimit = 20;
constexpr int kMaxPageSize = 1000;
constexpr int kMaxPage = 1000000;

} // namespace

bool CatalogRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const QStringList s = pathSegments(req);
    if (s.size() < 3 || s[0] != "api"_L1 || s[1] != "v1"_L1)
        return false;
    const QString &name = s[2];
    if (s.size() == 3 && name == "tracks"_L1) {
        if (requireMethod(req, res, "GET"))
            trackPage(req, res);
    } else if (s.size() == 4 && name == "tracks"_L1) {
        if (requireMethod(req, res, "GET"))
            track(req, res, s[3]);
    } else if (s.size() == 3 && name == "search"_L1) {
        if (requireMethod(req, res, "GET"))
            search(req, res);
    } else if (s.size() == 3 && name == "albums"_L1) {
        if (requireMethod(req, res, "GET"))
            albums(res);
    } else if (s.size() == 5 && name == "albums"_L1 && s[4] == "tracks"_L1) {
        if (requireMethod(req, res, "GET"))
            albumTracks(req, res, s[3]);
    } else if (s.size() == 3 && name == "clips"_L1) {
        if (requireMethod(req, res, "GET"))
            clipPage(req, res, queryValue(req, "kind"));
    } else if (s.size() == 3 && name == "battles"_L1) {
        if (requireMethod(req, res, "GET"))
            clipPage(req, res, u"battle"_s);
    } else if (s.size() == 4 && name == "catalog"_L1 && s[3] == "featured-artist-names"_L1) {
        if (requireMethod(req, res, "GET"))
            sendJson(res, 200,
                QJsonObject {{u"names"_s, QJsonArray::fromStringList(m_backend.catalogue.featuredArtistNames())}});
    } else {
        return false;
    }
    return true;
}

void CatalogRoutes::trackPage(const httplib::Request &req, httplib::Response &res)
{
    QList<ValidationIssue> issues;
    const int page = queryInt(req, "page", 1, 1, kMaxPage, issues);
    const int size = queryInt(req, "size", 20, 1, kMaxPageSize, issues);
    bool brief = false;
    if (const auto text = queryValue(req, "brief")) {
        const QString flag = text->toLower();
        if (flag == "true"_L1 || flag == "1"_L1 || flag == "yes"_L1 || flag == "on"_L1)
            brief = true;
        else if (flag != "false"_L1 && flag != "0"_L1 && flag != "no"_L1 && flag != "off"_L1)
            issues.append({{u"query"_s, u"brief"_s}, u"Ожидается логическое значение"_s, u"bool_parsing"_s});
    }
    if (!issues.isEmpty())
        return sendValidation(res, issues);

    const Catalogue &catalogue = m_backend.catalogue;
    const UserView view = m_backend.optionalView(req);
    const qint64 first = qint64(page - 1) * size;
    const qint64 end = qMin<qint64>(first + size, catalogue.trackCount());
    QJsonArray items;
    const auto detail = brief ? recordjson::TrackDetail::Brief : recordjson::TrackDetail::Full;
    for (qint64 i = first; i < end; ++i)
        items.append(recordjson::track(catalogue, int(i), view, detail));
    sendJson(res, 200, recordjson::page(items, catalogue.trackCount(), page, size));
}

void CatalogRoutes::track(const httplib::Request &req, httplib::Response &res, const QString &id)
{
    const auto index = m_backend.catalogue.trackIndex(id);
    if (!index)
        return sendDetail(res, 404, u"Трек не найден"_s);
    sendJson(res, 200,
        recordjson::track(m_backend.catalogue, *index, m_backend.optionalView(req), recordjson::TrackDetail::Full));
}

void CatalogRoutes::search(const httplib::Request &req, httplib::Response &res)
{
    const auto q = queryValue(req, "q");
    if (!q)
        return sendValidation(res, {{{u"query"_s, u"q"_s}, u"Поле обязательно"_s, u"missing"_s}});
    const QString needle = q->trimmed();
    const Catalogue &catalogue = m_backend.catalogue;
    const UserView view = m_backend.optionalView(req);
    QJsonArray tracks;
    QJsonArray albums;
    if (!needle.isEmpty()) {
        for (int i = 0; i < catalogue.trackCount() && tracks.size() < kSearchTrackLimit; ++i) {
            const TrackRecord &t = catalogue.track(i);
            if (t.title.contains(needle, Qt::CaseInsensitive) || t.artist.contains(needle, Qt::CaseInsensitive))
                tracks.append(recordjson::track(catalogue, i, view, recordjson::TrackDetail::Full));
        }
        for (int a = 0; a < catalogue.albumCount() && albums.size() < kSearchAlbumLimit; ++a) {
            const AlbumRecord &album = catalogue.album(a);
            if (album.title.contains(needle, Qt::CaseInsensitive) || album.artist.contains(needle, Qt::CaseInsensitive))
                albums.append(recordjson::album(catalogue, a));
        }
    }
    sendJson(res, 200, QJsonObject {{u"tracks"_s, tracks}, {u"albums"_s, albums}});
}

void CatalogRoutes::albums(httplib::Response &res)
{
    QJsonArray list;
    for (int a = 0; a < m_backend.catalogue.albumCount(); ++a)
        list.append(recordjson::album(m_backend.catalogue, a));
    sendJson(res, 200, list);
}

void CatalogRoutes::albumTracks(const httplib::Request &req, httplib::Response &res, const QString &id)
{
    const Catalogue &catalogue = m_backend.catalogue;
    const auto index = catalogue.albumIndex(id);
    if (!index)
        return sendDetail(res, 404, u"Альбом не найден"_s);
    const UserView view = m_backend.optionalView(req);
    const AlbumRecord &album = catalogue.album(*index);
    QJsonArray list;
    for (int i = album.firstTrack; i < album.firstTrack + album.trackCount; ++i)
        list.append(recordjson::track(catalogue, i, view, recordjson::TrackDetail::Full));
    sendJson(res, 200, list);
}

void CatalogRoutes::clipPage(const httplib::Request &req, httplib::Response &res, const std::optional<QString> &kind)
{
    QList<ValidationIssue> issues;
    const int page = queryInt(req, "page", 1, 1, kMaxPage, issues);
    const int size = queryInt(req, "size", 20, 1, kMaxPageSize, issues);
    if (!issues.isEmpty())
        return sendValidation(res, issues);
    QList<const ClipRecord *> matching;
    for (const ClipRecord &clip : m_backend.catalogue.clips()) {
        if (!kind || clip.kind == *kind)
            matching.append(&clip);
    }
    QJsonArray items;
    const qint64 first = qint64(page - 1) * size;
    for (qint64 i = first; i < qMin<qint64>(first + size, matching.size()); ++i)
        items.append(recordjson::clip(*matching.at(i)));
    sendJson(res, 200, recordjson::page(items, int(matching.size()), page, size));
}

} // namespace devservice
