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
    setPlayer(StoreRegistry::get<PlayerStore>());
}

void SleepTimerModel::setPlayer(PlayerStore *player)
{
    if (m_player == player)
        return;
    if (m_player)
        m_player->disconnect(this);
    m_player = player;
    if (player) {
        connect(player, &PlayerStore::sleepTimerChanged, this, &SleepTimerModel::activeChanged);
        connect(player, &PlayerStore::sleepRemainingSecondsChanged, this, &SleepTimerModel::activeChanged);
    }
    emit playerChanged();
    emit activeChanged();
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
