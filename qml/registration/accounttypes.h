#pragma once

#include "shell/flowlayout.h"
#include "account/profilemodel.h"
#include "account/settingsmodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the account screens' C++ parts: the wrapping layout under
// the badge pills and the models of the profile and settings screens.

struct FlowLayoutForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FlowLayout)
    QML_NAMED_ELEMENT(FlowLayout)
};

struct ProfileModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ProfileModel)
    QML_NAMED_ELEMENT(ProfileModel)
};

struct SettingsModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SettingsModel)
    QML_NAMED_ELEMENT(SettingsModel)
};
