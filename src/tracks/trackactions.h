#pragma once

#include "api/trackout.h"
#include "tracks/trackservices.h"

#include <QObject>
#include <QString>

#include <QCoro/QCoroTask>

namespace nimbra {

// What a heart or a dislike does with a track: it asks first whether an
// account is in use (otherwise it sets signInPrompt and sends nothing),
// sends the change with the session's token, and hands the changed copy to
// the player (the stores' trackChanged reaches every list). A failure shows
// its text as the prompt. The instance QML knows as TrackActions acts on
// the player's current track; every track list keeps one of its own.
class TrackActions : public QObject
{
    Q_OBJECT
    // The "Нужен вход" alert's message while it is to be shown; writing an
    // empty text dismisses it.
    Q_PROPERTY(QString signInPrompt READ signInPrompt WRITE setSignInPrompt NOTIFY signInPromptChanged)

public:
    static constexpr const char *favoritePrompt = "Войдите, чтобы добавлять в избранное.";
    static constexpr const char *listFavoritePrompt = "Войдите в аккаунт, чтобы добавлять треки в избранное.";
    static constexpr const char *dislikePrompt = "Войдите, чтобы оценивать треки.";

    explicit TrackActions(TrackServices services, QObject *parent = nullptr);

    QString signInPrompt() const { return m_signInPrompt; }
    void setSignInPrompt(const QString &text);

    // The player's current track; nothing without one.
    Q_INVOKABLE void toggleFavorite();
    Q_INVOKABLE void toggleDislike();

    // track: the caller's copy; prompt: the text shown when no account is in use.
    void toggleFavorite(const TrackOut &track, const QString &prompt);
    void toggleDislike(const TrackOut &track, const QString &prompt);

signals:
    void signInPromptChanged();

private:
    bool requireAccount(const QString &prompt);
    QCoro::Task<void> sendFavorite(TrackOut track);
    QCoro::Task<void> sendDislike(TrackOut track);
    void finish(const std::optional<TrackOut> &changed, const QString &failure);

    TrackServices m_services;
    QString m_signInPrompt;
};

} // namespace nimbra
