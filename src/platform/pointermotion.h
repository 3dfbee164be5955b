#pragma once

#include <QObject>

namespace nimbra {

// How often the listener has moved the pointer over the program's window:
// the window system's moves only. Qt Quick also tells what comes under a
// resting pointer (a page that changes) that the pointer is on it, which
// says nothing of the listener. Main thread only.
class PointerMotion : public QObject
{
public:
    // Counts the moves that reach `window` from now on; the watch goes
    // with the window.
    static void watch(QObject *window);
    static quint64 moves();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace nimbra
