// The one formatting module: minutes and seconds with the one rule for bad
// times, the three Russian forms of every count word, and Russian dates.
#include "format/durationtext.h"
#include "format/russiandate.h"
#include "format/russianplural.h"

#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace nimbra;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbra::CountWord)

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void durations_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << u"0:00"_s;
        QTest::newRow("fraction dropped") << 59.99 << u"0:59"_s;
        QTest::newRow("minutes") << 181.0 << u"3:01"_s;
        QTest::newRow("an hour stays minutes") << 3600.0 << u"60:00"_s;
        QTest::newRow("over an hour") << 3725.0 << u"62:05"_s;
        QTest::newRow("negative") << -3.0 << u"0:00"_s;
        QTest::newRow("nan") << qQNaN() << u"0:00"_s;
        QTest::newRow("infinite") << qInf() << u"0:00"_s;
        QTest::newRow("minus infinite") << -qInf() << u"0:00"_s;
        QTest::newRow("2^63") << std::ldexp(1.0, 63) << u"153722867280912930:08"_s;
        QTest::newRow("1e19, past a signed count") << 1e19 << u"166666666666666666:40"_s;
    }

    void durations()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(durationText(seconds), text);
    }

    void durationsBeyondWholeNumbers()
    {
        // No whole-number type holds these; they still read as minutes and seconds.
        static const QRegularExpression shape(u"^\\d+:[0-5]\\d$"_s);
        for (const double seconds :
            {std::ldexp(1.0, 64), std::ldexp(1.0, 64) + 4096.0, std::numeric_limits<double>::max()})
            QVERIFY2(shape.match(durationText(seconds)).hasMatch(), qPrintable(durationText(seconds)));
    }

    void badTimesCountAsZero()
    {
        for (const double bad : {qQNaN(), qInf(), -qInf(), -0.5, -1e300})
            QCOMPARE(sanitizedSeconds(bad), 0.0);
        QCOMPARE(sanitizedSeconds(0.25), 0.25);
        QCOMPARE(sanitizedSeconds(1e300), 1e300);
    }

    void pluralForms_data()
    {
        QTest::addColumn<CountWord>("word");
        QTest::addColumn<QStringList>("forms"); // one, few, many

        QTest::newRow("трек") << CountWord::Track << QStringList {u"трек"_s, u"трека"_s, u"треков"_s};
        QTest::newRow("альбом") << CountWord::Album << QStringList {u"альбом"_s, u"альбома"_s, u"альбомов"_s};
        QTest::newRow("клип") << CountWord::Clip << QStringList {u"клип"_s, u"клипа"_s, u"клипов"_s};
        QTest::newRow("баттл") << CountWord::Battle << QStringList {u"баттл"_s, u"баттла"_s, u"баттлов"_s};
        QTest::newRow("минута") << CountWord::Minute << QStringList {u"минута"_s, u"минуты"_s, u"минут"_s};
        QTest::newRow("байт") << CountWord::Byte << QStringList {u"байт"_s, u"байта"_s, u"байт"_s};
    }

    void pluralForms()
    {
        QFETCH(CountWord, word);
        QFETCH(QStringList, forms);
        enum Form { One, Few, Many };
        const QList<std::pair<qint64, Form>> table {{0, Many}, {1, One}, {2, Few}, {5, Many}, {11, Many},
            {12, Many}, {14, Many}, {21, One}, {22, Few}, {25, Many}, {101, One}, {111, Many}};
        for (const auto &[n, form] : table) {
            const QString expected = QString::number(n) + u' ' + forms.at(form);
            QCOMPARE(russianCount(n, word), expected);
            QCOMPARE(russianPlural(n, word), forms.at(form));
        }
        // A negative count reads as its magnitude; the largest ones do not overflow.
        QCOMPARE(russianPlural(-21, word), forms.at(One));
        QCOMPARE(russianPlural(-112, word), forms.at(Many));
        QCOMPARE(russianPlural(std::numeric_limits<qint64>::min(), word), forms.at(Many)); // ...808
        QCOMPARE(russianPlural(std::numeric_limits<qint64>::max(), word), forms.at(Many)); // ...807
    }

    void dates()
    {
        QCOMPARE(russianDayMonth(QDate(2026, 12, 5)), u"5 декабря"_s);
        QCOMPARE(russianLongDate(QDate(2024, 1, 31)), u"31 января 2024 г."_s);
        QCOMPARE(russianLongDate(QDate()), QString());
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
