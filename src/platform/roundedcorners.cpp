#include "platform/roundedcorners.h"

#include <QPainter>

#include <algorithm>

namespace nimbra {

QImage withRoundedCorners(const QImage &picture, qreal radius)
{
    if (picture.isNull() || radius <= 0)
        return picture;
    // Painted as the brush of a rounded shape, so the edge is antialiased.
    QImage rounded(picture.size(), QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(picture));
    const qreal corner = std::min(radius, std::min(picture.width(), picture.height()) / 2.0);
    painter.drawRoundedRect(QRectF(rounded.rect()), corner, corner);
    return rounded;
}

} // namespace nimbra
