#include "qmlwarnings.h"

#include <QMutex>
#include <QtGlobal>

namespace nimbra::test {

namespace {

QMutex mutex;
QStringList collected;
QtMessageHandler previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
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
