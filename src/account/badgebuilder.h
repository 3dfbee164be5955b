#pragma once

#include "api/accountrecords.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QVariantMap>

namespace nimbra {

// One role badge as the pills draw it.
struct BadgeDisplayItem
{
    QString id; // "role-admin", "role-subscriber" or the custom role's id
    QString name;
    QColor background;
    QColor foreground;

    bool operator==(const BadgeDisplayItem &other) const = default;

    // "id", "name", "background", "foreground".
    QVariantMap toVariantMap() const;
};

// Which badges a user wears, in which order and colours: the one place that
// decides it, for the sidebar's profile card and the profile screen.
class BadgeBuilder
{
public:
    BadgeBuilder() = delete;

    // The administrator badge first (role exactly "admin"), then the custom
    // roles by position (stable), and the subscriber badge only for a
    // non-administrator without custom roles. Never empty.
    static QList<BadgeDisplayItem> items(const UserOut &user);
    static QVariantList itemsVariant(const UserOut &user);
};

} // namespace nimbra
