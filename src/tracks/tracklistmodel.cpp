#include "tracks/tracklistmodel.h"

#include "api/apiconfig.h"
#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "format/durationtext.h"
#include "player/playerstore.h"
#include "tracks/rowtext.h"
#include "tracks/trackactions.h"

using namespace Qt::StringLiterals;

namespace nimbra {

TrackListModel::TrackListModel(QObject *parent) : TrackListModel(TrackStores::registered(), parent) { }

TrackListModel::TrackListModel(TrackStores stores, QObject *parent)
    : QAbstractListModel(parent), m_stores(std::move(stores))
{
    m_actions = new TrackActions(m_stores, this);
    connect(m_actions, &TrackActions::signInPromptChanged, this, &TrackListModel::signInPromptChanged);
    m_actions->setFailureHandler(m_failureHandler);
    // A record changed anywhere (the player, another list) is this list's too.
    if (m_stores.favorites)
        connect(m_stores.favorites, &FavoritesStore::trackChanged, this, &TrackListModel::replaceById);
    if (m_stores.ratings)
        connect(m_stores.ratings, &RatingsStore::trackChanged, this, &TrackListModel::replaceById);
    if (m_stores.player)
        connect(m_stores.player, &PlayerStore::currentTrackChanged, this, &TrackListModel::followCurrentTrack);
    followCurrentTrack();
}

TrackListModel::~TrackListModel() = default;

int TrackListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_tracks.size());
}

QVariant TrackListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    // Each role reads its own field: a row is made whole for an action only.
    const qsizetype row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return rowText(m_tracks.text(row, TrackRows::Title));
    case TrackIdRole:
        return m_tracks.text(row, TrackRows::Id);
    case ArtistRole:
        return rowText(m_tracks.artist(row));
    case CoverUrlRole:
        return ApiConfig::resolvedText(
            m_tracks.hasText(row, TrackRows::Cover) ? std::optional(m_tracks.text(row, TrackRows::Cover)) : std::nullopt);
    case DurationSecondsRole:
        return double(m_tracks.durationSeconds(row));
    case DurationTextRole:
        return durationText(double(m_tracks.durationSeconds(row)));
    case IsFavoriteRole:
        return m_tracks.isFavorite(row);
    case UserRatingRole:
        // 1 liked, -1 disliked, 0 none.
        return m_tracks.userRating(row) == u"like"_s ? 1 : m_tracks.userRating(row) == u"dislike"_s ? -1 : 0;
    case IsDislikedRole:
        return m_tracks.userRating(row) == u"dislike"_s;
    case IsHiFiRole:
        return m_tracks.isHiFi(row);
    case IsCurrentRole:
        return !m_currentId.isNull() && m_tracks.hasId(row, m_currentId);
    case AlbumIdRole:
        return m_tracks.albumId(row).value_or(QString());
    case TrackNumberRole: {
        const std::optional<qint64> number = m_tracks.trackNumber(row);
        return number ? QVariant(*number) : QVariant();
    }
    default:
        return {};
    }
}

QHash<int, QByteArray> TrackListModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {TrackIdRole, "trackId"},
        {TitleRole, "title"},
        {ArtistRole, "artist"},
        {CoverUrlRole, "coverUrl"},
        {DurationSecondsRole, "durationSeconds"},
        {DurationTextRole, "durationText"},
        {IsFavoriteRole, "isFavorite"},
        {UserRatingRole, "userRating"},
        {IsDislikedRole, "isDisliked"},
        {IsHiFiRole, "isHiFi"},
        {IsCurrentRole, "isCurrent"},
        {AlbumIdRole, "albumId"},
        {TrackNumberRole, "trackNumber"},
    };
    return names;
}

TrackOut TrackListModel::trackAt(int row) const
{
    return row >= 0 && row < m_tracks.size() ? m_tracks.at(row) : TrackOut();
}

int TrackListModel::rowOf(const QString &id) const
{
    for (qsizetype row = 0; row < m_tracks.size(); ++row) {
        if (m_tracks.hasId(row, id))
            return int(row);
    }
    return -1;
}

void TrackListModel::setTracks(QList<TrackOut> tracks)
{
    const qsizetype before = m_tracks.size();
    beginResetModel();
    m_tracks.clear();
    m_tracks.append(tracks);
    endResetModel();
    if (before != m_tracks.size())
        emit countChanged();
}

void TrackListModel::append(const QList<TrackOut> &tracks)
{
    if (tracks.isEmpty())
        return;
    const int first = int(m_tracks.size());
    beginInsertRows({}, first, first + int(tracks.size()) - 1);
    m_tracks.append(tracks);
    endInsertRows();
    emit countChanged();
}

bool TrackListModel::replaceById(const TrackOut &track)
{
    bool replaced = false;
    for (qsizetype row = 0; row < m_tracks.size(); ++row) {
        if (!m_tracks.hasId(row, track.id) || m_tracks.at(row) == track)
            continue;
        m_tracks.replace(row, track);
        const QModelIndex changed = index(int(row));
        emit dataChanged(changed, changed);
        replaced = true;
    }
    return replaced;
}

void TrackListModel::removeById(const QString &id)
{
    bool removed = false;
    for (qsizetype row = m_tracks.size() - 1; row >= 0; --row) {
        if (!m_tracks.hasId(row, id))
            continue;
        beginRemoveRows({}, int(row), int(row));
        m_tracks.remove(row);
        endRemoveRows();
        removed = true;
    }
    if (removed)
        emit countChanged();
}

void TrackListModel::setLoadState(LoadState state)
{
    if (m_loadState == state)
        return;
    const bool textChanged = m_loadState.errorText != state.errorText;
    m_loadState = std::move(state);
    emit loadStateChanged();
    if (textChanged)
        emit errorTextChanged();
}

QString TrackListModel::signInPrompt() const
{
    return m_actions->signInPrompt();
}

QString TrackListModel::promptTitle() const
{
    return m_actions->promptTitle();
}

void TrackListModel::showActionFailuresInList()
{
    setActionFailureHandler([this](const QString &text) { setLoadState(LoadState::failed(text)); });
}

void TrackListModel::setActionFailureHandler(std::function<void(const QString &text)> handler)
{
    m_failureHandler = std::move(handler);
    m_actions->setFailureHandler(m_failureHandler);
}

void TrackListModel::setSignInPrompt(const QString &text)
{
    m_actions->setSignInPrompt(text);
}

void TrackListModel::pointerOnRow()
{
    if (m_stores.player)
        m_stores.player->pointerOnPlayControl();
}

void TrackListModel::play(int row)
{
    if (row < 0 || row >= m_tracks.size() || !m_stores.player)
        return;
    m_stores.player->play(m_tracks.at(row), m_tracks.all());
}

void TrackListModel::playAndOpen(int row)
{
    if (row < 0 || row >= m_tracks.size() || !m_stores.player)
        return;
    play(row);
    m_stores.player->setFullscreenPresented(true);
}

void TrackListModel::toggleFavorite(int row)
{
    if (row >= 0 && row < m_tracks.size())
        m_actions->toggleFavorite(m_tracks.at(row), QString::fromUtf8(TrackActions::listFavoritePrompt));
}

void TrackListModel::toggleDislike(int row)
{
    if (row >= 0 && row < m_tracks.size())
        m_actions->toggleDislike(m_tracks.at(row), QString::fromUtf8(TrackActions::dislikePrompt));
}

void TrackListModel::followCurrentTrack()
{
    const auto current = m_stores.player ? m_stores.player->currentTrack() : std::nullopt;
    markCurrent(current ? current->id : QString());
}

void TrackListModel::markCurrent(const QString &id)
{
    if (id == m_currentId)
        return;
    const QString before = std::exchange(m_currentId, id);
    // Only the rows that stop or start being the playing one change.
    for (qsizetype row = 0; row < m_tracks.size(); ++row) {
        if ((!before.isNull() && m_tracks.hasId(row, before)) || (!id.isNull() && m_tracks.hasId(row, id))) {
            const QModelIndex changed = index(int(row));
            emit dataChanged(changed, changed, {IsCurrentRole});
        }
    }
}

} // namespace nimbra
