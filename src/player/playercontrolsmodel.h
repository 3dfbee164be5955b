#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <optional>

namespace nimbra {

class PlayerStore;

// What the player's buttons show, for the mini player and the fullscreen
// player alike: the heart and the dislike of the current track, whether
// the lyrics control is a button, a spinner or absent, the offline copy's
// control, the sleep-timer highlight, the repeat button and the share link.
// Changes only when one of those changes, never on the position tick.
class PlayerControlsModel : public QObject
{
    Q_OBJECT
    // An account is in use (a token with a profile): set from the session.
    Q_PROPERTY(bool hasAccount READ hasAccount WRITE setHasAccount NOTIFY hasAccountChanged)
    Q_PROPERTY(bool hasTrack READ hasTrack NOTIFY changed)
    Q_PROPERTY(bool favoriteOn READ favoriteOn NOTIFY changed)
    Q_PROPERTY(bool dislikeOn READ dislikeOn NOTIFY changed)
    Q_PROPERTY(LyricsControl lyricsControl READ lyricsControl NOTIFY changed)
    Q_PROPERTY(OfflineControl offlineControl READ offlineControl NOTIFY changed)
    Q_PROPERTY(bool sleepTimerOn READ sleepTimerOn NOTIFY changed)
    Q_PROPERTY(bool repeatOn READ repeatOn NOTIFY changed)
    Q_PROPERTY(QString repeatSymbol READ repeatSymbol NOTIFY changed)
    Q_PROPERTY(QUrl shareLink READ shareLink NOTIFY changed)

public:
    enum class LyricsControl { None, Button, Spinner };
    Q_ENUM(LyricsControl)
    // Saving: the spinner; Saved: remove the copy; Save: make one.
    enum class OfflineControl { Hidden, Saving, Saved, Save };
    Q_ENUM(OfflineControl)

    static constexpr const char *linkCopiedText = "Ссылка скопирована";

    explicit PlayerControlsModel(QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }
    bool hasAccount() const { return m_hasAccount; }
    void setHasAccount(bool hasAccount);

    bool hasTrack() const { return m_state.hasTrack; }
    bool favoriteOn() const { return m_state.favoriteOn; }
    bool dislikeOn() const { return m_state.dislikeOn; }
    LyricsControl lyricsControl() const { return m_state.lyricsControl; }
    OfflineControl offlineControl() const { return m_state.offlineControl; }
    bool sleepTimerOn() const { return m_state.sleepTimerOn; }
    bool repeatOn() const { return m_state.repeatOn; }
    QString repeatSymbol() const { return m_state.repeatOne ? QStringLiteral("repeat.1") : QStringLiteral("repeat"); }
    QUrl shareLink() const { return m_state.shareLink; }

    // Lyrics that are blank after trimming give no button; while they are
    // being looked up the spinner stands in. Known lyrics win.
    static LyricsControl lyricsControlFor(const std::optional<QString> &lyrics, bool loading);
    // A copy saved earlier can be removed by anyone; only an account may
    // save one. Without a track there is nothing to save.
    static OfflineControl offlineControlFor(
        bool hasTrack, bool savingThisTrack, bool isCached, bool hasAccount);

    // Off, all, one, off.
    Q_INVOKABLE void cycleRepeat();
    // Saves or removes the current track's offline copy, as its control shows.
    Q_INVOKABLE void offlineAction();
    // Puts the share link on the clipboard; linkCopied() then asks for the
    // confirmation.
    Q_INVOKABLE void copyShareLink();

signals:
    void hasAccountChanged();
    void changed();
    void linkCopied(const QString &confirmation);

private:
    struct State
    {
        bool hasTrack = false;
        bool favoriteOn = false;
        bool dislikeOn = false;
        LyricsControl lyricsControl = LyricsControl::None;
        OfflineControl offlineControl = OfflineControl::Hidden;
        bool sleepTimerOn = false;
        bool repeatOn = false;
        bool repeatOne = false;
        QUrl shareLink;
        bool operator==(const State &) const = default;
    };
    void refresh();

    QPointer<PlayerStore> m_player;
    bool m_hasAccount = false;
    State m_state;
};

} // namespace nimbra
