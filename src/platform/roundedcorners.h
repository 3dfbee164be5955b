#pragma once

#include <QImage>

namespace nimbra {

// The picture with its corners cut out, antialiased, for renderers that
// cannot clip to a rounded shape (Qt Quick's software back-end). A corner
// is at most half the shorter side; a radius of 0 or less gives the picture
// unchanged.
QImage withRoundedCorners(const QImage &picture, qreal radius);

} // namespace nimbra
