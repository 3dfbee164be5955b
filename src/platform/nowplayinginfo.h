#pragma once

#include <QString>
#include <QUrl>

namespace nimbra {

// What the desktop's now-playing panel shows about the current track.
struct NowPlayingInfo
{
    QString trackId;
    QString title;
    QString artist;
    double duration = 1.0; // seconds
    double elapsed = 0; // seconds, as last pushed
    double rate = 0; // 1 while playing, 0 while paused
    QUrl artworkUrl; // a local image file; empty while none is known

    bool operator==(const NowPlayingInfo &other) const = default;
};

} // namespace nimbra
