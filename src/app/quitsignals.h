#pragma once

#include <QObject>

class QSocketNotifier;

namespace nimbra {

// SIGTERM (a desktop logout) and SIGINT (Ctrl+C in a terminal) end the
// client the way closing its window does: the event loop returns and
// everything is put away on the way out (settings written, playback
// stopped, the run's empty download folder removed). A signal handler may
// do next to nothing, so it only writes a byte into a pipe whose other end
// the event loop watches.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace nimbra
