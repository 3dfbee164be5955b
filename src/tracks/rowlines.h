#pragma once

#include "tracks/rowtext.h"

#include <QObject>

namespace nimbra {

// What a row's line lays out of a long title or credit: a text item is
// given fit(text, the widest it may be, its letters' pixel size) and
// elides the rest as before.
class RowLines : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    Q_INVOKABLE QString fit(const QString &text, qreal width, qreal pixelSize) const
    {
        return fitToLine(text, width, pixelSize);
    }
};

} // namespace nimbra
