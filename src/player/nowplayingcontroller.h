#pragma once

#include "api/canceltoken.h"
#include "api/trackout.h"
#include "platform/nowplayinginfo.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>
#include <optional>

namespace nimbra {

class MprisService;

// The bridge between the player and the desktop: it keeps what the
// now-playing panel shows, fetches the cover once per change of cover, and
// turns the media keys and the panel's controls into the callbacks below.
// The desktop side is MPRIS on the session bus; without a bus the
// controller keeps its state all the same. Main thread only.
class NowPlayingController : public QObject
{
    Q_OBJECT
public:
    enum class Desktop { SessionBus, None };

    explicit NowPlayingController(QObject *parent = nullptr);
    explicit NowPlayingController(Desktop desktop, QObject *parent = nullptr);
    ~NowPlayingController() override;

    // Commands from the desktop. Each runs from the event loop after the
    // desktop's request has been answered, and only while the controller lives.
    std::function<void()> onPlay;
    std::function<void()> onPause;
    std::function<void()> onTogglePlayPause;
    std::function<void()> onNext;
    std::function<void()> onPrevious;
    std::function<void(double seconds)> onSeek;

    // The whole state; no track empties the panel. A duration of 1 s or
    // less (not known yet) shows as 1 s.
    void update(std::optional<TrackOut> track, double elapsed, double duration, bool isPlaying, bool canSkip);
    // The player's periodic tick: position, rate and, when known, duration.
    void updateElapsed(double elapsed, double duration, bool isPlaying);

    // What the panel shows; absent while it is empty.
    const std::optional<NowPlayingInfo> &info() const { return m_info; }
    // Next and previous are offered only while skipping is possible.
    bool canSkip() const { return m_canSkip; }
    // The cover last asked for, fetched or not.
    std::optional<QUrl> lastArtworkUrl() const { return m_lastArtworkUrl; }
    bool isLoadingArtwork() const { return m_artworkTask.isRunning(); }
    // Null without a session bus.
    MprisService *mpris() const { return m_mpris; }

    // Where fetched covers are kept as PNG files for the desktop to read.
    static QString artworkFolder();
    // The most covers kept there; older ones are removed.
    static constexpr int keptArtworkFiles = 16;

private:
    void publish();
    void loadArtworkIfNeeded(const std::optional<QUrl> &cover);
    QCoro::Task<> loadArtwork(QUrl url, CancelToken token);

    MprisService *m_mpris = nullptr;
    std::optional<NowPlayingInfo> m_info;
    bool m_canSkip = false;
    TaskSlot m_artworkTask;
    std::optional<QUrl> m_lastArtworkUrl;
    // Covers the image host refused (4xx): not asked for again while the
    // program runs.
    QSet<QUrl> m_refusedArtwork;
};

} // namespace nimbra
