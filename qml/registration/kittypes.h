#pragma once

#include "artists/artistnavigationstore.h"
#include "shell/navigation.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

// QML names of the shared pieces every screen uses.

// One Navigation per engine, owned by it; it closes and opens artist pages
// through the engine's ArtistNavigationStore singleton.
struct NavigationForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::Navigation)
    QML_NAMED_ELEMENT(Navigation)
    QML_SINGLETON
public:
    static nimbra::Navigation *create(QQmlEngine *engine, QJSEngine *)
    {
        auto *navigation = new nimbra::Navigation;
        const int storeType = qmlTypeId("Nimbra", 1, 0, "ArtistNavigationStore");
        if (storeType >= 0)
            navigation->setArtistNavigation(engine->singletonInstance<nimbra::ArtistNavigationStore *>(storeType));
        return navigation;
    }
};
