#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

namespace nimbra {

// Records reach QML as maps; an absent optional field is left out, so QML
// reads it as undefined rather than as an empty value.
template<typename T>
void insertIfPresent(QVariantMap &map, const QString &key, const std::optional<T> &value)
{
    if (value)
        map.insert(key, QVariant::fromValue(*value));
}

} // namespace nimbra
