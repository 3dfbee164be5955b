#include "playerrig.h"
#include "testenv.h"

#include <QtTest>

#include <coroutine>
#include <memory>
#include <stdexcept>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// A wave fetch that waits until the test answers it; the answer resumes
// the fetch at once, inside answer() or fail().
class PendingWave
{
public:
    QList<std::optional<QString>> tokens;

    PlayerStore::WaveSource source()
    {
        return [this](std::optional<QString> token, CancelToken) -> QCoro::Task<QList<TrackOut>> {
            tokens.append(token);
            Waiter waiter {this};
            co_await waiter;
            if (m_fails)
                throw std::runtime_error("no network");
            co_return m_tracks;
        };
    }

    void answer(QList<TrackOut> list)
    {
        m_tracks = std::move(list);
        resume();
    }
    void fail()
    {
        m_fails = true;
        resume();
    }

private:
    struct Waiter
    {
        PendingWave *wave;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) noexcept { wave->m_waiting = handle; }
        void await_resume() const noexcept { }
    };

    void resume()
    {
        if (auto handle = std::exchange(m_waiting, nullptr))
            handle.resume();
    }

    std::coroutine_handle<> m_waiting;
    QList<TrackOut> m_tracks;
    bool m_fails = false;
};

enum class Interruption { PlayAnotherList, Previous };

} // namespace

// The wave that continues an exhausted queue with repeat off.
class TestWave : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlayerRig> m_rig;
    std::unique_ptr<PendingWave> m_wave;

    PlayerStore &store() { return *m_rig->store; }

    // Plays the last of a, b and lets it end: the wave is asked for.
    void runOutOfQueue()
    {
        const auto list = makeTracks({u"a"_s, u"b"_s});
        store().play(list.at(1), list);
        m_rig->backend.lastPlayer()->finish();
    }

private slots:
    void initTestCase() { initTestEnvironment(); }

    void init()
    {
        m_rig = std::make_unique<PlayerRig>();
        m_wave = std::make_unique<PendingWave>();
        store().setWaveSource(m_wave->source());
    }

    void cleanup()
    {
        m_rig.reset();
        m_wave.reset();
    }

    void freshTracksAreAppendedAndPlayed()
    {
        m_rig->session.setToken(u"tok"_s);
        QSignalSpy loading(m_rig->store.get(), &PlayerStore::isLoadingWaveChanged);
        runOutOfQueue();
        QVERIFY(store().isLoadingWave());
        QCOMPARE(m_wave->tokens, QList<std::optional<QString>>({u"tok"_s}));
        // One fetch at a time.
        store().next();
        QCOMPARE(m_wave->tokens.size(), 1);

        m_wave->answer(makeTracks({u"b"_s, u"c"_s, u"a"_s, u"d"_s}));
        QVERIFY(!store().isLoadingWave());
        QCOMPARE(loading.count(), 2);
        QCOMPARE(trackIds(store().queue()), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
        QCOMPARE(m_rig->currentId(), u"c"_s);
        QCOMPARE(store().queueIndex(), 2);
        QCOMPARE(m_rig->backend.playerCount(), 2);
    }

    void aWaveOfQueuedTracksIsAppendedAgain()
    {
        runOutOfQueue();
        m_wave->answer(makeTracks({u"b"_s, u"a"_s}));
        const QStringList ids = trackIds(store().queue());
        QCOMPARE(ids.size(), 4);
        QStringList appended = ids.mid(2);
        appended.sort();
        QCOMPARE(appended, QStringList({u"a"_s, u"b"_s}));
        QCOMPARE(m_rig->currentId(), ids.at(2));
        QCOMPARE(store().queueIndex(), 2);
    }

    void aFailedOrEmptyWaveStopsPlayback_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::newRow("fails") << true;
        QTest::newRow("empty") << false;
    }

    void aFailedOrEmptyWaveStopsPlayback()
    {
        QFETCH(bool, fails);
        const auto list = makeTracks({u"a"_s, u"b"_s});
        store().play(list.at(1), list);
        // Pressing next on the last track: it plays on while the wave loads.
        store().next();
        QVERIFY(store().isLoadingWave());
        QVERIFY(m_rig->backend.lastPlayer()->isPlaying());
        fails ? m_wave->fail() : m_wave->answer({});
        QVERIFY(!store().isLoadingWave());
        QVERIFY(!store().isPlaying());
        QVERIFY(!m_rig->backend.lastPlayer()->isPlaying());
        QCOMPARE(trackIds(store().queue()), QStringList({u"a"_s, u"b"_s}));
        QCOMPARE(m_rig->currentId(), u"b"_s);
        // A later end of the queue asks again.
        store().next();
        QCOMPARE(m_wave->tokens.size(), 2);
    }

    void theListenersChoiceWinsOverALateWave_data()
    {
        QTest::addColumn<Interruption>("interruption");
        QTest::addColumn<QString>("playing");
        QTest::addColumn<QStringList>("queue");
        QTest::newRow("another list") << Interruption::PlayAnotherList << u"y"_s << QStringList({u"x"_s, u"y"_s});
        QTest::newRow("previous") << Interruption::Previous << u"a"_s << QStringList({u"a"_s, u"b"_s});
    }

    void theListenersChoiceWinsOverALateWave()
    {
        QFETCH(Interruption, interruption);
        QFETCH(QString, playing);
        QFETCH(QStringList, queue);
        runOutOfQueue();
        QVERIFY(store().isLoadingWave());
        switch (interruption) {
        case Interruption::PlayAnotherList: {
            const auto list = makeTracks({u"x"_s, u"y"_s});
            store().play(list.at(1), list);
            break;
        }
        case Interruption::Previous:
            store().previous();
            break;
        }
        QVERIFY(!store().isLoadingWave());
        const int players = m_rig->backend.playerCount();
        m_wave->answer(makeTracks({u"c"_s, u"d"_s}));
        QCOMPARE(m_rig->currentId(), playing);
        QCOMPARE(trackIds(store().queue()), queue);
        QCOMPARE(m_rig->backend.playerCount(), players);
        QVERIFY(!store().isLoadingWave());
    }

    void aWaveFetchOutlivingTheStoreIsHarmless()
    {
        runOutOfQueue();
        const int players = m_rig->backend.playerCount();
        m_rig->store.reset();
        m_wave->answer(makeTracks({u"c"_s}));
        // The answer reached nobody: no player was made for "c".
        QCOMPARE(m_rig->backend.playerCount(), players);
        QCOMPARE(m_wave->tokens.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWave)
#include "tst_wave.moc"
