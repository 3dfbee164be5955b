#pragma once

#include "account/loginformmodel.h"
#include "shell/mainnavigationmodel.h"
#include "account/qrcodeview.h"
#include "account/qrsheetmodel.h"
#include "shell/rootviewmodel.h"
#include "shell/sidebaritem.h"
#include "shell/windowlayer.h"

#include <QtQml/qqmlregistration.h>

// QML names of the C++ models behind the window's screens; each screen
// creates its own.

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

struct WindowLayerForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::WindowLayer)
    QML_NAMED_ELEMENT(WindowLayer)
};

struct LoginFormModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::LoginFormModel)
    QML_NAMED_ELEMENT(LoginFormModel)
};

struct QrSheetModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::QrSheetModel)
    QML_NAMED_ELEMENT(QrSheetModel)
};

struct QrCodeViewForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::QrCodeView)
    QML_NAMED_ELEMENT(QrCodeView)
};
