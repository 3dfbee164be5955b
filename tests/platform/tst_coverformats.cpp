// A cover is read by the reader of its own format alone. Asked without a
// format, Qt loads every installed image plugin (the SVG one brings Qt's SVG
// module) to let each look at the bytes, in every process that shows a
// cover. A process of its own: writing a picture loads them all too.
#include "platform/coverimages.h"
#include "testenv.h"

#include <QFile>
#include <QtTest>

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// 8 by 6 red pixels, as a PNG and as a JPEG.
const QByteArray png = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAgAAAAGAQMAAADEy024AAAAA1BMVEX/AAAZ4gk3AAAAC0lEQVQI12NgQAAAAAwAAeQ06mYAAAAASUVORK5CYII=");
const QByteArray jpeg = QByteArray::fromBase64(
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsNDhIQDQ4RDgsLEBYQERMUFRUVDA8X"
    "GBYUGBIUFRT/2wBDAQMEBAUEBQkFBQkUDQsNFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBQUFBT/wAAR"
    "CAAGAAgDAREAAhEBAxEB/8QAFAABAAAAAAAAAAAAAAAAAAAACP/EABQQAQAAAAAAAAAAAAAAAAAAAAD/xAAVAQEBAAAAAAAAAAAAAAAAAAAH"
    "Cf/EABQRAQAAAAAAAAAAAAAAAAAAAAD/2gAMAwEAAhEDEQA/ADoDFU3/2Q==");

QByteArray mappedFiles()
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
}

} // namespace

class TestCoverFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void eachFormatLoadsItsOwnReaderOnly()
    {
        const QImage fromPng = CoverImages::decode(png, {4, 3}, 0);
        QCOMPARE(fromPng.size(), QSize(4, 3));
        QCOMPARE(fromPng.pixelColor(2, 1), QColor(Qt::red));
        QVERIFY(!mappedFiles().contains("imageformats/"));

        const QImage fromJpeg = CoverImages::decode(jpeg, {4, 3}, 0);
        QCOMPARE(fromJpeg.size(), QSize(4, 3));
        QVERIFY(fromJpeg.pixelColor(2, 1).red() > 200);
        const QByteArray mapped = mappedFiles();
        QVERIFY(mapped.contains("libqjpeg"));
        QVERIFY(!mapped.contains("libqsvg"));
        QVERIFY(!mapped.contains("libqgif"));
        QVERIFY(!mapped.contains("libQt6Svg"));
    }
};

QTEST_MAIN(TestCoverFormats)
#include "tst_coverformats.moc"
