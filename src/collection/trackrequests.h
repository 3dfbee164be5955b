#pragma once

#include "api/canceltoken.h"

#include <QSet>
#include <QString>

#include <optional>

namespace nimbra {

// The requests a store sends about single tracks within one session: one
// at a time per track, so that a second tap while the first request runs
// sends nothing, and all of them dropped when the session ends, so that an
// answer for the former listener changes nothing the next one sees.
class TrackRequests
{
public:
    // The cancellation for a new request (the lifetime of the session it
    // is sent in), or none while one for the track is on its way.
    std::optional<CancelToken> begin(const QString &trackId, const CancelToken &session)
    {
        if (m_pending.contains(trackId))
            return std::nullopt;
        m_pending.insert(trackId);
        return session;
    }

    // The request was answered; false when its session ended meanwhile and
    // the answer belongs to nobody.
    bool finish(const QString &trackId, const CancelToken &session)
    {
        if (session.isCancelled())
            return false;
        m_pending.remove(trackId);
        return true;
    }

    // The session's requests were cancelled with it; its taps count no more.
    void endSession() { m_pending.clear(); }

private:
    QSet<QString> m_pending;
};

} // namespace nimbra
