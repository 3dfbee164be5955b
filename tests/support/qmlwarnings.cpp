#include "qmlwarnings.h"

#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <QtGlobal>

namespace nimbra::test {

namespace {

QMutex mutex;
QStringList collected;
QtMessageHandler previous = nullptr;

// Qt 6.4's network layer says this when a reply served from the image disk
// cache is aborted after it failed (a window closed while covers loaded):
// a complaint about its own bookkeeping, not about our QML.
const QLatin1String qtInternalNoise("QNetworkReplyImplPrivate::error: Internal problem");

bool isQtInternalNoise(const QString &message)
{
    return message.startsWith(qtInternalNoise);
}

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if ((type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) && !isQtInternalNoise(message)) {
        QMutexLocker lock(&mutex);
        collected.append(message);
    }
    if (previous)
        previous(type, context, message);
}

} // namespace

QmlWarnings::QmlWarnings()
{
    previous = qInstallMessageHandler(collect);
}

QmlWarnings::~QmlWarnings()
{
    qInstallMessageHandler(previous);
    previous = nullptr;
}

void failOnQmlWarnings()
{
    static const QRegularExpression anyButNoise(
        QStringLiteral("^(?!") + QRegularExpression::escape(qtInternalNoise) + QStringLiteral(")"));
    QTest::failOnWarning(anyButNoise);
}

QStringList QmlWarnings::take()
{
    QMutexLocker lock(&mutex);
    return std::exchange(collected, {});
}

} // namespace nimbra::test
