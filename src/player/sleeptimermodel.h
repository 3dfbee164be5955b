#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

namespace nimbra {

class PlayerStore;

// The sleep-timer popover's content: the minute choices, the line that
// describes a set timer, and the three kinds of choice, each of which calls
// the player store and then asks the popover to close. The popover keeps
// no timer: the remaining time counts down as the store updates it.
class SleepTimerModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList presets READ presets CONSTANT)
    Q_PROPERTY(bool showsActive READ showsActive NOTIFY activeChanged)
    Q_PROPERTY(QString activeLabel READ activeLabel NOTIFY activeChanged)

public:
    explicit SleepTimerModel(QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }

    QVariantList presets() const;
    bool showsActive() const;
    // "m:ss" of the seconds left, "После трека", or empty without a timer.
    QString activeLabel() const;

    // "15 минут", the word in the form its number takes.
    Q_INVOKABLE static QString presetLabel(int minutes);

    Q_INVOKABLE void choose(int minutes);
    Q_INVOKABLE void chooseEndOfTrack();
    Q_INVOKABLE void cancel();

signals:
    void activeChanged();
    // A choice was made: the popover closes.
    void closeRequested();

private:
    QPointer<PlayerStore> m_player;
};

} // namespace nimbra
