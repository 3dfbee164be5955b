// The icon table: every symbol name the QML files use has a row, and every
// row draws a glyph that the installed icon font really has.
#include "platform/iconmap.h"

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextLayout>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// The QML text with comments blanked out, string literals kept.
QString withoutComments(const QString &qml)
{
    QString out = qml;
    QChar quote;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'' || c == u'`') {
            quote = c;
        } else if (c == u'/' && i + 1 < out.size() && out.at(i + 1) == u'/') {
            while (i < out.size() && out.at(i) != u'\n')
                out[i++] = u' ';
        } else if (c == u'/' && i + 1 < out.size() && out.at(i + 1) == u'*') {
            const qsizetype end = out.indexOf("*/"_L1, i + 2);
            const qsizetype stop = end < 0 ? out.size() : end + 2;
            for (; i < stop; ++i)
                if (out.at(i) != u'\n')
                    out[i] = u' ';
        }
    }
    return out;
}

// The value of a binding that starts at `from`: up to the end of the line, or
// to a ';' or ',' or closing bracket outside parentheses.
QString bindingValue(const QString &text, qsizetype from)
{
    int depth = 0;
    QChar quote;
    qsizetype i = from;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == u'\\')
                ++i;
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'')
            quote = c;
        else if (c == u'(' || c == u'[' || c == u'{')
            ++depth;
        else if (c == u'\n' || (depth == 0 && (c == u';' || c == u',' || c == u'}' || c == u']')))
            break;
        else if (c == u')' || c == u']' || c == u'}')
            --depth;
    }
    return text.mid(from, i - from);
}

QStringList literalsIn(const QString &value)
{
    static const QRegularExpression literal(uR"re("((?:[^"\\\n]|\\.)*)"|'((?:[^'\\\n]|\\.)*)')re"_s);
    QStringList found;
    for (const auto &match : literal.globalMatch(value)) {
        const QString text = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
        if (!text.isEmpty())
            found.append(text);
    }
    return found;
}

// The body of the block whose '{' is at `open`, with nested blocks blanked,
// so that only the block's own bindings remain.
QString ownBindings(const QString &text, qsizetype open)
{
    QString body;
    int depth = 0;
    QChar quote;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quote.isNull() && (c == u'"' || c == u'\''))
            quote = c;
        else if (!quote.isNull() && c == quote && text.at(i - 1) != u'\\')
            quote = QChar();
        else if (quote.isNull() && c == u'{' && ++depth == 1)
            continue;
        else if (quote.isNull() && c == u'}' && --depth == 0)
            break;
        body.append(depth == 1 || c == u'\n' ? c : u' ');
    }
    return body;
}

// Finds the symbol names of a QML text by the rule written in AppIcon.qml.
QStringList symbolNamesIn(const QString &qml)
{
    const QString text = withoutComments(qml);
    QStringList names;

    static const QRegularExpression symbolBinding(uR"(\b(?:systemImage|symbol|icon|\w+Symbol|\w+Icon)\s*:)"_s);
    for (const auto &match : symbolBinding.globalMatch(text))
        names += literalsIn(bindingValue(text, match.capturedEnd()));

    static const QRegularExpression appIcon(uR"(\bAppIcon\s*\{)"_s);
    static const QRegularExpression nameBinding(uR"((?:^|[\s;])name\s*:)"_s);
    for (const auto &block : appIcon.globalMatch(text)) {
        const QString body = ownBindings(text, block.capturedEnd() - 1);
        for (const auto &match : nameBinding.globalMatch(body))
            names += literalsIn(bindingValue(body, match.capturedEnd()));
    }
    return names;
}

QString loadIconFont()
{
    const int id = QFontDatabase::addApplicationFont(IconMap::fontPath());
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

class TestIconMap : public QObject
{
    Q_OBJECT

private slots:
    void scanRule_data()
    {
        QTest::addColumn<QString>("qml");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("icon over lines")
            << u"AppIcon {\n  size: 16\n  Behavior on opacity { NumberAnimation { } }\n  name: \"heart\"\n}"_s
            << QStringList {u"heart"_s};
        QTest::newRow("choice") << u"AppIcon { name: on ? \"pause.fill\" : \"play.fill\"; size: 12 }"_s
                                << QStringList {u"pause.fill"_s, u"play.fill"_s};
        QTest::newRow("name of another type") << u"State { name: \"expanded\" }"_s << QStringList {};
        QTest::newRow("name nested in an icon")
            << u"AppIcon { Item { property string name: \"inner\" } }"_s << QStringList {};
        QTest::newRow("plain text") << u"Text { text: \"heart\" }"_s << QStringList {};
        QTest::newRow("button") << u"CircularControlButton { systemImage: \"heart.fill\" }"_s
                                << QStringList {u"heart.fill"_s};
        QTest::newRow("suffix Symbol") << u"property string emptySymbol: \"bolt.fill\""_s
                                       << QStringList {u"bolt.fill"_s};
        QTest::newRow("title before") << u"ListElement { title: \"Главная\"; icon: \"house.fill\" }"_s
                                      << QStringList {u"house.fill"_s};
        QTest::newRow("title after") << u"({ icon: \"house.fill\", title: \"Главная\" })"_s
                                     << QStringList {u"house.fill"_s};
        QTest::newRow("bound to a model") << u"CircularControlButton { systemImage: model.icon }"_s << QStringList {};
        QTest::newRow("line comment") << u"Item { // icon: \"commented.out\"\n}"_s << QStringList {};
        QTest::newRow("block comment") << u"/* AppIcon { name: \"x\" } */ Item {}"_s << QStringList {};
        QTest::newRow("slashes in a string")
            << u"Item { url: \"https://host/\"; icon: \"qrcode\" }"_s << QStringList {u"qrcode"_s};
        QTest::newRow("other font property") << u"Item { iconFont: AppTheme.body }"_s << QStringList {};
    }

    void scanRule()
    {
        QFETCH(QString, qml);
        QFETCH(QStringList, names);
        QCOMPARE(symbolNamesIn(qml), names);
    }

    // Scans the QML files compiled into the module.
    void everySymbolInTheQmlHasAnEntry()
    {
        QStringList files;
        QStringList missing;
        QDirIterator it(u":/qt/qml/Nimbra"_s, {u"*.qml"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.append(path);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QString &name : symbolNamesIn(QString::fromUtf8(file.readAll())))
                if (IconMap::glyph(name).isEmpty())
                    missing.append(path + u": "_s + name);
        }
        QVERIFY2(files.contains(u":/qt/qml/Nimbra/components/AppIcon.qml"_s), qPrintable(files.join(u", "_s)));
        QVERIFY2(missing.isEmpty(), qPrintable(u"no icon for "_s + missing.join(u"; "_s)));
    }

    // The lookup halves a sorted table: a row out of order is never found.
    void lookupFindsTheRows_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QString>("ligature");
        QTest::addColumn<int>("codePoint"); // 0: no icon
        QTest::newRow("first row") << u"arrow.clockwise"_s << u"refresh"_s << 0xe5d5;
        QTest::newRow("play") << u"play.fill"_s << u"play_arrow"_s << 0xe037;
        QTest::newRow("pause") << u"pause.fill"_s << u"pause"_s << 0xe034;
        QTest::newRow("favourite") << u"heart.fill"_s << u"favorite"_s << 0xe87d;
        QTest::newRow("last row") << u"xmark"_s << u"close"_s << 0xe5cd;
        for (const QString &unknown : {u""_s, u"play"_s, u"play.fill "_s, u"Play.fill"_s, u"zzz"_s})
            QTest::newRow(qPrintable(u"unknown '"_s + unknown + u"'"_s)) << unknown << QString() << 0;
    }

    void lookupFindsTheRows()
    {
        QFETCH(QString, symbol);
        QFETCH(QString, ligature);
        QFETCH(int, codePoint);
        QCOMPARE(IconMap::glyph(symbol), codePoint ? QString(QChar(codePoint)) : QString());
        QCOMPARE(IconMap::ligature(symbol), ligature);
        const auto entries = IconMap::entries();
        for (qsizetype i = 1; i < qsizetype(entries.size()); ++i)
            QVERIFY2(entries[i - 1].symbol < entries[i].symbol,
                qPrintable(u"out of order or doubled: "_s + entries[i].symbol.toString()));
    }

    // The code point and the ligature name of a row name the same glyph, and
    // the font has it: a typo in either column fails here.
    void everyGlyphIsInTheFont()
    {
        const QRawFont raw(IconMap::fontPath(), 24);
        QVERIFY(raw.isValid());
        const QString family = loadIconFont();
        QVERIFY(!family.isEmpty());
        QFont font(family);
        font.setPixelSize(24);

        for (const IconMap::Entry &entry : IconMap::entries()) {
            const QString symbol = entry.symbol.toString();
            QVERIFY2(raw.supportsCharacter(QChar(entry.codePoint)), qPrintable(symbol));
            const QList<quint32> byCodePoint = raw.glyphIndexesForString(QString(QChar(entry.codePoint)));
            QCOMPARE(byCodePoint.size(), 1);
            QVERIFY2(byCodePoint.first() != 0, qPrintable(symbol));

            QTextLayout layout(entry.ligature.toString(), font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            QList<quint32> shaped;
            for (const QGlyphRun &run : layout.glyphRuns())
                shaped += run.glyphIndexes();
            QVERIFY2(shaped == byCodePoint,
                qPrintable(symbol + u": the ligature and the code point name different glyphs"_s));
        }
    }
};

QTEST_MAIN(TestIconMap)
#include "tst_iconmap.moc"
