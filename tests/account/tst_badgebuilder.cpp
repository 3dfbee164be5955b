// Which role badges a user wears, in which order and colours.
#include "account/badgebuilder.h"

#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

UserOut makeUser(const QString &role, QList<CustomRoleOut> roles = {})
{
    UserOut user;
    user.id = u"u1"_s;
    user.username = u"demo"_s;
    user.role = role;
    user.customRoles = std::move(roles);
    return user;
}

CustomRoleOut customRole(const QString &id, qint64 position, qint64 color = 0x123456)
{
    CustomRoleOut role;
    role.id = id;
    role.name = u"Роль "_s + id;
    role.position = position;
    role.color = color;
    return role;
}

QStringList badgeIds(const QList<BadgeDisplayItem> &badges)
{
    QStringList ids;
    for (const BadgeDisplayItem &badge : badges)
        ids.append(badge.id);
    return ids;
}

} // namespace

class TestBadgeBuilder : public QObject
{
    Q_OBJECT

private slots:
    void badges_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QList<CustomRoleOut>>("roles");
        QTest::addColumn<QStringList>("ids");

        QTest::newRow("admin alone") << u"admin"_s << QList<CustomRoleOut> {} << QStringList {u"role-admin"_s};
        QTest::newRow("admin in other letter case")
            << u"Admin"_s << QList<CustomRoleOut> {} << QStringList {u"role-subscriber"_s};
        QTest::newRow("admin with roles")
            << u"admin"_s << QList {customRole(u"a"_s, 1)} << QStringList {u"role-admin"_s, u"a"_s};
        QTest::newRow("roles by position, ties as listed")
            << u"user"_s << QList {customRole(u"c"_s, 3), customRole(u"a"_s, 1), customRole(u"b"_s, 1)}
            << QStringList {u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("negative before zero")
            << u"user"_s << QList {customRole(u"z"_s, 0), customRole(u"n"_s, -2)} << QStringList {u"n"_s, u"z"_s};
    }

    void badges()
    {
        QFETCH(QString, role);
        QFETCH(QList<CustomRoleOut>, roles);
        QFETCH(QStringList, ids);
        QCOMPARE(badgeIds(BadgeBuilder::items(makeUser(role, roles))), ids);
    }

    // Bits above the low 24 are not part of the colour.
    void customColourIgnoresHighBits()
    {
        const auto custom
            = BadgeBuilder::items(makeUser(u"user"_s, {customRole(u"r"_s, 0, 0x7f'ff8800), customRole(u"k"_s, 1, 0)}));
        QCOMPARE(custom.at(0).background, QColor(255, 136, 0));
        QCOMPARE(custom.at(1).background, QColor(0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestBadgeBuilder)
#include "tst_badgebuilder.moc"
