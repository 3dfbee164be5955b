#include "player/sleeptimermodel.h"

#include "api/storeregistry.h"
#include "format/durationtext.h"
#include "format/russianplural.h"
#include "player/playerstore.h"

using namespace Qt::StringLiterals;

namespace nimbra {

SleepTimerModel::SleepTimerModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player) {
        connect(m_player, &PlayerStore::sleepTimerChanged, this, &SleepTimerModel::activeChanged);
        connect(m_player, &PlayerStore::sleepRemainingSecondsChanged, this, &SleepTimerModel::activeChanged);
    }
}

QVariantList SleepTimerModel::presets() const
{
    return {15, 30, 45, 60};
}

bool SleepTimerModel::showsActive() const
{
    return m_player && !m_player->sleepTimer().isOff();
}

QString SleepTimerModel::activeLabel() const
{
    if (!m_player)
        return {};
    const SleepTimer timer = m_player->sleepTimer();
    if (timer.isRunning())
        return durationText(double(m_player->sleepRemainingSeconds()));
    if (timer.isEndOfTrack())
        return u"После трека"_s;
    return {};
}

QString SleepTimerModel::presetLabel(int minutes)
{
    return russianCount(minutes, CountWord::Minute);
}

void SleepTimerModel::choose(int minutes)
{
    if (m_player)
        m_player->setSleepTimer(minutes);
    emit closeRequested();
}

void SleepTimerModel::chooseEndOfTrack()
{
    if (m_player)
        m_player->setSleepTimerEndOfTrack();
    emit closeRequested();
}

void SleepTimerModel::cancel()
{
    if (m_player)
        m_player->cancelSleepTimer();
    emit closeRequested();
}

} // namespace nimbra
