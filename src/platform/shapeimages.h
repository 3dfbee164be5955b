#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QUrl>

class QQmlEngine;

namespace nimbra {

// Rounded shapes drawn once as pictures and shared by every item that shows
// the same one. The software renderer keeps a picture of each rounded
// Rectangle it draws, as large as the whole shape when the shape is a
// circle, so a list whose rows all show the same circles would hold one set
// per row; images of one address share one picture. Sizes are in the
// window's units; `scale` is the device pixels per unit. The first use on
// an engine gives the engine its image provider.
class ShapeImages : public QObject
{
    Q_OBJECT
public:
    static constexpr auto providerId = "shape";

    explicit ShapeImages(QObject *parent = nullptr);

    // A rectangle of `size` with corners of `radius`, filled from `top` at
    // its top to `bottom` at its bottom.
    Q_INVOKABLE QUrl rounded(QSizeF size, qreal radius, const QColor &top, const QColor &bottom, qreal scale) const;

    // The soft shadow under a shape of `size` with corners of `radius`:
    // three rings of `colour` around it, wider by 2, 2 + step and 2 + 2 step
    // on every side. The picture covers the widest ring.
    Q_INVOKABLE QUrl discShadow(QSizeF size, qreal radius, const QColor &colour, qreal step, qreal scale) const;

    static void install(QQmlEngine &engine);

    // The picture of an id of rounded() or discShadow() (the address
    // without "image://shape/"); a null image for a malformed id.
    static QImage paint(const QString &id);
};

} // namespace nimbra
