#pragma once

#include "platform/focussuppressor.h"
#include "platform/iconmap.h"
#include "platform/videoframeitem.h"

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
