#include "platform/restingheaptrim.h"

#include <QQuickWindow>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace nimbra {

RestingHeapTrim::RestingHeapTrim(QQuickWindow *window, std::chrono::milliseconds rest, qint64 threshold)
    : QObject(window)
    , m_window(window)
    , m_threshold(threshold)
{
    m_rest.setSingleShot(true);
    m_rest.setInterval(rest);
    connect(&m_rest, &QTimer::timeout, this, &RestingHeapTrim::rested);
    // Every frame means work was done: the rest starts again after it.
    connect(window, &QQuickWindow::frameSwapped, &m_rest, qOverload<>(&QTimer::start));
    m_rest.start();
}

qint64 RestingHeapTrim::heldFreeBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator serves malloc; glibc's figures are not its.
    return -1;
#elif defined(__GLIBC__) && __GLIBC_PREREQ(2, 33)
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.fordblks);
#else
    return -1;
#endif
}

void RestingHeapTrim::trimNow()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void RestingHeapTrim::rested()
{
    const qint64 held = heldFreeBytes();
    if (held < m_threshold)
        return;
    trimNow();
    emit trimmed(held);
}

} // namespace nimbra
