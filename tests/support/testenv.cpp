#include "testenv.h"

#include "api/apiconfig.h"
#include "api/runsettings.h"
#include "player/lyricsservice.h"
#include "update/otaservice.h"

#include "eventloop.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace nimbra::test {

namespace {

// Qt's test mode keeps settings, caches and downloads under the home
// folder, which would outlive the process: an offline copy left by one run
// would greet the next. Each test process gets an empty home of its own,
// removed when the process ends.
void useFreshHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/nimbra-home-XXXXXX"));
    if (home.isValid())
        qputenv("HOME", QFile::encodeName(home.path()));
    else
        qFatal("no fresh home folder for the test: %s", qPrintable(home.errorString()));
}

} // namespace

void initTestEnvironment()
{
    useFreshHome();
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("NimbraTests"));
    QCoreApplication::setApplicationName(QCoreApplication::applicationName() + QStringLiteral("-test"));
    clearSettings();
}

void clearSettings()
{
    QSettings settings;
    settings.clear();
    for (const char *key : {ApiConfig::settingsKey, OtaService::settingsKey, LyricsService::settingsKey})
        RunSettings::clear(key);
    // Every played track without lyrics of its own is looked up: a test
    // that does not serve the lookup itself gets a refusal from loopback,
    // never an answer from the public lyrics service.
    settings.setValue(QLatin1StringView(LyricsService::settingsKey), QStringLiteral("http://127.0.0.1:1"));
    settings.sync();
}

QString devservicePath()
{
    return QStringLiteral(NIMBRA_DEVSERVICE_PATH);
}

bool soundServerAnswers()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    // A slow answer is no reason to skip the tests that need the server.
    return pactl.waitForFinished(kEventLimitMs) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

int ownSoundStreams()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000))
        return -1;
    const QString mine = QStringLiteral("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
    return int(QString::fromUtf8(pactl.readAllStandardOutput()).count(mine));
}

} // namespace nimbra::test
