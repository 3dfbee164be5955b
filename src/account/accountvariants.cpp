#include "account/accountvariants.h"

#include "api/variantfields.h"

#include <QVariantList>

using namespace Qt::StringLiterals;

namespace nimbra {

QVariantMap toVariantMap(const UserOut &user)
{
    QVariantMap map {
        {u"id"_s, user.id},
        {u"username"_s, user.username},
        {u"role"_s, user.role},
        {u"createdAt"_s, user.createdAt},
    };
    insertIfPresent(map, u"email"_s, user.email);
    insertIfPresent(map, u"avatarUrl"_s, user.avatarUrl);
    insertIfPresent(map, u"catalogArtistName"_s, user.catalogArtistName);
    QVariantList roles;
    roles.reserve(user.customRoles.size());
    for (const CustomRoleOut &role : user.customRoles)
        roles.append(toVariantMap(role));
    map.insert(u"customRoles"_s, roles);
    return map;
}

QVariantMap toVariantMap(const CustomRoleOut &role)
{
    QVariantMap map {
        {u"id"_s, role.id},
        {u"name"_s, role.name},
        {u"color"_s, role.color},
        {u"position"_s, role.position},
    };
    insertIfPresent(map, u"createdAt"_s, role.createdAt);
    return map;
}

QVariantMap toVariantMap(const PlaylistOut &playlist)
{
    return {
        {u"id"_s, playlist.id},
        {u"title"_s, playlist.title},
        {u"isPublic"_s, playlist.isPublic},
        {u"trackCount"_s, playlist.trackCount},
    };
}

} // namespace nimbra
