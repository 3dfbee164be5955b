#pragma once

#include "api/trackout.h"
#include "tracks/trackstores.h"

#include <QObject>
#include <QString>

#include <QCoro/QCoroTask>

#include <functional>

namespace nimbra {

// What a heart or a dislike does with a track: it asks first whether an
// account is in use (otherwise it sets signInPrompt and sends nothing),
// sends the change with the session's token, and hands the changed copy to
// the player (the stores' trackChanged reaches every list). A failure goes
// to the owner's failure handler when it gave one (a list that shows it in
// place of its rows), else into the same alert titled "Ошибка": a listener
// who is signed in is never told to sign in. The instance QML knows as
// TrackActions acts on the player's current track; every track list keeps
// one of its own.
class TrackActions : public QObject
{
    Q_OBJECT
    // The "Нужен вход" alert's message while it is to be shown; writing an
    // empty text dismisses it.
    Q_PROPERTY(QString signInPrompt READ signInPrompt WRITE setSignInPrompt NOTIFY signInPromptChanged)
    // "Нужен вход" while the alert asks for an account, "Ошибка" while it
    // tells of a failed request.
    Q_PROPERTY(QString promptTitle READ promptTitle NOTIFY signInPromptChanged)

public:
    static constexpr const char *favoritePrompt = "Войдите, чтобы добавлять в избранное.";
    static constexpr const char *listFavoritePrompt = "Войдите в аккаунт, чтобы добавлять треки в избранное.";
    static constexpr const char *dislikePrompt = "Войдите, чтобы оценивать треки.";
    static constexpr const char *signInTitle = "Нужен вход";
    static constexpr const char *failureTitle = "Ошибка";
    using FailureHandler = std::function<void(const QString &text)>;

    explicit TrackActions(TrackStores stores, QObject *parent = nullptr);

    QString signInPrompt() const { return m_signInPrompt; }
    // Writing the prompt (an empty text dismisses the alert) makes it a
    // sign-in prompt.
    void setSignInPrompt(const QString &text);
    QString promptTitle() const;
    // Where a failed request's text goes instead of the alert.
    void setFailureHandler(FailureHandler handler) { m_failureHandler = std::move(handler); }

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
    void setPrompt(const QString &text, bool isFailure);
    QCoro::Task<void> sendFavorite(TrackOut track);
    QCoro::Task<void> sendDislike(TrackOut track);
    void finish(const std::optional<TrackOut> &changed, const QString &failure);

    TrackStores m_stores;
    QString m_signInPrompt;
    bool m_promptIsFailure = false;
    FailureHandler m_failureHandler;
};

} // namespace nimbra
