#include "player/playertimemodel.h"

#include "api/storeregistry.h"
#include "format/durationtext.h"
#include "player/playerstore.h"
#include "player/wholepixels.h"

#include <algorithm>
#include <cmath>

namespace nimbra {

PlayerTimeModel::PlayerTimeModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player) {
        connect(m_player, &PlayerStore::elapsedChanged, this, &PlayerTimeModel::updateElapsed);
        for (const auto signal :
            {&PlayerStore::durationChanged, &PlayerStore::durationLabelChanged, &PlayerStore::currentTrackChanged})
            connect(m_player, signal, this, &PlayerTimeModel::updateDuration);
    }
    updateDuration();
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

void PlayerTimeModel::setProgressSpan(double span)
{
    if (span == m_progressSpan)
        return;
    m_progressSpan = span;
    emit progressSpanChanged();
    updateProgressWidth();
}

void PlayerTimeModel::updateProgressWidth()
{
    const int width = wholePixels(m_progress, m_progressSpan);
    if (width == m_progressWidth)
        return;
    m_progressWidth = width;
    emit progressWidthChanged();
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
        updateProgressWidth();
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
