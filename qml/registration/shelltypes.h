#pragma once

#include "shell/artistlinks.h"
#include "shell/flowlayout.h"
#include "shell/mainnavigationmodel.h"
#include "shell/navigation.h"
#include "shell/rootviewmodel.h"
#include "shell/sidebaritem.h"
#include "shell/windowlayer.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

// QML names of the window's own C++ parts: the models behind the root and
// main views, the window's layers, navigation, the artist links every credit
// line uses and the wrapping layout.

// One Navigation per engine, owned by it; it closes and opens artist pages
// through the registered ArtistNavigationStore.
struct NavigationForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::Navigation)
    QML_NAMED_ELEMENT(Navigation)
    QML_SINGLETON
public:
    static nimbra::Navigation *create(QQmlEngine *, QJSEngine *) { return new nimbra::Navigation; }
};

// One per engine, owned by it, like Navigation.
struct ArtistLinksForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistLinks)
    QML_NAMED_ELEMENT(ArtistLinks)
    QML_SINGLETON
public:
    static nimbra::ArtistLinks *create(QQmlEngine *, QJSEngine *) { return new nimbra::ArtistLinks; }
};

struct FlowLayoutForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FlowLayout)
    QML_NAMED_ELEMENT(FlowLayout)
};

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
