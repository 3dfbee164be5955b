#pragma once

#include "apitypes.h"
#include "update/otaupdatestore.h"
#include "update/updatebannermodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the self-update's store and strip model.

NIMBRA_QML_STORE(OtaUpdateStore)

struct UpdateBannerModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::UpdateBannerModel)
    QML_NAMED_ELEMENT(UpdateBannerModel)
};
