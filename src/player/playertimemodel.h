#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

class PlayerStore;

// The numbers of the seek row and the progress line: elapsed and total time
// as "m:ss", the played fraction, and the seek range. Times that are not
// finite or are negative show and count as 0. Each tick of the player only
// compares numbers: the texts change once a second, not ten times.
class PlayerTimeModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY elapsedTextChanged)
    Q_PROPERTY(QString durationText READ durationText NOTIFY durationTextChanged)
    // elapsed / duration within 0 and 1; 0 while the duration is unknown.
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(double position READ position NOTIFY progressChanged)
    // The seek bar's upper end: the duration, or 1 while it is 1 s or less.
    Q_PROPERTY(double seekUpper READ seekUpper NOTIFY durationTextChanged)
    // The progress line's length in whole pixels of a line progressSpan
    // long: it changes only when a drawn pixel does, so that a window
    // showing nothing else that moves is not redrawn on every tick.
    Q_PROPERTY(double progressSpan READ progressSpan WRITE setProgressSpan NOTIFY progressSpanChanged)
    Q_PROPERTY(int progressWidth READ progressWidth NOTIFY progressWidthChanged)

public:
    explicit PlayerTimeModel(QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }

    QString elapsedText() const { return m_elapsedText; }
    QString durationText() const { return m_durationText; }
    double progress() const { return m_progress; }
    double position() const { return m_position; }
    double seekUpper() const { return m_seekUpper; }
    double progressSpan() const { return m_progressSpan; }
    void setProgressSpan(double span);
    int progressWidth() const { return m_progressWidth; }

    static double progressFor(double elapsed, double duration);
    static double seekUpperFor(double duration);

    // Seeks to seconds, kept within 0 and seekUpper.
    Q_INVOKABLE void seekTo(double seconds);

signals:
    void elapsedTextChanged();
    void durationTextChanged();
    void progressChanged();
    void progressSpanChanged();
    void progressWidthChanged();

private:
    void updateElapsed();
    void updateDuration();
    void updateProgressWidth();

    QPointer<PlayerStore> m_player;
    QString m_elapsedText = QStringLiteral("0:00");
    QString m_durationText = QStringLiteral("0:00");
    double m_progress = 0;
    double m_position = 0;
    double m_seekUpper = 1;
    double m_progressSpan = 0;
    int m_progressWidth = 0;
};

} // namespace nimbra
