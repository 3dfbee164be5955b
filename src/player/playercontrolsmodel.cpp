#include "player/playercontrolsmodel.h"

#include "api/storeregistry.h"
#include "platform/clipboard.h"
#include "player/playerstore.h"
#include "player/texttrim.h"
#include "api/tracksharelink.h"


using namespace Qt::StringLiterals;

namespace nimbra {

PlayerControlsModel::PlayerControlsModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player) {
        for (const auto signal : {&PlayerStore::currentTrackChanged, &PlayerStore::currentLyricsChanged,
                 &PlayerStore::lyricsLoadingChanged, &PlayerStore::cachingTrackIdChanged,
                 &PlayerStore::currentTrackIsCachedChanged, &PlayerStore::sleepTimerChanged,
                 &PlayerStore::repeatModeChanged})
            connect(m_player, signal, this, &PlayerControlsModel::refresh);
    }
    refresh();
}

void PlayerControlsModel::setHasAccount(bool hasAccount)
{
    if (m_hasAccount == hasAccount)
        return;
    m_hasAccount = hasAccount;
    refresh();
    emit hasAccountChanged();
}

PlayerControlsModel::LyricsControl PlayerControlsModel::lyricsControlFor(
    const std::optional<QString> &lyrics, bool loading)
{
    if (lyrics && !isBlank(*lyrics))
        return LyricsControl::Button;
    return loading ? LyricsControl::Spinner : LyricsControl::None;
}

PlayerControlsModel::OfflineControl PlayerControlsModel::offlineControlFor(
    bool hasTrack, bool savingThisTrack, bool isCached, bool hasAccount)
{
    if (!hasTrack)
        return OfflineControl::Hidden;
    if (savingThisTrack)
        return OfflineControl::Saving;
    if (isCached)
        return OfflineControl::Saved;
    return hasAccount ? OfflineControl::Save : OfflineControl::Hidden;
}

void PlayerControlsModel::refresh()
{
    State state;
    if (m_player) {
        const auto track = m_player->currentTrack();
        state.hasTrack = track.has_value();
        if (track) {
            state.favoriteOn = track->isFavorite;
            state.dislikeOn = track->userRating == u"dislike"_s;
            state.shareLink = TrackShareLink::forTrack(track->id);
        }
        state.lyricsControl = lyricsControlFor(m_player->currentLyrics(), m_player->lyricsLoading());
        const bool saving = track && m_player->cachingTrackId() == track->id;
        state.offlineControl =
            offlineControlFor(state.hasTrack, saving, state.hasTrack && m_player->currentTrackIsCached(), m_hasAccount);
        state.sleepTimerOn = !m_player->sleepTimer().isOff();
        state.repeatOn = m_player->repeatMode() != RepeatMode::Off;
        state.repeatOne = m_player->repeatMode() == RepeatMode::One;
    }
    if (state == m_state)
        return;
    m_state = state;
    emit changed();
}

void PlayerControlsModel::cycleRepeat()
{
    if (!m_player)
        return;
    switch (m_player->repeatMode()) {
    case RepeatMode::Off:
        m_player->setRepeatMode(RepeatMode::All);
        break;
    case RepeatMode::All:
        m_player->setRepeatMode(RepeatMode::One);
        break;
    case RepeatMode::One:
        m_player->setRepeatMode(RepeatMode::Off);
        break;
    }
}

void PlayerControlsModel::offlineAction()
{
    if (!m_player)
        return;
    switch (m_state.offlineControl) {
    case OfflineControl::Saved:
        m_player->removeCurrentTrackFromCache();
        break;
    case OfflineControl::Save:
        m_player->cacheCurrentTrack();
        break;
    case OfflineControl::Hidden:
    case OfflineControl::Saving:
        break;
    }
}

void PlayerControlsModel::copyShareLink()
{
    if (!m_state.hasTrack)
        return;
    Clipboard::setText(m_state.shareLink.toString(QUrl::FullyEncoded));
    emit linkCopied(QString::fromUtf8(linkCopiedText));
}

} // namespace nimbra
