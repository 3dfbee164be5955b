#include "player/fullscreenplayermodel.h"

#include "api/boundary.h"
#include "api/nimbraapi.h"
#include "api/storeregistry.h"
#include "player/playerstore.h"
#include "api/session.h"

namespace nimbra {

FullscreenPlayerModel::FullscreenPlayerModel(QObject *parent)
    : FullscreenPlayerModel(
          [session = QPointer<Session>(StoreRegistry::get<Session>())](QString id, CancelToken cancel) {
              const std::optional<QString> token = session ? session->token() : std::nullopt;
              return NimbraApi().track(std::move(id), token, std::move(cancel));
          },
          parent)
{
}

FullscreenPlayerModel::FullscreenPlayerModel(DetailSource source, QObject *parent)
    : QObject(parent), m_detailSource(std::move(source))
{
    // The stores registered when the screen is made.
    m_player = StoreRegistry::get<PlayerStore>();
    m_trackId = m_player && m_player->currentTrack() ? m_player->currentTrack()->id : QString();
    if (m_player) {
        connect(m_player, &PlayerStore::isFullscreenPresentedChanged, this,
            &FullscreenPlayerModel::takeLyricsRequest);
        connect(m_player, &PlayerStore::currentTrackChanged, this, &FullscreenPlayerModel::trackChanged);
        connect(m_player, &PlayerStore::currentLyricsChanged, this, &FullscreenPlayerModel::lyricsModeChanged);
        // A message already there when the player opens is not this
        // screen's to show; only new ones are.
        connect(m_player, &PlayerStore::cacheMessageChanged, this, &FullscreenPlayerModel::takeCacheMessage);
    }
    takeLyricsRequest();
    loadDetails();
}

bool FullscreenPlayerModel::showsLyricsPanel() const
{
    // The raw text is tested: lyrics of spaces still count here.
    return m_lyricsMode && m_player && m_player->hasCurrentTrack() && m_player->currentLyrics()
        && !m_player->currentLyrics()->isEmpty();
}

void FullscreenPlayerModel::goBack()
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
        loadDetails();
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

void FullscreenPlayerModel::loadDetails()
{
    const auto track = m_player ? m_player->currentTrack() : std::nullopt;
    if (!track || !m_detailSource) {
        m_detailTask.cancel();
        return;
    }
    fetchDetails(*track, m_detailTask.renew());
}

QCoro::Task<void> FullscreenPlayerModel::fetchDetails(TrackOut track, CancelToken cancel)
{
    QPointer<FullscreenPlayerModel> self(this);
    QCoro::Task<TrackOut> request = m_detailSource(track.id, cancel);
    Outcome<TrackOut> outcome = co_await runAtBoundary(std::move(request));
    // A failed fetch changes nothing and says nothing.
    if (!self || cancel.isCancelled() || !outcome || !self->m_player)
        co_return;
    self->m_detailTask.finish(cancel);
    self->m_player->updateCurrentTrack(track.mergingDetails(*outcome));
}

} // namespace nimbra
