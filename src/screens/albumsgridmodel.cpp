#include "albumsgridmodel.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/nimbraapi.h"
#include "screens/albumdirectory.h"

#include <QPointer>

namespace nimbra {

AlbumsGridModel::AlbumsGridModel(QObject *parent)
    : AlbumsGridModel([api = NimbraAPI()](CancelToken cancel) { return api.albums(std::move(cancel)); }, parent)
{
}

AlbumsGridModel::AlbumsGridModel(Loader loader, QObject *parent)
    : QAbstractListModel(parent), m_loader(std::move(loader))
{
}

AlbumsGridModel::~AlbumsGridModel() = default;

int AlbumsGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_albums.size());
}

QVariant AlbumsGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AlbumOut &album = m_albums.at(index.row());
    switch (role) {
    case AlbumIdRole:
        return album.id;
    case Qt::DisplayRole:
    case TitleRole:
        return album.title;
    case ArtistRole:
        return album.artist;
    case CoverUrlRole:
        return resolvedCoverUrl(album.coverURL);
    case YearRole:
        return yearText(album.year);
    default:
        return {};
    }
}

QHash<int, QByteArray> AlbumsGridModel::roleNames() const
{
    static const QHash<int, QByteArray> names {
        {AlbumIdRole, "albumId"},
        {TitleRole, "title"},
        {ArtistRole, "artist"},
        {CoverUrlRole, "coverUrl"},
        {YearRole, "year"},
    };
    return names;
}

LoadState AlbumsGridModel::loadState() const
{
    if (!m_errorText.isEmpty())
        return LoadState::failed(m_errorText);
    if (!m_albums.isEmpty())
        return LoadState::loaded(true);
    if (m_isLoading)
        return LoadState::loading();
    return m_hasLoaded ? LoadState::loaded(false) : LoadState::idle();
}

void AlbumsGridModel::reload()
{
    m_isLoading = true;
    m_errorText.clear();
    emit loadStateChanged();
    load(m_task.renew());
}

QCoro::Task<void> AlbumsGridModel::load(CancelToken cancel)
{
    QPointer<AlbumsGridModel> self(this);
    QCoro::Task<QList<AlbumOut>> request = m_loader(cancel);
    Outcome<QList<AlbumOut>> outcome = co_await runAtBoundary(std::move(request));
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (outcome) {
        AlbumDirectory::remember(*outcome);
        const qsizetype before = m_albums.size();
        beginResetModel();
        m_albums = std::move(*outcome.value);
        endResetModel();
        if (before != m_albums.size())
            emit countChanged();
    } else {
        m_errorText = outcome.errorText;
    }
    m_isLoading = false;
    m_hasLoaded = true;
    emit loadStateChanged();
}

QString AlbumsGridModel::yearText(const std::optional<qint64> &year)
{
    // Plain digits: no grouping, whatever the locale.
    return year ? QString::number(*year) : QString();
}

QString AlbumsGridModel::resolvedCoverUrl(const std::optional<QString> &path)
{
    const std::optional<QUrl> url = path ? APIConfig::resolve(*path) : std::nullopt;
    return url ? url->toString() : QString();
}

} // namespace nimbra
