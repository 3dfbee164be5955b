#include "appcontext.h"
#include "benchhooks.h"
#include "quitsignals.h"
#include "singleclient.h"

#include "account/authstore.h"
#include "api/apiconfig.h"
#include "api/runsettings.h"
#include "platform/desktopidentity.h"
#include "player/lyricsservice.h"
#include "platform/renderbackend.h"
#include "update/buildinfo.h"
#include "update/otaservice.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QQuickStyle>
#include <QUrl>
#include <QQuickWindow>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Options of the client itself; Qt's own (-platform, -style and the like)
// are accepted and left for QGuiApplication.
struct Options
{
    QCommandLineParser parser;
    QCommandLineOption baseUrl {u"base-url"_s, u"Service address to use."_s, u"url"_s};
    QCommandLineOption updateUrl {u"update-url"_s, u"Host of the update manifest to use."_s, u"url"_s};
    QCommandLineOption lyricsUrl {u"lyrics-url"_s, u"Host of the lyrics service to use."_s, u"url"_s};
};

void addQtOptions(QCommandLineParser &parser)
{
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
             "qwindowgeometry", "qwindowicon", "qwindowtitle", "display", "geometry", "style", "stylesheet",
             "session", "name", "title"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), u"value"_s);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

QString usage(const QCommandLineParser &parser)
{
    // Without an application object Qt cannot name the executable.
    QString text = parser.helpText();
    text.replace("<executable_name>"_L1, "nimbra"_L1);
    return text;
}

// The lyrics host is only ever an http(s) address with a host: anything
// else would be ignored later without a word.
bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == "http"_L1 || url.scheme() == "https"_L1) && !url.host().isEmpty();
}

// Parsed before any GUI exists, so that --help and --version work without
// a display. Returns the exit status when the process should end here.
std::optional<int> parseOptions(Options &options, int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser &parser = options.parser;
    parser.setApplicationDescription(u"Nimbras: a desktop client of the Nimbra music service."_s);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(options.baseUrl);
    parser.addOption(options.updateUrl);
    parser.addOption(options.lyricsUrl);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    addQtOptions(parser);

    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "nimbra: %s\n\n%s", qPrintable(parser.errorText()), qPrintable(usage(parser)));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(u"help-all"_s)) {
        std::fputs(qPrintable(usage(parser)), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("nimbra %s\n", qPrintable(nimbra::BuildInfo::versionLine()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "nimbra: unexpected argument '%s'\n\n%s",
            qPrintable(parser.positionalArguments().constFirst()), qPrintable(usage(parser)));
        return 2;
    }
    if (parser.isSet(options.baseUrl)) {
        const QUrl base(parser.value(options.baseUrl).trimmed());
        // The password would cross the network unencrypted.
        if (nimbra::ApiConfig::isPlainHttpElsewhere(base)) {
            std::fprintf(stderr,
                "nimbra: --base-url may use plain http only for this machine (a loopback address), not '%s'\n",
                qPrintable(parser.value(options.baseUrl)));
            return 2;
        }
        // Else the run would quietly talk to the built-in service instead.
        if (!nimbra::ApiConfig::isAcceptedBaseUrl(base)) {
            std::fprintf(stderr, "nimbra: --base-url needs an https address (or http on this machine), not '%s'\n",
                qPrintable(parser.value(options.baseUrl)));
            return 2;
        }
    }
    if (parser.isSet(options.lyricsUrl) && !isWebAddress(parser.value(options.lyricsUrl))) {
        std::fprintf(stderr, "nimbra: --lyrics-url needs an http or https address, not '%s'\n",
            qPrintable(parser.value(options.lyricsUrl)));
        return 2;
    }
    return std::nullopt;
}

// NIMBRA_TIMING=1 prints one line per start-up milestone to stderr, with
// the wall-clock time in milliseconds, for bench/client-figures.
void reportMilestone(const char *name)
{
    std::fprintf(stderr, "nimbra-timing %s %.3f\n", name, QDateTime::currentMSecsSinceEpoch() * 1.0);
}

// Each milestone is the first frame drawn once it was reached.
void reportAtNextFrame(QQuickWindow *window, const char *name)
{
    // Frames of a threaded renderer may already be queued: the first only.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(window, &QQuickWindow::frameSwapped, window, [once, name] {
        if (QObject::disconnect(*once))
            reportMilestone(name);
    });
}

void reportMilestones(QQuickWindow *window, nimbra::AuthStore *auth)
{
    reportAtNextFrame(window, "first-frame");
    if (auth->canUseApp()) {
        reportAtNextFrame(window, "main-window");
        return;
    }
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(auth, &nimbra::AuthStore::canUseAppChanged, window, [once, window, auth] {
        if (!auth->canUseApp())
            return;
        QObject::disconnect(*once);
        reportAtNextFrame(window, "main-window");
    });
}

// Read as the PNG it is: an icon made from a file name asks every installed
// image plugin (the SVG one brings Qt's SVG module) whether it reads it.
QIcon windowIcon()
{
    QImageReader reader(u":/icons/app.nimbra.Nimbra.png"_s, "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIntValue("NIMBRA_TIMING"))
        reportMilestone("exec");
    Options options;
    if (const auto status = parseOptions(options, argc, argv))
        return *status;

    // Read before the window system's connection may take it away.
    const QVariantMap launch = nimbra::SingleClient::launchPlatformData();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(u"Nimbra"_s);
    QGuiApplication::setApplicationDisplayName(u"Nimbras"_s);
    QGuiApplication::setApplicationVersion(nimbra::BuildInfo::version());
    QGuiApplication::setOrganizationName(u"Nimbra"_s);
    QGuiApplication::setOrganizationDomain(u"nimbra.app"_s);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(nimbra::desktopId));

    // Before anything reads or writes the listener's settings, caches and
    // offline copies: a second client would share them, and play beside
    // the first.
    nimbra::SingleClient single;
    switch (single.claim(launch)) {
    case nimbra::SingleClient::Claim::Run:
        break;
    case nimbra::SingleClient::Claim::HandedOver:
        std::fprintf(stderr, "nimbra: Nimbras already runs in this session (process %u): brought its window forward\n",
            single.holderPid());
        return 0;
    case nimbra::SingleClient::Claim::Unanswered:
        std::fprintf(stderr,
            "nimbra: Nimbras already runs in this session (process %u) but does not answer: not starting another\n",
            single.holderPid());
        return 1;
    }
    QGuiApplication::setWindowIcon(windowIcon());
    // Every control is drawn by the project's own components on top of Basic.
    QQuickStyle::setStyle(u"Basic"_s);
    nimbra::RenderBackend::applyForThisMachine();

    // Development runs point the client at a local service for that run
    // only: the next start without them uses the stored addresses again.
    if (options.parser.isSet(options.baseUrl))
        nimbra::ApiConfig::setRunBaseUrl(QUrl(options.parser.value(options.baseUrl).trimmed()));
    if (options.parser.isSet(options.updateUrl))
        nimbra::RunSettings::set(nimbra::OtaService::settingsKey, options.parser.value(options.updateUrl));
    if (options.parser.isSet(options.lyricsUrl))
        nimbra::RunSettings::set(nimbra::LyricsService::settingsKey, options.parser.value(options.lyricsUrl));

    nimbra::AppContext context;
    const nimbra::QuitSignals quitOnSignals;
    if (!context.start())
        return 1;
    single.serve(context.window());
    if (qEnvironmentVariableIntValue("NIMBRA_TIMING"))
        reportMilestones(context.window(), context.auth());
    nimbra::startBenchHooks(context);
    return app.exec();
}
