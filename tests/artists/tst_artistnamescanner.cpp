#include "artistfixtures.h"
#include "artists/artistcataloglogic.h"
#include "artists/artistnamescanner.h"

#include <QRegularExpression>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

// The backtracking patterns the scans stand in for: on short texts they are
// quick, and the scans must find exactly their matches.
QRegularExpression pattern(const QString &text)
{
    return QRegularExpression(
        text, QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}
const QRegularExpression kFeatGroup = pattern(uR"(\s*\(\s*(feat\.?|ft\.?|featuring)\s+[^)]*\)\s*)"_s);
const QRegularExpression kRussianAnd = pattern(uR"(\s+и\s+)"_s);
const QRegularExpression kSeparator = pattern(
    uR"(\s*(?:(?<![\p{L}\p{N}])(?:(?:feat|ft)\.|(?:feat|ft|featuring)(?![\p{L}\p{N}]))|[;,&])\s*|\s+[/+x×]\s+)"_s);
const QRegularExpression kTitle[2] = {
    pattern(uR"(^(.*?)\(\s*((?:feat\.?|ft\.?|featuring))\s+([^)]+)\)\s*(.*)$)"_s),
    pattern(uR"(^(.*?)\s+((?:feat\.?|ft\.?|featuring))\s+(.+)$)"_s),
};

// Texts made of the pieces the patterns care about: every kind of blank (line
// feeds, no-break and other Unicode spaces), brackets, keywords in both cases,
// separators, letters outside the basic plane and look-alike letters.
QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces {u" "_s, u"  "_s, u"\t"_s, u"\n"_s, u"\r"_s, u"\u00A0"_s, u"\u0085"_s,
        u"\u180E"_s, u"\u2028"_s, u"("_s, u")"_s, u"feat"_s, u"feat."_s, u"ft"_s, u"ft."_s, u"featuring"_s,
        u"FEAT"_s, u"Ft"_s, u"."_s, u"x"_s, u"X"_s, u"×"_s, u"/"_s, u"+"_s, u"&"_s, u","_s, u";"_s, u"и"_s,
        u"И"_s, u"A"_s, u"b"_s, u"7"_s, u"\U0001D400"_s, u"\U0001F600"_s, u"ı"_s, u"ing"_s};
    QString text;
    const int count = random.bounded(14);
    for (int i = 0; i < count; ++i)
        text += pieces.at(random.bounded(int(pieces.size())));
    return text;
}

QString longText(const QString &piece, qsizetype bytes)
{
    return piece.repeated(bytes / (piece.size() * 2) + 1);
}

} // namespace

class TestArtistNameScanner : public QObject
{
    Q_OBJECT
private slots:
    void sameMatchesAsPatterns()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 40000; ++round) {
            const QString text = randomText(random);
            const QByteArray shown = text.toUtf8().toPercentEncoding();

            QString replaced = text;
            QCOMPARE(ArtistNameScanner::replaceFeatGroups(text), replaced.replace(kFeatGroup, u" feat. "_s));
            replaced = text;
            QCOMPARE(ArtistNameScanner::replaceRussianAnd(text), replaced.replace(kRussianAnd, u","_s));

            QList<std::pair<qsizetype, qsizetype>> expected;
            for (auto it = kSeparator.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch match = it.next();
                expected.append({match.capturedStart(), match.capturedEnd()});
            }
            QVERIFY2(ArtistNameScanner::separators(text) == expected, shown);

            for (const int which : {1, 2}) {
                for (const QString &title : {text, text.trimmed()}) {
                    const QRegularExpressionMatch match = kTitle[which - 1].match(title);
                    const QStringView names = ArtistNameScanner::titleNames(title, which);
                    QVERIFY2(names.isNull() != match.hasMatch(), shown);
                    QVERIFY2(names == match.capturedView(3), shown);
                }
            }
        }
    }

    // A megabyte of blanks, unclosed groups or repeated keywords took the
    // patterns seconds to minutes; here each text is read a few times over.
    void megabyteTexts()
    {
        const qsizetype size = 1 << 20;
        const QString blanks = longText(u" \t"_s, size);
        const QString unclosed = longText(u"(feat x "_s, size);
        const QString repeatedFeat = longText(u"feat "_s, size);
        const QString andRun = longText(u" и "_s, size);

        QCOMPARE(ArtistCatalogLogic::splitArtists(blanks), QStringList {u"Неизвестно"_s});
        QCOMPARE(ArtistCatalogLogic::splitArtists(u"A"_s + blanks + u"B"_s), QStringList {u"A"_s + blanks + u"B"_s});
        QCOMPARE(ArtistCatalogLogic::splitArtists(u"A "_s + unclosed).first(), u"A ("_s);
        QCOMPARE(ArtistCatalogLogic::splitArtists(repeatedFeat), QStringList {repeatedFeat.trimmed()});
        const QStringList joined = ArtistCatalogLogic::splitArtists(u"A"_s + andRun + u"B"_s);
        QVERIFY(joined.first() == u"A"_s && joined.last() == u"B"_s);
        QCOMPARE(ArtistCatalogLogic::splitArtists(u"A"_s + blanks + u"( feat B"_s + blanks + u")"_s + blanks),
            QStringList {u"A"_s});

        // The titles' featured names become artists of their own.
        const QList<TrackOut> tracks {
            makeTrack(u"t1"_s, blanks, {}, u"Song"_s + blanks + u"ft"_s + blanks + u"x"_s),
            makeTrack(u"t2"_s, unclosed, {}, u"Song "_s + unclosed),
            makeTrack(u"t3"_s, u"A"_s, {}, u"Song "_s + repeatedFeat + u"B"_s),
            makeTrack(u"t4"_s, u"A"_s, {}, u"Song ("_s + repeatedFeat + u")"_s + blanks + u"\n"_s),
        };
        QStringList names;
        for (const ArtistProfile &profile : ArtistCatalogLogic::buildCatalog(tracks, {}))
            names.append(profile.name.left(12));
        QVERIFY2(names.contains(u"A"_s) && names.contains(u"x"_s) && names.contains(u"B"_s), qPrintable(names.join(u'|')));
    }
};

QTEST_GUILESS_MAIN(TestArtistNameScanner)
#include "tst_artistnamescanner.moc"
