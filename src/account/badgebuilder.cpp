#include "account/badgebuilder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The theme's colours that the badges use (AppTheme.accentLight and
// AppTheme.textSecondary).
constexpr QRgb accentLight = 0xc4a8ff;
constexpr QRgb textSecondary = 0x9896b0;

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(opacity));
    return color;
}

} // namespace

QVariantMap BadgeDisplayItem::toVariantMap() const
{
    return {{u"id"_s, id}, {u"name"_s, name}, {u"background"_s, background}, {u"foreground"_s, foreground}};
}

QList<BadgeDisplayItem> BadgeBuilder::items(const UserOut &user)
{
    QList<BadgeDisplayItem> badges;
    const bool admin = user.role == "admin"_L1;
    if (admin)
        badges.append({u"role-admin"_s, u"Админ"_s, withOpacity(QColor(139, 92, 246), 0.25), QColor(accentLight)});

    QList<CustomRoleOut> roles = user.customRoles;
    std::stable_sort(roles.begin(), roles.end(),
        [](const CustomRoleOut &a, const CustomRoleOut &b) { return a.position < b.position; });
    for (const CustomRoleOut &role : roles) {
        // Only the low 24 bits are a colour; the service may send more.
        const QColor background(int((role.color >> 16) & 0xff), int((role.color >> 8) & 0xff), int(role.color & 0xff));
        badges.append({role.id, role.name, background, withOpacity(Qt::white, 0.95)});
    }

    if (!admin && roles.isEmpty())
        badges.append({u"role-subscriber"_s, u"Подписчик"_s, withOpacity(Qt::white, 0.06), QColor(textSecondary)});
    return badges;
}

QVariantList BadgeBuilder::itemsVariant(const UserOut &user)
{
    QVariantList list;
    for (const BadgeDisplayItem &badge : items(user))
        list.append(badge.toVariantMap());
    return list;
}

} // namespace nimbra
