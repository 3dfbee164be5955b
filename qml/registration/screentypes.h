#pragma once

#include "screens/mainnavigationmodel.h"
#include "screens/rootviewmodel.h"
#include "screens/sidebaritem.h"

#include <QtQml/qqmlregistration.h>

// QML names of the C++ models behind the window's screens.

namespace SidebarItemForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbra::SidebarItems)
QML_NAMED_ELEMENT(SidebarItem)
} // namespace SidebarItemForeign

struct RootViewModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::RootViewModel)
    QML_NAMED_ELEMENT(RootViewModel)
};

struct MainNavigationModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::MainNavigationModel)
    QML_NAMED_ELEMENT(MainNavigationModel)
};
