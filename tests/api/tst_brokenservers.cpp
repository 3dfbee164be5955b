// What a broken or hostile server can do to a transfer, answered byte by
// byte: a body without end is read to its limit and no further, its
// connection closed, whatever ends the transfer; a read whose connection
// closed before any byte of an answer is sent once more, and nothing else is.
#include "api/apierror.h"
#include "api/transfer.h"
#include "update/otaerror.h"
#include "update/updatedownload.h"

#include "rawhttpserver.h"
#include "taskoutcome.h"
#include "testenv.h"

#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace nimbra;
using namespace nimbra::test;
using namespace Qt::StringLiterals;

namespace {

enum class Reader { Kept, Download, SinkRefuses, Cancelled };

// Loopback buffers on both sides and the network thread's read-ahead: what
// a server can have sent beyond what the client read when it stops.
constexpr qint64 inFlight = 16 * 1024 * 1024;

QByteArray endlessHead(int status, const QByteArray &type)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: " + type
        + "\r\nTransfer-Encoding: chunked\r\n\r\n";
}

// Runs send() and puts what it gave into *into once it ends.
QCoro::Task<void> sendInto(
    Transfer transfer, CancelToken cancel, std::shared_ptr<std::optional<TaskOutcome<TransferResult>>> into)
{
    TaskOutcome<TransferResult> outcome = co_await detail::capture(send(std::move(transfer), std::move(cancel)));
    *into = std::move(outcome);
}

// What each connection of a download address does.
enum class Script { ClosesKeptAliveBeforeAnswer, ClosesEveryLaterConnection, CutsBodyItBegan, ChangeClosedUnanswered };

} // namespace

Q_DECLARE_METATYPE(Reader)
Q_DECLARE_METATYPE(Script)

class TestBrokenServers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }

    void endlessAnswerIsCutAndItsConnectionClosed_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<Reader>("reader");
        // What the client has to read before it stops.
        QTest::addColumn<qint64>("needed");
        const QByteArray json = endlessHead(200, "application/json");
        const qint64 errorLimit = Transfer().maxErrorBodyBytes;
        QTest::newRow("answer kept in memory") << json << Reader::Kept << qint64(1024 * 1024);
        QTest::newRow("error page") << endlessHead(500, "text/html") << Reader::Kept << errorLimit;
        QTest::newRow("error page to a download") << endlessHead(500, "text/html") << Reader::Download << errorLimit;
        QTest::newRow("download its file refuses") << json << Reader::SinkRefuses << qint64(2 * 1024 * 1024);
        QTest::newRow("download cancelled") << json << Reader::Cancelled << qint64(2 * 1024 * 1024);
    }

    void endlessAnswerIsCutAndItsConnectionClosed()
    {
        QFETCH(QByteArray, head);
        QFETCH(Reader, reader);
        QFETCH(qint64, needed);
        auto sent = std::make_shared<std::atomic<qint64>>(-1);
        RawHttpServer server([head, sent](RawConnection &connection) {
            if (connection.readRequestHead().isEmpty())
                return;
            const QByteArray piece(1024 * 1024, 'x');
            const QByteArray chunk = QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
            if (connection.write(head)) {
                while (connection.write(chunk)) { }
            }
            *sent = connection.written();
        });

        Transfer transfer;
        transfer.url = server.baseUrl().resolved(QUrl(u"/api/v1/tracks"_s));
        transfer.maxBodyBytes = needed;
        CancelToken cancel;
        qint64 sunk = 0;
        if (reader != Reader::Kept) {
            transfer.sink = [&sunk, reader, needed, cancel](const QByteArray &chunk) {
                sunk += chunk.size();
                if (sunk >= needed && reader == Reader::Cancelled)
                    cancel.cancel();
                return !(sunk >= needed && reader == Reader::SinkRefuses);
            };
        }
        const auto outcome = std::make_shared<std::optional<TaskOutcome<TransferResult>>>();
        sendInto(std::move(transfer), cancel, outcome);
        QTRY_VERIFY(outcome->has_value());

        if (reader == Reader::Cancelled) {
            QCOMPARE((*outcome)->errorAs<ApiError>().value_or(ApiError::invalidUrl()).isCancelled(), true);
        } else {
            QVERIFY((*outcome)->value);
            const TransferResult &result = *(*outcome)->value;
            QCOMPARE(result.bodyTooLarge || result.errorBodyCut || result.sinkRefused, true);
            QVERIFY(result.body.size() <= needed);
        }
        // The server sees its socket closed, having sent little more than
        // the client needed; a connection read on would send gigabytes.
        QTRY_VERIFY(*sent >= 0);
        QVERIFY2(*sent <= needed + inFlight, QByteArray::number(*sent).constData());
    }

    void readWithoutAnswerIsSentOnceMore_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<int>("requests");
        // Empty: the file is saved (a change saves nothing).
        QTest::addColumn<QString>("failure");
        QTest::newRow("kept-alive connection closed before the next answer")
            << Script::ClosesKeptAliveBeforeAnswer << QByteArray("GET") << 3 << QString();
        QTest::newRow("closed again when sent again")
            << Script::ClosesEveryLaterConnection << QByteArray("GET") << 3 << u"Соединение с сервером прервано"_s;
        QTest::newRow("body cut after it began")
            << Script::CutsBodyItBegan << QByteArray("GET") << 1 << u"файл получен не полностью"_s;
        QTest::newRow("a change closed unanswered")
            << Script::ChangeClosedUnanswered << QByteArray("POST") << 1 << QString();
    }

    void readWithoutAnswerIsSentOnceMore()
    {
        QFETCH(Script, script);
        QFETCH(QByteArray, method);
        QFETCH(int, requests);
        QFETCH(QString, failure);
        auto heads = std::make_shared<std::atomic_int>(0);
        RawHttpServer server([script, heads](RawConnection &connection) {
            const bool first = connection.index() == 0;
            for (QByteArray head = connection.readRequestHead(); !head.isEmpty(); head = connection.readRequestHead()) {
                ++*heads;
                if (script == Script::ChangeClosedUnanswered)
                    return;
                if (script == Script::CutsBodyItBegan) {
                    connection.write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
                    return;
                }
                if (head.startsWith("GET /nimbra.deb")) {
                    // The redirect keeps its connection open, then closes it
                    // once the next request arrives on it.
                    connection.write("HTTP/1.1 302 Found\r\nLocation: /files/nimbra.deb\r\nContent-Length: 0\r\n\r\n");
                    continue;
                }
                if (first || script == Script::ClosesEveryLaterConnection)
                    return;
                connection.write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello");
            }
        });

        if (method != "GET") {
            Transfer transfer;
            transfer.url = server.baseUrl().resolved(QUrl(u"/api/v1/playlists"_s));
            transfer.method = method;
            const TaskOutcome<TransferResult> outcome = outcomeOf(send(std::move(transfer)));
            QVERIFY(outcome.value);
            QVERIFY(!outcome.value->status);
            QCOMPARE(heads->load(), requests);
            return;
        }

        QTemporaryDir folder;
        const TaskOutcome<QString> saved
            = outcomeOf(UpdateDownload::save(server.baseUrl().resolved(QUrl(u"/nimbra.deb"_s)), folder.path(), {}, {}));
        QCOMPARE(heads->load(), requests);
        if (failure.isEmpty()) {
            QVERIFY(saved.value);
            QFile file(*saved.value);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("hello"));
        } else {
            const QString text = saved.errorAs<OtaError>().value_or(OtaError::badUrl()).description();
            QVERIFY2(text.contains(failure), qPrintable(text));
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
        }
    }
};

QTEST_GUILESS_MAIN(TestBrokenServers)
#include "tst_brokenservers.moc"
