#pragma once

#include "platform/videobackend.h"

#include <QList>
#include <QPointer>

namespace nimbra::test {

// A video player that shows nothing: it keeps what it was told, and the
// test drives its ticks, readiness, end and failure.
class FakeVideoPlayer : public VideoPlayerHandle
{
    Q_OBJECT
public:
    using VideoPlayerHandle::VideoPlayerHandle;

    void load(const QUrl &source) override
    {
        m_loads.append(source);
        m_playing = false;
        m_time = 0;
    }
    void play() override { m_playing = true; }
    void pause() override { m_playing = false; }
    void seek(double seconds) override { m_seeks.append(m_time = seconds); }
    double currentTime() const override { return m_time; }
    double duration() const override { return m_duration; }
    void setVideoOutput(QObject *output) override { m_output = output; }

    QList<QUrl> loads() const { return m_loads; }
    QUrl source() const { return m_loads.value(m_loads.size() - 1); }
    bool isPlaying() const { return m_playing; }
    QList<double> seeks() const { return m_seeks; }
    QObject *output() const { return m_output; }

    // Test controls.
    void setItemDuration(double seconds) { m_duration = seconds; }
    void tick(double seconds) { emit timeTick(m_time = seconds); }
    void becomeReady() { emit ready(); }
    void finish()
    {
        m_playing = false;
        emit endOfItem();
    }
    void fail()
    {
        m_playing = false;
        emit failed(QStringLiteral("not found"));
    }

private:
    QList<QUrl> m_loads;
    bool m_playing = false;
    double m_time = 0;
    double m_duration = qQNaN();
    QList<double> m_seeks;
    QPointer<QObject> m_output;
};

class FakeVideoBackend : public VideoBackend
{
public:
    VideoPlayerPtr createPlayer() override
    {
        auto *player = new FakeVideoPlayer();
        m_last = player;
        ++m_created;
        return VideoPlayerPtr(player);
    }

    // The player made last, while the store still holds it.
    FakeVideoPlayer *player() const { return m_last; }
    int createdCount() const { return m_created; }

private:
    QPointer<FakeVideoPlayer> m_last;
    int m_created = 0;
};

} // namespace nimbra::test
