#include "library/playlistrowsmodel.h"

#include "collection/playlistsstore.h"
#include "api/session.h"

namespace nimbra {

PlaylistRowsModel::PlaylistRowsModel(PlaylistsStore *store, Session *session, QObject *parent)
    : QAbstractListModel(parent), m_store(store), m_session(session)
{
    if (m_store) {
        m_rows = m_store->playlists();
        connect(m_store, &PlaylistsStore::playlistsChanged, this, &PlaylistRowsModel::syncRows);
        connect(m_store, &PlaylistsStore::isLoadingChanged, this, &PlaylistRowsModel::isLoadingChanged);
    }
    if (m_session)
        connect(m_session, &Session::changed, this, &PlaylistRowsModel::needsSignInChanged);
}

PlaylistRowsModel::~PlaylistRowsModel() = default;

int PlaylistRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant PlaylistRowsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const PlaylistOut &playlist = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return playlist.title;
    case PlaylistIdRole:
        return playlist.id;
    case TrackCountRole:
        return playlist.trackCount;
    case CountTextRole:
        return countText(playlist.trackCount);
    case IsAddingRole:
        return isAdding(playlist.id);
    case IsAddedRole:
        return isAdded(playlist.id);
    default:
        return {};
    }
}

QHash<int, QByteArray> PlaylistRowsModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {PlaylistIdRole, "playlistId"},
        {TitleRole, "title"},
        {TrackCountRole, "trackCount"},
        {CountTextRole, "countText"},
        {IsAddingRole, "isAdding"},
        {IsAddedRole, "isAdded"},
    };
    return names;
}

PlaylistOut PlaylistRowsModel::playlistAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : PlaylistOut();
}

bool PlaylistRowsModel::isLoading() const
{
    return m_store && m_store->isLoading();
}

bool PlaylistRowsModel::needsSignIn() const
{
    return !m_session || !m_session->hasAccount();
}

QString PlaylistRowsModel::trimmedTitle(const QString &title)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = title.size();
    while (begin < end && blank(title.at(begin)))
        ++begin;
    while (end > begin && blank(title.at(end - 1)))
        --end;
    return title.mid(begin, end - begin);
}

void PlaylistRowsModel::create(const QString &title)
{
    const QString trimmed = trimmedTitle(title);
    if (trimmed.isEmpty() || m_creating || !m_session || !m_session->token() || !m_store)
        return;
    createTask(trimmed);
}

void PlaylistRowsModel::clearCreateError()
{
    setCreateState(m_creating, QString());
}

QCoro::Task<void> PlaylistRowsModel::createTask(QString title)
{
    QPointer<PlaylistRowsModel> self(this);
    QPointer<PlaylistsStore> store = m_store;
    setCreateState(true, QString());
    std::optional<PlaylistOut> created;
    if (m_unfinished && m_unfinished->title == title)
        created = m_unfinished->playlist;
    else
        created = co_await createOnce(title);
    if (!self)
        co_return;
    bool succeeded = created.has_value();
    if (created) {
        succeeded = co_await afterCreate(*created);
        if (!self)
            co_return;
        if (succeeded)
            m_unfinished.reset();
        else
            m_unfinished = UnfinishedCreate {title, *created};
    }
    if (succeeded)
        ++m_createdCount;
    setCreateState(false, succeeded || !store ? QString() : store->errorText());
    emit createFinished(succeeded);
}

QCoro::Task<std::optional<PlaylistOut>> PlaylistRowsModel::createOnce(QString title)
{
    QPointer<PlaylistRowsModel> self(this);
    QPointer<PlaylistsStore> store = m_store;
    if (m_unanswered && m_unanswered->title == title) {
        // The service may have made it and the answer got lost on the way.
        const QSet<QString> earlier = m_unanswered->earlierIds;
        co_await store->loadAsync();
        // Without a fresh list it cannot be told; nothing more is sent.
        if (!self || !store || store->error())
            co_return std::nullopt;
        for (const PlaylistOut &playlist : store->playlists()) {
            if (trimmedTitle(playlist.title) == title && !earlier.contains(playlist.id)) {
                m_unanswered.reset();
                co_return playlist;
            }
        }
    } else {
        m_unanswered = UnansweredCreate {title, idsTitled(title)};
    }
    std::optional<PlaylistOut> created = co_await store->createAsync(title);
    if (self && created)
        m_unanswered.reset();
    co_return created;
}

QSet<QString> PlaylistRowsModel::idsTitled(const QString &title) const
{
    QSet<QString> ids;
    if (m_store) {
        for (const PlaylistOut &playlist : m_store->playlists()) {
            if (trimmedTitle(playlist.title) == title)
                ids.insert(playlist.id);
        }
    }
    return ids;
}

QCoro::Task<bool> PlaylistRowsModel::afterCreate(PlaylistOut)
{
    co_return true;
}

void PlaylistRowsModel::followUpDone(const QString &playlistId)
{
    if (m_unfinished && m_unfinished->playlist.id == playlistId)
        m_unfinished.reset();
}

void PlaylistRowsModel::rowChanged(const QString &id)
{
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).id == id) {
            const QModelIndex changed = index(int(row));
            emit dataChanged(changed, changed);
        }
    }
}

void PlaylistRowsModel::syncRows()
{
    const QList<PlaylistOut> &next = m_store->playlists();
    bool sameIds = next.size() == m_rows.size();
    for (qsizetype row = 0; sameIds && row < next.size(); ++row)
        sameIds = next.at(row).id == m_rows.at(row).id;
    if (sameIds) {
        for (qsizetype row = 0; row < next.size(); ++row) {
            if (next.at(row) == m_rows.at(row))
                continue;
            m_rows[row] = next.at(row);
            const QModelIndex changed = index(int(row));
            emit dataChanged(changed, changed);
        }
        return;
    }
    const qsizetype before = m_rows.size();
    beginResetModel();
    m_rows = next;
    endResetModel();
    if (before != m_rows.size())
        emit countChanged();
}

void PlaylistRowsModel::setCreateState(bool creating, const QString &error)
{
    if (creating == m_creating && error == m_createError)
        return;
    m_creating = creating;
    m_createError = error;
    emit createStateChanged();
}

} // namespace nimbra
