#pragma once

#include "clips/clipgridmodel.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the clips screens' C++ model.

struct ClipGridModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ClipGridModel)
    QML_NAMED_ELEMENT(ClipGridModel)
};
