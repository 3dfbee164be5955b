#include "fakehttpserver.h"
#include "manualclock.h"
#include "mediagen.h"
#include "testenv.h"

#include "media/audiomedia.h"
#include "media/audiosinktuning.h"
#include "media/exactcopy.h"
#include "media/qtaudiomedia.h"
#include "media/qtaudioplayer.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// The media under a player, moved on by the test: it reports what the test
// says, and keeps what the player asked of it.
class SteppedMedia : public AudioMedia
{
public:
    QList<QUrl> sources;
    QList<qint64> positionsAsked;
    qint64 positionMs = 0;
    qint64 durationMs = 0;
    QMediaPlayer::MediaStatus status = QMediaPlayer::NoMedia;
    QPointer<QObject> awake;
    // How many buffers the sink has played by a position; not known by default.
    std::function<std::optional<quint64>(qint64 ms)> sink = [](qint64) { return std::nullopt; };

    void setSource(const QUrl &source) override
    {
        sources.append(source);
        status = source.isEmpty() ? QMediaPlayer::NoMedia : QMediaPlayer::LoadingMedia;
        positionMs = 0;
    }
    // As QMediaPlayer does: played again after its end, an item starts over.
    void play() override
    {
        if (status == QMediaPlayer::EndOfMedia) {
            positionMs = 0;
            setStatus(QMediaPlayer::LoadedMedia);
        }
    }
    void pause() override { }
    // As QMediaPlayer does: the position it is at is no seek, and another
    // is reported at once, before the media got there.
    void setPosition(qint64 ms) override
    {
        if (ms == positionMs)
            return;
        positionsAsked.append(ms);
        reach(ms);
    }
    void setVolume(float) override { }
    std::unique_ptr<QObject> keepOutputAwake() override
    {
        auto stream = std::make_unique<QObject>();
        awake = stream.get();
        return stream;
    }
    qint64 position() const override { return positionMs; }
    qint64 duration() const override { return durationMs; }
    QMediaPlayer::MediaStatus mediaStatus() const override { return status; }
    bool isSeekable() const override { return status == QMediaPlayer::LoadedMedia; }
    QString errorString() const override { return u"gone"_s; }
    std::optional<quint64> renderedBuffers() const override { return sink(positionMs); }

    void setStatus(QMediaPlayer::MediaStatus now)
    {
        status = now;
        emit mediaStatusChanged(now);
    }
    void loaded(qint64 length)
    {
        durationMs = length;
        setStatus(QMediaPlayer::LoadedMedia);
        emit seekableChanged(true);
    }
    void reach(qint64 ms)
    {
        positionMs = ms;
        emit positionChanged(ms);
    }
};

QList<qint64> rampTo(qint64 from, qint64 to)
{
    QList<qint64> steps;
    for (qint64 ms = from; ms <= to; ms += 100)
        steps.append(ms);
    return steps;
}

// Plays to `at`, then stands there for `seconds`.
QList<qint64> standsAt(qint64 from, qint64 at, double seconds)
{
    return rampTo(from, at) + QList<qint64>(qsizetype(seconds * 10), at);
}

enum class Outcome { PlaysOn, Resumes, Ends, Fails };
// What reaches the output.
enum class Output { Unknown, InLargeBuffers, LostAt2s, LostWhileASeekWaits, AllHandedOverBeforeTheEnd };
enum class Meanwhile {
    StreamTakesTheSeek, CopyComesFirst, ItemFailsAndIsRetried, CopyOverItsLimit, CopyOverTheRoom, CopyFindsNoRoom
};

// While it lives, the file system refuses this process's files past
// `bytes`, midway through a write as a full disk does (EFBIG, not ENOSPC:
// no file system of the test's own to fill, and none needs root).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = std::min(bytes, m_before.rlim_max);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_before {};
    void (*m_signal)(int) = SIG_DFL;
};

constexpr qint64 lengthMs = 15000;

} // namespace

// The real player's own rules over a media stepped by hand and a clock that
// stands still: the stall watch, the end of an item, and where a seek goes
// when the media under it changes.
class TestAudioPlayer : public QObject
{
    Q_OBJECT

    ManualClock m_clock;
    std::unique_ptr<FakeHttpServer> m_server;

    // Each position in turn, a tenth of a second apart.
    void playThrough(SteppedMedia *media, const QList<qint64> &positions)
    {
        for (const qint64 ms : positions) {
            media->reach(ms);
            m_clock.advance(QtAudioPlayer::tickInterval);
        }
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
    }

    void watchesTheStream_data()
    {
        QTest::addColumn<QList<qint64>>("positions");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<qint64>("resumesFrom");
        QTest::addColumn<Output>("output");
        QTest::newRow("stands now and then, each time below the limit")
            << standsAt(0, 1000, 1.5) + standsAt(1000, 2000, 1.5) + standsAt(2000, 3000, 1.5) << false << Outcome::PlaysOn << 0LL << Output::Unknown;
        QTest::newRow("stands once, then plays on") << standsAt(0, 3000, 2.5) + rampTo(3100, 5000) << false << Outcome::Resumes << 3000LL << Output::Unknown;
        QTest::newRow("keeps stalling, a little further each time")
            << standsAt(0, 1000, 2.5) + standsAt(1000, 1300, 2.5) + standsAt(1300, 1600, 2.5) << false << Outcome::Fails << 0LL << Output::Unknown;
        // The sound server still plays out what it holds.
        QTest::newRow("stands in its last moments") << standsAt(0, lengthMs - 200, 2.5) << false << Outcome::Ends << 0LL << Output::Unknown;
        QTest::newRow("ends a little short of its length") << rampTo(0, lengthMs - 1000) << true << Outcome::Ends << 0LL << Output::Unknown;
        QTest::newRow("ends well before its length") << rampTo(0, 5000) << true << Outcome::Resumes << 5000LL << Output::Unknown;
        // The position runs on over a sink that throws the sound away.
        QTest::newRow("runs on, unheard") << rampTo(0, 3500) << false << Outcome::Resumes << 2000LL << Output::LostAt2s;
        QTest::newRow("runs on, heard in large buffers") << rampTo(0, 5000) << false << Outcome::PlaysOn << 0LL << Output::InLargeBuffers;
        QTest::newRow("runs on, unheard, while a seek waits") << rampTo(0, 2500) << false << Outcome::PlaysOn << 0LL << Output::LostWhileASeekWaits;
        // The sink has handed the last moments to the sound server, which
        // plays them out while the position runs on: the end, not a replay.
        QTest::newRow("runs on, unheard, in its last moments") << rampTo(0, lengthMs) << true << Outcome::Ends << 0LL << Output::AllHandedOverBeforeTheEnd;
    }

    void watchesTheStream()
    {
        QFETCH(QList<qint64>, positions);
        QFETCH(bool, ends);
        QFETCH(Outcome, outcome);
        QFETCH(qint64, resumesFrom);
        QFETCH(Output, output);
        auto *media = new SteppedMedia;
        QtAudioPlayer player(QUrl(u"http://127.0.0.1:9/t.wav"_s), std::unique_ptr<AudioMedia>(media), &m_clock);
        QSignalSpy ended(&player, &AudioPlayerHandle::endOfItem);
        QSignalSpy failed(&player, &AudioPlayerHandle::failed);
        media->loaded(lengthMs);
        player.play();
        // A buffer played every tenth of a second while sound reaches the output.
        const qint64 lostAt = output == Output::LostAt2s  ? 2000
            : output == Output::LostWhileASeekWaits       ? 0
            : output == Output::AllHandedOverBeforeTheEnd ? lengthMs - QtAudioPlayer::earlyEndMs
                                                          : lengthMs;
        const qint64 buffer = output == Output::InLargeBuffers ? 300 : 100;
        if (output != Output::Unknown)
            media->sink = [=](qint64 ms) { return std::optional<quint64>(std::min(ms, lostAt) / buffer); };
        if (output == Output::LostWhileASeekWaits) {
            player.seek(9.0);
            media->positionsAsked.clear();
        }

        playThrough(media, positions);
        if (ends)
            media->setStatus(QMediaPlayer::EndOfMedia);
        QCOMPARE(ended.size(), outcome == Outcome::Ends ? 1 : 0);
        QCOMPARE(failed.size(), outcome == Outcome::Fails ? 1 : 0);
        if (outcome != Outcome::Fails) {
            // Resumed in place, from where it was last heard: the media is
            // asked for a position just before, not loaded again.
            QCOMPARE(media->positionsAsked, outcome == Outcome::Resumes ? QList<qint64> {resumesFrom - 1} : QList<qint64> {});
            QCOMPARE(media->sources.size(), 1);
        }
    }

    // A seek made while the media under the player changes lands on the
    // media that plays on: the exact copy of a compressed stream, or a
    // failed item loaded again.
    void aSeekGoesToTheMediaThatPlaysOn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Meanwhile>("meanwhile");
        QTest::addColumn<qint64>("landsAt");
        // The copy carries on from where the stream got to, not from its start.
        QTest::newRow("copy after the stream took the seek") << u"t.flac"_s << Meanwhile::StreamTakesTheSeek << 9700LL;
        QTest::newRow("copy before the stream took the seek") << u"t.flac"_s << Meanwhile::CopyComesFirst << 9000LL;
        QTest::newRow("retry of a failed item") << u"t.wav"_s << Meanwhile::ItemFailsAndIsRetried << 9000LL;
        // Refused before its body comes (it is held here after a first
        // piece), so the stream takes the seek at once.
        QTest::newRow("copy announced above its limit") << u"t.flac"_s << Meanwhile::CopyOverItsLimit << 9000LL;
        QTest::newRow("copy above half the free room") << u"t.flac"_s << Meanwhile::CopyOverTheRoom << 9000LL;
        // Cut short by a full disk, it fails at once as well, and leaves no file.
        QTest::newRow("copy the disk refuses midway") << u"t.flac"_s << Meanwhile::CopyFindsNoRoom << 9000LL;
    }

    void aSeekGoesToTheMediaThatPlaysOn()
    {
        QFETCH(QString, file);
        QFETCH(Meanwhile, meanwhile);
        QFETCH(qint64, landsAt);
        const QString path = u"/media/"_s + file;
        // A refused write leaves what QFile's 16 KB write buffer holds to
        // its close: a copy below that size is all in the buffer then.
        const QByteArray bytes(meanwhile == Meanwhile::CopyFindsNoRoom ? 12 * 1024 : 64 * 1024, 'x');
        AnswerGate gate;
        const bool refused = meanwhile >= Meanwhile::CopyOverItsLimit;
        FakeResponse answer {200, bytes, "audio/flac"};
        if (meanwhile == Meanwhile::CopyOverItsLimit) {
            answer.pieceSize = 4096;
            answer.hold = std::make_shared<std::atomic_bool>(true);
        }
        m_server->on(u"GET"_s, path, refused ? FakeHttpServer::Handler([answer](auto &) { return answer; }) : gate.hold(answer));
        const int requestsBefore = m_server->requestsTo(path);
        auto *media = new SteppedMedia;
        auto player = std::make_unique<QtAudioPlayer>(
            m_server->baseUrl().resolved(QUrl(path)), std::unique_ptr<AudioMedia>(media), &m_clock);
        // Half the room is less than the copy.
        if (meanwhile == Meanwhile::CopyOverItsLimit || meanwhile == Meanwhile::CopyOverTheRoom)
            player->setCopyRoom([size = bytes.size()](const QString &) { return qint64(size); });
        media->loaded(lengthMs);
        player->play();
        playThrough(media, rampTo(0, 2000));

        std::optional<FileSizeLimit> fullDisk;
        if (meanwhile == Meanwhile::CopyFindsNoRoom)
            fullDisk.emplace(4096);
        player->seek(9.0);
        // While the seek waits, the time shown is the one wanted, not where
        // the media still stands.
        QSignalSpy ticks(player.get(), &AudioPlayerHandle::timeTick);
        emit media->playbackStateChanged(QMediaPlayer::PlayingState);
        QVERIFY(ticks.wait(kEventLimitMs));
        QCOMPARE(ticks.last().first().toDouble(), 9.0);
        if (refused) {
            // Long before the copy's own idle limit could have ended it.
            QTRY_COMPARE_WITH_TIMEOUT(media->positionsAsked, QList<qint64> {9000}, int(ExactCopy::idleLimit.count() / 2));
            QCOMPARE(media->sources.size(), 1);
            QCOMPARE(m_server->requestsTo(path), requestsBefore + 1);
            fullDisk.reset();
            // A copy that failed takes no room, though its track plays on.
            const QFileInfoList folders = QDir(QDir::tempPath()).entryInfoList(
                {u"nimbra-copy-%1-*"_s.arg(QCoreApplication::applicationPid())}, QDir::Dirs);
            QCOMPARE(folders.size(), 1);
            QCOMPARE(QDir(folders.first().filePath()).entryList(QDir::Files), QStringList());
            return;
        }
        switch (meanwhile) {
        case Meanwhile::StreamTakesTheSeek:
            QTRY_COMPARE(m_server->requestsTo(path), requestsBefore + 1);
            m_clock.advance(QtAudioPlayer::copyPatience);
            QCOMPARE(media->positionsAsked, QList<qint64> {9000});
            playThrough(media, rampTo(9000, 9700));
            gate.open();
            break;
        case Meanwhile::CopyComesFirst:
            gate.open();
            break;
        case Meanwhile::ItemFailsAndIsRetried:
            QCOMPARE(media->positionsAsked, QList<qint64> {9000});
            emit media->errorOccurred(QMediaPlayer::NetworkError, u"gone"_s);
            player->play();
            break;
        default:
            break;
        }
        const QUrl playsFrom = meanwhile == Meanwhile::ItemFailsAndIsRetried ? player->source() : QUrl();
        QTRY_VERIFY(media->sources.size() == 3 && (playsFrom.isEmpty() ? media->sources.last().isLocalFile() : media->sources.last() == playsFrom));
        media->positionsAsked.clear();
        media->loaded(lengthMs);
        QCOMPARE(media->positionsAsked, QList<qint64> {landsAt});
        // Loaded afresh onto the copy, the media's new stream would wait for
        // an idle sound server: a silent one keeps it awake until the copy sounds.
        QCOMPARE(bool(media->awake), meanwhile != Meanwhile::ItemFailsAndIsRetried);
        playThrough(media, rampTo(landsAt, landsAt + 100));
        QVERIFY(!media->awake);

        if (meanwhile == Meanwhile::ItemFailsAndIsRetried)
            return;
        // The copy is the listener's alone, and goes with the track.
        const QFileInfo copy(media->sources.last().toLocalFile());
        const auto mine = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(copy.permissions(), mine);
        QCOMPARE(QFileInfo(copy.path()).permissions(), mine | QFile::ExeOwner | QFile::ExeUser);
        QCOMPARE(copy.size(), bytes.size());
        player.reset();
        QVERIFY(!QFileInfo::exists(copy.path()));
    }

    // The silence watch counts on the real media knowing the sink its own
    // player made, and that one only: two play at once, as in a crossfade,
    // and a media given another item counts on its new player's sink.
    void eachMediaCountsWhatItsOwnSinkPlays()
    {
        AudioSinkTuning::install();
        QTemporaryDir dir;
        QFile wav(dir.filePath(u"t.wav"_s));
        QVERIFY(wav.open(QIODevice::WriteOnly) && wav.write(devservice::renderWav(1, 4)) > 0);
        wav.close();
        const QUrl file = QUrl::fromLocalFile(wav.fileName());
        const auto played = [](const QtAudioMedia &media) { return media.renderedBuffers().value_or(0); };
        // Ten buffers are played in about a second.
        constexpr quint64 heard = 10;
        QtAudioMedia first, second;
        first.setSource(file);
        second.setSource(file);
        first.play();
        QTRY_VERIFY(played(first) > heard);
        // Loaded, not playing: at most the buffer it stands on.
        QVERIFY(played(second) <= 1);
        second.play();
        QTRY_VERIFY(played(second) > heard);
        first.setSource(file);
        QVERIFY(played(first) <= 1);
    }

    // A media given another item (the exact copy, an item loaded again)
    // plays it on a new player. In a fade its volume is a step of the ramp,
    // and the new player takes that step, not full volume until the next.
    void aNewPlayerOfTheMediaPlaysAtItsVolume()
    {
        QtAudioMedia media;
        media.setVolume(0.25f);
        media.setSource(QUrl(u"http://127.0.0.1:9/a.wav"_s));
        const QPointer<QMediaPlayer> replaced = media.findChild<QMediaPlayer *>();
        media.setSource(QUrl(u"http://127.0.0.1:9/b.wav"_s));
        QTRY_VERIFY(!replaced);
        QCOMPARE(media.findChild<QMediaPlayer *>()->audioOutput()->volume(), 0.25f);
    }
};

QTEST_GUILESS_MAIN(TestAudioPlayer)
#include "tst_audioplayer.moc"
