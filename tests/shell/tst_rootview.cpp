// What the window shows while the saved session is read and its profile
// fetched, signed out, signed in or as a guest; the launch screen waiting
// for a slow service, offline with its retries; and the notice of a
// sign-in that cannot be saved.
#include "api/storeregistry.h"
#include "shell/rootviewmodel.h"

#include "authsession.h"
#include "eventloop.h"
#include "fakehttpserver.h"
#include "heldclock.h"
#include "testenv.h"

#include <QtTest>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;
using Screen = RootViewModel::Screen;

class TestRootView : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;

    void answerProfile(int status)
    {
        m_server->on(u"GET"_s, kMePath,
            FakeResponse {status, status == 200 ? userJson(u"demo"_s) : QByteArray(R"({"detail": "Сбой"})")});
    }

    // A root over a saved token whose keychain has answered; every screen
    // it passes through is recorded.
    struct Start
    {
        AuthSession session {"saved", true};
        // The pause between retries: recorded, and lasting until the test
        // lets it go or the pause is cancelled.
        HeldClock pause;
        // The root takes the sign-in store registered when it is made.
        struct Registered
        {
            explicit Registered(AuthStore *auth) { StoreRegistry::set(auth); }
        } registered {session.auth.get()};
        RootViewModel root;
        QList<Screen> screens;
        QSignalSpy texts {&root, &RootViewModel::errorTextChanged};

        Start()
        {
            root.setClock(&pause);
            // The wait for a slow keyring, which ends with the read; only
            // the pauses between retries count from here.
            pause.asked.clear();
            QObject::connect(&root, &RootViewModel::screenChanged, &root, [this] { screens << root.screen(); });
            // The token and then the service saved with it are read.
            session.secrets->setHeld(false);
            session.waitUntilLoaded();
        }

        // The first wait asked once the token is read is the one after
        // which the launch screen says it waits for the service; the pauses
        // between retries follow it, however soon the answer came (on a
        // busy machine it may come before the read is seen to end).
        QList<std::chrono::milliseconds> notices() const { return pause.asked.first(qMin(1, pause.asked.size())); }
        QList<std::chrono::milliseconds> pauses() const { return pause.asked.mid(1); }
    };

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        m_server = startFakeService();
    }

    void init() { m_server->clearRequests(); }

    void rootShowsNothingUntilTheSavedTokenIsRead()
    {
        AuthSession session(std::nullopt, true);
        StoreRegistry::set(session.auth.get());
        RootViewModel root;
        QCOMPARE(root.screen(), Screen::Launch);
        session.secrets->release(1);
        session.waitUntilLoaded();
        QCOMPARE(root.screen(), Screen::SignIn);
        QCOMPARE(m_server->requestCount(), 0);

        session.auth->continueAsGuest();
        QCOMPARE(root.screen(), Screen::Main);
        session.auth->signOut();
        QCOMPARE(root.screen(), Screen::SignIn);
    }

    void savedTokenNeverShowsTheSignInFormBeforeTheProfile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<Screen>("screen");
        QTest::addColumn<bool>("offline");
        QTest::addColumn<bool>("itemKept");
        QTest::newRow("profile arrives") << 200 << Screen::Main << false << true;
        QTest::newRow("token refused") << 401 << Screen::SignIn << false << false;
        QTest::newRow("token forbidden") << 403 << Screen::SignIn << false << false;
        QTest::newRow("service fault") << 503 << Screen::Launch << true << true;
    }

    void savedTokenNeverShowsTheSignInFormBeforeTheProfile()
    {
        QFETCH(int, status);
        QFETCH(Screen, screen);
        QFETCH(bool, offline);
        QFETCH(bool, itemKept);
        answerProfile(status);

        Start start;
        QTRY_COMPARE(m_server->requestCount(), 1);
        QTRY_VERIFY(start.session.auth->user() || start.root.screen() != Screen::Launch || start.root.isOffline());
        QCOMPARE(start.root.screen(), screen);
        QCOMPARE(start.root.isOffline(), offline);
        // Every change on the way, not only the last: no sign-in form
        // while the token might still be good.
        QCOMPARE(start.screens, screen == Screen::Launch ? QList<Screen>() : QList<Screen> {screen});
        QCOMPARE(start.session.savedToken().has_value(), itemKept);
        QCOMPARE(m_server->lastRequest().header(u"authorization"_s), u"Bearer saved"_s);
        QCOMPARE(start.texts.count(), offline ? 1 : 0);
        if (offline) {
            QCOMPARE(start.root.errorText(), u"Сбой"_s);
            QCOMPARE(start.pauses().size(), 1);
        }
        // A quick answer ends the wait for a slow service unsaid.
        QCOMPARE(start.notices(), QList {RootViewModel::serviceNoticeDelay});
        QTRY_COMPARE(start.pause.running, offline ? 1 : 0);
        QVERIFY(!start.root.isWaitingForService());
    }

    void slowServiceIsSaidAfterAWhile_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("anotherAccount");
        QTest::addColumn<Screen>("screen");
        QTest::newRow("late profile signs in") << 200 << false << Screen::Main;
        QTest::newRow("late refusal") << 401 << false << Screen::SignIn;
        QTest::newRow("late fault goes offline") << 503 << false << Screen::Launch;
        // The listener chose: a late profile does not take over the form.
        QTest::newRow("another account, then the profile") << 200 << true << Screen::SignIn;
        QTest::newRow("another account, then a refusal") << 401 << true << Screen::SignIn;
    }

    // A service that holds the first profile request: after a while, not
    // before, the launch screen says it waits and offers another account.
    // The answer, whenever it comes, decides as a quick one would, unless
    // the listener has gone to another account meanwhile; the saved token
    // then stays for the next start.
    void slowServiceIsSaidAfterAWhile()
    {
        QFETCH(int, status);
        QFETCH(bool, anotherAccount);
        QFETCH(Screen, screen);
        AnswerGate late;
        m_server->on(u"GET"_s, kMePath,
            late.hold(FakeResponse {status, status == 200 ? userJson(u"demo"_s) : QByteArray(R"({"detail": "Сбой"})")}));

        Start start;
        QTRY_COMPARE(m_server->requestCount(), 1);
        QCOMPARE(start.notices(), QList {RootViewModel::serviceNoticeDelay});
        QVERIFY(!start.root.isWaitingForService());
        start.pause.releaseRunning();
        QTRY_VERIFY(start.root.isWaitingForService());
        QVERIFY(!start.root.isOffline());
        QCOMPARE(start.root.screen(), Screen::Launch);

        if (anotherAccount) {
            start.root.signInWithAnotherAccount();
            QCOMPARE(start.root.screen(), Screen::SignIn);
            QVERIFY(!start.root.isWaitingForService());
        }
        // The answer comes now, or its request was aborted.
        late.open();
        if (anotherAccount)
            QVERIFY(waitUntilIdle());
        else
            QTRY_VERIFY(!start.root.isWaitingForService());
        QCOMPARE(start.root.screen(), screen);
        QCOMPARE(start.screens, screen == Screen::Launch ? QList<Screen>() : QList<Screen> {screen});
        QCOMPARE(start.session.auth->isSignedIn(), screen == Screen::Main);
        QCOMPARE(start.root.isOffline(), screen == Screen::Launch);
        QCOMPARE(start.session.savedToken().has_value(), anotherAccount || status != 401);
        QCOMPARE(start.root.errorText(), screen == Screen::Launch ? u"Сбой"_s : QString());
    }

    void offlineStartRetriesUntilTheProfileArrives()
    {
        answerProfile(500);
        Start start;
        QTRY_VERIFY(start.root.isOffline() && start.pause.running == 1);

        // The pauses grow; each try is one request with the saved token.
        start.pause.releaseRunning();
        QTRY_COMPARE(start.pauses().size(), 2);
        QTRY_COMPARE(start.pause.running, 1);
        QCOMPARE(m_server->requestCount(), 2);
        QVERIFY(start.pauses()[1] > start.pauses()[0]);

        // "Повторить" cuts the pause short; the service is back.
        answerProfile(200);
        start.root.retry();
        QTRY_COMPARE(start.root.screen(), Screen::Main);
        QCOMPARE(m_server->requestCount(), 3);
        QCOMPARE(m_server->lastRequest().header(u"authorization"_s), u"Bearer saved"_s);
        QVERIFY(!start.root.isOffline());
        QCOMPARE(start.screens, QList<Screen> {Screen::Main});
        QCOMPARE(start.session.savedToken(), std::optional<QByteArray>("saved"));
    }

    void retryThatIsRefusedSignsOut()
    {
        answerProfile(502);
        Start start;
        QTRY_VERIFY(start.root.isOffline() && start.pause.running == 1);
        answerProfile(401);
        start.root.networkReachable();
        QTRY_COMPARE(start.root.screen(), Screen::SignIn);
        QCOMPARE(start.session.savedToken(), std::nullopt);
        QCOMPARE(start.pauses().size(), 1);
    }

    void anotherAccountLeavesTheSavedTokenAlone()
    {
        answerProfile(500);
        Start start;
        QTRY_VERIFY(start.root.isOffline() && start.pause.running == 1);
        start.root.signInWithAnotherAccount();
        QCOMPARE(start.root.screen(), Screen::SignIn);
        QTRY_COMPARE(start.pause.running, 0);
        QVERIFY(waitUntilIdle());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(start.session.savedToken(), std::optional<QByteArray>("saved"));
    }

    // The listener chose another account while a retry was under way: its
    // late success must not open the saved account after all.
    void anotherAccountDropsARetryInFlight()
    {
        answerProfile(500);
        Start start;
        QTRY_VERIFY(start.root.isOffline() && start.pause.running == 1);
        AnswerGate late;
        m_server->on(u"GET"_s, kMePath, late.hold(FakeResponse {200, userJson(u"demo"_s)}));
        start.root.retry();
        QTRY_COMPARE(m_server->requestCount(), 2);
        start.root.signInWithAnotherAccount();
        // The retry's answer comes now, or its request was aborted.
        late.open();
        QVERIFY(waitUntilIdle());
        QCOMPARE(start.root.screen(), Screen::SignIn);
        QVERIFY(!start.session.auth->user());
        QCOMPARE(start.session.savedToken(), std::optional<QByteArray>("saved"));
    }

    void rootOverAStoreAlreadyLoaded()
    {
        answerProfile(200);
        AuthSession session("saved");
        StoreRegistry::set(session.auth.get());
        RootViewModel root;
        QCOMPARE(root.screen(), Screen::Launch);
        QTRY_COMPARE(root.screen(), Screen::Main);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void retryPausesGrowToAMinute()
    {
        using std::chrono::milliseconds;
        QCOMPARE(RootViewModel::retryDelay(1), milliseconds(3000));
        QCOMPARE(RootViewModel::retryDelay(2), milliseconds(6000));
        QCOMPARE(RootViewModel::retryDelay(5), milliseconds(48000));
        QCOMPARE(RootViewModel::retryDelay(6), milliseconds(60000));
        QCOMPARE(RootViewModel::retryDelay(1000), milliseconds(60000));
    }

    // Without a secret service the sign-in works but is told once that it
    // will not be remembered; nothing is written anywhere else.
    void unsavedSignInIsToldOnce()
    {
        m_server->on(u"POST"_s, u"/api/v1/auth/login"_s, FakeResponse {200, R"({"access_token": "fresh", "token_type": "bearer"})"});
        answerProfile(200);
        AuthSession session;
        session.secrets->setAvailable(false);
        StoreRegistry::set(session.auth.get());
        RootViewModel root;
        QSignalSpy notice(&root, &RootViewModel::unsavedNoticeChanged);

        QCoro::waitFor(session.auth->loginAsync(u"demo"_s, u"pw"_s));
        QCOMPARE(root.screen(), Screen::Main);
        QTRY_VERIFY(root.showsUnsavedNotice());
        QCOMPARE(session.secrets->itemCount(), 0);

        root.dismissUnsavedNotice();
        QCoro::waitFor(session.auth->loginAsync(u"demo"_s, u"pw"_s));
        QCOMPARE(session.savedToken(), std::nullopt);
        QVERIFY(!root.showsUnsavedNotice());
        QCOMPARE(notice.size(), 2);
    }

    // A keyring that takes its time (a locked one waits for its password)
    // is waited for, and said so after a while; when the read then fails,
    // the sign-in screen says the saved sign-in could not be read.
    void slowKeyringIsWaitedForAndItsFailureTold()
    {
        AuthSession session(QByteArray("saved"), true);
        StoreRegistry::set(session.auth.get());
        HeldClock clock;
        RootViewModel root;
        root.setClock(&clock);
        QCOMPARE(clock.asked, QList {RootViewModel::keyringNoticeDelay});
        QVERIFY(!root.isWaitingForKeyring());
        clock.releaseRunning();
        QTRY_VERIFY(root.isWaitingForKeyring());
        QCOMPARE(root.screen(), Screen::Launch);

        // The keyring's answer takes the line away, and says so to the screen.
        QSignalSpy launchState(&root, &RootViewModel::launchStateChanged);
        session.secrets->setAvailable(false);
        session.secrets->release(1);
        session.waitUntilLoaded();
        QCOMPARE(root.screen(), Screen::SignIn);
        QVERIFY(!root.isWaitingForKeyring());
        QVERIFY(!launchState.isEmpty());
        QVERIFY(root.showsUnreadNotice());
        QCOMPARE(m_server->requestCount(), 0);
        root.dismissUnreadNotice();
        QVERIFY(!root.showsUnreadNotice());
    }
};

QTEST_GUILESS_MAIN(TestRootView)
#include "tst_rootview.moc"
