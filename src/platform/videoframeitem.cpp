#include "platform/videoframeitem.h"

#include "platform/medialibrary.h"
#include "platform/roundedcorners.h"

#include <QMetaObject>
#include <QQuickWindow>
#include <QSGImageNode>

namespace nimbra {

VideoFrameItem::VideoFrameItem(QQuickItem *parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents);
    m_sinkThread.setObjectName(QStringLiteral("video frames"));
    m_sinkThread.start();
    m_sinkAnchor = new QObject;
    m_sinkAnchor->moveToThread(&m_sinkThread);
    // The sink comes once the media library is loaded (on a worker, at the
    // first item that asks), and is made on the sink's own thread, so that
    // what GStreamer attaches to it lives there too.
    MediaLibrary::whenLoaded(this, [this](MediaEntry &media) {
        QMetaObject::invokeMethod(
            m_sinkAnchor,
            [this, &media] {
                m_sink = media.createFrameSink([this](QImage picture) { offerPicture(std::move(picture)); }, m_sinkAnchor);
            },
            Qt::BlockingQueuedConnection);
        emit videoSinkChanged();
    });
}

VideoFrameItem::~VideoFrameItem()
{
    QMetaObject::invokeMethod(
        m_sinkAnchor, [sink = m_sink] { delete sink; }, Qt::BlockingQueuedConnection);
    m_sinkThread.quit();
    m_sinkThread.wait();
    delete m_sinkAnchor;
}

void VideoFrameItem::setRadius(qreal radius)
{
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    refit();
    emit radiusChanged();
}

QImage VideoFrameItem::fitted(const QImage &source, const QSize &box, qreal radius)
{
    if (source.isNull() || box.isEmpty())
        return {};
    const QSize size = source.size().scaled(box, Qt::KeepAspectRatio);
    if (size.isEmpty())
        return {};
    const QImage scaled = source.size() == size
        ? source.convertToFormat(QImage::Format_RGB32)
        : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    return withRoundedCorners(scaled, radius);
}

void VideoFrameItem::offerPicture(QImage picture)
{
    // A null picture is the player letting go of its picture.
    if (m_offered.put(std::move(picture)))
        QMetaObject::invokeMethod(this, &VideoFrameItem::takeFrame, Qt::QueuedConnection);
}

void VideoFrameItem::takeFrame()
{
    const bool had = hasFrame();
    m_source = m_offered.take();
    refit();
    if (!m_source.isNull()) {
        ++m_framesShown;
        emit framesShownChanged();
    }
    if (had != hasFrame())
        emit hasFrameChanged();
}

qreal VideoFrameItem::pixelRatio() const
{
    return window() ? window()->effectiveDevicePixelRatio() : 1.0;
}

void VideoFrameItem::refit()
{
    const qreal ratio = pixelRatio();
    const QSize box = (size() * ratio).toSize();
    m_picture = fitted(m_source, box, m_radius * ratio);
    m_picture.setDevicePixelRatio(ratio);
    m_pictureChanged = true;
    update();
}

void VideoFrameItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        refit();
}

void VideoFrameItem::itemChange(ItemChange change, const ItemChangeData &data)
{
    QQuickItem::itemChange(change, data);
    if (change == ItemDevicePixelRatioHasChanged || (change == ItemSceneChange && data.window))
        refit();
}

QSGNode *VideoFrameItem::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    auto *node = static_cast<QSGImageNode *>(old);
    if (m_picture.isNull() || !window()) {
        delete node;
        m_pictureChanged = false;
        return nullptr;
    }
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(QSGTexture::Linear);
        m_pictureChanged = true;
    }
    if (m_pictureChanged) {
        node->setTexture(window()->createTextureFromImage(m_picture));
        m_pictureChanged = false;
    }
    const QSizeF shown = QSizeF(m_picture.size()) / m_picture.devicePixelRatio();
    const QRectF rect(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    node->setRect(rect);
    node->setSourceRect(QRectF(QPointF(0, 0), QSizeF(m_picture.size())));
    return node;
}

} // namespace nimbra
