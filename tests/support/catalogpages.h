#pragma once

#include "fakehttpserver.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <functional>
#include <optional>

namespace nimbra::test {

// Builders of the service's catalogue answers, for fakes that serve
// generated pages.

QJsonObject trackJson(
    const QString &id, const QString &title = QStringLiteral("T"), std::optional<QDateTime> createdAt = std::nullopt);
QJsonObject albumJson(const QString &id, std::optional<QDateTime> createdAt = std::nullopt);
// Tracks with the given ids, in order.
QJsonArray tracksJson(const QStringList &ids);
QByteArray trackPageBody(const QJsonArray &items, qint64 total, qint64 page, qint64 size, qint64 pages);
QByteArray clipPageBody(qint64 total);
QByteArray listBody(const QJsonArray &items);
// One playlist record of the listener's, as the service writes it.
QByteArray playlistJson(const QString &id, const QString &title, int count);
FakeResponse jsonResponse(QByteArray body, int status = 200);

// A query item of a recorded request as a number; -1 when it is missing.
int queryNumber(const RecordedRequest &request, const QString &key);

// The track catalogue: the size-1 probe on page 1 reports probePages pages,
// every other request gets the items that page(number, size) gives.
FakeHttpServer::Handler catalogue(qint64 probePages, std::function<QJsonArray(int page, int size)> page);

// What the library's counts ask for: the albums and favourites given, 1234
// tracks, 17 clips and 5 battles.
void serveLibraryCounts(
    FakeHttpServer &server, const QJsonArray &albums, const QJsonArray &favorites, int albumStatus = 200);

// The page numbers of the recorded requests for pages of size 50, in order.
QList<int> drawnPages(const QList<RecordedRequest> &requests);

} // namespace nimbra::test
