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
};

QTEST_MAIN(TestRestingHeapTrim)
#include "tst_restingheaptrim.moc"
