#include "tracks/trackactions.h"

#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"
#include "player/playerstore.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace nimbra {

TrackActions::TrackActions(TrackStores stores, QObject *parent) : QObject(parent), m_stores(std::move(stores))
{
}

void TrackActions::setSignInPrompt(const QString &text)
{
    setPrompt(text, false);
}

void TrackActions::setPrompt(const QString &text, bool isFailure)
{
    isFailure = isFailure && !text.isEmpty();
    if (m_signInPrompt == text && m_promptIsFailure == isFailure)
        return;
    m_signInPrompt = text;
    m_promptIsFailure = isFailure;
    emit signInPromptChanged();
}

QString TrackActions::promptTitle() const
{
    return QString::fromUtf8(m_promptIsFailure ? failureTitle : signInTitle);
}

void TrackActions::toggleFavorite()
{
    if (m_stores.player && m_stores.player->currentTrack())
        toggleFavorite(*m_stores.player->currentTrack(), QString::fromUtf8(favoritePrompt));
}

void TrackActions::toggleDislike()
{
    if (m_stores.player && m_stores.player->currentTrack())
        toggleDislike(*m_stores.player->currentTrack(), QString::fromUtf8(dislikePrompt));
}

void TrackActions::toggleFavorite(const TrackOut &track, const QString &prompt)
{
    if (requireAccount(prompt) && m_stores.favorites)
        sendFavorite(track);
}

void TrackActions::toggleDislike(const TrackOut &track, const QString &prompt)
{
    if (requireAccount(prompt) && m_stores.ratings)
        sendDislike(track);
}

bool TrackActions::requireAccount(const QString &prompt)
{
    if (m_stores.session && m_stores.session->hasAccount())
        return true;
    setSignInPrompt(prompt);
    return false;
}

QCoro::Task<void> TrackActions::sendFavorite(TrackOut track)
{
    QPointer<TrackActions> self(this);
    QPointer<FavoritesStore> favorites = m_stores.favorites;
    const std::optional<TrackOut> changed = co_await favorites->toggleAsync(std::move(track));
    if (self)
        finish(changed, favorites ? favorites->errorText() : QString());
}

QCoro::Task<void> TrackActions::sendDislike(TrackOut track)
{
    QPointer<TrackActions> self(this);
    QPointer<RatingsStore> ratings = m_stores.ratings;
    const std::optional<TrackOut> changed = co_await ratings->toggleAsync(std::move(track), u"dislike"_s);
    if (self)
        finish(changed, ratings ? ratings->errorText() : QString());
}

void TrackActions::finish(const std::optional<TrackOut> &changed, const QString &failure)
{
    if (!changed) {
        if (failure.isEmpty())
            return;
        if (m_failureHandler)
            m_failureHandler(failure);
        else
            setPrompt(failure, true);
        return;
    }
    // Applied only while that track is still the current one.
    if (m_stores.player)
        m_stores.player->updateCurrentTrack(*changed);
}

} // namespace nimbra
