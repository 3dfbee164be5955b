#pragma once

#include "platform/newestonly.h"

#include <QImage>
#include <QQuickItem>
#include <QThread>

namespace nimbra {

// Shows the pictures a media player sends to its video sink. Qt Quick's
// software renderer draws nothing of VideoOutput, so each new frame is
// turned into an image at the size shown (keeping its aspect, centred,
// with rounded corners when asked) and drawn as an image node, which
// every renderer supports. Work happens only when a frame arrives or the
// item changes size; nothing runs on a timer.
//
// The sink lives on a thread of its own. GStreamer hands each frame to the
// sink's thread and waits for it; were that the UI thread, every stop or
// switch of the pipeline from the UI thread would sit out that wait (a
// third of a second each time). The frame is turned into an image on a
// thread of the sink's own, off the UI thread, so that the sink's thread
// always answers at once. The sink comes from the media library, once the
// first surface or player has had it loaded; until then there is none.
class VideoFrameItem : public QQuickItem
{
    Q_OBJECT
    // A QVideoSink; typed QObject for QML, which knows no QVideoSink.
    Q_PROPERTY(QObject *videoSink READ videoSinkObject NOTIFY videoSinkChanged)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(bool hasFrame READ hasFrame NOTIFY hasFrameChanged)
    Q_PROPERTY(int framesShown READ framesShown NOTIFY framesShownChanged)

public:
    explicit VideoFrameItem(QQuickItem *parent = nullptr);
    ~VideoFrameItem() override;

    // A QVideoSink, for a player's video output.
    QObject *videoSink() const { return m_sink; }
    QObject *videoSinkObject() const { return m_sink; }
    qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    bool hasFrame() const { return !m_source.isNull(); }
    // Frames turned into pictures so far; for tests and measurements.
    int framesShown() const { return m_framesShown; }

    // The picture for a frame of `source` shown in an item of `box` device
    // pixels: fitted inside, aspect kept, corners rounded by `radius`.
    static QImage fitted(const QImage &source, const QSize &box, qreal radius);

signals:
    void videoSinkChanged();
    void radiusChanged();
    void hasFrameChanged();
    void framesShownChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *old, UpdatePaintNodeData *data) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &data) override;

private:
    // On the sink's conversion thread: keeps only the newest picture and
    // asks the item's thread once to take it.
    void offerPicture(QImage picture);
    void takeFrame();
    void refit();
    qreal pixelRatio() const;

    QThread m_sinkThread;
    QObject *m_sinkAnchor = nullptr; // lives on m_sinkThread
    QObject *m_sink = nullptr;       // lives on m_sinkThread
    NewestOnly<QImage> m_offered;
    QImage m_source;  // the last frame as it came
    QImage m_picture; // the same at the size shown
    bool m_pictureChanged = false;
    qreal m_radius = 0;
    int m_framesShown = 0;
};

} // namespace nimbra
