#include "platform/roundedcorners.h"

#include <QPainter>

#include <algorithm>

namespace nimbra {

QPainterPath roundedRectPath(const QRectF &rect, qreal radius, int corners)
{
    QPainterPath path;
    const qreal corner = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2.0);
    if (corner <= 0 || !(corners & Corners::all)) {
        path.addRect(rect);
        return path;
    }
    path.addRoundedRect(rect, corner, corner);
    if ((corners & Corners::all) == Corners::all)
        return path;
    // A square corner: its quarter of the rectangle filled in again.
    path.setFillRule(Qt::WindingFill);
    const QSizeF quarter(corner, corner);
    if (!(corners & Corners::topLeft))
        path.addRect(QRectF(rect.topLeft(), quarter));
    if (!(corners & Corners::topRight))
        path.addRect(QRectF(QPointF(rect.right() - corner, rect.top()), quarter));
    if (!(corners & Corners::bottomLeft))
        path.addRect(QRectF(QPointF(rect.left(), rect.bottom() - corner), quarter));
    if (!(corners & Corners::bottomRight))
        path.addRect(QRectF(QPointF(rect.right() - corner, rect.bottom() - corner), quarter));
    return path;
}

QImage withRoundedCorners(const QImage &picture, qreal radius, int corners)
{
    if (picture.isNull() || radius <= 0 || !(corners & Corners::all))
        return picture;
    // Painted as the brush of a rounded shape, so the edge is antialiased.
    QImage rounded(picture.size(), QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(picture));
    painter.drawPath(roundedRectPath(QRectF(rounded.rect()), radius, corners));
    return rounded;
}

} // namespace nimbra
