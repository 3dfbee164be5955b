#include "mediaroutes.h"

#include "httputil.h"
#include "mediagen.h"

#include <httplib.h>

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

constexpr size_t kChunkBytes = 256 * 1024;

struct ByteRange
{
    qint64 first = 0;
    qint64 last = 0; // inclusive
};

enum class RangeAnswer { Whole, Part, Unsatisfiable };

RangeAnswer parseRange(const std::string &header, qint64 size, ByteRange &range)
{
    static const QRegularExpression pattern(uR"(^\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*$)"_s);
    const auto m = pattern.match(QString::fromStdString(header));
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(2).isEmpty()))
        return RangeAnswer::Whole;
    bool ok = true;
    if (m.captured(1).isEmpty()) {
        const qint64 suffix = m.captured(2).toLongLong(&ok);
        if (!ok || suffix == 0)
            return ok ? RangeAnswer::Unsatisfiable : RangeAnswer::Whole;
        range = {qMax<qint64>(0, size - suffix), size - 1};
        return size > 0 ? RangeAnswer::Part : RangeAnswer::Unsatisfiable;
    }
    range.first = m.captured(1).toLongLong(&ok);
    if (!ok)
        return RangeAnswer::Whole;
    range.last = m.captured(2).isEmpty() ? size - 1 : m.captured(2).toLongLong(&ok);
    if (!ok || (!m.captured(2).isEmpty() && range.last < range.first))
        return RangeAnswer::Whole;
    if (range.first >= size)
        return RangeAnswer::Unsatisfiable;
    range.last = qMin(range.last, size - 1);
    return RangeAnswer::Part;
}

} // namespace

void serveBytes(const httplib::Request &req, httplib::Response &res, const QByteArray &data, const char *contentType)
{
    const qint64 size = data.size();
    ByteRange range {0, size - 1};
    RangeAnswer answer = RangeAnswer::Whole;
    if (req.has_header("Range"))
        answer = parseRange(req.get_header_value("Range"), size, range);
    res.set_header("Accept-Ranges", "bytes");
    if (answer == RangeAnswer::Unsatisfiable) {
        res.status = 416;
        res.set_header("Content-Range", "bytes */" + std::to_string(size));
        res.set_content("", contentType);
        return;
    }
    if (answer == RangeAnswer::Part) {
        res.status = 206;
        res.set_header("Content-Range",
            "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" + std::to_string(size));
    } else {
        res.status = 200;
        range = {0, size - 1};
    }
    const qint64 length = range.last - range.first + 1;
    if (length <= 0) {
        res.set_content("", contentType);
        return;
    }
    // The provider writes from the shared buffer, so a large file is never
    // copied into the response.
    const qint64 start = range.first;
    res.set_content_provider(
        size_t(length), contentType,
        [data, start](size_t offset, size_t remaining, httplib::DataSink &sink) {
            const size_t chunk = qMin(remaining, kChunkBytes);
            return sink.write(data.constData() + start + qint64(offset), chunk);
        },
        nullptr);
}

MediaRoutes::MediaRoutes(const Catalogue &catalogue) : m_catalogue(catalogue), m_audio(4), m_images(64) { }

bool MediaRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const QStringList s = pathSegments(req);
    if (s.size() != 3 || s[0] != "media"_L1)
        return false;
    const QString &folder = s[1];
    const QString &file = s[2];
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const QString id = dot < 0 ? file : file.left(dot);
    const QString extension = dot < 0 ? QString() : file.mid(dot + 1);
    const QString key = folder + QLatin1Char('/') + file;

    if (folder == "tracks"_L1) {
        const auto index = m_catalogue.trackIndex(id);
        if (!index || u"media/"_s + key != m_catalogue.trackFileUrl(*index))
            return false;
        if (!requireMethod(req, res, "GET"))
            return true;
        const TrackRecord &track = m_catalogue.track(*index);
        const quint64 seed = m_catalogue.mediaSeed(id);
        const QByteArray data = m_audio.get(key, [&] {
            return track.flac ? renderFlac(seed, track.durationSeconds) : renderWav(seed, track.durationSeconds);
        });
        serveBytes(req, res, data, track.flac ? "audio/flac" : "audio/wav");
        return true;
    }

    static const QRegularExpression userId(u"^u\\d+$"_s);
    const bool cover = folder == "covers"_L1 && m_catalogue.hasCover(id);
    const bool avatar = folder == "avatars"_L1 && userId.match(id).hasMatch();
    if (extension != "png"_L1 || (!cover && !avatar))
        return false;
    if (!requireMethod(req, res, "GET"))
        return true;
    const quint64 seed = m_catalogue.mediaSeed(id);
    serveBytes(req, res, m_images.get(key, [&] { return renderCoverPng(seed, kCoverSize); }), "image/png");
    return true;
}

} // namespace devservice
