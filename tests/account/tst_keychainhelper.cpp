#include "account/keychainhelper.h"

#include "memorysecretstore.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TstKeychainHelper : public QObject
{
    Q_OBJECT

private:
    const QString m_account = QString(KeychainHelper::account);

private slots:
    void initTestCase() { initTestEnvironment(); }

    void savedTokenLoadsBackExactly()
    {
        const auto load = [&](const QByteArray &stored) {
            auto store = std::make_shared<MemorySecretStore>();
            store->put(m_account, stored);
            return QCoro::waitFor(KeychainHelper(store).loadToken());
        };
        QCOMPARE(load(QString(u"токен✓"_s).toUtf8()), std::optional(u"токен✓"_s));
        QCOMPARE(load(""), std::optional(QString())); // empty is a token
        QCOMPARE(load("\xEF\xBB\xBFtok"), std::optional(u"\uFEFFtok"_s)); // byte-order mark kept
        QCOMPARE(load("tok\xFF\xFE"), std::nullopt); // not UTF-8

        // The issuer is kept beside the token by scheme, host and port; an
        // item of an earlier build has none.
        auto store = std::make_shared<MemorySecretStore>();
        KeychainHelper helper(store);
        QCoro::waitFor(helper.saveToken(u"tok"_s, QUrl(u"https://user@api.example.org:8443/v2/?q#f"_s)));
        QCOMPARE(QCoro::waitFor(helper.loadTokenOrigin()), std::optional(QUrl(u"https://api.example.org:8443"_s)));
        store->remove(QString(KeychainHelper::originAccount));
        QCOMPARE(QCoro::waitFor(helper.loadToken()), std::optional(u"tok"_s));
        QCOMPARE(QCoro::waitFor(helper.loadTokenOrigin()), std::nullopt);
    }

    // The store answers asynchronously: calls made one after another must
    // reach it one after another, or a delete made before a save could
    // land after it and remove the newer token.
    void callsReachTheStoreInTheOrderMade()
    {
        auto store = std::make_shared<MemorySecretStore>();
        store->put(m_account, "old");
        store->setHeld(true);
        KeychainHelper helper(store);

        std::optional<QString> loaded;
        bool loadDone = false;
        // Kept in a variable: a coroutine lambda's captures live in the lambda.
        const auto load = [&]() -> QCoro::Task<void> {
            loaded = co_await helper.loadToken();
            loadDone = true;
        };
        load();
        const QUrl origin(u"https://a.example"_s);
        helper.deleteToken();
        helper.saveToken(u"new"_s, origin);
        helper.deleteToken();
        helper.saveToken(u"newest"_s, origin);

        // Each call reaches the store only once the one before it has
        // finished: at every step exactly one call is waiting there.
        for (int call = 0; call < 11; ++call) {
            QTRY_COMPARE(store->log().size(), call + 1);
            QCOMPARE(store->waitingCalls(), 1);
            store->release();
        }
        QCoro::waitFor(helper.settled());

        QVERIFY(loadDone);
        QCOMPARE(loaded, std::optional<QString>(u"old"_s));
        QCOMPARE(store->maxCallsAtOnce(), 1);
        QCOMPARE(store->log(),
            (QStringList {u"read access_token"_s, u"remove access_token"_s, u"remove access_token_origin"_s,
                u"remove access_token"_s, u"write access_token_origin https://a.example"_s, u"write access_token new"_s,
                u"remove access_token"_s, u"remove access_token_origin"_s, u"remove access_token"_s,
                u"write access_token_origin https://a.example"_s, u"write access_token newest"_s}));
        QCOMPARE(store->value(m_account), std::optional<QByteArray>("newest"));
    }

    // Without a Secret Service nothing is kept anywhere and nothing fails
    // loudly: the token is simply not there at the next start.
    void unavailableStoreKeepsNothing()
    {
        auto store = std::make_shared<MemorySecretStore>();
        store->setAvailable(false);
        KeychainHelper helper(store);
        QCoro::waitFor(helper.saveToken(u"tok"_s, QUrl(u"https://a.example"_s)));
        QCOMPARE(store->itemCount(), 0);
        QCOMPARE(QCoro::waitFor(helper.loadToken()), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TstKeychainHelper)
#include "tst_keychainhelper.moc"
