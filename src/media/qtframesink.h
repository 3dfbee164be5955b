#pragma once

#include "platform/newestonly.h"

#include <QImage>
#include <QThread>
#include <QVideoFrame>
#include <QVideoSink>

#include <functional>

namespace nimbra {

// A video sink whose frames become pictures on a thread of its own.
//
// Qt 6.4's GStreamer sink hands each frame to the sink's thread and waits
// at most 300 ms for it to be taken; a frame not taken by then stops the
// item with "Internal data stream error". Turning a frame into a picture
// can take longer than that: the first one sets up a GL context and
// compiles its shaders (on Mesa's software rasteriser where there is no
// GPU), and any of them may on a busy machine. The playable clip after a
// missing one was skipped that way. So the sink's thread only keeps the
// newest frame, and the pictures are made here, newest first, dropping
// frames that came while the one before was still being converted.
class QtFrameSink : public QVideoSink
{
    Q_OBJECT
public:
    // take gets each picture (a null one when the player lets go of its
    // picture) on the conversion thread.
    QtFrameSink(std::function<void(QImage)> take, QObject *parent = nullptr);
    ~QtFrameSink() override;

private:
    void offer(const QVideoFrame &frame);
    // On the conversion thread.
    void convertNewest();

    std::function<void(QImage)> m_take;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
    NewestOnly<QVideoFrame> m_newest;
};

} // namespace nimbra
