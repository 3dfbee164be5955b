// What the window shows while the saved session is read, signed out, signed
// in or as a guest, and the one profile fetch of a saved token.
#include "api/apiconfig.h"
#include "screens/rootviewmodel.h"

#include "authsession.h"
#include "fakehttpserver.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

class TestRootView : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = std::make_unique<FakeHttpServer>();
        APIConfig::setBaseURL(m_server->baseUrl());
    }

    void init() { m_server->clearRequests(); }

    void rootShowsNothingUntilTheSavedTokenIsRead()
    {
        AuthSession session(std::nullopt, true);
        RootViewModel root;
        root.setAuth(session.auth.get());
        QCOMPARE(root.screen(), RootViewModel::Screen::Launch);
        session.secrets->release(1);
        session.waitUntilLoaded();
        QCOMPARE(root.screen(), RootViewModel::Screen::SignIn);
        QCOMPARE(m_server->requestCount(), 0);

        session.auth->continueAsGuest();
        QCOMPARE(root.screen(), RootViewModel::Screen::Main);
        session.auth->signOut();
        QCOMPARE(root.screen(), RootViewModel::Screen::SignIn);
    }

    void rootFetchesTheProfileOfASavedTokenOnce_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<RootViewModel::Screen>("screen");
        QTest::newRow("profile arrives") << 200 << RootViewModel::Screen::Main;
        QTest::newRow("token refused") << 401 << RootViewModel::Screen::SignIn;
    }

    void rootFetchesTheProfileOfASavedTokenOnce()
    {
        QFETCH(int, status);
        QFETCH(RootViewModel::Screen, screen);
        m_server->on(u"GET"_s, u"/api/v1/auth/me"_s, FakeResponse {status, status == 200 ? userJson(u"demo"_s) : ""});

        AuthSession session("saved", true);
        RootViewModel root;
        root.setAuth(session.auth.get());
        session.secrets->release(1);
        session.waitUntilLoaded();
        // The sign-in screen shows while the profile is on its way.
        QCOMPARE(root.screen(), RootViewModel::Screen::SignIn);
        QTRY_COMPARE(root.screen(), screen);
        QTRY_VERIFY(!session.auth->token() || session.auth->user());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->lastRequest().header(u"authorization"_s), u"Bearer saved"_s);

        // Once per root view: a later sign-out does not bring it back.
        session.auth->signOut();
        QTest::qWait(20);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void rootOverAStoreAlreadyLoaded()
    {
        m_server->on(u"GET"_s, u"/api/v1/auth/me"_s, FakeResponse {200, userJson(u"demo"_s)});
        AuthSession session("saved");
        RootViewModel root;
        root.setAuth(session.auth.get());
        QTRY_COMPARE(root.screen(), RootViewModel::Screen::Main);
        QCOMPARE(m_server->requestCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRootView)
#include "tst_rootview.moc"
