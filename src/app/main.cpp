#include "appcontext.h"

#include "api/apiconfig.h"
#include "update/otaservice.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQuickStyle>
#include <QSettings>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Nimbra"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Nimbra"));
    QGuiApplication::setOrganizationName(QStringLiteral("Nimbra"));
    QGuiApplication::setOrganizationDomain(QStringLiteral("nimbra.app"));
    QGuiApplication::setDesktopFileName(QStringLiteral("app.nimbra.Nimbra"));
    // Every control is drawn by the project's own components on top of Basic.
    QQuickStyle::setStyle(QStringLiteral("Basic"));

    // Development runs point the client at a local service; the address is
    // kept like one typed into the settings.
    QCommandLineParser parser;
    const QCommandLineOption baseUrl(
        QStringLiteral("base-url"), QStringLiteral("Service address to use."), QStringLiteral("url"));
    parser.addOption(baseUrl);
    const QCommandLineOption updateUrl(QStringLiteral("update-url"),
        QStringLiteral("Host of the update manifest to use."), QStringLiteral("url"));
    parser.addOption(updateUrl);
    parser.addHelpOption();
    parser.process(app);
    if (parser.isSet(baseUrl))
        nimbra::APIConfig::setBaseURL(QUrl(parser.value(baseUrl)));
    if (parser.isSet(updateUrl))
        QSettings().setValue(QLatin1StringView(nimbra::OtaService::settingsKey), parser.value(updateUrl));

    nimbra::AppContext context;
    if (!context.start())
        return 1;
    return app.exec();
}
