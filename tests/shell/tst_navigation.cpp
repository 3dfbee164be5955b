// Navigation: which stack a page goes to and what back does, as a table of
// steps from a fresh window.
#include "api/storeregistry.h"
#include "artists/artistnavigationstore.h"
#include "shell/artistlinks.h"
#include "shell/navigation.h"

#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// Runs the steps (op:argument, separated by spaces) and writes what the
// window's stacks were asked to do, in the same form:
// "push section Album 7", "pop artist", "closed" (the artist page), then the
// depths at the end.
QString run(Navigation &navigation, ArtistNavigationStore &artists, const QString &steps)
{
    ArtistLinks links;
    QStringList said;
    QObject::connect(&navigation, &Navigation::pushRequested, [&](Navigation::Stack stack, Navigation::Page page,
                                                                   const QString &argument) {
        said << u"push %1 %2 %3"_s.arg(stack == Navigation::Stack::Artist ? u"artist"_s : u"section"_s,
                    QString::fromLatin1(QMetaEnum::fromType<Navigation::Page>().valueToKey(int(page))), argument);
    });
    QObject::connect(&navigation, &Navigation::popRequested, [&](Navigation::Stack stack) {
        said << (stack == Navigation::Stack::Artist ? u"pop artist"_s : u"pop section"_s);
    });
    QObject::connect(&artists, &ArtistNavigationStore::presentedArtistNameChanged, [&] {
        said << (artists.presentedArtistName().isEmpty() ? u"closed"_s : u"artist "_s + artists.presentedArtistName());
    });
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QString op = step.section(u':', 0, 0);
        const QString argument = step.section(u':', 1).replace(u'_', u' ');
        if (op == u"album")
            navigation.openAlbum(argument);
        else if (op == u"playlist")
            navigation.openPlaylist(argument);
        else if (op == u"smart")
            navigation.openSmartPlaylist(argument);
        else if (op == u"artist")
            links.open(argument);
        else if (op == u"back")
            navigation.back();
        else if (op == u"section")
            navigation.resetSection();
        else if (op == u"flat")
            navigation.setSectionAcceptsPages(false);
        else if (op == u"sidebar")
            artists.close();
        else
            qFatal("unknown step %s", qPrintable(op));
    }
    said << u"depth %1/%2"_s.arg(navigation.sectionDepth()).arg(navigation.artistDepth());
    return said.join(u"; "_s);
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("said");
        QTest::newRow("back on a section's root does nothing") << u"back"_s << u"depth 0/0"_s;
        QTest::newRow("pages stack on the section")
            << u"album:a1 playlist:p2 smart:daily back"_s
            << u"push section Album a1; push section Playlist p2; push section SmartPlaylist daily; pop section; "
               "depth 2/0"_s;
        QTest::newRow("blank ids open nothing") << u"album: playlist:_ smart:"_s << u"depth 0/0"_s;
        QTest::newRow("ids are trimmed") << u"album:_a1_"_s << u"push section Album a1; depth 1/0"_s;
        QTest::newRow("a section without a stack takes no pages") << u"flat album:a1 back"_s << u"depth 0/0"_s;
        QTest::newRow("a new section starts at its root") << u"album:a1 section back"_s << u"push section Album a1; depth 0/0"_s;
        QTest::newRow("over an artist page pages go to its stack")
            << u"album:a1 artist:Mokko album:a2 back back back"_s
            << u"push section Album a1; artist Mokko; push artist Album a2; pop artist; closed; pop section; "
               "depth 0/0"_s;
        QTest::newRow("a flat section's artist page still takes pages")
            << u"flat artist:Mokko album:a2"_s << u"artist Mokko; push artist Album a2; depth 0/1"_s;
        QTest::newRow("another artist starts a new page")
            << u"artist:Mokko album:a2 artist:Zoloto back"_s
            << u"artist Mokko; push artist Album a2; artist Zoloto; closed; depth 0/0"_s;
        QTest::newRow("closing the page from the sidebar forgets its stack")
            << u"artist:Mokko album:a2 sidebar back"_s << u"artist Mokko; push artist Album a2; closed; depth 0/0"_s;
        QTest::newRow("a blank artist is ignored") << u"artist:_ back"_s << u"depth 0/0"_s;
    }

    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, said);
        ArtistNavigationStore artists;
        StoreRegistry::set(&artists);
        Navigation navigation;
        QCOMPARE(run(navigation, artists, steps), said);
    }

    // The back control shows exactly while back would do something.
    void canGoBackFollowsDepth()
    {
        ArtistNavigationStore artists;
        StoreRegistry::set(&artists);
        Navigation navigation;
        QSignalSpy changed(&navigation, &Navigation::depthChanged);
        QVERIFY(!navigation.canGoBack());
        navigation.openAlbum(u"a1"_s);
        QVERIFY(navigation.canGoBack());
        navigation.back();
        QVERIFY(!navigation.canGoBack());
        ArtistLinks().open(u"Mokko"_s);
        QVERIFY(navigation.canGoBack());
        QVERIFY(changed.count() >= 3);
    }

    // Without the store (a test window) an artist cannot open, and nothing breaks.
    void worksWithoutTheStore()
    {
        Navigation navigation;
        ArtistLinks().open(u"Mokko"_s);
        navigation.openAlbum(u"a1"_s);
        QCOMPARE(navigation.sectionDepth(), 1);
        navigation.back();
        QCOMPARE(navigation.sectionDepth(), 0);
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
