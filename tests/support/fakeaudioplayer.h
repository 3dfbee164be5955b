#pragma once

#include "platform/audiobackend.h"

#include <QList>

namespace nimbra::test {

// A player that makes no sound: it keeps what it was told, and the test
// drives its position, ticks, end and failure.
class FakeAudioPlayer : public AudioPlayerHandle
{
    Q_OBJECT
public:
    explicit FakeAudioPlayer(const QUrl &source, QObject *parent = nullptr)
        : AudioPlayerHandle(parent), m_source(source)
    {
    }

    QUrl source() const override { return m_source; }
    void play() override
    {
        m_playing = true;
        m_hasOutput = true;
    }
    void pause() override
    {
        m_playing = false;
        ++m_pauseCalls;
    }
    void seek(double seconds) override { m_seeks.append(m_time = seconds); }
    void setVolume(float volume) override { m_volume = volume; }
    float volume() const override { return m_volume; }
    void releaseOutput() override { m_hasOutput = m_playing; }
    double currentTime() const override { return m_time; }
    double duration() const override { return m_duration; }

    bool isPlaying() const { return m_playing; }
    // Whether it holds a stream on the sound server: from play() on, until
    // it lets go of it while paused.
    bool hasOutput() const { return m_hasOutput; }
    int pauseCalls() const { return m_pauseCalls; }
    QList<double> seeks() const { return m_seeks; }

    // Test controls.
    void setItemDuration(double seconds) { m_duration = seconds; }
    // Moves the position and emits the periodic tick.
    void tick(double seconds) { emit timeTick(m_time = seconds); }
    void finish()
    {
        m_playing = false;
        emit endOfItem();
    }
    void fail(const QString &message = QStringLiteral("decode error"))
    {
        m_playing = false;
        emit failed(message);
    }

private:
    QUrl m_source;
    bool m_playing = false;
    bool m_hasOutput = false;
    int m_pauseCalls = 0;
    float m_volume = 1.0f;
    double m_time = 0;
    double m_duration = qQNaN();
    QList<double> m_seeks;
};

} // namespace nimbra::test
