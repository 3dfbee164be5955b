#pragma once

#include "update/updatebannermodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the self-update's C++ types; the store itself is a singleton
// declared with the other stores.

struct UpdateBannerModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::UpdateBannerModel)
    QML_NAMED_ELEMENT(UpdateBannerModel)
};
