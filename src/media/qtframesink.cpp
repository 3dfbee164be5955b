#include "media/qtframesink.h"

#include <QMetaObject>
#include <QMutexLocker>

#include <utility>

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
    QMutexLocker lock(&m_lock);
    m_newest = frame;
    if (std::exchange(m_queued, true))
        return;
    QMetaObject::invokeMethod(m_worker, [this] { convertNewest(); }, Qt::QueuedConnection);
}

void QtFrameSink::convertNewest()
{
    QVideoFrame frame;
    {
        QMutexLocker lock(&m_lock);
        frame = std::exchange(m_newest, QVideoFrame());
        m_queued = false;
    }
    m_take(frame.isValid() ? frame.toImage() : QImage());
}

} // namespace nimbra
