#include "qmlwarnings.h"

#include <QMutex>
#include <QtGlobal>

namespace nimbra::test {

namespace {

QMutex mutex;
QStringList collected;
QtMessageHandler previous = nullptr;

// Qt 6.4's network layer says this when a reply served from the image disk
// cache is aborted after it failed (a window closed while covers loaded):
// a complaint about its own bookkeeping, not about our QML.
bool isQtInternalNoise(const QString &message)
{
    return message.startsWith(QLatin1String("QNetworkReplyImplPrivate::error: Internal problem"));
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

QStringList QmlWarnings::take()
{
    QMutexLocker lock(&mutex);
    return std::exchange(collected, {});
}

} // namespace nimbra::test
