#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace nimbra {

class MprisService;

// org.mpris.MediaPlayer2.Player on behalf of an MprisService: every
// property reads the service's state and every method hands the command to
// it. Rate and volume are fixed; the desktop may set them, to no effect.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    // Nothing to play, pause or seek while no track is loaded.
    Q_PROPERTY(bool CanPlay READ hasTrack)
    Q_PROPERTY(bool CanPause READ hasTrack)
    Q_PROPERTY(bool CanSeek READ hasTrack)
    Q_PROPERTY(bool CanControl READ canControl)

public:
    explicit MprisPlayerAdaptor(MprisService *service);

    QString playbackStatus() const;
    double rate() const { return 1.0; }
    void setRate(double) { }
    QVariantMap metadata() const;
    double volume() const { return 1.0; }
    void setVolume(double) { }
    qlonglong position() const;
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canControl() const { return true; }
    bool hasTrack() const;

public slots:
    void Play();
    void Pause();
    void PlayPause();
    // There is no stopped state with a track loaded: stop pauses.
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position);
    // Required by the interface; no URI scheme is supported.
    void OpenUri(const QString &) { }

signals:
    void Seeked(qlonglong Position);

private:
    MprisService *m_service;
};

} // namespace nimbra
