#include "api/randomshuffle.h"
#include "api/splitmix64.h"

#include <QtTest>

#include <limits>

using namespace nimbra;

namespace {

// Hands out fixed values and counts how many were taken.
struct Script
{
    QList<quint64> values;
    int taken = 0;

    quint64 operator()()
    {
        if (taken >= values.size())
            qFatal("the draw asked for more values than scripted");
        return values.at(taken++);
    }
};

} // namespace

class TestCompositionsRandom : public QObject
{
    Q_OBJECT
private slots:
    void splitMixGivesThePublishedSequence()
    {
        // The reference sequence of seed 1234567 (Vigna's splitmix64.c).
        SplitMix64 generator(1234567);
        const QList<quint64> expected {6457827717110365317ULL, 3203168211198807973ULL, 9817491932198370423ULL,
            4593380528125082431ULL, 16408922859458223821ULL};
        for (const quint64 value : expected)
            QCOMPARE(generator.next(), value);
    }

    void boundedDraw_data()
    {
        QTest::addColumn<QList<quint64>>("values");
        QTest::addColumn<quint64>("bound");
        QTest::addColumn<quint64>("draw");
        QTest::addColumn<int>("taken");

        constexpr quint64 max = std::numeric_limits<quint64>::max();
        constexpr quint64 half = quint64(1) << 63;
        QTest::newRow("bound 1 is always 0") << QList<quint64> {max} << quint64(1) << quint64(0) << 1;
        QTest::newRow("largest value, top of the range") << QList<quint64> {max} << quint64(5) << quint64(4) << 1;
        // 0 * 3 leaves a low word of 0, below (2^64 - 3) mod 3 = 1: rejected.
        QTest::newRow("rejected, then drawn") << QList<quint64> {0, half} << quint64(3) << quint64(1) << 2;
        // (2^64 + 1) / 3 * 3 leaves a low word of 2: below the bound, yet
        // not below the threshold, so it is kept.
        QTest::newRow("low word below the bound, kept")
            << QList<quint64> {6148914691236517206ULL} << quint64(3) << quint64(1) << 1;
        // Bound 2^63 + 1: threshold (2^64 - b) mod b = 2^63 - 1.
        QTest::newRow("huge bound, rejected twice") << QList<quint64> {0, 2, max} << (half + 1) << half << 3;
    }

    void boundedDraw()
    {
        QFETCH(QList<quint64>, values);
        QFETCH(quint64, bound);
        QFETCH(quint64, draw);
        QFETCH(int, taken);
        Script script {values};
        QCOMPARE(uniformBelow(script, bound), draw);
        QCOMPARE(script.taken, taken);
    }

    void shuffleFollowsTheForwardOrder()
    {
        // Computed by an independent implementation of the same shuffle.
        SplitMix64 generator(1234567);
        QList<int> numbers {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        shuffleList(numbers, [&generator] { return generator.next(); });
        QCOMPARE(numbers, (QList<int> {3, 2, 6, 4, 9, 7, 8, 5, 1, 0}));
    }

    void shortListsTakeNoDraws()
    {
        Script script;
        QList<int> one {7};
        shuffleList(one, script);
        QCOMPARE(script.taken, 0);
        // n elements take n - 1 draws when none is rejected.
        Script three {{1, 1, 1}};
        QList<int> list {1, 2, 3};
        shuffleList(list, three);
        QCOMPARE(three.taken, 2);
        QCOMPARE(list, (QList<int> {1, 2, 3}));
    }
};

QTEST_GUILESS_MAIN(TestCompositionsRandom)
#include "tst_compositionsrandom.moc"
