#pragma once

#include "settings/profilemodel.h"
#include "settings/settingsmodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the models of the profile and settings screens; each screen
// creates its own.

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
