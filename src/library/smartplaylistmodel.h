#pragma once

#include "api/canceltoken.h"
#include "api/nimbraapi.h"
#include "api/randomshuffle.h"
#include "library/smartplaylistkind.h"
#include "tracks/tracklistmodel.h"

#include <QSet>

#include <QCoro/QCoroTask>

#include <functional>
#include <optional>

namespace nimbra {

// The tracks of one smart playlist: the wave and the daily list from the
// service's compositions, the favourites (only with a token), the offline
// list from the saved audio files in catalogue order. A failed request of
// the wave or the daily list gives the empty list with the kind's text; the
// favourites and the offline list show the failure with a retry. A list handed
// in (the home page's daily list) is shown as it is, without a request.
class SmartPlaylistModel : public nimbra::TrackListModel
{
    Q_OBJECT
    // "wave", "favorites", "offline" or "daily"; setting it loads.
    Q_PROPERTY(QString kind READ kind WRITE setKind NOTIFY kindChanged)
    // "✨ Моя волна"
    Q_PROPERTY(QString title READ title NOTIFY kindChanged)
    // The title's two parts, "✨" and "Моя волна": a page title draws the
    // emoji in the colour font, which the text fonts would otherwise shadow.
    Q_PROPERTY(QString emoji READ emoji NOTIFY kindChanged)
    Q_PROPERTY(QString heading READ heading NOTIFY kindChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY kindChanged)

public:
    // The ids of the saved audio files.
    using OfflineIds = std::function<QSet<QString>()>;

    explicit SmartPlaylistModel(QObject *parent = nullptr);
    // `random` orders "Перемешать".
    SmartPlaylistModel(TrackStores stores, OfflineIds offlineIds, NimbraApi api,
        RandomBits random = systemRandomBits(), QObject *parent = nullptr);
    ~SmartPlaylistModel() override;

    QString kind() const;
    void setKind(const QString &raw);
    QString title() const;
    QString emoji() const;
    QString heading() const;
    QString emptyText() const;

    // The list a caller already has; shown by every load instead of a request.
    void setPreloadedTracks(QList<TrackOut> tracks);

    void reload() override;
    // The whole list from its first track.
    Q_INVOKABLE void playAll();
    // A shuffled copy from its first track; the list keeps its order.
    Q_INVOKABLE void shuffleAll();

signals:
    void kindChanged();

private:
    QCoro::Task<void> load(SmartPlaylistKind kind, std::optional<QString> token, CancelToken cancel);
    QCoro::Task<QList<TrackOut>> fetch(SmartPlaylistKind kind, std::optional<QString> token, CancelToken cancel);
    void playList(const QList<TrackOut> &queue);

    OfflineIds m_offlineIds;
    NimbraApi m_api;
    RandomBits m_random;
    std::optional<SmartPlaylistKind> m_kind;
    QList<TrackOut> m_preloaded;
    TaskSlot m_task;
};

} // namespace nimbra
