#pragma once

#include <QHash>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

namespace nimbra {

// Where QML's store singletons find the one instance of each store, by its
// class. The composition root (and a screen test) fills it before any QML
// is loaded; stores never look themselves up here.
class StoreRegistry
{
public:
    template<typename Store> static Store *get()
    {
        return static_cast<Store *>(stores().value(&Store::staticMetaObject).data());
    }
    template<typename Store> static void set(Store *store) { stores().insert(&Store::staticMetaObject, store); }

private:
    static QHash<const QMetaObject *, QPointer<QObject>> &stores()
    {
        static QHash<const QMetaObject *, QPointer<QObject>> registry;
        return registry;
    }
};

} // namespace nimbra
