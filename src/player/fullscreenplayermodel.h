#pragma once

#include "api/canceltoken.h"
#include "api/trackout.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <QCoro/QCoroTask>

#include <functional>

namespace nimbra {

class PlayerStore;

// The fullscreen player's own state: cover or lyrics mode and the offline
// alert. It opens on the lyrics when the opener asked for them (the request
// is used up once), returns to the cover on every new track, and Esc steps
// back from the lyrics to the cover and from the cover out of the player.
// When it opens and on every new track it asks the service for the track's
// full record (lyrics, rating) and hands it to the player, which keeps it
// only while that track is current. Made afresh with each presentation.
class FullscreenPlayerModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool lyricsMode READ lyricsMode NOTIFY lyricsModeChanged)
    // Lyrics mode with lyrics to show; without them the cover stays while
    // the bars already show lyrics mode.
    Q_PROPERTY(bool showsLyricsPanel READ showsLyricsPanel NOTIFY lyricsModeChanged)
    // The "Офлайн" alert's message while it is to be shown.
    Q_PROPERTY(QString cacheAlert READ cacheAlert NOTIFY cacheAlertChanged)

public:
    // The full record of a track; throws when it cannot be had.
    using DetailSource = std::function<QCoro::Task<TrackOut>(QString trackId, CancelToken cancel)>;

    // Asks the service, with the registered session's token.
    explicit FullscreenPlayerModel(QObject *parent = nullptr);
    // Asks source instead (an empty one: nothing is fetched).
    explicit FullscreenPlayerModel(DetailSource source, QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }

    bool lyricsMode() const { return m_lyricsMode; }
    bool showsLyricsPanel() const;
    QString cacheAlert() const { return m_cacheAlert; }

    Q_INVOKABLE void showLyrics() { setLyricsMode(true); }
    Q_INVOKABLE void showCover() { setLyricsMode(false); }
    // Lyrics go back to the cover; the cover closes the player.
    Q_INVOKABLE void goBack();
    Q_INVOKABLE void dismissCacheAlert();

signals:
    void lyricsModeChanged();
    void cacheAlertChanged();

private:
    void setLyricsMode(bool on);
    void takeLyricsRequest();
    void trackChanged();
    void takeCacheMessage();
    void loadDetails();
    QCoro::Task<void> fetchDetails(TrackOut track, CancelToken cancel);

    QPointer<PlayerStore> m_player;
    bool m_lyricsMode = false;
    QString m_trackId;
    QString m_cacheAlert;
    DetailSource m_detailSource;
    TaskSlot m_detailTask;
};

} // namespace nimbra
