#include "accounts.h"
#include "catalogue.h"
#include "devserver.h"
#include "qrconfirmclient.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

using namespace Qt::StringLiterals;
using namespace devservice;

namespace {

struct Options
{
    int port = 0;
    QString addressFile;
    int tracks = 6000;
    int albums = 600;
    int qrLifetime = 120;
    QString confirmQr;
    QString service;
    UpdateOptions update;
};

bool readCount(const QCommandLineParser &parser, const QString &name, int minimum, int &value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int parsed = parser.value(name).toInt(&ok);
    if (!ok || parsed < minimum) {
        std::fprintf(
            stderr, "nimbra-devservice: --%s needs a whole number of at least %d\n", qPrintable(name), minimum);
        return false;
    }
    value = parsed;
    return true;
}

std::optional<Options> parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Local stand-in of the Nimbra streaming service."_s);
    parser.addHelpOption();
    parser.addOptions({
        {u"port"_s, u"Port on 127.0.0.1; 0 picks a free one."_s, u"N"_s, u"0"_s},
        {u"address-file"_s, u"Write the service's address to this file once listening."_s, u"PATH"_s},
        {u"tracks"_s, u"Number of tracks in the catalogue."_s, u"N"_s},
        {u"albums"_s, u"Number of albums in the catalogue."_s, u"N"_s},
        {u"qr-lifetime"_s, u"Seconds a QR sign-in stays valid."_s, u"SECONDS"_s},
        {u"confirm-qr"_s, u"Confirm this QR sign-in on --service for the demo user, then exit."_s, u"QR_TOKEN"_s},
        {u"service"_s, u"Address of a running service, for --confirm-qr."_s, u"URL"_s},
        {u"update-offer"_s, u"The update manifest offers a newer build."_s},
        {u"update-no-length"_s, u"The update package is sent without a length."_s},
        {u"update-status"_s, u"Status of the update package's answer."_s, u"CODE"_s},
        {u"update-cut"_s, u"The update package stops after half its length."_s},
        {u"update-seconds"_s, u"Spread the update package over this many seconds."_s, u"SECONDS"_s},
    });
    parser.process(arguments);
    Options options;
    if (!readCount(parser, u"port"_s, 0, options.port) || !readCount(parser, u"tracks"_s, 0, options.tracks)
        || !readCount(parser, u"albums"_s, 0, options.albums)
        || !readCount(parser, u"qr-lifetime"_s, 1, options.qrLifetime)
        || !readCount(parser, u"update-status"_s, 200, options.update.packageStatus)
        || !readCount(parser, u"update-seconds"_s, 0, options.update.packageSeconds))
        return std::nullopt;
    options.update.offerNewer = parser.isSet(u"update-offer"_s);
    options.update.noLength = parser.isSet(u"update-no-length"_s);
    options.update.cutShort = parser.isSet(u"update-cut"_s);
    if (options.port > 65535) {
        std::fprintf(stderr, "nimbra-devservice: --port must be below 65536\n");
        return std::nullopt;
    }
    options.addressFile = parser.value(u"address-file"_s);
    options.confirmQr = parser.value(u"confirm-qr"_s);
    options.service = parser.value(u"service"_s);
    if (parser.isSet(u"confirm-qr"_s) && options.service.isEmpty()) {
        std::fprintf(stderr, "nimbra-devservice: --confirm-qr needs --service URL\n");
        return std::nullopt;
    }
    return options;
}

bool writeAddressFile(const QString &path, const QString &address)
{
    // Written beside the target and renamed, so a reader never sees half.
    QFile file(path + u".tmp"_s);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(address.toUtf8()) < 0)
        return false;
    file.close();
    QFile::remove(path);
    return QFile::rename(file.fileName(), path);
}

} // namespace

int main(int argc, char *argv[])
{
    // The signals are taken by one thread that waits for them. The mask is
    // set before any thread exists (Qt's included), so all inherit it.
    // A shell starts background jobs with SIGINT ignored, and an ignored
    // signal never reaches sigwait().
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // Covers are painted with QtGui, which needs a platform even without a
    // screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const auto options = parseOptions(QCoreApplication::arguments());
    if (!options)
        return 2;
    if (!options->confirmQr.isEmpty())
        return confirmQrOnService(options->service, options->confirmQr, u"demo"_s);

    const Catalogue catalogue(options->tracks, options->albums);
    Accounts accounts(options->qrLifetime);
    accounts.seedDemoLibrary(catalogue.trackCount());
    DevServer server(catalogue, accounts, options->update);
    const int port = server.bind(options->port);
    if (port <= 0) {
        std::fprintf(stderr, "nimbra-devservice: cannot listen on 127.0.0.1:%d\n", options->port);
        return 1;
    }
    const QString address = u"http://127.0.0.1:%1"_s.arg(port);
    if (!options->addressFile.isEmpty() && !writeAddressFile(options->addressFile, address)) {
        std::fprintf(stderr, "nimbra-devservice: cannot write %s\n", qPrintable(options->addressFile));
        return 1;
    }

    std::atomic_bool stopping = false;
    std::thread signalWaiter([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        stopping = true;
        server.stop();
        // A client still reading a large file keeps the pool busy; do not
        // let it hold the process past a short grace period.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        std::_Exit(0);
    });
    signalWaiter.detach();

    std::printf("nimbra-devservice listening on %s\n", qPrintable(address));
    std::fflush(stdout);
    const bool served = server.listen();
    return served || stopping ? 0 : 1;
}
