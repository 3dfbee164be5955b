// The heap's free pages go back to the system once the window rests: a
// screen that freed its pictures and rows leaves no resident trace of them.
#include "platform/restingheaptrim.h"
#include "testenv.h"

#include <QFile>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

using namespace nimbra;
using namespace std::chrono_literals;

namespace {

// Resident anonymous memory of this process, in bytes.
qint64 residentAnonymous()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').constFirst().toLongLong() * 1024;
    }
    return -1;
}

} // namespace

class TestRestingHeapTrim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void freedMemoryLeavesOnceTheWindowRests()
    {
        if (RestingHeapTrim::heldFreeBytes() < 0)
            QSKIP("this allocator does not tell what its heap holds free");
        // Many small blocks, written so that they are resident, freed under
        // one that stays: the hole is in the middle of the heap, where free()
        // alone never gives pages back.
        constexpr qint64 blockSize = 16 * 1024;
        constexpr qint64 total = 48LL * 1024 * 1024;
        std::vector<char *> blocks;
        for (qint64 allocated = 0; allocated < total; allocated += blockSize) {
            auto *block = static_cast<char *>(std::malloc(blockSize));
            memset(block, 1, blockSize);
            blocks.push_back(block);
        }
        auto *keeper = static_cast<char *>(std::malloc(blockSize));
        memset(keeper, 1, blockSize);
        for (char *block : blocks)
            std::free(block);
        const qint64 before = residentAnonymous();
        QVERIFY(RestingHeapTrim::heldFreeBytes() >= total);

        QQuickWindow window;
        window.resize(100, 100);
        window.show();
        RestingHeapTrim trim(&window, 20ms, total / 2);
        QSignalSpy trimmed(&trim, &RestingHeapTrim::trimmed);
        QVERIFY(trimmed.wait(nimbra::test::kEventLimitMs));
        QCOMPARE(trimmed.count(), 1);
        QVERIFY(trimmed.constFirst().constFirst().toLongLong() >= total);
        // Most of the hole is no longer resident.
        QVERIFY2(residentAnonymous() < before - total / 2,
            qPrintable(QStringLiteral("%1 -> %2 bytes").arg(before).arg(residentAnonymous())));
        std::free(keeper);
    }

    // Large blocks that a worker allocates and frees (the media's buffers)
    // leave nothing held at the top of its heap, where no trim reaches.
    void largeBlocksFreedOnAWorkerGoBack()
    {
        if (RestingHeapTrim::heldFreeBytes() < 0)
            QSKIP("this allocator does not tell what its heap holds free");
        QQuickWindow window;
        RestingHeapTrim trim(&window);
        const qint64 before = RestingHeapTrim::heldFreeBytes();
        std::thread worker([] {
            // Seen, so that the compiler keeps the blocks.
            char *volatile seen = nullptr;
            // Twice: the first round is what the C library learns from.
            for (int round = 0; round < 2; ++round) {
                for (size_t size = 1 << 20; size <= 4 << 20; size *= 2) {
                    seen = static_cast<char *>(std::malloc(size));
                    memset(seen, 1, size);
                    std::free(seen);
                }
            }
        });
        worker.join();
        const qint64 held = RestingHeapTrim::heldFreeBytes() - before;
        QVERIFY2(held < 1024 * 1024, qPrintable(QStringLiteral("%1 bytes held").arg(held)));
    }
};

QTEST_MAIN(TestRestingHeapTrim)
#include "tst_restingheaptrim.moc"
