#include "player/parsedlyrics.h"

#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// "time|text" per line, time "-" for none.
QStringList describe(const ParsedLyrics &parsed)
{
    QStringList out;
    for (const LyricsLine &line : parsed.lines) {
        const QString time = line.time ? QString::number(*line.time, 'f', 3) : u"-"_s;
        out.append(time + QLatin1Char('|') + line.text);
    }
    return out;
}

} // namespace

class TestParsedLyrics : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isLRC");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("fraction of two digits") << u"[00:12.50]Hello"_s << true << QStringList {u"12.500|Hello"_s};
        QTest::newRow("colon before the fraction") << u"[1:02:03]x"_s << true << QStringList {u"62.030|x"_s};
        QTest::newRow("fraction padding") << u"[00:01.5]a\n[00:02.05]b\n[00:03.123]c\n[00:04,7]d"_s << true
                                          << QStringList {u"1.500|a"_s, u"2.050|b"_s, u"3.123|c"_s, u"4.700|d"_s};
        QTest::newRow("only the first stamp counts")
            << u"[00:12.00][00:45.00]Hi"_s << true << QStringList {u"12.000|[00:45.00]Hi"_s};
        QTest::newRow("text trimmed of spaces and tabs, empty kept")
            << u"[00:01.00] \tla la \t\n[00:02.00]"_s << true << QStringList {u"1.000|la la"_s, u"2.000|"_s};
        QTest::newRow("sorted by time, ties in row order")
            << u"[00:09.00]late\n[00:03.00]first\n[00:03.00]second"_s << true
            << QStringList {u"3.000|first"_s, u"3.000|second"_s, u"9.000|late"_s};
        QTest::newRow("untagged rows dropped when some are tagged")
            << u"[ar:Someone]\nintro\n[00:05.00]one\n\n[00:06.00]two"_s << true
            << QStringList {u"5.000|one"_s, u"6.000|two"_s};
        QTest::newRow("stamps that do not match")
            << u"[00:12.3456]x\n[100:00.00]x\n[0:5.00]x"_s << false
            << QStringList {u"-|[00:12.3456]x"_s, u"-|[100:00.00]x"_s, u"-|[0:5.00]x"_s};
        QTest::newRow("plain rows unchanged, trailing empty row kept")
            << u"  a\nb\n"_s << false << QStringList {u"-|  a"_s, u"-|b"_s, u"-|"_s};
        QTest::newRow("CRLF rows are rows")
            << u"[00:01.00]one\r\n[00:02.00]two\r\n"_s << true << QStringList {u"1.000|one"_s, u"2.000|two"_s};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, isLRC);
        QFETCH(QStringList, lines);
        const ParsedLyrics parsed = ParsedLyrics::parse(text);
        QCOMPARE(parsed.isLRC, isLRC);
        QCOMPARE(describe(parsed), lines);
        for (int i = 0; i < parsed.lines.size(); ++i)
            QCOMPARE(parsed.lines.at(i).id, i);
    }

    void activeIndexSynced_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<int>("index");
        QTest::newRow("before the first line") << 1.0 << 0;
        QTest::newRow("between lines") << 4.5 << 0;
        QTest::newRow("equal stamps: the later line") << 5.0 << 2;
        QTest::newRow("after the last line") << 999.0 << 3;
        QTest::newRow("not a number") << qQNaN() << 0;
        QTest::newRow("infinite") << qInf() << 3;
    }

    void activeIndexSynced()
    {
        QFETCH(double, time);
        QFETCH(int, index);
        const auto parsed = ParsedLyrics::parse(u"[00:03.00]a\n[00:05.00]b\n[00:05.00]c\n[00:08.00]d"_s);
        QCOMPARE(parsed.activeIndex(time, 200), index);
    }

    void activeIndexPlain_data()
    {
        QTest::addColumn<double>("time");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("index");
        QTest::newRow("spread evenly") << 35.0 << 200.0 << 1;
        QTest::newRow("past the end") << 250.0 << 200.0 << 9;
        QTest::newRow("no duration") << 35.0 << 0.0 << 0;
        QTest::newRow("not a number") << qQNaN() << 200.0 << 0;
        QTest::newRow("far too large for an int") << 1e300 << 1e-300 << 9;
    }

    void activeIndexPlain()
    {
        QFETCH(double, time);
        QFETCH(double, duration);
        QFETCH(int, index);
        const auto parsed = ParsedLyrics::parse(u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9"_s);
        QCOMPARE(parsed.activeIndex(time, duration), index);
    }

    void seekTime()
    {
        const auto plain = ParsedLyrics::parse(u"0\n1\n2\n3\n4\n5\n6\n7\n8\n9"_s);
        QCOMPARE(plain.seekTime(5, 200), std::optional<double>(100.0));
        QCOMPARE(plain.seekTime(5, 0), std::nullopt);
        QCOMPARE(plain.seekTime(10, 200), std::nullopt);
        QCOMPARE(plain.seekTime(-1, 200), std::nullopt);

        const auto synced = ParsedLyrics::parse(u"[00:03.00]a\n[01:05.25]b"_s);
        QCOMPARE(synced.seekTime(1, 0), std::optional<double>(65.25));

        // A trailing empty row counts in the even spread.
        const auto trailing = ParsedLyrics::parse(u"a\nb\n"_s);
        QCOMPARE(trailing.seekTime(2, 300), std::optional<double>(200.0));
        QCOMPARE(trailing.activeIndex(250, 300), 2);

        QCOMPARE(ParsedLyrics().activeIndex(10, 100), 0);
    }
};

QTEST_GUILESS_MAIN(TestParsedLyrics)
#include "tst_parsedlyrics.moc"
