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
    keepHeapTopsSmall();
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

// Left to itself, the C library raises both limits to the largest block
// it has seen freed (and twice that) so as not to map it again. The media's
// streaming threads read and pass on buffers of 1 to 4 MiB, and each such
// thread draws on a heap of its own (an arena) whose free top a trim never
// reaches: after 200 tracks, 36 of them held 70 MiB free, three times what
// the heap had in use. Fixed limits cost a mapping for each large block,
// which comes a few times a track.
void RestingHeapTrim::keepHeapTopsSmall()
{
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    constexpr int largeBlock = 128 * 1024;
    mallopt(M_MMAP_THRESHOLD, largeBlock);
    mallopt(M_TRIM_THRESHOLD, largeBlock);
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
