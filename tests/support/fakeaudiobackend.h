#pragma once

#include "fakeaudioplayer.h"

#include <QList>
#include <QPointer>
#include <QUrl>

#include <memory>

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

    // A plain object stands for the readied output's stream.
    std::unique_ptr<QObject> readyOutput() override
    {
        auto output = std::make_unique<QObject>();
        m_readied.append(output.get());
        return output;
    }
    int readiedCount() const { return int(m_readied.size()); }
    // Whether the output readied last still lives.
    bool readiedLives() const { return !m_readied.isEmpty() && m_readied.last(); }

    QList<QUrl> startedSources() const { return m_sources; }
    int playerCount() const { return int(m_players.size()); }
    FakeAudioPlayer *player(int i) const { return m_players.value(i); }
    FakeAudioPlayer *lastPlayer() const { return m_players.isEmpty() ? nullptr : m_players.last().data(); }

private:
    QList<QUrl> m_sources;
    QList<QPointer<FakeAudioPlayer>> m_players;
    QList<QPointer<QObject>> m_readied;
};

} // namespace nimbra::test
