// The client-side compositions against the local service: library counts,
// new releases, the daily list, the wave and the whole catalogue.
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"
#include "catalogue/homesummary.h"
#include "library/trackdraws.h"

#include "catalogpages.h"
#include "devserviceprocess.h"
#include "servicerequests.h"
#include "testenv.h"
#include "trackfixtures.h"

#include <QSet>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// The catalogue position of a track id: "t00051" is 50.
int trackIndex(const QString &id)
{
    return id.mid(1).toInt() - 1;
}

QString tracksTarget(int page, int size)
{
    return u"/api/v1/tracks?brief=true&page=%1&size=%2"_s.arg(page).arg(size);
}

} // namespace

class TestNimbraApiEndToEndCompositions : public QObject
{
    Q_OBJECT

    std::unique_ptr<DevServiceProcess> m_service;
    NimbraApi m_api;
    int m_listeners = 0;

    // A new account with the given favourites; the request log is cleared.
    QString listenerWithFavourites(const QStringList &trackIds)
    {
        const QString name = u"wave%1"_s.arg(++m_listeners);
        const QString token
            = outcomeOf(m_api.registerUser(name, name + u"@nimbra.local"_s, u"password1"_s)).value->accessToken;
        for (const QString &id : trackIds)
            outcomeOf(m_api.addFavorite(id, token));
        m_service->clearRequests();
        return token;
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_service = std::make_unique<DevServiceProcess>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->startError()));
        ApiConfig::setBaseUrl(m_service->baseUrl());
    }

    void init() { m_service->clearRequests(); }

    void cleanupTestCase() { m_service.reset(); }

    void libraryStatsForGuestAndListener()
    {
        SERVICE_VALUE(guest, HomeSummary(m_api).libraryStats(std::nullopt));
        QCOMPARE((QList<qint64> {
                     guest.favoritesCount, guest.albumsCount, guest.tracksCount, guest.clipsCount, guest.battlesCount}),
            (QList<qint64> {0, 600, 6000, 36, 24}));
        // The four counts are asked for at once, so they arrive in any order.
        QStringList lines = requestLines(m_service->requests());
        lines.sort();
        QCOMPARE(lines,
            (QStringList {expectedLine(u"GET"_s, u"/api/v1/albums"_s),
                expectedLine(u"GET"_s, u"/api/v1/battles?page=1&size=1"_s),
                expectedLine(u"GET"_s, u"/api/v1/clips?kind=clip&page=1&size=1"_s),
                expectedLine(u"GET"_s, tracksTarget(1, 1))}));

        const QString token = listenerWithFavourites({u"t00003"_s, u"t00500"_s, u"t05999"_s});
        SERVICE_VALUE(listener, HomeSummary(m_api).libraryStats(token));
        QCOMPARE(listener.favoritesCount, 3);
        // Favourites are counted after the catalogue probes.
        lines = requestLines(m_service->requests());
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.last(), expectedLine(u"GET"_s, u"/api/v1/favorites"_s, token));
    }

    void dailyPlaylistIsStableAcrossCalls()
    {
        // One fixed day, so that the two calls never straddle midnight.
        const TrackDraws api(NimbraApi(), TrackDraws::Sources {[] { return QDate(2026, 12, 6); }, {}});
        SERVICE_VALUE(first, api.dailyPlaylist(std::nullopt, 30));
        const auto firstRequests = m_service->requests();
        m_service->clearRequests();
        const QString token = listenerWithFavourites({});
        SERVICE_VALUE(again, api.dailyPlaylist(token, 30));
        const auto againRequests = m_service->requests();

        const QStringList ids = trackIds(first);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 30);
        // Whoever asks, the day draws the same list.
        QCOMPARE(trackIds(again), ids);

        const QList<int> pages = drawnPages(firstRequests);
        QCOMPARE(pages.size(), 4);
        QStringList expected {expectedLine(u"GET"_s, tracksTarget(1, 1))};
        for (const int page : pages)
            expected.append(expectedLine(u"GET"_s, tracksTarget(page, 50)));
        QCOMPARE(requestLines(firstRequests), expected);
        QCOMPARE(drawnPages(againRequests), pages);
        QCOMPARE(againRequests.first().header(u"authorization"_s), u"Bearer "_s + token);
        // Every track comes from one of the drawn pages.
        for (const TrackOut &track : first)
            QVERIFY2(pages.contains(trackIndex(track.id) / 50 + 1), qPrintable(track.id));
    }

    void wholeCatalogueAcrossPageBoundaries()
    {
        // A catalogue whose last page of 1000 is not full.
        DevServiceProcess small({u"--tracks"_s, u"2500"_s, u"--albums"_s, u"50"_s});
        QVERIFY2(small.isRunning(), qPrintable(small.startError()));
        ApiConfig::setBaseUrl(small.baseUrl());
        const QString token = small.signIn();
        small.clearRequests();
        const auto outcome = outcomeOf(m_api.fetchAllTracksBrief(token));
        ApiConfig::setBaseUrl(m_service->baseUrl());
        QVERIFY2(!outcome.error, qPrintable(describeException(outcome.error)));

        const QList<TrackOut> &all = *outcome.value;
        QCOMPARE(all.size(), 2500);
        QCOMPARE(all.first().id, u"t00001"_s);
        QCOMPARE(all.last().id, u"t02500"_s);
        for (qsizetype i = 0; i < all.size(); ++i) {
            if (trackIndex(all[i].id) != i || all[i].lyrics)
                QFAIL(qPrintable(u"record %1 is %2"_s.arg(i).arg(all[i].id)));
        }
        QCOMPARE(requestLines(small.requests()),
            (QStringList {expectedLine(u"GET"_s, tracksTarget(1, 1000), token),
                expectedLine(u"GET"_s, tracksTarget(2, 1000), token),
                expectedLine(u"GET"_s, tracksTarget(3, 1000), token)}));
    }
};

QTEST_GUILESS_MAIN(TestNimbraApiEndToEndCompositions)
#include "tst_nimbraapi_e2e_compositions.moc"
