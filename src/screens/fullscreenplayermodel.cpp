#include "fullscreenplayermodel.h"

#include "player/playerstore.h"

namespace nimbra {

FullscreenPlayerModel::FullscreenPlayerModel(QObject *parent) : QObject(parent) { }

void FullscreenPlayerModel::setPlayer(PlayerStore *player)
{
    if (m_player == player)
        return;
    if (m_player)
        m_player->disconnect(this);
    m_player = player;
    m_trackId = player && player->currentTrack() ? player->currentTrack()->id : QString();
    if (player) {
        connect(player, &PlayerStore::isFullscreenPresentedChanged, this, &FullscreenPlayerModel::takeLyricsRequest);
        connect(player, &PlayerStore::currentTrackChanged, this, &FullscreenPlayerModel::trackChanged);
        connect(player, &PlayerStore::currentLyricsChanged, this, &FullscreenPlayerModel::lyricsModeChanged);
        // A message already there when the player opens is not this
        // screen's to show; only new ones are.
        connect(player, &PlayerStore::cacheMessageChanged, this, &FullscreenPlayerModel::takeCacheMessage);
    }
    takeLyricsRequest();
    emit playerChanged();
    emit lyricsModeChanged();
}

bool FullscreenPlayerModel::showsLyricsPanel() const
{
    // The raw text is tested: lyrics of spaces still count here.
    return m_lyricsMode && m_player && m_player->hasCurrentTrack() && m_player->currentLyrics()
        && !m_player->currentLyrics()->isEmpty();
}

void FullscreenPlayerModel::escape()
{
    if (m_lyricsMode)
        setLyricsMode(false);
    else if (m_player)
        m_player->dismissFullscreen();
}

void FullscreenPlayerModel::dismissCacheAlert()
{
    if (m_cacheAlert.isEmpty())
        return;
    m_cacheAlert.clear();
    emit cacheAlertChanged();
}

void FullscreenPlayerModel::setLyricsMode(bool on)
{
    if (m_lyricsMode == on)
        return;
    m_lyricsMode = on;
    emit lyricsModeChanged();
}

void FullscreenPlayerModel::takeLyricsRequest()
{
    if (!m_player || !m_player->isFullscreenPresented() || !m_player->fullscreenWantsLyrics())
        return;
    setLyricsMode(true);
    m_player->setFullscreenWantsLyrics(false);
}

void FullscreenPlayerModel::trackChanged()
{
    const QString id = m_player && m_player->currentTrack() ? m_player->currentTrack()->id : QString();
    if (id != m_trackId) {
        m_trackId = id;
        setLyricsMode(false);
    }
    emit lyricsModeChanged();
}

void FullscreenPlayerModel::takeCacheMessage()
{
    const auto message = m_player ? m_player->cacheMessage() : std::nullopt;
    if (!message)
        return;
    m_player->setCacheMessage(std::nullopt);
    if (m_cacheAlert == *message)
        return;
    m_cacheAlert = *message;
    emit cacheAlertChanged();
}

} // namespace nimbra
