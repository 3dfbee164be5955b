#pragma once

#include <QObject>

class QAudioSink;

namespace nimbra {

// A stream on the sound server that plays nothing: opened and paused at
// once, closed with the object. QtMultimedia's own sound server client
// makes it, not GStreamer, so it needs no started media stack.
class QtIdleStream : public QObject
{
public:
    explicit QtIdleStream(QObject *parent = nullptr);
    ~QtIdleStream() override;

private:
    QAudioSink *m_sink = nullptr;
};

} // namespace nimbra
