// The floors script against small trees laid out as src/: an include of a
// folder below passes; one upwards, sideways or into a folder without a
// floor fails and says where it is.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kScript = QStringLiteral(NIMBRA_TEST_DATA_DIR "/../../scripts/check-floors");
const QStringList kFolders {u"api"_s, u"format"_s, u"platform"_s, u"collection"_s, u"player"_s, u"update"_s,
    u"account"_s, u"media"_s, u"tracks"_s, u"settings"_s, u"library"_s, u"artists"_s, u"clips"_s,
    u"catalogue"_s, u"shell"_s, u"app"_s};

// The script's exit code and all it said; -1 when it did not end.
std::pair<int, QString> runScript(const QStringList &arguments)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(u"bash"_s, QStringList {kScript} + arguments);
    if (!script.waitForFinished(60000))
        return {-1, QString::fromUtf8(script.readAll())};
    return {script.exitCode(), QString::fromUtf8(script.readAll())};
}

} // namespace

class TestCheckFloors : public QObject
{
    Q_OBJECT

private slots:
    void theProjectKeepsItsFloors()
    {
        const auto [code, said] = runScript({});
        QVERIFY2(code == 0, qPrintable(said));
    }

    void plantedInclude_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("include");
        // What the script says of it; empty: the include is allowed.
        QTest::addColumn<QString>("says");
        QTest::newRow("a floor below") << u"library/a.cpp"_s << u"#include \"collection/playlistsstore.h\""_s
                                       << QString();
        QTest::newRow("its own folder") << u"tracks/a.h"_s << u"#include \"tracks/loadstate.h\""_s << QString();
        QTest::newRow("a library's header") << u"player/a.cpp"_s << u"#include <QCoro/QCoroTask>"_s << QString();
        QTest::newRow("a floor above") << u"tracks/a.cpp"_s << u"#include \"catalogue/homesummary.h\""_s
                                       << u"tracks/a.cpp:2 includes catalogue/homesummary.h"_s;
        QTest::newRow("sideways") << u"player/a.cpp"_s << u"#include \"account/authstore.h\""_s
                                  << u"player/a.cpp:2 includes account/authstore.h"_s;
        QTest::newRow("into app, spaced and angled") << u"api/a.cpp"_s << u"  #  include <app/appcontext.h>"_s
                                                     << u"api/a.cpp:2 includes app/appcontext.h"_s;
        QTest::newRow("climbing out with ../") << u"player/a.h"_s << u"#include \"../shell/navigation.h\""_s
                                               << u"player/a.h:2 includes shell/navigation.h"_s;
        QTest::newRow("media, which is loaded") << u"app/a.cpp"_s << u"#include \"media/qtaudioplayer.h\""_s
                                                << u"app/a.cpp:2 includes media/qtaudioplayer.h"_s;
        QTest::newRow("a folder without a floor") << u"newthing/a.h"_s << u"#include \"api/clock.h\""_s
                                                  << u"newthing/ has no floor"_s;
    }

    void plantedInclude()
    {
        QFETCH(QString, file);
        QFETCH(QString, include);
        QFETCH(QString, says);
        QTemporaryDir tree;
        QVERIFY(tree.isValid());
        QDir root(tree.path());
        for (const QString &folder : kFolders)
            QVERIFY(root.mkpath(folder));
        QVERIFY(root.mkpath(file.section(u'/', 0, 0)));
        QFile source(root.filePath(file));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("#pragma once\n" + include.toUtf8() + "\n");
        source.close();

        const auto [code, said] = runScript({tree.path()});
        QCOMPARE(code, says.isEmpty() ? 0 : 1);
        QVERIFY2(said.contains(says), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestCheckFloors)
#include "tst_checkfloors.moc"
