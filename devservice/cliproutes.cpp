#include "cliproutes.h"

#include "httputil.h"
#include "mediaroutes.h"
#include "videogen.h"

#include <httplib.h>

using namespace Qt::StringLiterals;

namespace devservice {

ClipRoutes::ClipRoutes(const Catalogue &catalogue) : m_catalogue(catalogue), m_videos(8), m_posters(64) { }

QString ClipRoutes::label(const ClipRecord &clip)
{
    const QString number = QString::number(clip.id.mid(1).toInt());
    return (clip.kind == "battle"_L1 ? u"Баттл "_s : u"Клип "_s) + number;
}

bool ClipRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const QStringList s = pathSegments(req);
    if (s.size() != 3 || s[0] != "media"_L1)
        return false;
    const QString key = s[1] + QLatin1Char('/') + s[2];
    const QString path = u"media/"_s + key;
    const qsizetype dot = s[2].lastIndexOf(QLatin1Char('.'));
    const ClipRecord *clip = m_catalogue.clip(dot < 0 ? s[2] : s[2].left(dot));
    if (!clip)
        return false;

    if (path == clip->fileUrl()) {
        if (clip->fileMissing)
            return false;
        if (!requireMethod(req, res, "GET"))
            return true;
        const quint64 seed = m_catalogue.mediaSeed(clip->id);
        const QByteArray data
            = m_videos.get(key, [&] { return renderClipAvi(seed, label(*clip), clip->durationSeconds); });
        serveBytes(req, res, data, "video/x-msvideo");
        return true;
    }
    if (path == clip->coverUrl()) {
        if (!requireMethod(req, res, "GET"))
            return true;
        const quint64 seed = m_catalogue.mediaSeed(clip->id);
        serveBytes(req, res, m_posters.get(key, [&] { return renderClipPosterPng(seed, label(*clip), kPosterSize); }),
            "image/png");
        return true;
    }
    return false;
}

} // namespace devservice
