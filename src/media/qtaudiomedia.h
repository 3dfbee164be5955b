#pragma once

#include "media/audiomedia.h"

#include <QAudioOutput>
#include <QMediaPlayer>

namespace nimbra {

// One QMediaPlayer with an audio output of its own.
class QtAudioMedia : public AudioMedia
{
    Q_OBJECT
public:
    explicit QtAudioMedia(QObject *parent = nullptr);

    void setSource(const QUrl &source) override;
    void play() override { m_player->play(); }
    void pause() override { m_player->pause(); }
    void setPosition(qint64 positionMs) override { m_player->setPosition(positionMs); }
    void setVolume(float volume) override
    {
        m_volume = volume;
        m_output->setVolume(volume);
    }
    void releaseOutput() override { m_player->setAudioOutput(nullptr); }
    std::unique_ptr<QObject> keepOutputAwake() override;
    void takeOutput() override
    {
        if (!m_player->audioOutput())
            m_player->setAudioOutput(m_output);
    }

    qint64 position() const override { return m_player->position(); }
    qint64 duration() const override { return m_player->duration(); }
    QMediaPlayer::MediaStatus mediaStatus() const override { return m_player->mediaStatus(); }
    bool isSeekable() const override { return m_player->isSeekable(); }
    QString errorString() const override { return m_player->errorString(); }

private:
    void makePlayer();

    // Children of this; the output is the player's, so that it goes after
    // the player that holds a pointer to it.
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    float m_volume = 1.0f;
};

} // namespace nimbra
