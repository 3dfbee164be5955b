#include "artists/artistlinks.h"

#include "artists/artistcataloglogic.h"
#include "player/playerstore.h"
#include "shell/navigation.h"

namespace nimbra {

ArtistLinks::ArtistLinks(PlayerStore *player, std::function<Navigation *()> navigation, QObject *parent)
    : QObject(parent), m_player(player), m_navigation(std::move(navigation))
{
}

QStringList ArtistLinks::names(const QString &credit) const
{
    return ArtistCatalogLogic::splitArtists(credit);
}

void ArtistLinks::open(const QString &name)
{
    if (m_player && m_player->isFullscreenPresented())
        m_player->dismissFullscreen();
    if (Navigation *navigation = m_navigation ? m_navigation() : nullptr)
        navigation->openArtist(name);
}

} // namespace nimbra
