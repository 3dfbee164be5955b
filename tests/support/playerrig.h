#pragma once

#include "fakeaudiobackend.h"
#include "manualclock.h"
#include "trackfixtures.h"

#include "api/session.h"
#include "player/lyricsservice.h"
#include "player/playerstore.h"

#include <memory>

namespace nimbra::test {

// A player store over the fake audio backend and a clock that stands still,
// as most player tests build it. The store is made last and goes first.
struct PlayerRig
{
    explicit PlayerRig(AudioCacheService *cache = nullptr)
        : store(std::make_unique<PlayerStore>(&backend, &session, &clock, &lyrics, cache))
    {
    }

    FakeAudioBackend backend;
    Session session;
    ManualClock clock;
    LyricsService lyrics;
    std::unique_ptr<PlayerStore> store;

    FakeAudioPlayer *player() const { return backend.lastPlayer(); }
    QString currentId() const { return store->currentTrack() ? store->currentTrack()->id : QString(); }
    // Plays ids[start] within the queue ids.
    void play(const QStringList &ids, int start)
    {
        const QList<TrackOut> list = makeTracks(ids);
        store->play(list.at(start), list);
    }
};

} // namespace nimbra::test
