// The picture a video frame becomes on screen: fitted inside the item with
// its aspect kept, corners rounded only when asked, nothing for a frame or
// an item without size; of frames that come faster than they are shown,
// the newest.
#include "platform/newestonly.h"
#include "platform/videoframeitem.h"

#include <QGuiApplication>
#include <QtTest>

using namespace nimbra;

class TestVideoFrameItem : public QObject
{
    Q_OBJECT

    static QImage frame(QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(200, 40, 40));
        return image;
    }

private slots:
    void fitsInsideWithItsAspect_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("wide frame, wider box: full height") << QSize(320, 180) << QSize(1100, 462) << QSize(821, 462);
        QTest::newRow("wide frame, square box: full width") << QSize(320, 180) << QSize(400, 400) << QSize(400, 225);
        QTest::newRow("tall frame") << QSize(180, 320) << QSize(820, 462) << QSize(259, 462);
        QTest::newRow("shrunk") << QSize(1920, 1080) << QSize(820, 462) << QSize(820, 461);
        QTest::newRow("same size") << QSize(320, 180) << QSize(320, 180) << QSize(320, 180);
    }

    void fitsInsideWithItsAspect()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, box);
        QFETCH(QSize, expected);
        const QImage picture = VideoFrameItem::fitted(frame(source), box, 0);
        QCOMPARE(picture.size(), expected);
        QCOMPARE(picture.pixelColor(expected.width() / 2, expected.height() / 2), QColor(200, 40, 40));
    }

    void roundedCornersAreSeeThrough()
    {
        const QImage square = VideoFrameItem::fitted(frame({320, 180}), {820, 462}, 0);
        QCOMPARE(square.pixelColor(0, 0).alpha(), 255);

        const QImage rounded = VideoFrameItem::fitted(frame({320, 180}), {820, 462}, 12);
        QCOMPARE(rounded.size(), QSize(820, 461));
        QCOMPARE(rounded.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(rounded.pixelColor(819, 460).alpha(), 0);
        // The edges between the corners and the middle are the picture's.
        QCOMPARE(rounded.pixelColor(410, 0).alpha(), 255);
        QCOMPARE(rounded.pixelColor(0, 230).alpha(), 255);
        QCOMPARE(rounded.pixelColor(410, 230), QColor(200, 40, 40));
    }

    void nothingToShow()
    {
        QVERIFY(VideoFrameItem::fitted(QImage(), {820, 462}, 12).isNull());
        QVERIFY(VideoFrameItem::fitted(frame({320, 180}), {0, 462}, 12).isNull());
        QVERIFY(VideoFrameItem::fitted(frame({320, 180}), {820, 0}, 0).isNull());
    }

    // A frame that comes while the one before still waits replaces it, and
    // the taker is asked once.
    void aWaitingFrameGivesWayToTheNewest()
    {
        NewestOnly<QImage> frames;
        QVERIFY(frames.put(frame({2, 2})));
        QVERIFY(!frames.put(frame({4, 4})));
        QCOMPARE(frames.take().size(), QSize(4, 4));
        QVERIFY(frames.take().isNull());
        QVERIFY(frames.put(frame({2, 2})));
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestVideoFrameItem test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videoframeitem.moc"
