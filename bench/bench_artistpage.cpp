// The time an artist page takes to open from a warm catalogue: the page
// model switches between two artists of a catalogue of 10,000 tracks
// (served once by a fake service and derived), each switch building the
// page content, the track rows and the album grids. Serving larger
// catalogues through the fake takes minutes; bench_artistcatalog's
// pageContent measures the content alone up to a million tracks.
//
//   build/bench/bench_artistpage

#include "api/apiconfig.h"
#include "api/storeregistry.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistpagemodel.h"

#include "catalogpages.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QCoro/QCoroTask>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int kArtists = 2000;

// Artist i%kArtists credits track i, every third with a guest; ten tracks
// make an album of the same artist.
QJsonObject trackAt(int i)
{
    QJsonObject o = trackJson(u"t%1"_s.arg(i), u"Song %1"_s.arg(i));
    QString artist = u"Artist %1"_s.arg(i % kArtists);
    if (i % 3 == 0)
        artist += u" feat. Artist %1"_s.arg((i * 7) % kArtists);
    o.insert("artist"_L1, artist);
    o.insert("album_id"_L1, u"al%1"_s.arg(i / 10));
    return o;
}

} // namespace

class BenchArtistPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void open_data()
    {
        QTest::addColumn<int>("trackCount");
        QTest::newRow("10k") << 10'000;
    }

    void open()
    {
        QFETCH(int, trackCount);
        FakeHttpServer server;
        ApiConfig::setBaseUrl(server.baseUrl());
        server.on(u"GET"_s, u"/api/v1/tracks"_s, [trackCount](const RecordedRequest &request) {
            const int page = queryNumber(request, u"page"_s);
            const int size = queryNumber(request, u"size"_s);
            QJsonArray items;
            for (int i = (page - 1) * size; i < std::min(trackCount, page * size); ++i)
                items.append(trackAt(i));
            return jsonResponse(trackPageBody(items, trackCount, page, size, (trackCount + size - 1) / size));
        });
        QJsonArray albums;
        for (int a = 0; a < trackCount / 10; ++a) {
            QJsonObject o = albumJson(u"al%1"_s.arg(a));
            o.insert("artist"_L1, u"Artist %1"_s.arg((a * 10) % kArtists));
            albums.append(o);
        }
        server.on(u"GET"_s, u"/api/v1/albums"_s, jsonResponse(listBody(albums)));
        server.on(u"GET"_s, u"/api/v1/catalog/featured-artist-names"_s, jsonResponse(R"({"names": []})"));

        ArtistCatalogStore catalog {NimbraApi()};
        QCoro::waitFor(catalog.reloadAsync(std::nullopt));
        QVERIFY(catalog.isReady());

        StoreRegistry::set(&catalog);
        ArtistPageModel page {TrackStores {}};
        int switches = 0;
        QBENCHMARK
        {
            page.setArtistName(u"Artist %1"_s.arg(switches++ % 2 ? 7 : 1234));
        }
        QCOMPARE(page.loadStateValue(), int(LoadState::Loaded));
        QVERIFY(page.tracks()->count() > 0);
    }
};

QTEST_MAIN(BenchArtistPage)
#include "bench_artistpage.moc"
