#pragma once

#include "api/session.h"
#include "api/canceltoken.h"
#include "api/catalogrecords.h"
#include "api/nimbraapi.h"
#include "catalogue/homereleasemodel.h"
#include "tracks/loadstate.h"
#include "tracks/screenshowing.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

namespace nimbra {

class PlayerStore;
class SmartPlaylistModel;

// What the home page shows and does: the library counts behind the quick
// cards, the new releases, today's daily list and the wave. It loads the
// three at once and takes them in a fixed order (counts, releases, daily
// list), storing each as it is taken. Failed counts or releases stop the
// load and show their text; a failed daily list only hides its card.
class HomePageModel : public QObject
{
    Q_OBJECT
    // True while the page is on screen; each new showing loads afresh.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    // Loading while the page loads, then Failed while a load's or the
    // wave's failure stands, else Loaded. The failure's text is there also
    // for a wave that fails during a load.
    Q_PROPERTY(int loadState READ loadStateValue NOTIFY loadStateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool isWaveLoading READ isWaveLoading NOTIFY isWaveLoadingChanged)
    Q_PROPERTY(QString favoritesSubtitle READ favoritesSubtitle NOTIFY statsChanged)
    Q_PROPERTY(QString collectionSubtitle READ collectionSubtitle NOTIFY statsChanged)
    Q_PROPERTY(QString clipsSubtitle READ clipsSubtitle NOTIFY statsChanged)
    Q_PROPERTY(QString battlesSubtitle READ battlesSubtitle NOTIFY statsChanged)
    Q_PROPERTY(bool hasDaily READ hasDaily NOTIFY dailyChanged)
    Q_PROPERTY(QString dailyDateText READ dailyDateText NOTIFY dailyChanged)
    Q_PROPERTY(QString dailyCountText READ dailyCountText NOTIFY dailyChanged)
    Q_PROPERTY(QStringList dailyCoverUrls READ dailyCoverUrls NOTIFY dailyChanged)
    Q_PROPERTY(nimbra::HomeReleaseModel *releases READ releases CONSTANT)

public:
    static constexpr int releaseLimit = 18;
    static constexpr int dailySize = 30;
    static constexpr int dailyCoverSlots = 4;

    using Token = std::optional<QString>;
    // Where the page's data comes from: the service's compositions, or a
    // test's stand-ins.
    struct Sources
    {
        std::function<QCoro::Task<LibraryStats>(Token, CancelToken)> stats;
        std::function<QCoro::Task<QList<HomeReleaseItem>>(Token, CancelToken)> releases;
        std::function<QCoro::Task<QList<TrackOut>>(Token, CancelToken)> daily;
        std::function<QCoro::Task<QList<TrackOut>>(Token, CancelToken)> wave;

        static Sources fromApi(const NimbraApi &api);
    };
    // Whom the page plays through, the session it asks the service in, and
    // today's date.
    struct Stores
    {
        QPointer<PlayerStore> player;
        QPointer<Session> session;
        std::function<QDate()> today;

        // The application's player and session.
        static Stores shared();
    };

    // The application's stores and the service (what QML creates).
    explicit HomePageModel(QObject *parent = nullptr);
    HomePageModel(Sources sources, Stores stores, QObject *parent = nullptr);
    ~HomePageModel() override;

    bool isShown() const { return m_showing.isShown(); }
    void setShown(bool shown);
    LoadState loadState() const;
    int loadStateValue() const { return loadState().state; }
    bool isLoading() const { return m_isLoading; }
    bool isWaveLoading() const { return m_isWaveLoading; }
    QString errorText() const { return m_errorText; }
    const LibraryStats &stats() const { return m_stats; }
    const QList<TrackOut> &dailyTracks() const { return m_dailyTracks; }
    HomeReleaseModel *releases() const { return m_releases; }

    QString favoritesSubtitle() const;
    QString collectionSubtitle() const { return collectionSubtitle(m_stats.albumsCount, m_stats.tracksCount); }
    QString clipsSubtitle() const { return clipsSubtitle(m_stats.clipsCount); }
    QString battlesSubtitle() const { return battlesSubtitle(m_stats.battlesCount); }
    bool hasDaily() const { return !m_dailyTracks.isEmpty(); }
    // Today as "6 декабря", at the moment it is read.
    QString dailyDateText() const;
    QString dailyCountText() const;
    // Up to four absolute cover addresses of the first four daily tracks;
    // tracks without a usable cover are skipped, not left as gaps.
    QStringList dailyCoverUrls() const { return coverUrls(m_dailyTracks); }

    // Loads counts, releases and the daily list; a load already running is
    // replaced.
    Q_INVOKABLE void load();
    // Plays a fresh wave; nothing while one is being fetched. Leaving the
    // page does not stop it; the end of the session does.
    Q_INVOKABLE void startMyWave();
    // A track release plays within the queue of the track releases; an
    // album release asks for its page (albumRequested).
    Q_INVOKABLE void playRelease(int row);
    // Runs again what put up the error line: the load or the wave.
    Q_INVOKABLE void retry();
    // Fills a smart playlist with the daily list this page holds, as it is
    // and without a request of its own.
    Q_INVOKABLE void showDailyIn(nimbra::SmartPlaylistModel *list) const;

    static QString favoritesSubtitle(qint64 count, bool signedIn);
    static QString collectionSubtitle(qint64 albums, qint64 tracks);
    static QString clipsSubtitle(qint64 count);
    static QString battlesSubtitle(qint64 count);
    static QStringList coverUrls(const QList<TrackOut> &tracks);

signals:
    void shownChanged();
    void loadStateChanged();
    void errorTextChanged();
    void isWaveLoadingChanged();
    void statsChanged();
    void dailyChanged();
    void albumRequested(const QString &albumId);

private:
    QCoro::Task<void> runLoad(CancelToken cancel);
    QCoro::Task<void> runWave(Token token, CancelToken session);
    Token currentToken() const;
    void setLoading(bool loading);
    void setWaveLoading(bool loading);
    enum class Failed { Nothing, Load, Wave };
    void setErrorText(const QString &text, Failed what = Failed::Nothing);
    void setStats(const LibraryStats &stats);
    void setDailyTracks(QList<TrackOut> tracks);

    Sources m_sources;
    Stores m_stores;
    HomeReleaseModel *m_releases;
    TaskSlot m_loadSlot;
    LibraryStats m_stats;
    QList<TrackOut> m_dailyTracks;
    QString m_errorText;
    Failed m_failed = Failed::Nothing;
    ScreenShowing m_showing;
    // The first frame already shows the loading state.
    bool m_isLoading = true;
    bool m_isWaveLoading = false;
};

} // namespace nimbra
