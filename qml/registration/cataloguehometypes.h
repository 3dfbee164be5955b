#pragma once

#include "screens/homepagemodel.h"
#include "screens/homereleasemodel.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the models behind the home page, the albums grid and the
// album page; each screen creates its own.

struct HomePageModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::HomePageModel)
    QML_NAMED_ELEMENT(HomePageModel)
};

struct HomeReleaseModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::HomeReleaseModel)
    QML_NAMED_ELEMENT(HomeReleaseModel)
    QML_UNCREATABLE("A home page's releases come from its HomePageModel.")
};
