// What the program asks the local service for between its start and the
// signed-in home page at rest: every read once, pictures included. The
// counts, the releases and the daily list need some of the same answers (the
// album list, the catalogue's one-track probe); sending those twice doubles
// the start-up's largest download. A release shows its cover twice (the orb
// and the thumbnail) and the daily card draws covers that the releases may
// show too: each picture is downloaded once all the same. The artist
// catalogue that opens after takes the album list the home page read.
#include "apprig.h"

#include "artists/artistcatalogstore.h"
#include "tracks/loadstate.h"

#include <QHash>
#include <QQuickItem>
#include <QSet>
#include <QtTest>

#include <algorithm>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestStartupRequests : public QObject
{
    Q_OBJECT

    AppRig m_rig;

    // True once the service was asked for every one of the addresses.
    bool askedForAll(const QStringList &urls) const
    {
        QSet<QString> asked;
        for (const RecordedRequest &request : m_rig.service()->requests())
            asked.insert(request.path);
        for (const QString &url : urls) {
            if (!asked.contains(QUrl(url).path()))
                return false;
        }
        return true;
    }

    // The service's reads, by their target, with how often each was sent.
    QHash<QString, int> readsSent() const
    {
        QHash<QString, int> sent;
        for (const RecordedRequest &request : m_rig.service()->requests()) {
            if (request.method == "GET"_L1 && !request.path.startsWith(u"/__dev/"_s))
                ++sent[request.target];
        }
        return sent;
    }

    // True once every shown round picture of that name shows its picture.
    bool roundPicturesReady(const QString &name) const
    {
        const QList<QQuickItem *> pictures = m_rig.shownItems(name);
        return !pictures.isEmpty()
            && std::all_of(pictures.cbegin(), pictures.cend(), [](QQuickItem *picture) {
                   return picture->property("ready").toBool();
               });
    }

private slots:
    void initTestCase() { m_rig.startService({}, false); }
    void cleanup() { m_rig.finishTest(false); }
    void cleanupTestCase() { m_rig.stopService(); }

    void signedInStartReadsEachThingOnce()
    {
        const QString token = m_rig.service()->signIn();
        QVERIFY(!token.isEmpty());
        m_rig.service()->clearRequests();

        AppContext::Environment environment;
        auto secrets = std::make_shared<MemorySecretStore>();
        secrets->put(u"access_token"_s, token.toUtf8());
        environment.secrets = secrets;
        QVERIFY(m_rig.launch(environment));

        // At rest: the home page loaded, its releases, today's covers and the
        // photo drawn.
        QObject *home = nullptr;
        QTRY_VERIFY((home = m_rig.item(u"homeView"_s) ? m_rig.item(u"homeView"_s)->findChild<QObject *>(u"homeModel"_s)
                                                       : nullptr));
        QTRY_VERIFY(home->property("loadState").toInt() != int(LoadState::Loading));
        QCOMPARE(home->property("errorText").toString(), QString());
        QVERIFY(home->property("hasDaily").toBool());
        QTRY_VERIFY(AppRig::coversLoaded(m_rig.item(u"releaseStrip"_s), u"releaseThumb"_s));
        const QStringList dailyCovers = home->property("dailyCoverUrls").toStringList();
        QVERIFY(!dailyCovers.isEmpty());
        QTRY_VERIFY(askedForAll(dailyCovers));
        QTRY_VERIFY(roundPicturesReady(u"releaseCover"_s));
        QTRY_VERIFY(roundPicturesReady(u"profileAvatar"_s));

        const QHash<QString, int> sent = readsSent();
        QStringList repeated;
        for (auto it = sent.cbegin(); it != sent.cend(); ++it) {
            if (it.value() > 1)
                repeated.append(u"%1 x%2"_s.arg(it.key()).arg(it.value()));
        }
        QVERIFY2(repeated.isEmpty(), qPrintable(repeated.join(u", "_s)));

        // The shared answers still reach every part of the page.
        QVERIFY(sent.contains(u"/api/v1/albums"_s));
        QVERIFY(sent.contains(QUrl(dailyCovers.constFirst()).path()));
        QCOMPARE(home->property("collectionSubtitle").toString(), u"600 альбомов · 6000 треков"_s);
        QCOMPARE(m_rig.item(u"releaseStrip"_s)->property("count").toInt(), 18);

        // The artist catalogue, loaded soon after, takes the home page's album list.
        ArtistCatalogStore *catalogue = m_rig.app()->artistCatalog();
        QCoro::waitFor(catalogue->reloadAsync(token));
        QVERIFY(catalogue->isReady());
        QVERIFY(!catalogue->albumTrackCounts().isEmpty());
        QCOMPARE(readsSent().value(u"/api/v1/albums"_s), 1);
    }
};

QTEST_MAIN(TestStartupRequests)
#include "tst_startuprequests.moc"
