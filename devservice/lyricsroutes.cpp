#include "lyricsroutes.h"

#include "httputil.h"

#include <httplib.h>

#include <QJsonArray>

#include <cmath>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

constexpr int kSearchLimit = 20;
// The real service accepts a duration this close to the one it stores.
constexpr double kDurationTolerance = 2.0;

bool sameText(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

void sendError(httplib::Response &res, int status, const QString &name, const QString &message)
{
    sendJson(res, status, QJsonObject {{u"code"_s, status}, {u"name"_s, name}, {u"message"_s, message}});
}

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonObject record(const Catalogue &catalogue, int index)
{
    const TrackRecord &t = catalogue.track(index);
    const bool instrumental = t.lyrics == LyricsSource::ServiceInstrumental;
    return {
        {u"id"_s, index + 1},
        {u"trackName"_s, t.title},
        {u"artistName"_s, t.artist},
        {u"albumName"_s, t.albumIndex < 0 ? QJsonValue(QJsonValue::Null) : catalogue.album(t.albumIndex).title},
        {u"duration"_s, double(catalogue.serviceDurationSeconds(index))},
        {u"instrumental"_s, instrumental},
        {u"plainLyrics"_s, textOrNull(catalogue.servicePlainLyrics(index))},
        {u"syncedLyrics"_s, textOrNull(catalogue.serviceSyncedLyrics(index))},
    };
}

} // namespace

bool LyricsRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    if (req.path == "/api/get") {
        if (requireMethod(req, res, "GET"))
            get(req, res);
        return true;
    }
    if (req.path == "/api/search") {
        if (requireMethod(req, res, "GET"))
            search(req, res);
        return true;
    }
    return false;
}

bool LyricsRoutes::known(int index) const
{
    switch (m_catalogue.track(index).lyrics) {
    case LyricsSource::ServiceSynced:
    case LyricsSource::ServicePlain:
    case LyricsSource::ServiceInstrumental:
    case LyricsSource::ServiceSearchOnly:
        return true;
    default:
        return false;
    }
}

void LyricsRoutes::get(const httplib::Request &req, httplib::Response &res)
{
    const auto trackName = queryValue(req, "track_name");
    const auto artistName = queryValue(req, "artist_name");
    if (!trackName || !artistName)
        return sendError(res, 400, u"BadRequest"_s, u"track_name and artist_name are required"_s);
    std::optional<double> duration;
    if (const auto text = queryValue(req, "duration")) {
        bool ok = false;
        duration = text->toDouble(&ok);
        if (!ok)
            return sendError(res, 400, u"BadRequest"_s, u"duration must be a number"_s);
    }
    for (int i = 0; i < m_catalogue.trackCount(); ++i) {
        if (!known(i))
            continue;
        const TrackRecord &t = m_catalogue.track(i);
        if (!sameText(t.title, *trackName) || !sameText(t.artist, *artistName))
            continue;
        if (duration && std::abs(m_catalogue.serviceDurationSeconds(i) - *duration) > kDurationTolerance)
            continue;
        return sendJson(res, 200, record(m_catalogue, i));
    }
    sendError(res, 404, u"TrackNotFound"_s, u"Failed to find specified track"_s);
}

void LyricsRoutes::search(const httplib::Request &req, httplib::Response &res)
{
    const auto trackName = queryValue(req, "track_name");
    if (!trackName || trackName->trimmed().isEmpty())
        return sendError(res, 400, u"BadRequest"_s, u"track_name is required"_s);
    const auto artistName = queryValue(req, "artist_name");
    QJsonArray list;
    for (int i = 0; i < m_catalogue.trackCount() && list.size() < kSearchLimit; ++i) {
        if (!known(i))
            continue;
        const TrackRecord &t = m_catalogue.track(i);
        if (sameText(t.title, *trackName) && (!artistName || sameText(t.artist, *artistName)))
            list.append(record(m_catalogue, i));
    }
    sendJson(res, 200, list);
}

} // namespace devservice
