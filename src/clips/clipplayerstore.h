#pragma once

#include <QObject>

namespace nimbra {

// The one video player of the process, as far as the main window needs it:
// whether a clip is shown over the window and whether it fills the window.
// Playback itself (the clip, its queue and the video output) is not part
// of this build yet, so nothing presents a clip. Main thread only.
class ClipPlayerStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isPresented READ isPresented NOTIFY isPresentedChanged)
    Q_PROPERTY(bool isFullscreen READ isFullscreen WRITE setFullscreen NOTIFY isFullscreenChanged)

public:
    explicit ClipPlayerStore(QObject *parent = nullptr);

    // A clip is loaded and its overlay is shown.
    bool isPresented() const { return m_presented; }
    // The overlay fills the whole window. Turning it off returns the clip
    // to its windowed overlay; it stays presented and keeps playing.
    bool isFullscreen() const { return m_fullscreen; }
    void setFullscreen(bool fullscreen);

signals:
    void isPresentedChanged();
    void isFullscreenChanged();

private:
    bool m_presented = false;
    bool m_fullscreen = false;
};

} // namespace nimbra
