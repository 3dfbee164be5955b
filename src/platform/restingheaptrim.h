#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

class QQuickWindow;

namespace nimbra {

// Gives the memory that the heap holds free back to the system once the
// window rests. Screens that close, pictures that arrive and decode, and
// the start-up's loading free a lot, but the C library keeps the freed
// pages of its arenas for later allocations, so a client that has shown a
// few screens and returned home would keep their peak for good. After
// `rest` without a frame drawn, and only when the heap holds at least
// `threshold` bytes free, the heap is trimmed once; the next frames start
// a new rest. Does nothing where the C library cannot trim.
//
// Made, it also keeps the C library from holding the largest blocks it has
// seen freed (keepHeapTopsSmall), which no trim gives back.
class RestingHeapTrim : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds defaultRest {3000};
    static constexpr qint64 defaultThreshold = 1024 * 1024;

    explicit RestingHeapTrim(QQuickWindow *window, std::chrono::milliseconds rest = defaultRest,
        qint64 threshold = defaultThreshold);

    // Bytes the heap holds free, whole pages or not; -1 where unknown.
    static qint64 heldFreeBytes();
    // Returns the free pages of every arena to the system.
    static void trimNow();
    // From now on the heap serves large blocks (128 KiB and more) from
    // pages of their own, returned when freed, and gives back the free top
    // of a thread's heap past 128 KiB: the C library's defaults, held fixed.
    static void keepHeapTopsSmall();

signals:
    // The heap was trimmed, holding `heldBefore` bytes free before.
    void trimmed(qint64 heldBefore);

private:
    void rested();

    QPointer<QQuickWindow> m_window;
    QTimer m_rest;
    qint64 m_threshold;
};

} // namespace nimbra
