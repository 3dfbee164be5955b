// What keeps the sound server's output ready for the next sound: the
// previous track's stream kept until the new one sounds, a silent stream
// readied before a press, and the output let go once playback has rested.

#include "player/playerstore.h"

#include "api/clock.h"
#include "platform/pointermotion.h"

namespace nimbra {

// An idle sound server holds a new stream back until its next turn (up to
// two seconds on a null sink) unless another stream of the program is still
// there; a paused one is enough, and pausing silences it at once. It goes
// once the new one has sounded, failed or been paused, so nothing waits on
// a timer: a new player that never moves fails by itself. Both players of
// a fade go at once.
void PlayerStore::keepOutputUntilSounding()
{
    if (m_isCrossfading || m_fadingOutPlayer) {
        teardownPlayers();
        return;
    }
    detachPlayer();
    if (m_player && !m_itemEnded)
        m_player->pause();
    // A current player that has not sounded yet may have no stream at all,
    // and one paused for long has let go of it; the one it was to take over
    // from has one.
    if (!m_previousPlayer && !m_outputReleased)
        m_previousPlayer = std::move(m_player);
    m_player.reset();
}

// The previous player is paused already, or at its end.
void PlayerStore::dropKeptOutput()
{
    m_previousPlayer.reset();
    m_readyOutput.reset();
}

void PlayerStore::prepareToPlay()
{
    if (m_isPlaying)
        return;
    keepOutputAwake();
    restOutputSoon();
}

void PlayerStore::pointerOnPlayControl()
{
    const quint64 moves = PointerMotion::moves();
    if (moves == m_pointerMovesSeen)
        return;
    m_pointerMovesSeen = moves;
    prepareToPlay();
}

// Opened at once, it is there before the new player's own stream (the
// media stack, the first answer and the first decoded audio come first),
// and the server has taken it by then.
void PlayerStore::keepOutputAwake()
{
    if (!m_previousPlayer && !m_readyOutput)
        m_readyOutput = m_backend->readyOutput();
}

void PlayerStore::restOutputSoon()
{
    if (m_player || m_readyOutput)
        restOutputLater(m_outputRestTask.renew());
    else
        m_outputRestTask.cancel();
}

QCoro::Task<> PlayerStore::restOutputLater(CancelToken token)
{
    QPointer<PlayerStore> self(this);
    Clock *clock = m_clock;
    co_await clock->sleep(outputRestDelay, token);
    if (!self || token.isCancelled())
        co_return;
    m_outputRestTask.finish(token);
    if (m_isPlaying)
        co_return;
    m_readyOutput.reset();
    if (m_player) {
        m_player->releaseOutput();
        m_outputReleased = true;
    }
}

} // namespace nimbra
