#pragma once

#include "shell/navigation.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QtQml/qqmlregistration.h>

// QML names of the shared pieces every screen uses.

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
