// The token item in the desktop's real Secret Service (gnome-keyring on
// the test script's private session bus).
#include "account/authstore.h"
#include "account/keychainhelper.h"
#include "api/apiconfig.h"
#include "api/session.h"

#include "testenv.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

// Waits for the tool through the event loop: the keyring answers over the
// same session bus and must not be blocked by the wait.
ToolResult runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!finished.wait(20000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

ToolResult searchItems()
{
    return runTool(u"secret-tool"_s,
        {u"search"_s, u"--all"_s, u"server"_s, QString(KeychainHelper::service), u"user"_s,
            QString(KeychainHelper::account)});
}

// The folders this test may have written to: the test script points every
// XDG folder and HOME at fresh temporary folders.
QStringList writableFolders()
{
    QStringList folders;
    for (const auto &[variable, fallback] : {std::pair {"XDG_DATA_HOME", QStandardPaths::GenericDataLocation},
             {"XDG_CONFIG_HOME", QStandardPaths::GenericConfigLocation},
             {"XDG_CACHE_HOME", QStandardPaths::GenericCacheLocation},
             {"XDG_RUNTIME_DIR", QStandardPaths::RuntimeLocation}}) {
        const QString value = qEnvironmentVariable(variable);
        folders.append(value.isEmpty() ? QStandardPaths::writableLocation(fallback) : value);
    }
    // A real home is never searched, only a throw-away one.
    if (QDir::homePath().startsWith(QDir::tempPath() + u'/'))
        folders.append(QDir::homePath());
    folders.removeDuplicates();
    return folders;
}

QStringList filesContaining(const QByteArray &needle, int *filesSearched)
{
    QStringList found;
    for (const QString &folder : writableFolders()) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            if (!info.isFile() || info.isSymLink() || info.size() > 64 * 1024 * 1024)
                continue;
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            ++*filesSearched;
            if (file.readAll().contains(needle))
                found.append(path);
        }
    }
    return found;
}

} // namespace

class TstKeychain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        const QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected() || !bus.interface()->isServiceRegistered(u"org.freedesktop.secrets"_s))
            QSKIP("No Secret Service on the session bus");
        QVERIFY2(
            !QStandardPaths::findExecutable(u"secret-tool"_s).isEmpty(), "secret-tool (libsecret-tools) is missing");
    }

    void tokenLivesInTheKeyringOnly()
    {
        const QString token = u"nimbra-%1-токен"_s.arg(QRandomGenerator::global()->generate64(), 0, 16);

        {
            KeychainHelper helper(KeychainHelper::systemStore());
            QCoro::waitFor(helper.saveToken(u"earlier"_s, QUrl(u"https://a.example"_s)));
            QCoro::waitFor(helper.saveToken(token, QUrl(u"http://127.0.0.1:8080"_s)));
        }

        // As at the next start of the program.
        KeychainHelper restarted(KeychainHelper::systemStore());
        QCOMPARE(QCoro::waitFor(restarted.loadToken()), std::optional<QString>(token));
        QCOMPARE(QCoro::waitFor(restarted.loadTokenOrigin()), std::optional(QUrl(u"http://127.0.0.1:8080"_s)));

        // One item, under the attributes QtKeychain writes, holding the
        // token's own text.
        const ToolResult found = searchItems();
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(found.output.count(u"attribute.user = access_token"_s), 1);
        QVERIFY2(found.output.contains(u"attribute.server = app.nimbra.Nimbra.auth"_s), qPrintable(found.output));
        QVERIFY2(found.output.contains(u"secret = "_s + token), qPrintable(found.output));

        // Nowhere in plain text on disk: not in a settings file, not in a
        // cache, not in the keyring's own files.
        int filesSearched = 0;
        const QStringList leaks = filesContaining(token.toUtf8(), &filesSearched);
        QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join(u", "_s)));
        QVERIFY(filesSearched > 0);

        QCoro::waitFor(restarted.deleteToken());
        KeychainHelper afterDelete(KeychainHelper::systemStore());
        QCOMPARE(QCoro::waitFor(afterDelete.loadToken()), std::nullopt);
        QVERIFY(!searchItems().output.contains(u"access_token"_s));
    }

    // A run given another service's address neither uses the saved sign-in
    // nor forgets it, not even when its guest goes back to the sign-in
    // screen: the next start with the token's own address finds it.
    void runForAnotherServiceLeavesTheItem()
    {
        const QString token = u"nimbra-%1"_s.arg(QRandomGenerator::global()->generate64(), 0, 16);
        const QUrl issuer(u"https://a.example"_s);
        KeychainHelper keychain(KeychainHelper::systemStore());
        QCoro::waitFor(keychain.saveToken(token, issuer));
        for (const QUrl &address : {QUrl(u"https://b.example"_s), issuer}) {
            ApiConfig::setRunBaseUrl(address);
            Session session;
            AuthStore auth(&keychain, &session);
            QCoro::waitFor(auth.waitUntilTokenLoaded());
            QCOMPARE(session.token(), address == issuer ? std::optional(token) : std::nullopt);
            auth.continueAsGuest();
            auth.signOut();
            QCoro::waitFor(keychain.settled());
            QCOMPARE(searchItems().output.contains(u"secret = "_s + token), address != issuer);
        }
    }
};

QTEST_GUILESS_MAIN(TstKeychain)
#include "tst_keychain.moc"
