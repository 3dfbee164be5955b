#pragma once

#include "api/catalogrecords.h"
#include "format/durationtext.h"
#include "platform/videobackend.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace nimbra {

// The one video player of the process: plays the clips and battles that
// the grids list, steps through the queue it was given (wrapping at both
// ends, skipping clips without an address), and holds what the overlay
// draws. It never touches the audio player; the screens pause that first.
// Main thread only.
class ClipPlayerStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isPresented READ isPresented NOTIFY isPresentedChanged)
    Q_PROPERTY(bool isFullscreen READ isFullscreen WRITE setFullscreen NOTIFY isFullscreenChanged)
    Q_PROPERTY(bool hasClip READ hasClip NOTIFY currentClipChanged)
    Q_PROPERTY(QString currentClipId READ currentClipId NOTIFY currentClipChanged)
    Q_PROPERTY(QString currentTitle READ currentTitle NOTIFY currentClipChanged)
    Q_PROPERTY(QString currentArtist READ currentArtist NOTIFY currentClipChanged)
    Q_PROPERTY(bool hasPlayer READ hasPlayer NOTIFY hasPlayerChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY timeChanged)
    Q_PROPERTY(double duration READ duration NOTIFY timeChanged)
    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY timeChanged)
    Q_PROPERTY(QString durationText READ durationText NOTIFY timeChanged)
    Q_PROPERTY(double seekUpperBound READ seekUpperBound NOTIFY timeChanged)
    Q_PROPERTY(QString failureText READ failureText NOTIFY failureTextChanged)
    Q_PROPERTY(QObject *videoOutput READ videoOutput WRITE setVideoOutput NOTIFY videoOutputChanged)

public:
    // Without a backend the store makes QtMultimedia's at the first clip.
    explicit ClipPlayerStore(QObject *parent = nullptr);
    explicit ClipPlayerStore(VideoBackend *backend, QObject *parent = nullptr);
    ~ClipPlayerStore() override;

    // Shown when a whole pass through the queue found no clip that plays.
    static QString failureMessage();

    // Starts clip with queue as the list to step through. An empty queue
    // keeps the queue loaded now (or makes one of the clip); a clip missing
    // from the queue is appended to it.
    void play(const ClipOut &clip, const QList<ClipOut> &queue);
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void seek(double seconds);
    // Stops, drops the video player and hides the overlay.
    Q_INVOKABLE void dismiss();

    bool isPresented() const { return m_presented; }
    // The overlay fills the whole window. Turning it off returns the clip
    // to its windowed overlay; it stays presented and keeps playing.
    bool isFullscreen() const { return m_fullscreen; }
    void setFullscreen(bool fullscreen);

    const std::optional<ClipOut> &currentClip() const { return m_current; }
    bool hasClip() const { return m_current.has_value(); }
    QString currentClipId() const { return m_current ? m_current->id : QString(); }
    QString currentTitle() const { return m_current ? m_current->title : QString(); }
    QString currentArtist() const { return m_current ? m_current->artist : QString(); }
    bool hasPlayer() const { return m_player != nullptr; }
    bool isPlaying() const { return m_playing; }
    double elapsed() const { return m_elapsed; }
    double duration() const { return m_duration; }
    QString elapsedText() const { return nimbra::durationText(m_elapsed); }
    QString durationText() const { return nimbra::durationText(m_duration); }
    // The seek bar's upper end: the duration, or 1 for a duration of 1 or less.
    double seekUpperBound() const { return m_duration > 1 ? m_duration : 1.0; }
    QString failureText() const { return m_failureText; }
    const QList<ClipOut> &queue() const { return m_queue; }
    int queueIndex() const { return m_queueIndex; }

    QObject *videoOutput() const { return m_videoOutput; }
    void setVideoOutput(QObject *output);

signals:
    void isPresentedChanged();
    void isFullscreenChanged();
    void currentClipChanged();
    void hasPlayerChanged();
    void isPlayingChanged();
    void timeChanged();
    void failureTextChanged();
    void videoOutputChanged();

private:
    // The first index from start on (wrapping, backwards for step -1) whose
    // clip has an address.
    std::optional<int> findPlayable(int start, QUrl *url = nullptr, int step = 1) const;
    void playAtIndex(int start, int step = 1);
    void startPlayback(const ClipOut &clip, const QUrl &url);
    void teardown();
    VideoPlayerHandle *ensurePlayer();
    // Runs step later on the main thread, unless another item started
    // meanwhile or the item failed.
    void schedule(std::function<void()> step);
    void applyTick(double seconds);
    void handleFailedItem();
    // A step the listener asked for begins a new pass over the queue.
    void beginPass();

    void setPlaying(bool playing);
    void setTimes(double elapsed, double duration);
    void setFailureText(const QString &text);

    VideoBackend *m_backend = nullptr;
    std::unique_ptr<VideoBackend> m_ownBackend;
    VideoPlayerPtr m_player;
    QPointer<QObject> m_videoOutput;

    std::optional<ClipOut> m_current;
    QList<ClipOut> m_queue;
    int m_queueIndex = 0;
    bool m_playing = false;
    double m_elapsed = 0;
    double m_duration = 0;
    bool m_presented = false;
    bool m_fullscreen = false;
    QString m_failureText;
    // Indices of the queue that failed since an item last became ready.
    QSet<int> m_failedSinceReady;
    // Counts started items, so a late notification of an earlier item is dropped.
    quint64 m_generation = 0;
    // The item started last failed; nothing more it says is heard.
    bool m_itemFailed = false;
};

} // namespace nimbra
