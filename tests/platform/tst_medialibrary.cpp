// The media stack loads at the first player, not with the program: the core
// library does not bring QtMultimedia along, and the first player asked for
// loads it from beside the core library.
#include "platform/medialibrary.h"
#include "testenv.h"

#include <QFile>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

bool mapped(const QByteArray &library)
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

} // namespace

class TestMediaLibrary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void theFirstPlayerLoadsTheMediaStack()
    {
        OnDemandAudioBackend audio;
        QVERIFY(!MediaLibrary::isLoaded());
        QVERIFY(!mapped("libQt6Multimedia"));

        const QUrl source(u"http://127.0.0.1:9/media/tracks/t00001.wav"_s);
        AudioPlayerPtr player = audio.createPlayer(source);
        QVERIFY(player);
        QCOMPARE(player->source(), source);
        QVERIFY(MediaLibrary::isLoaded());
        QVERIFY(mapped("libnimbra_media"));
        QVERIFY(mapped("libQt6Multimedia"));
        // One library for every later player and surface.
        QCOMPARE(&MediaLibrary::entry(), &MediaLibrary::entry());
        QVERIFY(audio.createPlayer(source));
    }
};

QTEST_MAIN(TestMediaLibrary)
#include "tst_medialibrary.moc"
