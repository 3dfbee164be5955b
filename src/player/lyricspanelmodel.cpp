#include "player/lyricspanelmodel.h"

#include "api/storeregistry.h"
#include "format/durationtext.h"
#include "player/playerstore.h"
#include "player/texttrim.h"

#include <QEasingCurve>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include <QCoroFuture>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace nimbra {

LyricsPanelModel::LyricsPanelModel(QObject *parent) : QAbstractListModel(parent)
{
    // The stores registered when the screen is made.
    m_player = StoreRegistry::get<PlayerStore>();
    if (m_player) {
        connect(m_player, &PlayerStore::currentLyricsChanged, this, &LyricsPanelModel::reloadLyrics);
        connect(m_player, &PlayerStore::elapsedChanged, this, &LyricsPanelModel::updateActiveIndex);
        connect(m_player, &PlayerStore::durationChanged, this, &LyricsPanelModel::updateActiveIndex);
    }
    reloadLyrics();
}

void LyricsPanelModel::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    updateActiveIndex();
    emit activeChanged();
}

QString LyricsPanelModel::noteText() const
{
    return u"Текст без таймстампов — приблизительная синхронизация"_s;
}

int LyricsPanelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_parsed.lines.size());
}

QVariant LyricsPanelModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LyricsLine &line = m_parsed.lines.at(index.row());
    switch (role) {
    case TextRole:
        return line.text;
    case LineStateRole:
        return QVariant::fromValue(stateFor(index.row(), m_activeIndex, line.text));
    default:
        return {};
    }
}

QHash<int, QByteArray> LyricsPanelModel::roleNames() const
{
    return {{TextRole, "text"}, {LineStateRole, "lineState"}};
}

LyricsPanelModel::LineState LyricsPanelModel::stateFor(int row, int active, const QString &text)
{
    if (isBlank(text))
        return LineState::Empty;
    if (row < active)
        return LineState::Past;
    return row == active ? LineState::Active : LineState::Upcoming;
}

bool LyricsPanelModel::seekToLine(int row)
{
    if (!m_player)
        return false;
    const auto time = m_parsed.seekTime(row, sanitizedSeconds(m_player->duration()));
    if (!time)
        return false;
    m_player->seek(*time);
    return true;
}

double LyricsPanelModel::rowTopInView(double viewportHeight, double rowHeight)
{
    const double top = (viewportHeight - rowHeight) * scrollAnchor;
    return std::isfinite(top) ? top : 0.0;
}

double LyricsPanelModel::scrollTarget(
    double rowY, double rowHeight, double viewportHeight, double originY, double contentHeight)
{
    const double target = rowY - rowTopInView(viewportHeight, rowHeight);
    const double lowest = std::max(originY, originY + contentHeight - viewportHeight);
    if (!std::isfinite(target) || !std::isfinite(originY) || !std::isfinite(lowest))
        return std::isfinite(originY) ? originY : 0.0;
    return std::clamp(target, originY, lowest);
}

double LyricsPanelModel::glidePosition(double from, double to, double progress)
{
    static const QEasingCurve easeInOut(QEasingCurve::InOutQuad);
    return from + (to - from) * easeInOut.valueForProgress(std::clamp(progress, 0.0, 1.0));
}

double LyricsPanelModel::edgeOpacity(double position)
{
    constexpr double fadeInEnd = 0.18;
    constexpr double fadeOutStart = 0.72;
    if (!(position > 0) || !(position < 1))
        return 0;
    if (position < fadeInEnd)
        return position / fadeInEnd;
    if (position > fadeOutStart)
        return (1 - position) / (1 - fadeOutStart);
    return 1;
}

void LyricsPanelModel::reloadLyrics()
{
    const CancelToken token = m_reading.renew();
    const auto lyrics = m_player ? m_player->currentLyrics() : std::nullopt;
    if (!lyrics) {
        showLyrics(ParsedLyrics());
        return;
    }
    readLyrics(*lyrics, token);
}

QCoro::Task<> LyricsPanelModel::readLyrics(QString text, CancelToken token)
{
    QPointer<LyricsPanelModel> self(this);
    QFuture<ParsedLyrics> reading = QtConcurrent::run(&ParsedLyrics::parse, text);
    ParsedLyrics parsed = co_await reading;
    if (!self || !m_reading.isCurrent(token))
        co_return;
    showLyrics(std::move(parsed));
}

void LyricsPanelModel::showLyrics(ParsedLyrics parsed)
{
    beginResetModel();
    m_parsed = std::move(parsed);
    m_activeIndex = m_parsed.activeIndex(
        m_player ? sanitizedSeconds(m_player->elapsed()) : 0.0, m_player ? sanitizedSeconds(m_player->duration()) : 0.0);
    endResetModel();
    emit lyricsChanged();
    emit activeIndexChanged();
}

void LyricsPanelModel::updateActiveIndex()
{
    if (!m_active || !m_player || m_parsed.lines.isEmpty())
        return;
    const int index = m_parsed.activeIndex(sanitizedSeconds(m_player->elapsed()), sanitizedSeconds(m_player->duration()));
    if (index == m_activeIndex)
        return;
    const int first = std::min(index, m_activeIndex);
    const int last = std::max(index, m_activeIndex);
    m_activeIndex = index;
    emit dataChanged(this->index(first), this->index(last), {LineStateRole});
    emit activeIndexChanged();
    emit litLineMoved();
}

} // namespace nimbra
