#include "fakeaudioplayer.h"

namespace nimbra::test {

FakeAudioPlayer::FakeAudioPlayer(const QUrl &source, QObject *parent) : AudioPlayerHandle(parent), m_source(source) { }

void FakeAudioPlayer::play()
{
    m_playing = true;
}

void FakeAudioPlayer::pause()
{
    m_playing = false;
    ++m_pauseCalls;
}

void FakeAudioPlayer::seek(double seconds)
{
    m_seeks.append(seconds);
    m_time = seconds;
}

void FakeAudioPlayer::tick(double seconds)
{
    m_time = seconds;
    emit timeTick(seconds);
}

void FakeAudioPlayer::finish()
{
    m_playing = false;
    emit endOfItem();
}

void FakeAudioPlayer::fail(const QString &message)
{
    m_playing = false;
    emit failed(message);
}

} // namespace nimbra::test
