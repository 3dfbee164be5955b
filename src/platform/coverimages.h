#pragma once

#include "platform/roundedcorners.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QUrl>

class QQmlEngine;

namespace nimbra {

// Covers with rounded corners on every renderer: the corners are cut out
// of the decoded picture itself, at the size it is shown, so no shader is
// needed (the software renderer has none). Images load such a cover from
// `source(cover, radius)`; the first use on an engine gives the engine its
// image provider.
class CoverImages : public QObject
{
    Q_OBJECT
public:
    static constexpr auto providerId = "cover";

    // The corners source() rounds, to be combined: a picture that is one
    // piece of a larger rounded shape rounds only the shape's corners.
    enum Corner {
        TopLeft = Corners::topLeft,
        TopRight = Corners::topRight,
        BottomLeft = Corners::bottomLeft,
        BottomRight = Corners::bottomRight,
        AllCorners = Corners::all,
    };
    Q_ENUM(Corner)

    explicit CoverImages(QObject *parent = nullptr);

    // The address of `cover` with `corners` of `radius` device pixels;
    // empty for an empty cover.
    Q_INVOKABLE QUrl source(const QUrl &cover, qreal radius, int corners = AllCorners) const;

    static void install(QQmlEngine &engine);

    // What the provider answers for an id of source(): the cover, radius
    // and corners.
    static bool parse(const QString &id, QUrl *cover, qreal *radius, int *corners = nullptr);

    // The picture in `bytes` scaled to fill `size` (its middle kept, as a
    // cropping fill does), its `corners` cut to `radius`; an invalid size
    // keeps the picture's own. A null image when the bytes are no picture.
    static QImage decode(const QByteArray &bytes, QSize size, qreal radius, int corners = Corners::all);
};

} // namespace nimbra
