#include "clips/clipgridmodel.h"

#include "api/apiconfig.h"
#include "api/boundary.h"
#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"

using namespace Qt::StringLiterals;

namespace nimbra {

ClipGridModel::ClipGridModel(QObject *parent) : QAbstractListModel(parent)
{
    // The stores registered when the screen is made.
    m_session = StoreRegistry::get<Session>();
    m_player = StoreRegistry::get<PlayerStore>();
    m_clipPlayer = StoreRegistry::get<ClipPlayerStore>();
}

ClipGridModel::~ClipGridModel() = default;

int ClipGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_clips.size());
}

QVariant ClipGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ClipOut &clip = m_clips.at(index.row());
    switch (role) {
    case ClipIdRole:
        return clip.id;
    case TitleRole:
        return clip.title;
    case ArtistRole:
        return clip.artist;
    case CoverUrlRole:
        // No address lets the artwork show its placeholder.
        return ApiConfig::resolvedText(clip.coverUrl);
    default:
        return {};
    }
}

QHash<int, QByteArray> ClipGridModel::roleNames() const
{
    return {{ClipIdRole, "clipId"}, {TitleRole, "title"}, {ArtistRole, "artist"}, {CoverUrlRole, "coverUrl"}};
}

void ClipGridModel::setSource(Source source)
{
    if (m_source == source)
        return;
    m_source = source;
    emit sourceChanged();
}

QString ClipGridModel::title() const
{
    return m_source == Source::Clips ? u"Клипы"_s : u"Баттлы"_s;
}

QString ClipGridModel::emptyTitle() const
{
    return m_source == Source::Clips ? u"Нет клипов"_s : u"Нет баттлов"_s;
}

QString ClipGridModel::emptySymbol() const
{
    return m_source == Source::Clips ? u"play.rectangle"_s : u"bolt.fill"_s;
}

LoadState::State ClipGridModel::loadState() const
{
    if (m_loading && m_clips.isEmpty())
        return LoadState::Loading;
    if (!m_error.isEmpty())
        return LoadState::Failed;
    if (m_clips.isEmpty())
        return m_answered ? LoadState::Empty : LoadState::Idle;
    return LoadState::Loaded;
}

void ClipGridModel::load()
{
    loadAsync(m_load.renew());
}

void ClipGridModel::cancel()
{
    m_load.cancel();
    setState(false, m_error);
}

void ClipGridModel::play(int row)
{
    if (row < 0 || row >= m_clips.size() || !m_clipPlayer)
        return;
    // Audio and video never play together.
    if (m_player)
        m_player->pauseIfPlaying();
    m_clipPlayer->play(m_clips.at(row), m_clips);
}

QCoro::Task<> ClipGridModel::loadAsync(CancelToken token)
{
    QPointer<ClipGridModel> self(this);
    setState(true, {});
    // A guest's requests go without a token.
    const std::optional<QString> bearer = m_session ? m_session->token() : std::nullopt;
    const NimbraApi api = m_api;
    QCoro::Task<ClipPage> request = m_source == Source::Clips ? api.clips(1, pageSize, u"clip"_s, bearer, token)
                                                              : api.battles(1, pageSize, bearer, token);
    Outcome<ClipPage> outcome = co_await runAtBoundary(std::move(request));
    // A load that was replaced or cancelled writes nothing.
    if (!self || !m_load.isCurrent(token))
        co_return;
    m_load.finish(token);
    m_answered = true;
    if (outcome) {
        beginResetModel();
        m_clips = std::move(outcome->items);
        endResetModel();
    }
    setState(false, outcome.errorText);
}

void ClipGridModel::setState(bool loading, const QString &error)
{
    if (m_loading == loading && m_error == error)
        return;
    const bool textChanged = m_error != error;
    m_loading = loading;
    m_error = error;
    emit stateChanged();
    if (textChanged)
        emit errorTextChanged();
}

} // namespace nimbra
