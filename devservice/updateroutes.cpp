#include "updateroutes.h"

#include "httputil.h"

#include <httplib.h>

#include <QJsonObject>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace devservice {

namespace {

constexpr const char *linuxManifest = "/updates/pc/linux/linux-update.json";
constexpr const char *macManifest = "/updates/pc/mac/mac-update.json";
constexpr const char *linuxPackage = "/updates/pc/linux/Nimbras-Setup.AppImage";
constexpr const char *macPackage = "/updates/pc/mac/Nimbras-Setup.dmg";
constexpr size_t pieceSize = 64 * 1024;

} // namespace

UpdateRoutes::UpdateRoutes(UpdateOptions options) : m_options(options), m_package(packageBytes()) { }

QByteArray UpdateRoutes::packageBytes()
{
    QByteArray bytes("NIMBRA-UPDATE-PACKAGE\n");
    bytes.reserve(packageSize);
    quint32 state = 0x2545F491u;
    while (bytes.size() < packageSize) {
        state = state * 1664525u + 1013904223u;
        bytes.append(char(state >> 24));
    }
    return bytes;
}

bool UpdateRoutes::handle(const httplib::Request &req, httplib::Response &res)
{
    const bool forLinux = req.path == linuxManifest;
    if (forLinux || req.path == macManifest) {
        if (requireMethod(req, res, "GET"))
            manifest(req, res, !forLinux);
        return true;
    }
    if (req.path == linuxPackage || req.path == macPackage) {
        if (requireMethod(req, res, "GET"))
            package(res);
        return true;
    }
    return false;
}

void UpdateRoutes::manifest(const httplib::Request &req, httplib::Response &res, bool mac)
{
    const QString origin = u"http://"_s + QString::fromStdString(req.get_header_value("Host"));
    const QString packageUrl = origin + QString::fromLatin1(mac ? macPackage : linuxPackage);
    sendJson(res, 200,
        QJsonObject {
            {u"versionCode"_s, m_options.offerNewer ? offeredBuild : 0},
            {u"versionName"_s, u"2.0.0"_s},
            {mac ? u"dmgUrl"_s : u"downloadUrl"_s, packageUrl},
            {u"releaseNotes"_s, u"Плавные переходы между треками и новые обложки\nИсправления ошибок"_s},
        });
}

void UpdateRoutes::package(httplib::Response &res)
{
    if (m_options.packageStatus != 200)
        return sendDetail(res, m_options.packageStatus, u"Not Found"_s);
    res.status = 200;
    const size_t total = size_t(m_package.size());
    const size_t sent = m_options.cutShort ? total / 2 : total;
    const auto pause = std::chrono::milliseconds(
        m_options.packageSeconds * 1000 * qint64(pieceSize) / qint64(total));
    // Every piece is written by the library's thread as the client reads.
    auto provide = [this, sent, pause](size_t offset, httplib::DataSink &sink) {
        if (offset >= sent)
            return false;
        if (pause.count() > 0)
            std::this_thread::sleep_for(pause);
        const size_t length = std::min(pieceSize, sent - offset);
        sink.write(m_package.constData() + offset, length);
        if (offset + length >= sent && sent == size_t(m_package.size()) && m_options.noLength)
            sink.done();
        return true;
    };
    if (m_options.noLength) {
        res.set_chunked_content_provider("application/octet-stream",
            [provide](size_t offset, httplib::DataSink &sink) { return provide(offset, sink); });
    } else {
        res.set_content_provider(total, "application/octet-stream",
            [provide](size_t offset, size_t, httplib::DataSink &sink) { return provide(offset, sink); });
    }
}

} // namespace devservice
