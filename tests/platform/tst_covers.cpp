// Covers as the screens load them: asked for once per address and session,
// served from the disk cache afterwards, a refusal remembered, and the
// corners cut out of the picture so they are round on the software renderer.
#include "fakehttpserver.h"
#include "platform/cachednetworkaccessfactory.h"
#include "platform/coverimages.h"
#include "qmlscene.h"
#include "screentest.h"
#include "testenv.h"

#include <QBuffer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

QByteArray png(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray scene(const QByteArray &body)
{
    return "import QtQuick\nimport Nimbra\nRectangle { color: \"black\"; width: 400; height: 300\n" + body + "\n}\n";
}

QByteArray artwork(const QByteArray &name, int x, int size, const QUrl &source)
{
    return "Artwork { objectName: \"" + name + "\"; x: " + QByteArray::number(x) + "; y: 20; size: "
        + QByteArray::number(size) + "; source: \"" + source.toEncoded() + "\" }\n";
}

bool isRed(QColor c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

} // namespace

class TestCovers : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_cacheFolder;
    std::unique_ptr<test::FakeHttpServer> m_server;

    // One client session: its own access factory over the shared cache folder.
    struct Session
    {
        CachedNetworkAccessFactory factory;
        QQmlEngine engine;
        explicit Session(const QString &folder)
            : factory(folder)
        {
            engine.addImportPath(u"qrc:/qt/qml"_s);
            engine.setNetworkAccessManagerFactory(&factory);
        }
    };

    QUrl cover(const QString &path) const { return QUrl(m_server->baseUrl().toString() + path); }

    static bool settles(const test::QmlScene &scene, const QString &name, bool loaded)
    {
        QQuickItem *image = test::findItem(scene.item(name), u"artworkImage"_s);
        const int wanted = loaded ? 1 : 3; // Image.Ready, Image.Error
        return QTest::qWaitFor([&] { return image->property("status").toInt() == wanted; }, nimbra::test::kEventLimitMs);
    }

private slots:
    void initTestCase()
    {
        test::initTestEnvironment();
        QQuickStyle::setStyle(u"Basic"_s);
    }

    void init()
    {
        m_cacheFolder = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<test::FakeHttpServer>();
        // No freshness headers at all, as the local service answers.
        m_server->on(u"GET"_s, u"/covers/red.png"_s, test::FakeResponse {200, png({300, 200}, Qt::red), "image/png"});
        m_server->on(u"GET"_s, u"/covers/gone.png"_s, test::FakeResponse {404, "{\"detail\":\"Not Found\"}"});
    }

    // Two sizes of one cover on screen at once, the same cover on a later
    // screen, and again in the next session: one request in all.
    void aCoverIsFetchedOnce()
    {
        {
            Session session(m_cacheFolder->path());
            {
                test::QmlScene first(session.engine, ::scene(artwork("small", 20, 44, cover(u"/covers/red.png"_s))
                                                           + artwork("large", 80, 120, cover(u"/covers/red.png"_s))));
                QVERIFY2(first.ok(), qPrintable(first.errors()));
                QVERIFY(settles(first, u"small"_s, true));
                QVERIFY(settles(first, u"large"_s, true));
            }
            test::QmlScene later(session.engine, ::scene(artwork("other", 20, 60, cover(u"/covers/red.png"_s))));
            QVERIFY(settles(later, u"other"_s, true));
        }
        Session next(m_cacheFolder->path());
        test::QmlScene again(next.engine, ::scene(artwork("again", 20, 72, cover(u"/covers/red.png"_s))));
        QVERIFY(settles(again, u"again"_s, true));
        QCOMPARE(m_server->requestsTo(u"/covers/red.png"_s), 1);
    }

    // A cover the host refused is not asked for again in the same session;
    // the next session tries once more.
    void aRefusalIsRemembered()
    {
        // Each image a refusal reaches says so once: expected here, a
        // failure anywhere else.
        const auto expectRefusal = [] {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"/covers/gone\\.png$"_s));
        };
        {
            Session session(m_cacheFolder->path());
            for (int view = 0; view < 3; ++view) {
                expectRefusal();
                test::QmlScene scene(session.engine, ::scene(artwork("gone", 20, 44, cover(u"/covers/gone.png"_s))));
                QVERIFY(settles(scene, u"gone"_s, false));
                QVERIFY(test::isShown(test::findItem(scene.item(u"gone"_s), u"artworkPlaceholder"_s)));
            }
            QCOMPARE(m_server->requestsTo(u"/covers/gone.png"_s), 1);
        }
        Session next(m_cacheFolder->path());
        expectRefusal();
        test::QmlScene scene(next.engine, ::scene(artwork("gone", 20, 44, cover(u"/covers/gone.png"_s))));
        QVERIFY(settles(scene, u"gone"_s, false));
        QCOMPARE(m_server->requestsTo(u"/covers/gone.png"_s), 2);
    }

    // Drawn by the renderer the tests run on (software): the corners show
    // what lies under the cover, the edges between them the picture.
    void cornersAreRoundOnScreen()
    {
        Session session(m_cacheFolder->path());
        test::QmlScene scene(session.engine,
            ::scene("Artwork { objectName: \"cover\"; x: 20; y: 20; size: 100; radius: 10; source: \""
                    + cover(u"/covers/red.png"_s).toEncoded() + "\" }"));
        QVERIFY(settles(scene, u"cover"_s, true));
        const QImage image = scene.grab();
        const qreal ratio = image.devicePixelRatio();
        const auto at = [&](int x, int y) { return image.pixelColor(QPoint(x, y) * ratio); };
        for (const QPoint corner : {QPoint(20, 20), QPoint(119, 20), QPoint(20, 119), QPoint(119, 119)})
            QVERIFY2(!isRed(at(corner.x(), corner.y())) && at(corner.x(), corner.y()).lightness() < 40,
                     qPrintable(u"corner %1,%2"_s.arg(corner.x()).arg(corner.y())));
        QVERIFY(isRed(at(70, 20)));
        QVERIFY(isRed(at(20, 70)));
        QVERIFY(isRed(at(70, 70)));
    }

    // The picture fills the size asked for with its middle, whatever its
    // proportions; bytes that are no picture give none.
    void decodingCropsAndRounds()
    {
        QImage wide(400, 100, QImage::Format_RGB32);
        wide.fill(Qt::blue);
        for (int x = 150; x < 250; ++x)
            for (int y = 0; y < 100; ++y)
                wide.setPixelColor(x, y, Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        wide.save(&buffer, "PNG");

        const QImage square = CoverImages::decode(bytes, {50, 50}, 0);
        QCOMPARE(square.size(), QSize(50, 50));
        QVERIFY(isRed(square.pixelColor(0, 25)) && isRed(square.pixelColor(49, 25)));

        const QImage rounded = CoverImages::decode(bytes, {50, 50}, 8);
        QCOMPARE(rounded.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(rounded.pixelColor(49, 49).alpha(), 0);
        QCOMPARE(rounded.pixelColor(25, 25).alpha(), 255);
        // One piece of a larger rounded shape: only the shape's corners go.
        const QImage leftEnd = CoverImages::decode(bytes, {50, 50}, 8, CoverImages::TopLeft | CoverImages::BottomLeft);
        QCOMPARE(leftEnd.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(leftEnd.pixelColor(0, 49).alpha(), 0);
        QCOMPARE(leftEnd.pixelColor(49, 0).alpha(), 255);
        QCOMPARE(leftEnd.pixelColor(49, 49).alpha(), 255);
        QCOMPARE(CoverImages::decode(bytes, {50, 50}, 8, 0).pixelColor(0, 0).alpha(), 255);
        QCOMPARE(CoverImages::decode(bytes, QSize(), 0).size(), QSize(400, 100));
        QVERIFY(CoverImages::decode("<html>not a picture</html>", {50, 50}, 6).isNull());
    }

    // The provider's address carries any cover address and nothing else.
    void addressesRoundTrip()
    {
        CoverImages images;
        const QUrl original(u"https://covers.example/a b/обложка.jpg?size=300&v=2#x"_s);
        const QUrl address = images.source(original, 9.6);
        QCOMPARE(address.scheme(), u"image"_s);
        QUrl cover;
        qreal radius = -1;
        QVERIFY(CoverImages::parse(address.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1), &cover, &radius));
        QCOMPARE(cover, original);
        QCOMPARE(radius, 10.0);
        QVERIFY(images.source(QUrl(), 6).isEmpty());
        const auto idOf = [](const QUrl &address) {
            return address.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority).mid(1);
        };
        int corners = -1;
        QVERIFY(CoverImages::parse(idOf(address), &cover, &radius, &corners));
        QCOMPARE(corners, int(CoverImages::AllCorners));
        QVERIFY(CoverImages::parse(idOf(images.source(original, 4, CoverImages::TopRight | CoverImages::BottomRight)),
                                   &cover, &radius, &corners));
        QCOMPARE(cover, original);
        QCOMPARE(radius, 4.0);
        QCOMPARE(corners, CoverImages::TopRight | CoverImages::BottomRight);
        QVERIFY(CoverImages::parse(idOf(images.source(original, 4, 0)), &cover, &radius, &corners));
        QCOMPARE(corners, 0);
        for (const QString &bad : {u""_s, u"6"_s, u"x/aGVsbG8"_s, u"-1/aGVsbG8"_s, u"6/!!!"_s, u"6/cmVsYXRpdmU"_s,
                 u"6:16/aHR0cDovL2gvYQ"_s, u"6:x/aHR0cDovL2gvYQ"_s, u"6:-1/aHR0cDovL2gvYQ"_s})
            QVERIFY2(!CoverImages::parse(bad, &cover, &radius), qPrintable(bad));
    }
};

QTEST_MAIN(TestCovers)
#include "tst_covers.moc"
