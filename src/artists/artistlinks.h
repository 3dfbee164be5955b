#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace nimbra {

class Navigation;
class PlayerStore;

// Every artist name on screen is a link to the artist's page. A credit text
// ("A feat. B", "A & B") is cut into its names by the artist rules, each
// name its own link; following one closes the fullscreen player first, so
// the page is not opened behind it.
class ArtistLinks : public QObject
{
    Q_OBJECT

public:
    // navigation: asked for the window's navigation when a name is followed,
    // so that nothing is looked up for lines that are only shown.
    ArtistLinks(PlayerStore *player, std::function<Navigation *()> navigation, QObject *parent = nullptr);

    // The names of a credit, in credit order, trimmed; never empty (a blank
    // credit is the one name "Неизвестно").
    Q_INVOKABLE QStringList names(const QString &credit) const;
    // Opens the page of name exactly as shown.
    Q_INVOKABLE void open(const QString &name);

private:
    QPointer<PlayerStore> m_player;
    std::function<Navigation *()> m_navigation;
};

} // namespace nimbra
