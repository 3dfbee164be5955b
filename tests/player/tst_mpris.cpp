#include "fakehttpserver.h"
#include "mprisprobe.h"
#include "playerrig.h"
#include "testenv.h"

#include "api/apiconfig.h"
#include "platform/mprisservice.h"
#include "player/nowplayingcontroller.h"

#include <QBuffer>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QImage>
#include <QProcess>
#include <QtTest>

#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

const QString servicePrefix = u"org.mpris.MediaPlayer2."_s;
const QString playerInterface = u"org.mpris.MediaPlayer2.Player"_s;

QByteArray redPng()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct PropertiesChange
{
    QString interface;
    QVariantMap changed;
};

} // namespace

// Drives a real player store through the desktop's side of MPRIS: playerctl
// as a separate process, and a second bus connection that watches signals.
// scripts/test runs it inside a private session bus.
class TestMpris : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_host;
    std::unique_ptr<PlayerRig> m_rig;
    QList<PropertiesChange> m_changes;
    QList<qlonglong> m_seeks;

    PlayerStore &store() { return *m_rig->store; }
    MprisService *mpris() { return m_rig->store->nowPlaying()->mpris(); }
    static QDBusConnection observer() { return QDBusConnection(u"observer"_s); }

    // Runs playerctl on our player and gives its output. The event loop
    // runs meanwhile: the service answering it lives in this process.
    QString playerctl(const QStringList &args)
    {
        QProcess process;
        QSignalSpy finished(&process, &QProcess::finished);
        const QString name = mpris()->serviceName().mid(servicePrefix.size());
        process.start(u"playerctl"_s, QStringList {u"--player"_s, name} + args);
        finished.wait(15000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    // Properties as a desktop reads them, from its own connection.
    QVariant property(const QString &name, const QString &interface = playerInterface)
    {
        return MprisProbe(mpris()->serviceName()).property(name, interface);
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("No session bus (scripts/test provides one)");
        if (QStandardPaths::findExecutable(u"playerctl"_s).isEmpty())
            QSKIP("playerctl is not installed (scripts/test installs it)");
        QDBusConnection watch = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"observer"_s);
        QVERIFY(watch.isConnected());
        QVERIFY(watch.connect(QString(), u"/org/mpris/MediaPlayer2"_s, u"org.freedesktop.DBus.Properties"_s,
            u"PropertiesChanged"_s, this, SLOT(onPropertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(watch.connect(
            QString(), u"/org/mpris/MediaPlayer2"_s, playerInterface, u"Seeked"_s, this, SLOT(onSeeked(qlonglong))));
        m_host = std::make_unique<FakeHttpServer>();
        m_host->on(u"GET"_s, u"/covers/red.png"_s, FakeResponse {200, redPng(), "image/png"});
    }

    void init()
    {
        ApiConfig::setBaseUrl(m_host->baseUrl());
        m_rig = std::make_unique<PlayerRig>();
        QVERIFY(mpris());
        m_changes.clear();
        m_seeks.clear();
    }

    void cleanup() { m_rig.reset(); }

    void cleanupTestCase() { QDBusConnection::disconnectFromBus(u"observer"_s); }

    void onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        m_changes.append({interface, changed});
    }

    void onSeeked(qlonglong position) { m_seeks.append(position); }

    void listedUnderItsName()
    {
        QCOMPARE(mpris()->serviceName(), u"org.mpris.MediaPlayer2.nimbra"_s);
        const QStringList players = playerctl({u"--list-all"_s}).split(u'\n');
        QVERIFY2(players.contains(u"nimbra"_s), qPrintable(players.join(u", "_s)));
        QCOMPARE(property(u"Identity"_s, u"org.mpris.MediaPlayer2"_s).toString(), u"Nimbra"_s);

        // Nothing loaded: play, play-pause and next do nothing.
        playerctl({u"play"_s});
        playerctl({u"play-pause"_s});
        playerctl({u"next"_s});
        QCOMPARE(playerctl({u"status"_s}), u"Stopped"_s);
        QCOMPARE(m_rig->backend.playerCount(), 0);
    }

    void takenNameGivesAnInstanceName()
    {
        // Another client already holds the name: this one takes its own.
        m_rig->store.reset();
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"other"_s);
        QVERIFY(other.registerService(u"org.mpris.MediaPlayer2.nimbra"_s));
        m_rig->store = std::make_unique<PlayerStore>(&m_rig->backend, &m_rig->session, &m_rig->clock, &m_rig->lyrics);
        const QString expected = u"org.mpris.MediaPlayer2.nimbra.instance%1"_s.arg(QCoreApplication::applicationPid());
        QCOMPARE(mpris()->serviceName(), expected);
        m_rig->store.reset();
        // The instance name goes with the store.
        QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(expected).value());
        QDBusConnection::disconnectFromBus(u"other"_s);
    }

    void metadataAndStatus()
    {
        auto list = makeTracks({u"a"_s, u"b"_s});
        list[0].coverUrl = u"covers/red.png"_s;
        store().play(list.at(0), list);
        QCOMPARE(playerctl({u"metadata"_s, u"--format"_s, u"{{title}}|{{artist}}|{{mpris:length}}"_s}),
            u"Song a|Artist|200000000"_s);
        QCOMPARE(playerctl({u"status"_s}), u"Playing"_s);
        const QVariantMap metadata = qdbus_cast<QVariantMap>(property(u"Metadata"_s));
        QCOMPARE(metadata.value(u"mpris:trackid"_s).value<QDBusObjectPath>(), MprisService::trackPath(u"a"_s));

        // The cover arrives as a local PNG file.
        QTRY_VERIFY(!playerctl({u"metadata"_s, u"mpris:artUrl"_s}).isEmpty());
        const QUrl art(playerctl({u"metadata"_s, u"mpris:artUrl"_s}));
        QVERIFY(art.isLocalFile());
        QCOMPARE(QImage(art.toLocalFile(), "PNG").pixelColor(0, 0), QColor(Qt::red));

        store().togglePlayPause();
        QCOMPARE(playerctl({u"status"_s}), u"Paused"_s);
        // A length learnt from the item reaches the panel with the ticks.
        list[1].durationSeconds = 0;
        store().play(list.at(1), list);
        QCOMPARE(playerctl({u"metadata"_s, u"mpris:length"_s}), u"1000000"_s);
        m_rig->player()->setItemDuration(321.5);
        m_rig->player()->tick(0.1);
        QCOMPARE(playerctl({u"metadata"_s, u"mpris:length"_s}), u"321500000"_s);
    }

    void transportCommands()
    {
        // Each track is heard before the next command.
        m_rig->play({u"a"_s, u"b"_s, u"c"_s}, 0);
        m_rig->player()->tick(1.0);
        playerctl({u"next"_s});
        QTRY_COMPARE(m_rig->currentId(), u"b"_s);
        m_rig->player()->tick(1.0);
        playerctl({u"previous"_s});
        QTRY_COMPARE(m_rig->currentId(), u"a"_s);

        playerctl({u"play-pause"_s});
        QTRY_VERIFY(!store().isPlaying());
        QVERIFY(!m_rig->player()->isPlaying());
        const int pauses = m_rig->player()->pauseCalls();
        // Pause while paused changes nothing.
        playerctl({u"pause"_s});
        playerctl({u"play-pause"_s});
        QTRY_VERIFY(store().isPlaying());
        QCOMPARE(m_rig->player()->pauseCalls(), pauses);
        playerctl({u"stop"_s});
        QTRY_VERIFY(!store().isPlaying());
        QCOMPARE(m_rig->backend.playerCount(), 3);
    }

    void positionAndSeeking()
    {
        m_rig->play({u"a"_s, u"b"_s}, 0);
        m_rig->player()->tick(42.5);
        // playerctl adds the time since it read the position while playing.
        const double shown = playerctl({u"position"_s}).toDouble();
        QVERIFY2(shown >= 42.5 && shown < 43.5, qPrintable(QString::number(shown)));
        // The player's own jump is told like any other.
        QTRY_COMPARE(m_seeks, QList<qlonglong>({42500000}));
        m_seeks.clear();

        // Absolute, for the current track.
        playerctl({u"position"_s, u"30"_s});
        QTRY_COMPARE(store().elapsed(), 30.0);
        QCOMPARE(m_rig->player()->seeks().last(), 30.0);
        QTRY_COMPARE(m_seeks, QList<qlonglong>({30000000}));
        // Relative, from the position shown; before the start is the start.
        playerctl({u"position"_s, u"10+"_s});
        QTRY_COMPARE(store().elapsed(), 40.0);
        playerctl({u"position"_s, u"100-"_s});
        QTRY_COMPARE(store().elapsed(), 0.0);
        QCOMPARE(m_rig->player()->seeks(), QList<double>({30.0, 40.0, 0.0}));
        QTRY_COMPARE(m_seeks, QList<qlonglong>({30000000, 40000000, 0}));
        // Past the end of the 200 s track: on to the next, as Next does.
        playerctl({u"position"_s, u"250+"_s});
        QTRY_COMPARE(m_rig->currentId(), u"b"_s);
        QCOMPARE(m_rig->backend.player(0)->seeks(), QList<double>({30.0, 40.0, 0.0}));

        // While the length is not known (shown as a second), no seek is past
        // the end: each goes where it was asked.
        m_rig->player()->tick(1.0);
        m_seeks.clear();
        auto unknown = makeTracks({u"c"_s, u"d"_s});
        unknown[0].durationSeconds = 0;
        store().play(unknown.at(0), unknown);
        playerctl({u"position"_s, u"10+"_s});
        QTRY_COMPARE(store().elapsed(), 10.0);
        QCOMPARE(m_rig->currentId(), u"c"_s);
        playerctl({u"position"_s, u"30"_s});
        QTRY_COMPARE(store().elapsed(), 30.0);
        QCOMPARE(m_rig->player()->seeks(), QList<double>({10.0, 30.0}));
        QTRY_COMPARE(m_seeks, QList<qlonglong>({10000000, 30000000}));
    }

    void setPositionOnlyForTheCurrentTrack()
    {
        m_rig->play({u"a"_s, u"b"_s}, 0);
        const auto setPosition = [&](const QString &id, qlonglong position) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                mpris()->serviceName(), u"/org/mpris/MediaPlayer2"_s, playerInterface, u"SetPosition"_s);
            call << QVariant::fromValue(MprisService::trackPath(id)) << position;
            observer().asyncCall(call);
        };
        // Made for a track that is no longer current, before the start or
        // past the end (paused as well).
        setPosition(u"b"_s, 5000000);
        setPosition(u"a"_s, -1);
        setPosition(u"a"_s, 200000001);
        setPosition(u"a"_s, 7000000);
        QTRY_COMPARE(store().elapsed(), 7.0);
        store().togglePlayPause();
        setPosition(u"a"_s, 250000000);
        setPosition(u"a"_s, 9000000);
        QTRY_COMPARE(store().elapsed(), 9.0);
        QCOMPARE(m_rig->player()->seeks(), QList<double>({7.0, 9.0}));
        QTRY_COMPARE(m_seeks, QList<qlonglong>({7000000, 9000000}));
    }

    void changesAreAnnounced()
    {
        // Nothing loaded: nothing to play, pause or seek.
        for (const QString &name : {u"CanPlay"_s, u"CanPause"_s, u"CanSeek"_s})
            QCOMPARE(property(name).toBool(), false);
        m_rig->play({u"a"_s}, 0);
        for (const QString &name : {u"CanPlay"_s, u"CanPause"_s, u"CanSeek"_s})
            QCOMPARE(property(name).toBool(), true);
        // One track: no next or previous, and a disabled command is not carried out.
        QCOMPARE(property(u"CanGoNext"_s).toBool(), false);
        QCOMPARE(property(u"CanGoPrevious"_s).toBool(), false);
        playerctl({u"next"_s});
        playerctl({u"previous"_s});
        playerctl({u"status"_s});
        QCOMPARE(m_rig->backend.playerCount(), 1);
        QTRY_VERIFY(!m_changes.isEmpty());
        QCOMPARE(m_changes.last().interface, playerInterface);
        QVERIFY(m_changes.last().changed.contains(u"Metadata"_s));
        QCOMPARE(m_changes.last().changed.value(u"PlaybackStatus"_s).toString(), u"Playing"_s);
        QCOMPARE(m_changes.last().changed.value(u"CanSeek"_s).toBool(), true);

        // Ticks move the position only: nothing is announced.
        m_changes.clear();
        for (int i = 1; i <= 10; ++i)
            m_rig->player()->tick(i * 0.1);
        store().pauseIfPlaying();
        QTRY_COMPARE(m_changes.size(), 1);
        QCOMPARE(m_changes.first().changed.keys(), QStringList {u"PlaybackStatus"_s});
        QCOMPARE(m_changes.first().changed.value(u"PlaybackStatus"_s).toString(), u"Paused"_s);

        // A second track in the queue enables skipping.
        m_changes.clear();
        const auto list = makeTracks({u"a"_s, u"b"_s});
        store().play(list.at(1), list);
        QTRY_VERIFY(!m_changes.isEmpty());
        QCOMPARE(m_changes.last().changed.value(u"CanGoNext"_s).toBool(), true);
        QCOMPARE(property(u"CanGoPrevious"_s).toBool(), true);
        QVERIFY(m_seeks.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMpris)
#include "tst_mpris.moc"
