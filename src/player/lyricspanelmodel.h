#pragma once

#include "api/canceltoken.h"
#include "player/parsedlyrics.h"

#include <QAbstractListModel>
#include <QPointer>

#include <QCoroTask>

namespace nimbra {

class PlayerStore;

// The lines of the synced-lyrics panel for the player's current lyrics,
// each with its state: sung, lit, still to come, or a blank spacer. Lyrics
// with time stamps follow the stamps; plain lyrics are spread evenly over
// the track and come with a note that says so. The text is parsed once per
// change of the lyrics; a position tick computes one index and touches only
// the rows whose state changed. While the panel is not shown (`active`
// false) ticks are not looked at. A text is read on a worker, since a long
// one would hold up the window; until it is read the rows of the text
// before stay, and a reading that a newer text overtook is dropped.
class LyricsPanelModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(bool isSynced READ isSynced NOTIFY lyricsChanged)
    Q_PROPERTY(bool showsNote READ showsNote NOTIFY lyricsChanged)
    Q_PROPERTY(QString noteText READ noteText CONSTANT)
    Q_PROPERTY(int activeIndex READ activeIndex NOTIFY activeIndexChanged)

public:
    enum class LineState { Past, Active, Upcoming, Empty };
    Q_ENUM(LineState)
    enum Role { TextRole = Qt::UserRole + 1, LineStateRole };

    // The point of the lit line (as a share of its height) that is kept at
    // the same share of the panel's height: a little above the middle.
    static constexpr double scrollAnchor = 0.42;

    explicit LyricsPanelModel(QObject *parent = nullptr);

    PlayerStore *player() const { return m_player; }
    bool isActive() const { return m_active; }
    void setActive(bool active);

    bool isSynced() const { return m_parsed.isLrc; }
    bool showsNote() const { return !m_parsed.isLrc && !m_parsed.lines.isEmpty(); }
    QString noteText() const;
    int activeIndex() const { return m_activeIndex; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    static LineState stateFor(int row, int active, const QString &text);

    // Moves playback to the line's time (its stamp, or its share of the
    // track for plain lyrics); false when no time can be known.
    Q_INVOKABLE bool seekToLine(int row);
    // Where the lit row's top stands in the panel so that its anchor point
    // meets the panel's.
    Q_INVOKABLE static double rowTopInView(double viewportHeight, double rowHeight);
    // Where the column's content stands (its contentY) when the row at rowY
    // in it, rowHeight high, is at the anchor: kept within the content,
    // which starts at originY, so that no empty space shows above or below.
    Q_INVOKABLE static double scrollTarget(
        double rowY, double rowHeight, double viewportHeight, double originY, double contentHeight);
    // Where the column stands at `progress` (0 to 1, evenly in time) of a
    // glide from `from` to `to`: slow at both ends, fastest half way.
    Q_INVOKABLE static double glidePosition(double from, double to, double progress);
    // The fade at the panel's edges for a row whose middle stands at
    // `position` of the panel's height (0 top, 1 bottom): fully shown
    // between 18 % and 72 %, fading to nothing towards both edges.
    Q_INVOKABLE static double edgeOpacity(double position);

signals:
    void activeChanged();
    void lyricsChanged();
    void activeIndexChanged();
    // The lit line moved within the same lyrics (playback went on, a seek,
    // a click on a line): the column glides to it.
    void litLineMoved();

private:
    void reloadLyrics();
    QCoro::Task<> readLyrics(QString text, CancelToken token);
    void showLyrics(ParsedLyrics parsed);
    void updateActiveIndex();

    QPointer<PlayerStore> m_player;
    bool m_active = true;
    ParsedLyrics m_parsed;
    TaskSlot m_reading;
    int m_activeIndex = 0;
};

} // namespace nimbra
