// The track catalogue at scale. appendThousandPages: 1,000 pages of 100
// brief tracks appended the way scrolling asks for them, then every row's
// roles read as a view does; reports the time per page and the heap bytes
// per row (targets: under 1 ms a page, under 1 KiB a row). windowMemory:
// the program's window over the local service, the catalogue scrolled
// through 20,000 rows; reports the PSS added over the home page (target:
// under 40 MiB) and the heap per loaded row (target: 400 bytes).
#include "appcontext.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "catalogue/catalogmodel.h"
#include "shell/mainnavigationmodel.h"
#include "shell/sidebaritem.h"

#include "devserviceprocess.h"
#include "fakeaudiobackend.h"
#include "memorysecretstore.h"
#include "screentest.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QtTest>

#include <malloc.h>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int pageCount = 1000;
constexpr int pageRows = 100;
constexpr int windowRows = 20000;

// Large blocks (a long list's buffer) are mapped apart from the heap's
// arena, and count too.
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The process's proportional set size in KiB.
qint64 pssKiB()
{
    QFile file(u"/proc/self/smaps_rollup"_s);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Brief records as the service sends them: no lyrics, a cover path.
QList<TrackOut> pageOf(int page)
{
    QList<TrackOut> tracks;
    tracks.reserve(pageRows);
    for (int i = 0; i < pageRows; ++i) {
        TrackOut track = makeTrack(u"t%1"_s.arg(page * pageRows + i, 6, 10, QChar(u'0')), {}, std::nullopt);
        track.title = u"Долгая дорога домой %1"_s.arg(i);
        track.artist = u"Космос & Nova Static"_s;
        track.coverUrl = u"media/covers/a%1.png"_s.arg(page, 4, 10, QChar(u'0'));
        tracks.append(track);
    }
    return tracks;
}

} // namespace

class BenchCatalogModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        ApiConfig::setBaseUrl(QUrl(u"http://127.0.0.1:9/"_s));
    }

    void appendThousandPages()
    {
        // Made before the clock starts: the service's decoding is not measured here.
        const size_t heapBefore = heapInUse();
        QList<QList<TrackOut>> pages;
        for (int page = 0; page < pageCount; ++page)
            pages.append(pageOf(page));

        auto loader = [&pages](int page, CancelToken) -> QCoro::Task<TrackPage> {
            TrackPage result;
            result.page = page;
            result.pages = pageCount;
            result.items = pages.at(page - 1);
            co_return result;
        };
        QElapsedTimer appendTime;
        qint64 nanoseconds = 0;
        size_t heapAfter = 0;
        qsizetype characters = 0;
        {
            CatalogModel model(loader, TrackStores {});
            appendTime.start();
            model.reload();
            while (model.count() < pageCount * pageRows) {
                const int before = model.count();
                model.rowAppeared(before - 1);
                QVERIFY(model.count() > before);
            }
            nanoseconds = appendTime.nsecsElapsed();
            pages.clear();
            heapAfter = heapInUse();

            const QList<int> roles = model.roleNames().keys();
            QElapsedTimer readTime;
            readTime.start();
            for (int row = 0; row < model.count(); ++row) {
                const QModelIndex index = model.index(row);
                for (int role : roles)
                    characters += model.data(index, role).toString().size();
            }
            qInfo("reading every role of %d rows: %.1f ms", model.count(), readTime.nsecsElapsed() / 1e6);
        }
        QVERIFY(characters > 0);
        const double perPageMs = nanoseconds / 1e6 / pageCount;
        // The pages are dropped before the heap is read again: what is left
        // is what the model holds.
        const double bytesPerRow = double(qint64(heapAfter) - qint64(heapBefore)) / (pageCount * pageRows);
        qInfo("appending a page of %d: %.3f ms; heap per row: %.0f bytes", pageRows,
            perPageMs, bytesPerRow);
        QVERIFY2(perPageMs < 1.0, "a page takes a millisecond or more");
        QVERIFY2(bytesPerRow < 1024, "a row takes a KiB or more");
    }

    void windowMemory()
    {
        QQuickStyle::setStyle(u"Basic"_s);
        DevServiceProcess service({u"--tracks"_s, QString::number(windowRows), u"--albums"_s, u"600"_s});
        QVERIFY2(service.isRunning(), qPrintable(service.startError()));
        ApiConfig::setBaseUrl(service.baseUrl());
        FakeAudioBackend audio;
        AppContext::Environment environment;
        environment.secrets = std::make_shared<MemorySecretStore>();
        environment.audio = &audio;
        AppContext app(environment);
        QVERIFY(app.start());
        QVERIFY(QTest::qWaitForWindowExposed(app.window()));
        QTRY_VERIFY(findItem(app.window(), u"loginView"_s));
        app.auth()->login(u"demo"_s, u"demo12345"_s);
        QTRY_VERIFY(findItem(app.window(), u"mainView"_s));
        QTest::qWait(2000);
        const qint64 homePss = pssKiB();
        const size_t homeHeap = heapInUse();

        auto *navigation = findItem(app.window(), u"mainView"_s)->findChild<MainNavigationModel *>(u"mainNavigation"_s);
        navigation->navigateToSidebar(SidebarItem::Catalog);
        QTRY_VERIFY(findItem(app.window(), u"catalogList"_s));
        QQuickItem *list = findItem(app.window(), u"catalogList"_s);
        auto *catalog = findItem(app.window(), u"catalogScreen"_s)->findChild<CatalogModel *>(u"catalogModel"_s);
        QTRY_VERIFY(catalog->count() > 0);
        // The screen's own cost is in by the first thousands of rows; what
        // the heap grows by after them is the rows'.
        size_t earlyHeap = 0;
        int earlyRows = 0;
        QElapsedTimer time;
        time.start();
        while (catalog->count() < windowRows && time.elapsed() < 600000) {
            if (earlyRows == 0 && catalog->count() >= 2000) {
                earlyRows = catalog->count();
                earlyHeap = heapInUse();
            }
            // A screenful at a time, never past the end of what is loaded.
            const qreal end = list->property("contentHeight").toReal() + list->property("originY").toReal()
                - list->height();
            list->setProperty("contentY", std::min(list->property("contentY").toReal() + list->height(), end));
            QTest::qWait(5);
        }
        QTRY_VERIFY(!catalog->isFetching());
        QTest::qWait(1000);
        const qint64 catalogPss = pssKiB();
        // Rows scrolled away keep no delegate: the view holds those on
        // screen, its cache margin's and the reuse pool's.
        const QList<QQuickItem *> delegates = list->property("contentItem").value<QQuickItem *>()->childItems();
        qInfo("delegates: %lld made, %lld shown", qint64(delegates.size()),
            qint64(std::count_if(delegates.begin(), delegates.end(), [](QQuickItem *item) { return item->isVisible(); })));
        qInfo("PSS: home %lld KiB, catalogue of %d rows scrolled through %lld KiB, added %.1f MiB", homePss,
            catalog->count(), catalogPss, (catalogPss - homePss) / 1024.0);
        // Where the heap per row goes: what the JavaScript collector and
        // the window's released caches (pictures, glyphs, scene graph) give
        // back is not the rows' own.
        const auto perRow = [&] { return double(qint64(heapInUse()) - qint64(homeHeap)) / catalog->count(); };
        qInfo("heap per loaded row: %.0f bytes; per row past the first %d: %.0f bytes", perRow(), earlyRows,
            double(qint64(heapInUse()) - qint64(earlyHeap)) / (catalog->count() - earlyRows));
        app.engine().collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qInfo("after collecting garbage: %.0f bytes", perRow());
        app.window()->releaseResources();
        QTest::qWait(1000);
        qInfo("after the window released its resources: %.0f bytes", perRow());
        app.engine().trimComponentCache();
        qInfo("after trimming the component cache: %.0f bytes", perRow());
        QVERIFY(catalog->count() >= windowRows);
    }
};

QTEST_MAIN(BenchCatalogModel)
#include "bench_catalogmodel.moc"
