#include "testenv.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace nimbra::test {

void initTestEnvironment()
{
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
