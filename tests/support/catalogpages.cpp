#include "catalogpages.h"

#include "recordcodingcases.h"

#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace nimbra::test {

QJsonObject trackJson(const QString &id, const QString &title, std::optional<QDateTime> createdAt)
{
    QJsonObject o {{"id"_L1, id}, {"title"_L1, title}, {"artist"_L1, u"Artist "_s + id}, {"duration_seconds"_L1, 120},
        {"file_url"_L1, u"/media/"_s + id + u".mp3"_s}, {"cover_url"_L1, u"/covers/"_s + id + u".png"_s},
        {"is_favorite"_L1, false}};
    if (createdAt)
        o.insert("created_at"_L1, createdAt->toUTC().toString(Qt::ISODateWithMs));
    return o;
}

QJsonObject albumJson(const QString &id, std::optional<QDateTime> createdAt)
{
    QJsonObject o {{"id"_L1, id}, {"title"_L1, u"Album "_s + id}, {"artist"_L1, u"Band "_s + id}};
    if (createdAt)
        o.insert("created_at"_L1, createdAt->toUTC().toString(Qt::ISODateWithMs));
    return o;
}

QJsonArray tracksJson(const QStringList &ids)
{
    QJsonArray items;
    for (const QString &id : ids)
        items.append(trackJson(id));
    return items;
}

QByteArray trackPageBody(const QJsonArray &items, qint64 total, qint64 page, qint64 size, qint64 pages)
{
    return jsonBytes(QJsonObject {
        {"items"_L1, items}, {"total"_L1, total}, {"page"_L1, page}, {"size"_L1, size}, {"pages"_L1, pages}});
}

QByteArray clipPageBody(qint64 total)
{
    return jsonBytes(QJsonObject {{"items"_L1, QJsonArray()}, {"total"_L1, total}});
}

QByteArray playlistJson(const QString &id, const QString &title, int count)
{
    return QJsonDocument(QJsonObject {{QStringLiteral("id"), id}, {QStringLiteral("title"), title},
                             {QStringLiteral("is_public"), false}, {QStringLiteral("track_count"), count}})
        .toJson(QJsonDocument::Compact);
}

QByteArray listBody(const QJsonArray &items)
{
    return jsonBytes(items);
}

FakeResponse jsonResponse(QByteArray body, int status)
{
    return FakeResponse {status, std::move(body), "application/json"};
}

int queryNumber(const RecordedRequest &request, const QString &key)
{
    for (const auto &[name, value] : request.queryItems) {
        if (name == key)
            return value.toInt();
    }
    return -1;
}

FakeHttpServer::Handler catalogue(qint64 probePages, std::function<QJsonArray(int page, int size)> page)
{
    return [probePages, page](const RecordedRequest &r) {
        const int number = queryNumber(r, u"page"_s);
        const int size = queryNumber(r, u"size"_s);
        if (number == 1 && size == 1)
            return jsonResponse(trackPageBody(tracksJson({u"probe"_s}), probePages, 1, 1, probePages));
        return jsonResponse(trackPageBody(page(number, size), probePages, number, size, probePages));
    };
}

QList<int> drawnPages(const QList<RecordedRequest> &requests)
{
    QList<int> pages;
    for (const RecordedRequest &r : requests) {
        if (r.path == "/api/v1/tracks"_L1 && queryNumber(r, u"size"_s) == 50)
            pages.append(queryNumber(r, u"page"_s));
    }
    return pages;
}

void serveLibraryCounts(FakeHttpServer &server, const QJsonArray &albums, const QJsonArray &favorites, int albumStatus)
{
    server.on(QStringLiteral("GET"), QStringLiteral("/api/v1/albums"), jsonResponse(listBody(albums), albumStatus));
    server.on(QStringLiteral("GET"), QStringLiteral("/api/v1/tracks"),
        jsonResponse(trackPageBody(tracksJson({QStringLiteral("t1")}), 1234, 1, 1, 1234)));
    server.on(QStringLiteral("GET"), QStringLiteral("/api/v1/clips"), jsonResponse(clipPageBody(17)));
    server.on(QStringLiteral("GET"), QStringLiteral("/api/v1/battles"), jsonResponse(clipPageBody(5)));
    server.on(QStringLiteral("GET"), QStringLiteral("/api/v1/favorites"), jsonResponse(listBody(favorites)));
}

} // namespace nimbra::test
