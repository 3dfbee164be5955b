// The track catalogue against a fake service: pages of 50 brief records
// with the token only of an account, the next page only when asked and
// never twice at once, the end, and a sign-in during a load starting over
// without the older load's rows.
#include "catalogue/catalogmodel.h"

#include "api/session.h"

#include "eventloop.h"
#include "fakehttpserver.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// Three pages of 50; the ids say who asked ("guest"/"user") and the page.
// A guest's first page takes 300 ms.
QMap<QString, QString> queryOf(const RecordedRequest &request)
{
    QMap<QString, QString> query;
    for (const auto &[key, value] : request.queryItems)
        query.insert(key, value);
    return query;
}

FakeResponse catalogPage(const RecordedRequest &request)
{
    const int page = queryOf(request).value(u"page"_s).toInt();
    const QString who = request.hasHeader(u"authorization"_s) ? u"user"_s : u"guest"_s;
    TrackPage result;
    result.page = page;
    result.size = CatalogModel::pageSize;
    result.pages = 3;
    result.total = 150;
    for (int i = 0; i < CatalogModel::pageSize; ++i)
        result.items.append(makeTrack(u"%1-%2-%3"_s.arg(who).arg(page).arg(i)));
    FakeResponse response;
    response.body = QJsonDocument(result.toJson()).toJson();
    return response;
}

} // namespace

class TestCatalogModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    QList<RecordedRequest> pageRequests() const
    {
        QList<RecordedRequest> pages;
        for (const RecordedRequest &request : m_server->requests()) {
            if (request.path == u"/api/v1/tracks")
                pages.append(request);
        }
        return pages;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init()
    {
        m_server->clearRequests();
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, catalogPage);
    }

    void pagesUntilTheEnd()
    {
        Session session;
        session.setToken(u"tok"_s);
        session.setHasUser(true);
        // No item model tester here: it would ask for more pages itself.
        CatalogModel model(CatalogModel::serviceLoader(&session), TrackStores {{}, {}, {}, &session});
        QVERIFY(!model.canFetchMore({}));
        QCOMPARE(model.countText(), u"0 треков"_s);

        model.reload();
        QTRY_COMPARE(model.count(), 50);
        QCOMPARE(queryOf(pageRequests().first()),
            (QMap<QString, QString> {{u"page"_s, u"1"_s}, {u"size"_s, u"50"_s}, {u"brief"_s, u"true"_s}}));
        QCOMPARE(pageRequests().first().header(u"authorization"_s), u"Bearer tok"_s);

        // Only the last loaded row asks for more; it shows twice before the
        // page is back: one request.
        model.rowAppeared(48);
        QVERIFY(!model.isFetching());
        model.rowAppeared(49);
        QVERIFY(model.isFetching());
        model.rowAppeared(49);
        QTRY_COMPARE(model.count(), 100);
        model.rowAppeared(99);
        QTRY_COMPARE(model.count(), 150);
        model.rowAppeared(149);
        QVERIFY(!model.isFetching());
        QVERIFY(!model.canFetchMore({}));
        QCOMPARE(model.countText(), u"150 треков"_s);
        QStringList asked;
        for (const RecordedRequest &request : pageRequests())
            asked.append(queryOf(request).value(u"page"_s));
        QCOMPARE(asked, QStringList({u"1"_s, u"2"_s, u"3"_s}));
    }

    void signInDuringALoadStartsOver()
    {
        Session session;
        CatalogModel model(CatalogModel::serviceLoader(&session), TrackStores {{}, {}, {}, &session});
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Nothing is asked before the screen shows the list.
        session.setGuest(true);
        QCOMPARE(pageRequests().size(), 0);

        AnswerGate guestPage;
        m_server->on(u"GET"_s, u"/api/v1/tracks"_s, guestPage.holdAnswersOf(catalogPage, [](const RecordedRequest &r) {
            return !r.hasHeader(u"authorization"_s);
        }));
        model.reload();
        QTRY_COMPARE(pageRequests().size(), 1);
        QVERIFY(!pageRequests().first().hasHeader(u"authorization"_s));
        // The account arrives while the guest's first page is on its way.
        session.setToken(u"tok"_s);
        session.setHasUser(true);
        QTRY_COMPARE(model.count(), 150);
        // The guest's first page comes now, or its request was aborted.
        guestPage.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(model.count(), 150);
        QCOMPARE(model.trackAt(0).id, u"user-1-0"_s);
        QCOMPARE(model.loadState().state, LoadState::Loaded);
        // The guest's first page, then the account's three.
        QCOMPARE(pageRequests().size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestCatalogModel)
#include "tst_catalogmodel.moc"
