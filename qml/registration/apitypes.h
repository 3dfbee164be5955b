#pragma once

#include "api/session.h"
#include "api/storeregistry.h"

#include <QJSEngine>
#include <QtQml/qqmlregistration.h>

// Each store is a QML singleton named like its class; create() hands QML the
// instance the composition root put in the StoreRegistry, which C++ keeps
// owning. A new store is one NIMBRA_QML_STORE line in its folder's header
// and one StoreRegistry::set() in the composition root.

template<typename Store> Store *storeForQml()
{
    Store *store = nimbra::StoreRegistry::get<Store>();
    Q_ASSERT_X(store, "storeForQml", "store used in QML before it was registered");
    QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}

#define NIMBRA_QML_STORE(Type)                                                                                         \
    struct Type##Foreign                                                                                               \
    {                                                                                                                  \
        Q_GADGET                                                                                                       \
        QML_FOREIGN(nimbra::Type)                                                                                      \
        QML_NAMED_ELEMENT(Type)                                                                                        \
        QML_SINGLETON                                                                                                  \
    public:                                                                                                            \
        static nimbra::Type *create(QQmlEngine *, QJSEngine *) { return storeForQml<nimbra::Type>(); }                 \
    };

NIMBRA_QML_STORE(Session)
