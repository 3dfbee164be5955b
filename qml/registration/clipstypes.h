#pragma once

#include "apitypes.h"
#include "clips/clipgridmodel.h"
#include "clips/clipplayerstore.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the clip player and the clips screens' C++ model.

NIMBRA_QML_STORE(ClipPlayerStore)

struct ClipGridModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ClipGridModel)
    QML_NAMED_ELEMENT(ClipGridModel)
};
