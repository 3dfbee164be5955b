// The credit line of every track and album: one link per credited artist,
// the separator between them, one row that is cut rather than wrapped, and
// a click that closes the fullscreen player and opens that artist alone.
#include "api/storeregistry.h"
#include "artists/artistnavigationstore.h"

#include "playerrig.h"
#include "scenerig.h"
#include "screentest.h"

#include <QFontMetricsF>
#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestArtistCredits : public QObject
{
    Q_OBJECT

    SceneRig m_scene;
    std::unique_ptr<PlayerRig> m_player;
    std::unique_ptr<ArtistNavigationStore> m_artists;

    static QByteArray line(const QString &credit, int width = 0)
    {
        return "import QtQuick\nimport Nimbra\nRectangle { color: \"black\"; width: 400; height: 60\n"
               "ArtistCreditsLine { objectName: \"line\"; x: 10; y: 10; text: \""
            + credit.toUtf8() + "\"" + (width > 0 ? "; width: " + QByteArray::number(width) : QByteArray())
            + " } }";
    }

    QStringList shownNames(QQuickItem *line) const
    {
        QStringList names;
        for (int i = 0; QQuickItem *name = findItem(line, u"artistName%1"_s.arg(i)); ++i)
            names.append(name->property("name").toString());
        return names;
    }

private slots:
    void initTestCase()
    {
        m_scene.start();
        m_player = std::make_unique<PlayerRig>();
        m_artists = std::make_unique<ArtistNavigationStore>();
        StoreRegistry::set(m_player->store.get());
        StoreRegistry::set(m_artists.get());
    }

    void cleanup() { m_scene.finishTest(); }

    void cleanupTestCase()
    {
        m_scene.dropEngine();
        StoreRegistry::set<PlayerStore>(nullptr);
        StoreRegistry::set<ArtistNavigationStore>(nullptr);
    }

    void oneLinkPerCreditedArtist_data()
    {
        QTest::addColumn<QString>("credit");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one artist") << u"Scriptonite"_s << QStringList {u"Scriptonite"_s};
        QTest::newRow("ampersand") << u"Alpha & Beta"_s << QStringList {u"Alpha"_s, u"Beta"_s};
        QTest::newRow("featuring") << u"Alpha feat. Beta, Gamma"_s
                                   << QStringList {u"Alpha"_s, u"Beta"_s, u"Gamma"_s};
        QTest::newRow("blank") << u"  "_s << QStringList {u"Неизвестно"_s};
        // The same name twice is two links.
        QTest::newRow("repeated") << u"Alpha & Alpha"_s << QStringList {u"Alpha"_s, u"Alpha"_s};
    }

    void oneLinkPerCreditedArtist()
    {
        QFETCH(QString, credit);
        QFETCH(QStringList, names);
        QmlScene scene(m_scene.engine(), line(credit), QSize(400, 60));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *creditLine = scene.item(u"line"_s);
        QCOMPARE(shownNames(creditLine), names);
        // The line is as wide as its names and separators, on one row.
        QQuickItem *first = findItem(creditLine, u"artistName0"_s);
        QCOMPARE(creditLine->height(), first->height());
    }

    void clickOpensThatArtistOverTheFullscreenPlayer()
    {
        QmlScene scene(m_scene.engine(), line(u"Alpha & Beta"_s), QSize(400, 60));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        m_player->store->setFullscreenPresented(true);
        QVERIFY(click(scene.window(), findItem(scene.root(), u"artistName1"_s)));
        QTRY_COMPARE(m_artists->presentedArtistName(), u"Beta"_s);
        QVERIFY(!m_player->store->isFullscreenPresented());
        QVERIFY(saveScreenshot(scene.grab(), u"artist-credits"_s));
        m_artists->close();
    }

    // Each name starts where the advance of the name and the separator
    // before it end: the one space between two names is the separator's,
    // with no gap from a glyph's overhang before the comma.
    void namesFollowEachOtherByAdvance()
    {
        QmlScene scene(m_scene.engine(), line(u"Volt+Age, Кира Норд & Jade Orbit"_s), QSize(400, 60));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *creditLine = scene.item(u"line"_s);
        QCOMPARE(shownNames(creditLine), (QStringList {u"Volt+Age"_s, u"Кира Норд"_s, u"Jade Orbit"_s}));
        double expected = 0;
        double separatorAdvance = 0;
        for (int i = 0; i < 3; ++i) {
            QQuickItem *name = findItem(creditLine, u"artistName%1"_s.arg(i));
            const QFontMetricsF metrics(name->property("font").value<QFont>());
            if (i == 0)
                separatorAdvance = metrics.horizontalAdvance(u", "_s);
            else
                expected += separatorAdvance;
            QVERIFY2(std::abs(name->mapToItem(creditLine, QPointF()).x() - expected) < 0.01,
                qPrintable(u"%1 starts at %2, not %3"_s.arg(name->property("name").toString())
                               .arg(name->mapToItem(creditLine, QPointF()).x())
                               .arg(expected)));
            expected += metrics.horizontalAdvance(name->property("name").toString());
        }
        QVERIFY(std::abs(creditLine->implicitWidth() - expected) < 0.01);
        QVERIFY(saveScreenshot(scene.grab(), u"artist-credits-three"_s));
    }

    void narrowLineIsCutNotWrapped()
    {
        QmlScene scene(m_scene.engine(), line(u"A very long first name & Second"_s, 80), QSize(400, 60));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QQuickItem *creditLine = scene.item(u"line"_s);
        QQuickItem *first = findItem(creditLine, u"artistName0"_s);
        QVERIFY(first->width() <= 80);
        QCOMPARE(creditLine->height(), first->height());
        QVERIFY(creditLine->clip());
    }
};

QTEST_MAIN(TestArtistCredits)
#include "tst_artistcredits.moc"
