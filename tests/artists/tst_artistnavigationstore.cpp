// Opening and closing artist pages, and the keyboard focus that the window
// takes away from the screen underneath when a page opens.
#include "api/storeregistry.h"
#include "artists/artistnavigationstore.h"
#include "shell/mainnavigationmodel.h"

#include "qmlscene.h"
#include "testenv.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

const QByteArray kSearchScreen = R"(
import QtQuick
Item {
    width: 300; height: 100
    TextInput { objectName: "search"; width: 200; height: 30; focus: true }
}
)";

} // namespace

class TestArtistNavigationStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QQmlEngine> m_engine;

    // A shown, active window whose text input has keyboard focus.
    std::unique_ptr<test::QmlScene> focusedSearch()
    {
        auto scene = std::make_unique<test::QmlScene>(*m_engine, kSearchScreen);
        if (!scene->ok())
            return {};
        scene->item(u"search"_s)->forceActiveFocus();
        if (!scene->item(u"search"_s)->hasActiveFocus())
            return {};
        return scene;
    }

private slots:
    void initTestCase()
    {
        test::initTestEnvironment();
        m_engine = std::make_unique<QQmlEngine>();
    }

    void openPresentsTheTrimmedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("presented");
        QTest::newRow("spaces and a line break") << u"  Бо Ли \n"_s << u"Бо Ли"_s;
        QTest::newRow("no-break spaces") << u"\u00a0Ann\u00a0"_s << u"Ann"_s;
    }
    void openPresentsTheTrimmedName()
    {
        QFETCH(QString, name);
        QFETCH(QString, presented);
        ArtistNavigationStore store;
        QSignalSpy changed(&store, &ArtistNavigationStore::presentedArtistNameChanged);
        store.open(name);
        QCOMPARE(store.presentedArtistName(), presented);
        QCOMPARE(store.property("presentedArtistName").toString(), presented);
        QCOMPARE(changed.count(), 1);
    }

    void blankNamesAreIgnored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces") << u"   "_s;
    }
    void blankNamesAreIgnored()
    {
        QFETCH(QString, name);
        auto scene = focusedSearch();
        QVERIFY(scene);
        QQuickItem *search = scene->item(u"search"_s);

        ArtistNavigationStore store;
        store.setPresentedArtistName(u"Ann"_s);
        QSignalSpy changed(&store, &ArtistNavigationStore::presentedArtistNameChanged);
        store.open(name);
        QCoreApplication::processEvents();
        QCOMPARE(store.presentedArtistName(), u"Ann"_s);
        QCOMPARE(changed.count(), 0);
        QVERIFY(search->hasActiveFocus());
    }

    void closingShowsNoPage()
    {
        ArtistNavigationStore store;
        store.open(u"Ann"_s);
        store.close();
        QVERIFY(store.presentedArtistName().isNull());

        // Screens may write the name directly; an empty one closes the page.
        store.setProperty("presentedArtistName", u"Бо"_s);
        QCOMPARE(store.presentedArtistName(), u"Бо"_s);
        QSignalSpy changed(&store, &ArtistNavigationStore::presentedArtistNameChanged);
        store.setProperty("presentedArtistName", u""_s);
        QVERIFY(store.presentedArtistName().isNull());
        store.close();
        QCOMPARE(changed.count(), 1);
    }

    // The window drops focus as the page opens, and once more after the
    // event that opened it is done, in case something took focus back
    // meanwhile. The store itself leaves focus alone.
    void openingDropsKeyboardFocusTwice()
    {
        auto scene = focusedSearch();
        QVERIFY(scene);
        QQuickItem *search = scene->item(u"search"_s);

        ArtistNavigationStore store;
        store.open(u"Bo"_s);
        QCoreApplication::processEvents();
        QVERIFY(search->hasActiveFocus());
        store.close();

        StoreRegistry::set(&store);
        MainNavigationModel window;
        store.open(u"Ann"_s);
        QVERIFY(!search->hasActiveFocus());
        QQuickItem *now = scene->window()->activeFocusItem();
        QVERIFY(!now || now == scene->window()->contentItem());

        search->forceActiveFocus();
        QVERIFY(search->hasActiveFocus());
        QTRY_VERIFY(!search->hasActiveFocus());

        // Typing reaches nothing any more.
        for (const char key : {'a', 'b', 'c'})
            QTest::keyClick(scene->window(), key);
        QCOMPARE(search->property("text").toString(), QString());
    }
};

QTEST_MAIN(TestArtistNavigationStore)
#include "tst_artistnavigationstore.moc"
