// How many covers the artist page fetches: a first visit of an artist with
// a long discography asks for the covers near the window, not for every
// album of the page; the rest come as the page scrolls to them. Counted
// against the local service's request log, in the program's own window.
#include "artists/artistnavigationstore.h"
#include "artists/artistpagemodel.h"

#include "apprig.h"

#include <QQuickItem>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Two screenfuls of the window the program opens with (1100 by 720).
constexpr int kFirstVisitCovers = 40;

bool anyImageLoading(QQuickItem *root)
{
    if (root->property("status").isValid() && root->inherits("QQuickImageBase")
        && root->property("status").toInt() == 2 /* Image.Loading */)
        return true;
    const QList<QQuickItem *> children = root->childItems();
    return std::any_of(children.begin(), children.end(), anyImageLoading);
}

} // namespace

class TestArtistCovers : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    int coverRequests() const
    {
        int n = 0;
        for (const RecordedRequest &request : m_rig.service()->requests())
            n += request.path.startsWith(u"/media/covers/"_s);
        return n;
    }

private slots:
    // The local service's own catalogue, where one artist has dozens of albums.
    void initTestCase() { m_rig.startService({}); }
    void cleanup() { m_rig.finishTest(); }
    void cleanupTestCase() { m_rig.stopService(); }

    void firstVisitFetchesWhatIsNearTheWindow()
    {
        m_rig.launchSignedIn();
        QCOMPARE(m_rig.window()->size(), QSize(1100, 720));
        QTRY_VERIFY(!anyImageLoading(m_rig.window()->contentItem()));
        m_rig.service()->clearRequests();

        m_rig.app()->artistNavigation()->open(u"MOKKO"_s);
        QQuickItem *view = nullptr;
        QTRY_VERIFY((view = m_rig.item(u"artistPage"_s)));
        auto *page = view->findChild<ArtistPageModel *>(u"artistPageModel"_s);
        QVERIFY(page);
        QTRY_COMPARE(page->loadStateValue(), int(LoadState::Loaded));
        // Only meaningful for a page with far more albums than fit.
        QVERIFY2(page->artAlbums()->count() > kFirstVisitCovers, qPrintable(QString::number(page->artAlbums()->count())));
        QTRY_VERIFY(!anyImageLoading(view));
        const int firstVisit = coverRequests();
        qInfo("first visit: %d cover requests for %d albums", firstVisit, int(page->artAlbums()->count()));
        QVERIFY(firstVisit > 0);
        QVERIFY2(firstVisit <= kFirstVisitCovers, qPrintable(QString::number(firstVisit)));

        // Scrolled to the last album, its cover is fetched then.
        QQuickItem *scroll = m_rig.item(u"artistScroll"_s);
        QVERIFY(QMetaObject::invokeMethod(scroll, "positionViewAtEnd"));
        QTRY_VERIFY(!anyImageLoading(view));
        QVERIFY(coverRequests() > firstVisit);
        m_rig.screenshot(u"artist-covers-end"_s);
    }
};

QTEST_MAIN(TestArtistCovers)
#include "tst_artistcovers.moc"
