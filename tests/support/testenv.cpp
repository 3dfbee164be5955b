#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
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
    settings.sync();
}

QString devservicePath()
{
    return QStringLiteral(NIMBRA_DEVSERVICE_PATH);
}

} // namespace nimbra::test
