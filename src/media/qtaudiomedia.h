#pragma once

#include "media/audiomedia.h"
#include "media/claimedsink.h"

#include <QAudioOutput>
#include <QMediaPlayer>

namespace nimbra {

// One QMediaPlayer with an audio output of its own. Every call that may
// make the player build its audio sink is made under a claim, so that the
// sink it builds is known as this media's.
class QtAudioMedia : public AudioMedia
{
    Q_OBJECT
public:
    explicit QtAudioMedia(QObject *parent = nullptr);

    void setSource(const QUrl &source) override;
    void play() override;
    void pause() override;
    void setPosition(qint64 positionMs) override;
    void setVolume(float volume) override
    {
        m_volume = volume;
        m_output->setVolume(volume);
    }
    void releaseOutput() override;
    std::unique_ptr<QObject> keepOutputAwake() override;
    void takeOutput() override;

    qint64 position() const override { return m_player->position(); }
    qint64 duration() const override { return m_player->duration(); }
    QMediaPlayer::MediaStatus mediaStatus() const override { return m_player->mediaStatus(); }
    bool isSeekable() const override { return m_player->isSeekable(); }
    QString errorString() const override { return m_player->errorString(); }
    std::optional<quint64> renderedBuffers() const override { return m_sink.renderedBuffers(); }

private:
    void makePlayer();

    ClaimedSink m_sink;
    // Children of this; the output is the player's, so that it goes after
    // the player that holds a pointer to it.
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    float m_volume = 1.0f;
};

} // namespace nimbra
