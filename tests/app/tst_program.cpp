// The program as the desktop meets it: its command line works without a
// display, the scene graph back-end follows the machine, and an install
// puts the binary, the .desktop file and the icon where the desktop looks,
// all under the one desktop id that MPRIS announces too, and a logout's
// SIGTERM or a terminal's Ctrl+C ends the client as closing its window does;
// and a desktop session has one client, whose window a second launch brings
// forward.
#include "platform/mprisservice.h"
#include "platform/renderbackend.h"

#include "privatebus.h"
#include "testenv.h"
#include "xvfbdisplay.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace nimbra;
using namespace Qt::StringLiterals;
using Choice = RenderBackend::Choice;

class TestProgram : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };

    // The client with neither a display nor a session bus.
    static Run runClient(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, QString());
        environment.insert(u"DISPLAY"_s, QString());
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/nonexistent/bus"_s);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(NIMBRA_CLIENT_PATH), arguments);
        if (!process.waitForFinished(20000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    // The client as a desktop starts it, against a closed port, with the
    // start-up milestones on stderr: on the test's X display where there is
    // one, else offscreen.
    static void startClient(QProcess &process, QProcessEnvironment environment)
    {
        environment.insert(u"QT_QPA_PLATFORM"_s, test::hasVideoDisplay() ? u"xcb"_s : u"offscreen"_s);
        environment.insert(u"NIMBRA_TIMING"_s, u"1"_s);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(NIMBRA_CLIENT_PATH), {u"--base-url"_s, u"http://127.0.0.1:9"_s});
    }

    // Reads the process's stderr into err until it holds the text.
    static bool waitForError(QProcess &process, QByteArray &err, const char *text)
    {
        return QTest::qWaitFor(
            [&] { return (err += process.readAllStandardError()).contains(text); }, test::kEventLimitMs);
    }

    // Ends the client as a logout does; whether it ended by its own way out.
    static bool quit(QProcess &process)
    {
        QSignalSpy finished(&process, &QProcess::finished);
        return ::kill(pid_t(process.processId()), SIGTERM) == 0 && finished.wait(test::kEventLimitMs)
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    // What a program prints, run to its end.
    static QString output(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(test::kEventLimitMs);
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The named top-level windows of the X display, topmost first.
    static QStringList stacking()
    {
        static const QRegularExpression child(u"^\\s*0x[0-9a-f]+ \"([^\"]*)\": \\(\""_s);
        QStringList names;
        for (const QString &line : output(u"xwininfo"_s, {u"-root"_s, u"-children"_s}).split(u'\n')) {
            if (const QRegularExpressionMatch match = child.match(line); match.hasMatch())
                names << match.captured(1);
        }
        return names;
    }

    static QString focusedWindow()
    {
        return output(u"xdotool"_s, {u"getwindowfocus"_s, u"getwindowname"_s}).trimmed();
    }

private slots:
    void initTestCase() { test::initTestEnvironment(); }

    void optionsWorkWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList {u"--help"_s} << 0 << u"--base-url <url>"_s;
        QTest::newRow("version") << QStringList {u"--version"_s} << 0 << u"nimbra 0.1.0"_s;
        QTest::newRow("unknown option") << QStringList {u"--bogus"_s} << 2 << u"--base-url <url>"_s;
        QTest::newRow("stray argument") << QStringList {u"extra"_s} << 2 << u"Usage: nimbra"_s;
        QTest::newRow("missing value") << QStringList {u"--base-url"_s} << 2 << u"Usage: nimbra"_s;
        QTest::newRow("lyrics host offered") << QStringList {u"--help"_s} << 0 << u"--lyrics-url <url>"_s;
        QTest::newRow("lyrics host not a web address")
            << QStringList {u"--lyrics-url"_s, u"ftp://lyrics.local"_s} << 2 << u"--lyrics-url needs an http"_s;
        QTest::newRow("lyrics host without a host") << QStringList {u"--lyrics-url"_s, u"http://"_s} << 2
                                                    << u"--lyrics-url needs an http"_s;
        QTest::newRow("service over http to another machine")
            << QStringList {u"--base-url"_s, u"http://192.0.2.1"_s} << 2 << u"plain http only for this machine"_s;
        QTest::newRow("service of another scheme")
            << QStringList {u"--base-url"_s, u"ftp://192.0.2.1/api"_s} << 2 << u"needs an https address"_s;
    }

    void optionsWorkWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        const Run run = runClient(arguments);
        QCOMPARE(run.status, status);
        // Asked-for help goes to stdout, a mistake's usage to stderr.
        const QString text = status == 0 ? run.out : run.err;
        QVERIFY2(text.contains(output), qPrintable(run.out + run.err));
    }

    void backendFollowsTheMachine_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("forcedSoftware");
        QTest::addColumn<bool>("renderNode");
        QTest::addColumn<QString>("renderer");
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<bool>("probes");
        QTest::newRow("no render node") << "" << false << false << "" << Choice::Software << false;
        QTest::newRow("llvmpipe") << "" << false << true << "llvmpipe (LLVM 15.0.6, 256 bits)" << Choice::Software
                                  << true;
        QTest::newRow("softpipe") << "" << false << true << "softpipe" << Choice::Software << true;
        QTest::newRow("no context") << "" << false << true << "" << Choice::Software << true;
        QTest::newRow("a GPU") << "" << false << true << "AMD Radeon RX 6600 (radeonsi, navi23)" << Choice::Default
                               << true;
        QTest::newRow("software GL forced") << "" << true << true << "" << Choice::Software << false;
        QTest::newRow("listener's choice on a GPU") << "software" << false << true << "" << Choice::Default << false;
        QTest::newRow("listener's choice without one") << "opengl" << false << false << "" << Choice::Default
                                                       << false;
    }

    void backendFollowsTheMachine()
    {
        QFETCH(QString, user);
        QFETCH(bool, forcedSoftware);
        QFETCH(bool, renderNode);
        QFETCH(QString, renderer);
        QFETCH(Choice, choice);
        QFETCH(bool, probes);
        const RenderBackend::Probe probe {user, forcedSoftware, renderNode, renderer};
        QCOMPARE(RenderBackend::needsGlProbe(probe), probes);
        QCOMPARE(RenderBackend::choose(probe), choice);
    }

    void quitSignalsEndTheClientInOrder_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("leftovers");
        QTest::addColumn<bool>("sessionBus");
        QTest::newRow("logout") << int(SIGTERM) << false << true;
        QTest::newRow("Ctrl+C") << int(SIGINT) << false << true;
        // A crashed client's copy goes at the next start; one whose owner
        // still holds it (in a sandbox whose processes this one does not
        // see) stays.
        QTest::newRow("logout after a crash left a copy") << int(SIGTERM) << true << true;
        // With no bus to ask for the session's one client, it runs.
        QTest::newRow("logout without a session bus") << int(SIGTERM) << false << false;
    }

    void quitSignalsEndTheClientInOrder()
    {
        QFETCH(int, signal);
        QFETCH(bool, leftovers);
        QFETCH(bool, sessionBus);
        QTemporaryDir temp;
        QProcess ended;
        ended.start(u"true"_s, QStringList());
        QVERIFY(ended.waitForStarted());
        const QString gone = u"nimbra-copy-%1-"_s.arg(ended.processId());
        QVERIFY(ended.waitForFinished());
        const QDir folders(temp.path());
        int held = -1;
        if (leftovers) {
            QVERIFY(folders.mkdir(gone + u"crash1"_s) && folders.mkdir(gone + u"inuse1"_s));
            QFile copy(folders.filePath(gone + u"crash1/copy"_s));
            QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write("fLaC") == 4);
            held = ::open(QFile::encodeName(folders.filePath(gone + u"inuse1"_s)).constData(), O_RDONLY | O_DIRECTORY);
            QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
        }
        QProcess process;
        const test::PrivateBus bus;
        QProcessEnvironment environment = bus.environment();
        if (!sessionBus)
            environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, temp.filePath(u"nobus"_s).prepend(u"unix:path="_s));
        environment.insert(u"TMPDIR"_s, temp.path());
        startClient(process, environment);
        QVERIFY(process.waitForStarted());
        QByteArray err;
        QVERIFY2(waitForError(process, err, "nimbra-timing first-frame"), err.constData());
        QSignalSpy finished(&process, &QProcess::finished);
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
        QVERIFY(finished.wait(20000));
        // Ended by its own way out, not by the signal.
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(folders.entryList({u"nimbra-copy-*"_s}, QDir::Dirs), leftovers ? QStringList {gone + u"inuse1"_s} : QStringList());
        if (held >= 0)
            ::close(held);
    }

    void oneClientPerSession_data()
    {
        QTest::addColumn<bool>("together");
        QTest::newRow("second launch while one runs") << false;
        // The bus gives the name to one of them; the other waits for its
        // window.
        QTest::newRow("two launches at once") << true;
    }

    void oneClientPerSession()
    {
        QFETCH(bool, together);
        test::PrivateBus bus;
        QVERIFY(bus.isRunning());
        // Each launch keeps its settings, caches and copies apart.
        QTemporaryDir homes;
        const auto environment = [&](const QString &home) {
            QProcessEnvironment environment = bus.environment();
            for (const QString &folder : {u"XDG_CONFIG_HOME"_s, u"XDG_CACHE_HOME"_s, u"XDG_DATA_HOME"_s, u"TMPDIR"_s}) {
                QDir().mkpath(homes.filePath(home + u"/"_s + folder));
                environment.insert(folder, homes.filePath(home + u"/"_s + folder));
            }
            return environment;
        };
        QProcess first;
        QProcess second;
        QProcess cover;
        QByteArray firstErr;
        startClient(first, environment(u"first"_s));
        const bool onDisplay = test::hasVideoDisplay() && !together;
        if (!together)
            QVERIFY2(waitForError(first, firstErr, "nimbra-timing first-frame"), firstErr.constData());
        if (onDisplay) {
            // Another window over the client's, which has no focus.
            cover.start(u"xmessage"_s, {u"-geometry"_s, u"1280x800+0+0"_s, u"cover"_s});
            QTRY_COMPARE(stacking(), QStringList({u"xmessage"_s, u"Nimbras"_s}));
            QVERIFY(focusedWindow() != u"Nimbras"_s);
        }
        startClient(second, environment(u"second"_s));
        QTRY_VERIFY(first.state() == QProcess::NotRunning || second.state() == QProcess::NotRunning);
        const bool firstRuns = first.state() != QProcess::NotRunning;
        QVERIFY(together || firstRuns);
        QProcess &client = firstRuns ? first : second;
        QProcess &launch = firstRuns ? second : first;
        const QString told = QString::fromUtf8(launch.readAllStandardError());
        QCOMPARE(launch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(launch.exitCode(), 0);
        const QString line = u"nimbra: Nimbras already runs in this session (process %1): brought its window forward"_s;
        QVERIFY2(told.contains(line.arg(client.processId())) && !told.contains(u"first-frame"_s), qPrintable(told));
        // The launch wrote nothing of its own.
        QDirIterator written(homes.filePath(firstRuns ? u"second"_s : u"first"_s), QDir::Files,
            QDirIterator::Subdirectories);
        QVERIFY2(!written.hasNext(), qPrintable(written.hasNext() ? written.next() : QString()));
        if (onDisplay) {
            QTRY_COMPARE(stacking(), QStringList({u"Nimbras"_s, u"xmessage"_s}));
            QTRY_COMPARE(focusedWindow(), u"Nimbras"_s);
        }
        QByteArray clientErr = firstRuns ? firstErr : QByteArray();
        QVERIFY2(waitForError(client, clientErr, "nimbra-timing first-frame"), clientErr.constData());
        // The desktop's media controls see one player, and never saw another.
        const QStringList player {QString::fromLatin1(MprisService::baseServiceName)};
        QCOMPARE(bus.names().filter(u"org.mpris.MediaPlayer2."_s), player);
        QCOMPARE(bus.namesTaken().filter(u"org.mpris.MediaPlayer2."_s), player);

        // Once it has gone, the next launch is the client.
        QVERIFY(quit(client));
        QProcess next;
        QByteArray nextErr;
        startClient(next, environment(u"next"_s));
        QVERIFY2(waitForError(next, nextErr, "nimbra-timing first-frame"), nextErr.constData());
        QVERIFY(quit(next));
        cover.kill();
        cover.waitForFinished(test::kEventLimitMs);
    }

    void installPutsTheDesktopFilesInPlace()
    {
        QTemporaryDir prefix;
        QProcess install;
        install.start(u"cmake"_s,
            {u"--install"_s, QStringLiteral(NIMBRA_BUILD_DIR), u"--prefix"_s, prefix.path()});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        const QString id = QString::fromLatin1(MprisService::desktopEntry);
        const QFileInfo binary(prefix.filePath(u"bin/nimbra"_s));
        const QString desktopPath = prefix.filePath(u"share/applications/"_s + id + u".desktop"_s);
        QVERIFY(binary.isFile() && binary.isExecutable());
        QVERIFY(QFileInfo(prefix.filePath(u"share/icons/hicolor/scalable/apps/"_s + id + u".svg"_s)).isFile());
        QVERIFY2(QFileInfo(desktopPath).isFile(), qPrintable(desktopPath));

        // The installed program finds its own library without the build
        // folder's paths.
        QProcess ldd;
        ldd.start(u"ldd"_s, {binary.filePath()});
        QVERIFY(ldd.waitForFinished(30000));
        const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        QVERIFY2(!libraries.contains(u"not found"_s), qPrintable(libraries));
        QVERIFY2(libraries.contains(prefix.path() + u"/"_s), qPrintable(libraries));

        QSettings desktop(desktopPath, QSettings::IniFormat);
        desktop.beginGroup(u"Desktop Entry"_s);
        QCOMPARE(desktop.value(u"Icon"_s).toString(), id);
        QCOMPARE(desktop.value(u"Exec"_s).toString(), u"nimbra"_s);
        QCOMPARE(desktop.value(u"Type"_s).toString(), u"Application"_s);
    }
};

int main(int argc, char **argv)
{
    // A window brought forward is seen on a display.
    nimbra::test::runUnderXvfb(argc, argv);
    QCoreApplication app(argc, argv);
    TestProgram test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_program.moc"
