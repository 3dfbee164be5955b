#include "media/qtidlestream.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace nimbra {

QtIdleStream::QtIdleStream(QObject *parent) : QObject(parent)
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), format, this);
    // The server runs at the shortest latency its streams ask for: a short
    // one keeps it quick to take the next stream.
    constexpr int latencyUs = 20'000;
    m_sink->setBufferSize(format.bytesForDuration(latencyUs));
    // Opened for writing, nothing written, and paused: silent.
    m_sink->start();
    m_sink->suspend();
}

QtIdleStream::~QtIdleStream()
{
    m_sink->stop();
}

} // namespace nimbra
