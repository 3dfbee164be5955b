#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

class PlayerStore;

// The fullscreen player's own state: cover or lyrics mode and the offline
// alert. It opens on the lyrics when the opener asked for them (the request
// is used up once), returns to the cover on every new track, and Esc steps
// back from the lyrics to the cover and from the cover out of the player.
// Made afresh with each presentation.
class FullscreenPlayerModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(nimbra::PlayerStore *player READ player WRITE setPlayer NOTIFY playerChanged)
    Q_PROPERTY(bool lyricsMode READ lyricsMode NOTIFY lyricsModeChanged)
    // Lyrics mode with lyrics to show; without them the cover stays while
    // the bars already show lyrics mode.
    Q_PROPERTY(bool showsLyricsPanel READ showsLyricsPanel NOTIFY lyricsModeChanged)
    // The "Офлайн" alert's message while it is to be shown.
    Q_PROPERTY(QString cacheAlert READ cacheAlert NOTIFY cacheAlertChanged)

public:
    explicit FullscreenPlayerModel(QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }
    void setPlayer(PlayerStore *player);

    bool lyricsMode() const { return m_lyricsMode; }
    bool showsLyricsPanel() const;
    QString cacheAlert() const { return m_cacheAlert; }

    Q_INVOKABLE void showLyrics() { setLyricsMode(true); }
    Q_INVOKABLE void showCover() { setLyricsMode(false); }
    // Lyrics go back to the cover; the cover closes the player.
    Q_INVOKABLE void escape();
    Q_INVOKABLE void dismissCacheAlert();

signals:
    void playerChanged();
    void lyricsModeChanged();
    void cacheAlertChanged();

private:
    void setLyricsMode(bool on);
    void takeLyricsRequest();
    void trackChanged();
    void takeCacheMessage();

    QPointer<PlayerStore> m_player;
    bool m_lyricsMode = false;
    QString m_trackId;
    QString m_cacheAlert;
};

} // namespace nimbra
