// The model behind the clips and battles screens against a fake service:
// the request of each source, what the screen shows after each outcome,
// loads that were replaced or cancelled, and the press on a card.
#include "eventloop.h"
#include "fakehttpserver.h"
#include "api/storeregistry.h"
#include "fakevideoplayer.h"
#include "playerrig.h"
#include "testenv.h"

#include "clips/clipplayerstore.h"
#include "platform/iconmap.h"
#include "clips/clipgridmodel.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(nimbra::test::FakeResponse)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QJsonObject clipJson(int i, bool cover = true)
{
    QJsonObject clip {{u"id"_s, u"c%1"_s.arg(i)}, {u"title"_s, u"Clip %1"_s.arg(i)}, {u"artist"_s, u"Artist"_s},
        {u"duration_seconds"_s, 5}, {u"file_url"_s, u"media/clips/c%1.avi"_s.arg(i)}, {u"kind"_s, u"clip"_s},
        {u"is_favorite"_s, false}};
    clip.insert(u"cover_url"_s, cover ? QJsonValue(u"media/covers/c%1.png"_s.arg(i)) : QJsonValue());
    return clip;
}

FakeResponse page(int count)
{
    QJsonArray items;
    for (int i = 0; i < count; ++i)
        items.append(clipJson(i, i != 1));
    FakeResponse response;
    response.body = QJsonDocument(QJsonObject {{u"items"_s, items}, {u"total"_s, count}}).toJson();
    return response;
}

FakeResponse failure(int status, const QByteArray &body = {})
{
    FakeResponse response;
    response.status = status;
    response.body = body;
    return response;
}

} // namespace

class TestClipGridModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    void serve(const QString &path, FakeResponse response) { m_server->on(u"GET"_s, path, std::move(response)); }

    static void waitLoaded(ClipGridModel &model)
    {
        QTRY_VERIFY(!model.isLoading());
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void loadOutcome_data()
    {
        QTest::addColumn<ClipGridModel::Source>("source");
        QTest::addColumn<FakeResponse>("response");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("error");

        const auto clips = ClipGridModel::Source::Clips;
        const auto battles = ClipGridModel::Source::Battles;
        QTest::newRow("clips") << clips << page(5) << "/api/v1/clips?kind=clip&page=1&size=100"
                               << int(LoadState::Loaded) << 5 << "";
        QTest::newRow("battles") << battles << page(3) << "/api/v1/battles?page=1&size=100"
                                 << int(LoadState::Loaded) << 3 << "";
        QTest::newRow("empty page") << clips << page(0) << "/api/v1/clips?kind=clip&page=1&size=100"
                                    << int(LoadState::Empty) << 0 << "";
        QTest::newRow("status 500 without message")
            << battles << failure(500) << "/api/v1/battles?page=1&size=100" << int(LoadState::Failed) << 0
            << "Ошибка сервера (500)";
        QTest::newRow("service detail") << clips << failure(503, R"({"detail": "Сервис недоступен"})")
                                        << "/api/v1/clips?kind=clip&page=1&size=100" << int(LoadState::Failed)
                                        << 0 << "Сервис недоступен";
    }

    void loadOutcome()
    {
        QFETCH(ClipGridModel::Source, source);
        QFETCH(FakeResponse, response);
        QFETCH(QString, target);
        QFETCH(int, state);
        QFETCH(int, rows);
        QFETCH(QString, error);
        serve(QUrl(u"http://x"_s + target).path(), response);

        ClipGridModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setSource(source);
        QCOMPARE(int(model.loadState()), int(LoadState::Idle));
        QSignalSpy texts(&model, &ClipGridModel::errorTextChanged);
        model.load();
        QCOMPARE(int(model.loadState()), int(LoadState::Loading));
        waitLoaded(model);
        QCOMPARE(texts.count(), error.isEmpty() ? 0 : 1);

        QCOMPARE(m_server->lastRequest().target, target);
        QVERIFY(!m_server->lastRequest().hasHeader(u"Authorization"_s)); // a guest
        QCOMPARE(int(model.loadState()), state);
        QCOMPARE(model.rowCount(), rows);
        QCOMPARE(model.errorText(), error);
        QVERIFY(!IconMap::glyph(model.emptySymbol()).isEmpty());
    }

    void rowsGiveCardTexts()
    {
        serve(u"/api/v1/clips"_s, page(3));
        ClipGridModel model;
        model.load();
        waitLoaded(model);
        const auto at = [&](int row, int role) { return model.data(model.index(row), role).toString(); };
        QCOMPARE(at(0, ClipGridModel::TitleRole), u"Clip 0"_s);
        QCOMPARE(at(0, ClipGridModel::ArtistRole), u"Artist"_s);
        QCOMPARE(at(0, ClipGridModel::CoverUrlRole), m_server->baseUrl().toString() + u"/media/covers/c0.png"_s);
        QCOMPARE(at(1, ClipGridModel::CoverUrlRole), QString()); // placeholder
    }

    void reloadKeepsGridAndErrorCoversIt()
    {
        serve(u"/api/v1/clips"_s, page(4));
        ClipGridModel model;
        model.load();
        waitLoaded(model);
        serve(u"/api/v1/clips"_s, failure(500));
        model.load();
        QVERIFY(model.isLoading());
        QCOMPARE(int(model.loadState()), int(LoadState::Loaded)); // no spinner over a held list
        waitLoaded(model);
        QCOMPARE(int(model.loadState()), int(LoadState::Failed));
        QCOMPARE(model.rowCount(), 4); // the list keeps what it held
    }

    void replacedOrCancelledLoadWritesNothing()
    {
        AnswerGate replaced;
        m_server->on(u"GET"_s, u"/api/v1/clips"_s, replaced.hold(page(7)));
        ClipGridModel model;
        model.load();
        QTRY_COMPARE(m_server->requestCount(), 1);
        serve(u"/api/v1/clips"_s, page(2));
        model.load(); // the section was left and opened again
        waitLoaded(model);
        QCOMPARE(model.rowCount(), 2);
        replaced.open();
        QVERIFY(waitUntilIdle()); // the first answer has arrived, or was aborted
        QCOMPARE(model.rowCount(), 2);

        AnswerGate cancelled;
        m_server->on(u"GET"_s, u"/api/v1/clips"_s, cancelled.hold(page(9)));
        model.load();
        QTRY_COMPARE(m_server->requestCount(), 3); // under way, so it cannot come after this test
        model.cancel();
        QVERIFY(!model.isLoading());
        cancelled.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(int(model.loadState()), int(LoadState::Loaded));
    }

    void cardPausesAudioThenPlaysWithWholeList()
    {
        serve(u"/api/v1/clips"_s, page(5));
        PlayerRig audio;
        audio.play({u"t1"_s, u"t2"_s}, 0);
        QVERIFY(audio.store->isPlaying());
        FakeVideoBackend video;
        ClipPlayerStore clips(&video);
        // The audio is already paused when the video starts.
        bool pausedFirst = false;
        connect(&clips, &ClipPlayerStore::isPresentedChanged, this,
            [&] { pausedFirst = !audio.store->isPlaying(); });

        StoreRegistry::set(audio.store.get());
        StoreRegistry::set(&clips);
        ClipGridModel model;
        model.load();
        waitLoaded(model);
        model.play(2);
        QVERIFY(pausedFirst);
        QVERIFY(!audio.store->isPlaying());
        QCOMPARE(clips.currentClipId(), u"c2"_s);
        QCOMPARE(clips.queue(), model.clips());
        QVERIFY(clips.isPlaying());

        model.play(9); // no such card
        QCOMPARE(clips.currentClipId(), u"c2"_s);
    }
};

QTEST_GUILESS_MAIN(TestClipGridModel)
#include "tst_clipgridmodel.moc"
