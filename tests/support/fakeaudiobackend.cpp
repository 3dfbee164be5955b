#include "fakeaudiobackend.h"

namespace nimbra::test {

AudioPlayerPtr FakeAudioBackend::createPlayer(const QUrl &source)
{
    auto *player = new FakeAudioPlayer(source);
    m_sources.append(source);
    m_players.append(player);
    return AudioPlayerPtr(player);
}

} // namespace nimbra::test
