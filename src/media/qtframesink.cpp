#include "media/qtframesink.h"

#include <QMetaObject>

namespace nimbra {

QtFrameSink::QtFrameSink(std::function<void(QImage)> take, QObject *parent)
    : QVideoSink(parent), m_take(std::move(take))
{
    m_thread.setObjectName(QStringLiteral("video pictures"));
    m_thread.start();
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(this, &QVideoSink::videoFrameChanged, this, &QtFrameSink::offer, Qt::DirectConnection);
}

QtFrameSink::~QtFrameSink()
{
    // A picture being made is finished and handed on first.
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void QtFrameSink::offer(const QVideoFrame &frame)
{
    if (m_newest.put(frame))
        QMetaObject::invokeMethod(m_worker, [this] { convertNewest(); }, Qt::QueuedConnection);
}

void QtFrameSink::convertNewest()
{
    const QVideoFrame frame = m_newest.take();
    m_take(frame.isValid() ? frame.toImage() : QImage());
}

} // namespace nimbra
