#pragma once

#include "platform/coverimages.h"
#include "platform/focussuppressor.h"
#include "platform/iconmap.h"
#include "platform/shapeimages.h"
#include "platform/videoframeitem.h"

#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

// QML names of the platform layer's types.

struct IconMapForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::IconMap)
    QML_NAMED_ELEMENT(IconMap)
    QML_SINGLETON
};

struct FocusSuppressorForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FocusSuppressor)
    QML_NAMED_ELEMENT(FocusSuppressor)
};

struct VideoFrameItemForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::VideoFrameItem)
    QML_NAMED_ELEMENT(VideoFrameItem)
};

// The first cover an engine shows gives that engine the cover images'
// provider, so every engine that loads the module draws rounded covers.
struct CoverImagesForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::CoverImages)
    QML_NAMED_ELEMENT(CoverImages)
    QML_SINGLETON
public:
    static nimbra::CoverImages *create(QQmlEngine *engine, QJSEngine *)
    {
        nimbra::CoverImages::install(*engine);
        return new nimbra::CoverImages;
    }
};

// Like the cover images: the first shape an engine shows gives that engine
// the shapes' provider.
struct ShapeImagesForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ShapeImages)
    QML_NAMED_ELEMENT(ShapeImages)
    QML_SINGLETON
public:
    static nimbra::ShapeImages *create(QQmlEngine *engine, QJSEngine *)
    {
        nimbra::ShapeImages::install(*engine);
        return new nimbra::ShapeImages;
    }
};
