#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace nimbra {

class ArtistNavigationStore;
class ClipPlayerStore;
class PlayerStore;

// Every artist name on screen is a link to the artist's page. A credit text
// ("A feat. B", "A & B") is cut into its names by the artist rules, each
// name its own link. Following one first closes what would lie over the
// page: an open sheet, the fullscreen player, and the clip player, which
// covers the whole window (their names are links too, and a page opened
// behind them could be neither seen nor used).
class ArtistLinks : public QObject
{
    Q_OBJECT

public:
    // The stores registered when the links are made.
    explicit ArtistLinks(QObject *parent = nullptr);

    // The names of a credit, in credit order, trimmed; never empty (a blank
    // credit is the one name "Неизвестно").
    Q_INVOKABLE QStringList names(const QString &credit) const;
    // Opens the page of name exactly as shown.
    Q_INVOKABLE void open(const QString &name);

private:
    QPointer<PlayerStore> m_player;
    QPointer<ClipPlayerStore> m_clips;
    QPointer<ArtistNavigationStore> m_artistNavigation;
};

} // namespace nimbra
