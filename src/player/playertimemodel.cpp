#include "player/playertimemodel.h"

#include "api/storeregistry.h"
#include "format/durationtext.h"
#include "player/playerstore.h"

#include <algorithm>
#include <cmath>

namespace nimbra {

PlayerTimeModel::PlayerTimeModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    setPlayer(StoreRegistry::get<PlayerStore>());
}

void PlayerTimeModel::setPlayer(PlayerStore *player)
{
    if (m_player == player)
        return;
    if (m_player)
        m_player->disconnect(this);
    m_player = player;
    if (player) {
        connect(player, &PlayerStore::elapsedChanged, this, &PlayerTimeModel::updateElapsed);
        connect(player, &PlayerStore::durationChanged, this, &PlayerTimeModel::updateDuration);
        connect(player, &PlayerStore::durationLabelChanged, this, &PlayerTimeModel::updateDuration);
        connect(player, &PlayerStore::currentTrackChanged, this, &PlayerTimeModel::updateDuration);
    }
    updateDuration();
    emit playerChanged();
}

double PlayerTimeModel::progressFor(double elapsed, double duration)
{
    const double total = sanitizedSeconds(duration);
    if (total <= 0)
        return 0;
    return std::clamp(sanitizedSeconds(elapsed) / total, 0.0, 1.0);
}

double PlayerTimeModel::seekUpperFor(double duration)
{
    const double total = sanitizedSeconds(duration);
    return total > 1 ? total : 1.0;
}

void PlayerTimeModel::seekTo(double seconds)
{
    if (!m_player)
        return;
    m_player->seek(std::clamp(sanitizedSeconds(seconds), 0.0, m_seekUpper));
}

void PlayerTimeModel::updateElapsed()
{
    const double elapsed = m_player ? sanitizedSeconds(m_player->elapsed()) : 0.0;
    const double duration = m_player ? m_player->duration() : 0.0;
    const double progress = progressFor(elapsed, duration);
    if (progress != m_progress || elapsed != m_position) {
        m_progress = progress;
        m_position = elapsed;
        emit progressChanged();
    }
    const QString text = nimbra::durationText(elapsed);
    if (text != m_elapsedText) {
        m_elapsedText = text;
        emit elapsedTextChanged();
    }
}

void PlayerTimeModel::updateDuration()
{
    const QString text = m_player ? m_player->durationLabel() : QStringLiteral("0:00");
    const double upper = seekUpperFor(m_player ? m_player->duration() : 0.0);
    if (text != m_durationText || upper != m_seekUpper) {
        m_durationText = text;
        m_seekUpper = upper;
        emit durationTextChanged();
    }
    updateElapsed();
}

} // namespace nimbra
