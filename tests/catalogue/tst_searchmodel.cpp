// The search screen's rules without QML: the pause after the last edit,
// Return at once, the newer search replacing the older (whose answer or
// failure is never shown), an empty text clearing everything, and rows
// given what a line shows.
#include "catalogue/searchmodel.h"
#include "tracks/rowtext.h"

#include "manualclock.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// A service on the manual clock: each answer takes 100 ms ("slow…" 500 ms);
// "fail…" fails; a term finds one album and the tracks "<term>-1", "<term>-2"
// unless it begins with "none" (nothing), "tracks" (no album) or "albums"
// (no track).
struct FakeSearch
{
    ManualClock clock;
    QStringList asked;

    SearchModel::Searcher searcher()
    {
        return [this](QString term, CancelToken cancel) -> QCoro::Task<SearchResults> {
            asked.append(term);
            QCoro::Task<> latency = clock.sleep(term.startsWith(u"slow") ? 500ms : 100ms, cancel);
            co_await std::move(latency);
            if (term.startsWith(u"fail"))
                throw std::runtime_error("Сервис недоступен");
            SearchResults results;
            if (!term.startsWith(u"none") && !term.startsWith(u"albums"))
                results.tracks = makeTracks({term + u"-1"_s, term + u"-2"_s});
            if (!term.startsWith(u"none") && !term.startsWith(u"tracks"))
                results.albums = {AlbumOut {term + u"-album"_s, u"Album"_s, u"A & B"_s, 2020, {}, {}}};
            co_return results;
        };
    }
};

} // namespace

class TestSearchModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void searchesOnlyAfterThePause()
    {
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        QAbstractItemModelTester tracksTester(model.tracks(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.loadState().state, LoadState::Empty);
        QVERIFY(!model.hasSearched());

        model.setQuery(u"r"_s);
        service.clock.advance(300ms);
        model.setQuery(u"ro"_s);
        service.clock.advance(300ms);
        // A trailing space restarts the wait too; the term stays "ro".
        model.setQuery(u"ro "_s);
        service.clock.advance(349ms);
        QCOMPARE(service.asked, QStringList());
        QCOMPARE(model.loadState().state, LoadState::Empty);
        QVERIFY(!model.hasSearched());
        service.clock.advance(1ms);
        QCOMPARE(service.asked, QStringList {u"ro"_s});
        QCOMPARE(model.loadState().state, LoadState::Loading);
        QVERIFY(!model.canSubmit());

        service.clock.advance(100ms);
        QCOMPARE(model.loadState().state, LoadState::Loaded);
        QCOMPARE(model.tracks()->trackAt(0).id, u"ro-1"_s);
        QCOMPARE(model.albums()->count(), 1);
        QVERIFY(model.canSubmit());
    }

    // A found album or track shows one line: a title or credit longer than
    // a line shows comes to the row cut there, and the record stays whole.
    void rowsGetWhatALineShows()
    {
        const QString longer(maxRowText + 1, u'я');
        const QString shown = QString(maxRowText - 1, u'я') + QChar(0x2026);
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        TrackOut track = makeTrack(u"t1"_s);
        track.title = longer;
        track.artist = longer;
        model.tracks()->setTracks({track});
        model.albums()->setAlbums({AlbumOut {u"a1"_s, longer, longer, 2020, {}, {}}});
        for (const int role : {TrackListModel::TitleRole, TrackListModel::ArtistRole})
            QCOMPARE(model.tracks()->index(0).data(role).toString(), shown);
        for (const int role : {AlbumListModel::TitleRole, AlbumListModel::ArtistRole})
            QCOMPARE(model.albums()->index(0).data(role).toString(), shown);
        QCOMPARE(model.tracks()->trackAt(0), track);
    }

    void returnSearchesAtOnceAndDropsTheWait()
    {
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        model.setQuery(u"  deep  house \t"_s);
        model.submit();
        // Trimmed at both ends only.
        QCOMPARE(service.asked, QStringList {u"deep  house"_s});
        service.clock.advance(1s);
        QCOMPARE(service.asked.size(), 1);
        QCOMPARE(model.loadState().state, LoadState::Loaded);
    }

    // Only the newest search changes the screen: an older answer that comes
    // later, or an older failure, shows nothing and leaves the loading flag
    // to the newer search.
    void newerSearchReplacesTheOlder_data()
    {
        QTest::addColumn<QString>("older");
        QTest::newRow("older answer comes later") << u"slow"_s;
        QTest::newRow("older search fails later") << u"fail-slow"_s;
    }

    void newerSearchReplacesTheOlder()
    {
        QFETCH(QString, older);
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        model.setQuery(older);
        model.submit();
        model.setQuery(u"new"_s);
        // The older request was abandoned as the newer edit came in.
        QCOMPARE(model.loadState().state, LoadState::Loading);
        QVERIFY(!model.hasSearched());
        service.clock.advance(350ms);
        QCOMPARE(service.asked.last(), u"new"_s);
        QCOMPARE(model.loadState().state, LoadState::Loading);
        service.clock.advance(100ms);
        QCOMPARE(model.loadState().state, LoadState::Loaded);
        QCOMPARE(model.tracks()->trackAt(0).id, u"new-1"_s);
        service.clock.advance(1s);
        QCOMPARE(model.tracks()->trackAt(0).id, u"new-1"_s);
        QCOMPARE(model.errorText(), QString());
    }

    // "Ничего не найдено" only when neither list found anything.
    void answerDecidesWhatShows_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("content");
        QTest::newRow("tracks and albums") << u"rock"_s << int(LoadState::Loaded);
        QTest::newRow("only tracks") << u"tracks"_s << int(LoadState::Loaded);
        QTest::newRow("only albums") << u"albums"_s << int(LoadState::Loaded);
        QTest::newRow("nothing") << u"none"_s << int(LoadState::Empty);
    }

    void answerDecidesWhatShows()
    {
        QFETCH(QString, term);
        QFETCH(int, content);
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        model.setQuery(term);
        model.submit();
        service.clock.advance(100ms);
        QCOMPARE(int(model.loadState().state), content);
    }

    void outcomesAndTheEmptyText()
    {
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        model.setQuery(u"rock"_s);
        model.submit();
        service.clock.advance(100ms);
        model.setQuery(u"fail"_s);
        model.submit();
        service.clock.advance(100ms);
        QCOMPARE(model.loadState().state, LoadState::Failed);
        QCOMPARE(model.errorText(), u"Сервис недоступен"_s);
        QCOMPARE(model.tracks()->count(), 0);
        QCOMPARE(model.albums()->count(), 0);

        // Spaces only: back at the prompt at once, nothing asked.
        const int asked = int(service.asked.size());
        model.setQuery(u"   "_s);
        QCOMPARE(model.loadState().state, LoadState::Empty);
        QVERIFY(!model.hasSearched());
        QCOMPARE(model.errorText(), QString());
        QVERIFY(!model.canSubmit());
        service.clock.advance(1s);
        QCOMPARE(service.asked.size(), asked);

        // Emptying the field while a search runs drops it.
        model.setQuery(u"slow"_s);
        model.submit();
        model.setQuery(QString());
        QCOMPARE(model.loadState().state, LoadState::Empty);
        QVERIFY(!model.hasSearched());
        service.clock.advance(1s);
        QCOMPARE(model.loadState().state, LoadState::Empty);
        QVERIFY(!model.hasSearched());
        QCOMPARE(model.tracks()->count(), 0);

        // So does the end of the session it was asked in.
        Session session;
        session.setToken(u"tok"_s);
        TrackStores listener;
        listener.session = &session;
        SearchModel left(service.searcher(), &service.clock, listener);
        left.setQuery(u"rock"_s);
        left.submit();
        session.setToken(std::nullopt);
        service.clock.advance(1s);
        QVERIFY(!left.hasSearched());
        QCOMPARE(left.tracks()->count(), 0);
    }

    void findButtonNeedsTextOtherThanSpaces_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("spaces and tabs") << u" \t "_s << false;
        QTest::newRow("a line break") << u"\n"_s << true;
        QTest::newRow("a word") << u" a "_s << true;
    }

    void findButtonNeedsTextOtherThanSpaces()
    {
        QFETCH(QString, query);
        QFETCH(bool, enabled);
        FakeSearch service;
        SearchModel model(service.searcher(), &service.clock, TrackStores {});
        model.setQuery(query);
        QCOMPARE(model.canSubmit(), enabled);
        // A line break alone searches nothing.
        model.submit();
        QCOMPARE(service.asked.size(), query.trimmed().isEmpty() ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestSearchModel)
#include "tst_searchmodel.moc"
