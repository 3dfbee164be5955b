#pragma once

#include "fakeaudioplayer.h"

#include <QList>
#include <QPointer>
#include <QUrl>

namespace nimbra::test {

// Records every player the store asked for, in order. Players the store
// has dropped read as null.
class FakeAudioBackend : public AudioBackend
{
public:
    AudioPlayerPtr createPlayer(const QUrl &source) override
    {
        auto *player = new FakeAudioPlayer(source);
        m_sources.append(source);
        m_players.append(player);
        return AudioPlayerPtr(player);
    }

    QList<QUrl> startedSources() const { return m_sources; }
    int playerCount() const { return int(m_players.size()); }
    FakeAudioPlayer *player(int i) const { return m_players.value(i); }
    FakeAudioPlayer *lastPlayer() const { return m_players.isEmpty() ? nullptr : m_players.last().data(); }

private:
    QList<QUrl> m_sources;
    QList<QPointer<FakeAudioPlayer>> m_players;
};

} // namespace nimbra::test
