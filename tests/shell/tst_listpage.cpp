// The list page every track list is built on: the state view in place of
// the rows, the alert a guest's row action raises, and the paged model
// hearing of rows that come on screen, made or reused.
#include "scenerig.h"
#include "screentest.h"
#include "trackfixtures.h"
#include "tracks/tracklistmodel.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace Qt::StringLiterals;

namespace {

// A bare page; the tests hand it its model.
const QByteArray bare = "import QtQuick\nimport Nimbra\n"
                        "ListPage { width: 480; height: 400; title: \"Треки\" }\n";

// A page over a stand-in of a paged model that records the rows that came
// on screen.
QByteArray pagedPage(int rows)
{
    return "import QtQuick\nimport Nimbra\n"
           "ListPage { width: 480; height: 400; title: \"Треки\"\n"
           "  property alias tracks: tracks\n"
           "  model: ListModel { id: tracks\n"
           "    property int lastAppeared: -1\n"
           "    function rowAppeared(row) { lastAppeared = Math.max(lastAppeared, row) }\n"
           "    Component.onCompleted: { for (let i = 0; i < "
        + QByteArray::number(rows)
        + "; ++i) append({ trackId: \"t\" + i, title: \"Трек \" + i, artist: \"Мокко\", coverUrl: \"\",\n"
          "      durationText: \"1:00\", isFavorite: false, isDisliked: false, isHiFi: false, isCurrent: false,\n"
          "      trackNumber: i + 1 }) } } }\n";
}

// A track list with no account behind it: a guest's.
std::unique_ptr<TrackListModel> guestList(int rows)
{
    auto model = std::make_unique<TrackListModel>(TrackStores {});
    QStringList ids;
    for (int i = 0; i < rows; ++i)
        ids.append(u"t"_s + QString::number(i));
    model->setTracks(test::makeTracks(ids));
    model->setLoadState(LoadState::loaded(rows > 0));
    return model;
}

QQuickItem *rowAt(QQuickItem *list, int index)
{
    QQuickItem *found = nullptr;
    QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, found), Q_ARG(int, index));
    return found;
}

} // namespace

class TestListPage : public QObject
{
    Q_OBJECT

    test::SceneRig m_scene;

private slots:
    void initTestCase() { m_scene.start(); }

    void cleanup() { m_scene.finishTest(); }

    // The model's state decides between the rows and the state view, and
    // what that view says.
    void stateStandsInForTheRows_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("rowsShown");
        QTest::addColumn<QString>("title");
        QTest::newRow("idle") << int(LoadState::Idle) << true << QString();
        QTest::newRow("loading") << int(LoadState::Loading) << false << QString();
        QTest::newRow("loaded") << int(LoadState::Loaded) << true << QString();
        QTest::newRow("empty") << int(LoadState::Empty) << false << u"Пусто"_s;
        QTest::newRow("failed") << int(LoadState::Failed) << false << u"Не удалось загрузить"_s;
    }

    void stateStandsInForTheRows()
    {
        QFETCH(int, state);
        QFETCH(bool, rowsShown);
        QFETCH(QString, title);
        std::unique_ptr<TrackListModel> tracks = guestList(3);
        test::QmlScene scene(m_scene.engine(), bare, QSize(480, 400));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.root()->setProperty("model", QVariant::fromValue<QObject *>(tracks.get()));
        const auto loadState = LoadState::State(state);
        tracks->setLoadState(loadState == LoadState::Failed ? LoadState::failed(u"Нет сети"_s) : LoadState {loadState, {}});
        QCOMPARE(test::isShown(scene.item(u"pageList"_s)), rowsShown);
        QQuickItem *stateView = scene.item(u"stateTitle"_s)->parentItem()->parentItem();
        QCOMPARE(test::isShown(stateView), !rowsShown);
        if (!title.isEmpty())
            QCOMPARE(scene.item(u"stateTitle"_s)->property("text").toString(), title);
        QCOMPARE(test::isShown(scene.item(u"stateRetry"_s)), loadState == LoadState::Failed);
        if (loadState != LoadState::Failed)
            return;
        QCOMPARE(scene.item(u"stateText"_s)->property("text").toString(), u"Нет сети"_s);
        QSignalSpy retried(scene.root(), SIGNAL(retry()));
        QVERIFY(test::click(scene.window(), scene.item(u"stateRetry"_s)));
        QCOMPARE(retried.count(), 1);
    }

    // A guest's heart asks for an account: the page shows the alert with the
    // model's prompt, and OK clears the prompt so that the next action asks
    // again. A page that is not on screen (one under a pushed page) raises
    // nothing.
    void guestRowActionRaisesTheAlert()
    {
        std::unique_ptr<TrackListModel> tracks = guestList(3);
        test::QmlScene scene(m_scene.engine(), bare, QSize(480, 400));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        scene.root()->setProperty("model", QVariant::fromValue<QObject *>(tracks.get()));
        QVERIFY(!test::isShown(scene.find(u"signInOk"_s)));
        QTRY_VERIFY(rowAt(scene.item(u"pageList"_s), 1));
        QVERIFY(test::click(scene.window(), test::findItem(rowAt(scene.item(u"pageList"_s), 1), u"trackFavorite"_s)));
        QTRY_VERIFY(test::isShown(scene.find(u"signInOk"_s)));
        QCOMPARE(scene.find(u"signInMessage"_s)->property("text").toString(), tracks->signInPrompt());
        QVERIFY(!tracks->signInPrompt().isEmpty());
        QVERIFY(test::click(scene.window(), scene.find(u"signInOk"_s)));
        QTRY_VERIFY(!test::isShown(scene.find(u"signInOk"_s)));
        QCOMPARE(tracks->signInPrompt(), QString());

        scene.root()->setVisible(false);
        tracks->setSignInPrompt(u"Войдите"_s);
        QVERIFY(!test::isShown(scene.find(u"signInOk"_s)));
    }

    // Scrolled to the end through reused rows, the model still hears of its
    // last row, so a paged list goes on loading its next page.
    void reusedRowsReachTheModel()
    {
        test::QmlScene scene(m_scene.engine(), pagedPage(300), QSize(480, 400));
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QObject *tracks = scene.root()->property("tracks").value<QObject *>();
        QQuickItem *list = scene.item(u"pageList"_s);
        QVERIFY(tracks->property("lastAppeared").toInt() < 20);
        for (int step = 1; step <= 30; ++step) {
            QMetaObject::invokeMethod(list, "positionViewAtIndex", Q_ARG(int, step * 10 - 1), Q_ARG(int, 2));
            QTRY_COMPARE(tracks->property("lastAppeared").toInt() >= step * 10 - 1, true);
        }
        QCOMPARE(tracks->property("lastAppeared").toInt(), 299);
    }

    // One title row: a section's heading, or "Назад" with the title on a
    // pushed page; never both.
    void titleRowTakesOneForm()
    {
        test::QmlScene section(m_scene.engine(), bare, QSize(480, 400));
        QVERIFY2(section.ok(), qPrintable(section.errors()));
        QCOMPARE(section.item(u"headerTitle"_s)->property("text").toString(), u"Треки"_s);
        QVERIFY(!section.item(u"backButton"_s));
        test::QmlScene pushed(
            m_scene.engine(), QByteArray(bare).replace("title:", "pushed: true; title:"), QSize(480, 400));
        QVERIFY2(pushed.ok(), qPrintable(pushed.errors()));
        QCOMPARE(pushed.item(u"backBarTitle"_s)->property("text").toString(), u"Треки"_s);
        QVERIFY(test::isShown(pushed.item(u"backButton"_s)));
        QVERIFY(!pushed.item(u"headerTitle"_s));
    }
};

QTEST_MAIN(TestListPage)
#include "tst_listpage.moc"
