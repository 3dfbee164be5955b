// What reaches the listener from a failed answer: a short line of plain
// Russian text, whatever a proxy or a broken service puts into the body,
// and never more of a body than the client can hold.
#include "api/apiclient.h"
#include "api/accountrecords.h"
#include "api/apierror.h"
#include "api/jsoncoding.h"
#include "api/network.h"
#include "api/trackout.h"
#include "api/transfer.h"
#include "platform/filesystemerror.h"
#include "player/parsedlyrics.h"
#include "tracks/rowtext.h"

#include "fakehttpserver.h"
#include "scenerig.h"
#include "taskoutcome.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QQuickItem>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <atomic>
#include <memory>

Q_IMPORT_QML_PLUGIN(NimbraPlugin)

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray htmlPage(qsizetype size)
{
    QByteArray page = "<!DOCTYPE html>\n<html><head><title>502 Bad Gateway</title></head><body>\n";
    const QByteArray filler = "<p>upstream <a href=\"http://example.org\">failed</a></p>\n";
    while (page.size() < size)
        page += filler;
    return page + "</body></html>\n";
}

// The service's error form with a text "detail".
QByteArray detailBody(const QString &detail)
{
    return QJsonDocument(QJsonObject {{u"detail"_s, detail}}).toJson(QJsonDocument::Compact);
}

// The Text elements of a QML file whose own text binding shows a failure
// (an error, a failure or a message) and that leave its format to be
// guessed: a line "file:line" each.
QStringList guessedFailureTexts(const QString &fileName, const QString &source)
{
    static const QRegularExpression element(u"\\b(Text|Label|TextEdit|TextArea)\\s*\\{"_s);
    static const QRegularExpression failureBinding(u"^\\s*text:[^\\n]*(error|failure|message)"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    static const QRegularExpression nested(u"\\{[^{}]*\\}"_s);
    QStringList found;
    for (auto match = element.globalMatch(source); match.hasNext();) {
        const QRegularExpressionMatch at = match.next();
        qsizetype end = at.capturedEnd();
        for (int depth = 1; depth > 0 && end < source.size(); ++end) {
            if (source.at(end) == u'{')
                ++depth;
            else if (source.at(end) == u'}')
                --depth;
        }
        // Only the element's own bindings: nested objects go first.
        QString own = source.mid(at.capturedEnd(), end - at.capturedEnd());
        for (qsizetype before = -1; before != own.size();) {
            before = own.size();
            own.remove(nested);
        }
        if (failureBinding.match(own).hasMatch() && !own.contains(u"textFormat: Text.PlainText"_s))
            found.append(fileName + u':' + QString::number(source.left(at.capturedStart()).count(u'\n') + 1));
    }
    return found;
}

// How the server holds back the rest of an error body.
constexpr int NotHeld = 0;
constexpr int RestHeld = 1;
constexpr int RestAfterFirstRead = 2;

// The reply of the transfer to url still under way.
QNetworkReply *replyFor(const QUrl &url)
{
    const auto replies = sharedNetworkAccessManager()->findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
    for (QNetworkReply *reply : replies) {
        if (!reply->isFinished() && reply->url() == url)
            return reply;
    }
    return nullptr;
}

// Runs send() and puts what it gave into *into once it ends.
QCoro::Task<void> sendInto(Transfer transfer, std::shared_ptr<std::optional<TaskOutcome<TransferResult>>> into)
{
    TaskOutcome<TransferResult> outcome = co_await detail::capture(send(std::move(transfer)));
    *into = std::move(outcome);
}

} // namespace

class TestErrorBodies : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    SceneRig m_scene;

    ApiError failureOf(const ApiClient &client, const QString &path)
    {
        const TaskOutcome<QByteArray> outcome
            = outcomeOf(client.request(path, u"GET"_s, {}, {}, u"application/json"_s, std::nullopt));
        return outcome.errorAs<ApiError>().value_or(ApiError::httpStatus(0, u"no ApiError"_s));
    }

private slots:
    void initTestCase()
    {
        m_scene.start();
        m_server = startFakeService();
    }

    void errorBodyBecomesAShortLine_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("description");
        QTest::newRow("proxy's HTML page") << 502 << QByteArray("text/html") << htmlPage(5 * 1024 * 1024)
                                           << u"Ошибка сервера (502)"_s;
        QTest::newRow("HTML without its type") << 500 << QByteArray("text/plain") << QByteArray("  <html>down</html>")
                                               << u"Ошибка сервера (500)"_s;
        QTest::newRow("HTML refusal of a token") << 401 << QByteArray("text/html") << QByteArray("<h1>401</h1>")
                                                 << u"Неверный логин или пароль"_s;
        QTest::newRow("first line of plain text")
            << 503 << QByteArray("text/plain") << QByteArray("Сервис обновляется\nTraceback: ...\n  at x")
            << u"Сервис обновляется"_s;
        QTest::newRow("endless line") << 500 << QByteArray("text/plain") << QByteArray(5000, 'x')
                                      << QString(ApiError::maxMessageLength - 1, u'x') + QChar(0x2026);
        QTest::newRow("endless detail") << 400 << QByteArray("application/json")
                                        << detailBody(QString(100000, u'y'))
                                        << QString(ApiError::maxMessageLength - 1, u'y') + QChar(0x2026);
        // The service's own texts come through as they are, markup included:
        // the screens draw them as plain text.
        QTest::newRow("markup in a detail") << 400 << QByteArray("application/json")
                                            << detailBody(u"<b>Нет</b> <img src=\"x.png\">"_s)
                                            << u"<b>Нет</b> <img src=\"x.png\">"_s;
    }

    void errorBodyBecomesAShortLine()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        m_server->on(u"GET"_s, u"/api/v1/fail"_s, FakeResponse {status, body, contentType});
        const ApiError error = failureOf(ApiClient(), u"api/v1/fail"_s);
        QCOMPARE(error.kind(), ApiError::Kind::HttpStatus);
        QCOMPARE(error.statusCode(), status);
        QTEST(error.description(), "description");
    }

    // Of a failed answer only the first part is read, whatever its size,
    // its framing or the kind of transfer; the message comes from that part.
    void errorBodyIsReadToItsLimitOnly_data()
    {
        QTest::addColumn<bool>("chunked");
        QTest::addColumn<bool>("download");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("description");
        // Rest held: the server sends its first piece, past the limit, and
        // holds the rest back until the test ends: the transfer must stop by
        // itself. Rest after the first read: a first piece short of the
        // limit is kept whole, and what follows only fills the room left.
        QTest::addColumn<int>("held");
        const QByteArray page = htmlPage(5 * 1024 * 1024);
        const QString status = u"Ошибка сервера (502)"_s;
        QTest::newRow("HTML page, length announced")
            << false << false << QByteArray("text/html") << page << status << NotHeld;
        QTest::newRow("HTML page, chunked") << true << false << QByteArray("text/html") << page << status << NotHeld;
        QTest::newRow("HTML page to a download")
            << false << true << QByteArray("text/html") << page << status << NotHeld;
        const QByteArray letters = QString(3 * 1024 * 1024, u'я').toUtf8();
        QTest::newRow("plain text cut inside a letter") << true << false << QByteArray("text/plain")
                                                        << QByteArray("Сервис недоступен\n") + letters
                                                        << u"Сервис недоступен"_s << NotHeld;
        QTest::newRow("one endless line") << false << false << QByteArray("text/plain") << letters
                                          << QString(ApiError::maxMessageLength - 1, u'я') + QChar(0x2026) << NotHeld;
        // Its start is no message: the listener would read raw JSON.
        QTest::newRow("JSON cut short") << false << false << QByteArray("application/json")
                                        << detailBody(QString(1024 * 1024, u'y')) << status << NotHeld;
        QTest::newRow("rest held back, length announced")
            << false << false << QByteArray("text/html") << page << status << RestHeld;
        // (A type the server does not compress: a compressed stream would
        // keep its first piece back too.)
        QTest::newRow("rest held back, chunked to a download")
            << true << true << QByteArray("application/octet-stream") << page << status << RestHeld;
        QTest::newRow("rest after a first short piece")
            << false << false << QByteArray("text/html") << page << status << RestAfterFirstRead;
        QTest::newRow("rest after a first short piece, to a download")
            << true << true << QByteArray("application/octet-stream") << page << status << RestAfterFirstRead;
    }

    void errorBodyIsReadToItsLimitOnly()
    {
        QFETCH(bool, chunked);
        QFETCH(bool, download);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(int, held);
        const qint64 limit = Transfer().maxErrorBodyBytes;
        FakeResponse answer {502, body, contentType};
        answer.pieceSize = held == RestHeld ? int(limit + 64 * 1024)
            : held == RestAfterFirstRead    ? int(limit * 5 / 8)
                                            : 64 * 1024;
        answer.chunked = chunked;
        if (held != NotHeld)
            answer.hold = std::make_shared<std::atomic_bool>(true);
        const auto release = qScopeGuard([&answer] {
            if (answer.hold)
                *answer.hold = false;
        });
        m_server->on(u"GET"_s, u"/api/v1/page"_s, answer);

        Transfer transfer;
        transfer.url = m_server->baseUrl().resolved(QUrl(u"/api/v1/page"_s));
        QByteArray sunk;
        if (download)
            transfer.sink = [&sunk](const QByteArray &chunk) {
                sunk += chunk;
                return true;
            };
        const QUrl url = transfer.url;
        const auto outcome = std::make_shared<std::optional<TaskOutcome<TransferResult>>>();
        sendInto(std::move(transfer), outcome);
        if (held == RestAfterFirstRead) {
            // Connected after the transfer's own handler: the first piece,
            // short of the limit, has been kept when the rest is let go.
            QNetworkReply *reply = replyFor(url);
            QVERIFY(reply);
            connect(reply, &QNetworkReply::readyRead, reply, [hold = answer.hold] { *hold = false; });
        }
        QTRY_VERIFY(outcome->has_value());
        QVERIFY((*outcome)->value);
        const TransferResult &result = *(*outcome)->value;
        QCOMPARE(result.status.value_or(0), 502);
        QVERIFY(result.errorBodyCut);
        QCOMPARE(result.body.size(), limit);
        QVERIFY(body.startsWith(result.body));
        QVERIFY(sunk.isEmpty());

        const ApiError error = failureOf(ApiClient(), u"api/v1/page"_s);
        QCOMPARE(error.kind(), ApiError::Kind::HttpStatus);
        QTEST(error.description(), "description");
    }

    // The whole reading of a 5 MB page, which once froze the window for
    // minutes through the layout of its text.
    void hugeErrorPageReadsQuickly()
    {
        const QByteArray page = htmlPage(5 * 1024 * 1024);
        QString description;
        QBENCHMARK {
            description = ApiError::statusError(502, page, "text/html").description();
        }
        QCOMPARE(description, u"Ошибка сервера (502)"_s);
    }

    void bodyOverTheLimitIsAnError_data()
    {
        QTest::addColumn<bool>("chunked");
        QTest::newRow("announced length") << false;
        QTest::newRow("no length") << true;
    }

    void bodyOverTheLimitIsAnError()
    {
        QFETCH(bool, chunked);
        FakeResponse big {200, QByteArray(64 * 1024, 'a'), "application/json"};
        big.pieceSize = 4096;
        big.chunked = chunked;
        m_server->on(u"GET"_s, u"/api/v1/big"_s, big);
        m_server->on(u"GET"_s, u"/api/v1/small"_s, FakeResponse {200, QByteArray(8 * 1024, 'b'), "application/json"});
        ApiClient::Limits limits;
        limits.maxBody = 16 * 1024;
        const ApiClient client(limits);

        const ApiError error = failureOf(client, u"api/v1/big"_s);
        QCOMPARE(error.kind(), ApiError::Kind::Network);
        QCOMPARE(error.networkFailure(), ApiError::NetworkFailure::ResponseTooLarge);
        QCOMPARE(error.description(), u"Ответ сервера слишком большой"_s);

        const TaskOutcome<QByteArray> small
            = outcomeOf(client.request(u"api/v1/small"_s, u"GET"_s, {}, {}, u"application/json"_s, std::nullopt));
        QVERIFY(small.value);
        QCOMPARE(small.value->size(), 8 * 1024);
    }

    // The cut of a decoded text (in UTF-16 units), the shorter one of a
    // list row (in letters, a wide cluster as two), and what a row's line
    // of so many pixels lays out (at 10-pixel letters): a text of the limit
    // is whole, a longer one ends in "…" at the limit, and a grapheme
    // cluster (a pair of surrogates, a joined emoji, a flag) goes whole.
    void displayCut_data()
    {
        QTest::addColumn<QString>("cut");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString pair = QString::fromUcs4(U"🎵");
        const QString family = QString::fromUcs4(U"👨\u200D👩\u200D👧");
        const QString flag = QString::fromUcs4(U"🇷🇺");
        // Symbols of the basic plane that ask for their emoji form.
        const QString heart = u"❤\uFE0F"_s;
        const QString sun = u"☀\uFE0F"_s;
        const QString ellipsis(QChar(0x2026));
        for (const auto &[cut, limit] : {std::pair {u"units"_s, JsonReader::maxShownText}, {u"letters"_s, maxRowText}}) {
            const QString a(limit - 2, u'a');
            const QByteArray at = QByteArray::number(limit);
            QTest::addRow("%s: at the limit", at.data()) << cut << limit << a + u"bc"_s << a + u"bc"_s;
            QTest::addRow("%s: one over", at.data()) << cut << limit << a + u"bcd"_s << a + u"b"_s + ellipsis;
            QTest::addRow("%s: a pair across the cut", at.data()) << cut << limit << a + pair + pair << a + ellipsis;
            QTest::addRow("%s: a pair before the cut", at.data()) << cut << limit << a.chopped(1) + pair + pair
                                                                  << a.chopped(1) + pair + ellipsis;
            // Counted in units the cut falls inside the cluster; in letters
            // the cluster is two.
            const bool units = cut == u"units"_s;
            const QString b = a.chopped(2);
            QTest::addRow("%s: a joined emoji at the cut", at.data())
                << cut << limit << b + family + u"xyz"_s << (units ? b : b + family + u"x"_s) + ellipsis;
            QTest::addRow("%s: a flag at the cut", at.data()) << cut << limit << a.chopped(1) + flag + flag
                                                              << a.chopped(1) + (units ? QString() : flag) + ellipsis;
        }
        const QString accented = u"е\u0301"_s.repeated(maxRowText);
        QTest::newRow("row: a letter and its accent are one letter") << u"letters"_s << maxRowText << accented << accented;
        const QString ideographs = u"中"_s.repeated(151);
        QTest::newRow("row: an ideograph is two letters") << u"letters"_s << maxRowText << ideographs
                                                         << ideographs.first(149) + ellipsis;
        QTest::newRow("row: an emoji form is two letters") << u"letters"_s << maxRowText << heart.repeated(151)
                                                           << heart.repeated(149) + ellipsis;
        QTest::newRow("line: what fits is whole") << u"line"_s << qsizetype(100) << u"Долгая дорога"_s
                                                  << u"Долгая дорога"_s;
        QTest::newRow("line: emoji up to the line and one more") << u"line"_s << qsizetype(90) << pair.repeated(100)
                                                                 << pair.repeated(11);
        QTest::newRow("line: emoji forms up to the line and one more") << u"line"_s << qsizetype(90)
                                                                       << (sun + heart).repeated(50)
                                                                       << (sun + heart).repeated(5) + sun;
        QTest::newRow("line: flags whole") << u"line"_s << qsizetype(20) << flag.repeated(20) << flag.repeated(3);
        QTest::newRow("line: letters at their narrowest") << u"line"_s << qsizetype(30) << QString(400, u'a')
                                                          << QString(16, u'a');
    }

    void displayCut()
    {
        QFETCH(QString, cut);
        QFETCH(qsizetype, limit);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        if (cut == u"units"_s)
            QCOMPARE(cutForDisplay(text, limit), shown);
        else if (cut == u"letters"_s)
            QCOMPARE(cutToLetters(text, limit), shown);
        else
            QCOMPARE(fitToLine(text, qreal(limit), 10), shown);
    }

    // Titles and credits of absurd length are cut before any screen lays
    // them out; ordinary ones come through whole.
    void absurdTextsAreCutForDisplay()
    {
        const QString endless(300000, u'я');
        QJsonObject track {{u"id"_s, u"t1"_s}, {u"title"_s, endless}, {u"artist"_s, u"Обычный"_s},
            {u"duration_seconds"_s, 10}, {u"file_url"_s, u"/m.mp3"_s}, {u"is_favorite"_s, false}};
        const TrackOut decoded = decodeJson<TrackOut>(QJsonDocument(track).toJson());
        QCOMPARE(decoded.title.size(), JsonReader::maxShownText);
        QVERIFY(decoded.title.endsWith(QChar(0x2026)));
        QCOMPARE(decoded.artist, u"Обычный"_s);

        // The profile and its badges show the user's names and roles.
        const QJsonObject role {{u"id"_s, u"r1"_s}, {u"name"_s, endless}, {u"color"_s, 255}, {u"position"_s, 1}};
        const QJsonObject user {{u"id"_s, u"u1"_s}, {u"username"_s, endless}, {u"email"_s, endless},
            {u"role"_s, u"user"_s}, {u"catalog_artist_name"_s, endless}, {u"created_at"_s, u"2026-01-02T03:04:05Z"_s},
            {u"custom_roles"_s, QJsonArray {role}}};
        const UserOut profile = decodeJson<UserOut>(QJsonDocument(user).toJson());
        for (const QString &shown : {profile.username, profile.email.value_or(QString()),
                 profile.catalogArtistName.value_or(QString()), profile.customRoles.value(0).name})
            QCOMPARE(shown.size(), JsonReader::maxShownText);
        QCOMPARE(profile.id, u"u1"_s);

        // Lyrics lines, synced or not, are shown one by one.
        for (const QString &lyrics : {u"[00:01.00]"_s + endless, endless})
            QCOMPARE(ParsedLyrics::parse(lyrics).lines.value(0).text.size(), JsonReader::maxShownText);

        // A date that is no date fails the answer with a message that quotes
        // it, briefly.
        track[u"created_at"_s] = endless;
        try {
            decodeJson<TrackOut>(QJsonDocument(track).toJson());
            QFAIL("an endless date was read");
        } catch (const DecodingError &error) {
            QVERIFY(error.description().startsWith(u"Invalid date: яя"_s));
            QVERIFY(error.description().size() <= ApiError::maxMessageLength);
        }
    }

    void fullDiskHasItsOwnText()
    {
        QFile full(u"/dev/full"_s);
        if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("this system has no /dev/full");
        QVERIFY(full.write(QByteArray(4096, 'z')) < 0);
        QCOMPARE(fileErrorText(full), diskFullText());
    }

    // Every text of the program that shows a failure says how to draw it:
    // as plain text, since its words may come from the service.
    void everyFailureTextIsPlain()
    {
        QStringList guessed;
        int files = 0;
        for (QDirIterator it(u":/qt/qml/Nimbra"_s, {u"*.qml"_s}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            guessed += guessedFailureTexts(file.fileName(), QString::fromUtf8(file.readAll()));
            ++files;
        }
        QVERIFY(files > 50);
        QVERIFY2(guessed.isEmpty(), qPrintable(guessed.join(u", "_s)));
    }

    // A message with markup in it shows its characters and fetches nothing.
    void messagesAreDrawnAsPlainText()
    {
        m_scene.takeWarnings(); // what the tests before logged
        m_server->clearRequests();
        const QByteArray image = "<img src=\"" + m_server->baseUrl().toString().toUtf8() + "/leak.png\">";
        QmlScene scene(m_scene.engine(),
            "import QtQuick\nimport Nimbra\nStateView { width: 400; height: 300; loadState: 4; errorText: '"
                + image + "<a href=\"x\">link</a>' }");
        QVERIFY2(scene.ok(), qPrintable(scene.errors()));
        QVERIFY(!scene.grab().isNull());
        QQuickItem *text = scene.item(u"stateText"_s);
        QVERIFY(text);
        QVERIFY(text->property("text").toString().startsWith(u"<img"_s));
        QCOMPARE(text->property("textFormat").toInt(), int(Qt::PlainText));
        QCoreApplication::processEvents();
        QCOMPARE(m_server->requestsTo(u"/leak.png"_s), 0);
        m_scene.finishTest();
    }
};

QTEST_MAIN(TestErrorBodies)
#include "tst_errorbodies.moc"
