#pragma once

#include <QImage>
#include <QPainterPath>

namespace nimbra {

// Which corners of a rectangle are round, as a mask.
namespace Corners {
constexpr int topLeft = 1;
constexpr int topRight = 2;
constexpr int bottomLeft = 4;
constexpr int bottomRight = 8;
constexpr int all = topLeft | topRight | bottomLeft | bottomRight;
} // namespace Corners

// The rectangle with the corners of `corners` rounded to `radius` (at most
// half the shorter side) and the others square.
QPainterPath roundedRectPath(const QRectF &rect, qreal radius, int corners = Corners::all);

// The picture with its corners cut out, antialiased, for renderers that
// cannot clip to a rounded shape (Qt Quick's software back-end). A corner
// is at most half the shorter side; a radius of 0 or less, or no corner,
// gives the picture unchanged.
QImage withRoundedCorners(const QImage &picture, qreal radius, int corners = Corners::all);

} // namespace nimbra
