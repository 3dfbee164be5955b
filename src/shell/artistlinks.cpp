#include "shell/artistlinks.h"

#include "api/storeregistry.h"
#include "artists/artistcataloglogic.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "shell/windowlayer.h"

namespace nimbra {

ArtistLinks::ArtistLinks(QObject *parent)
    : QObject(parent),
      m_player(StoreRegistry::get<PlayerStore>()),
      m_clips(StoreRegistry::get<ClipPlayerStore>()),
      m_artistNavigation(StoreRegistry::get<ArtistNavigationStore>())
{
}

QStringList ArtistLinks::names(const QString &credit) const
{
    return ArtistCatalogLogic::splitArtists(credit);
}

void ArtistLinks::open(const QString &name)
{
    WindowLayer::closeAll(WindowLayer::Kind::Sheet);
    if (m_player && m_player->isFullscreenPresented())
        m_player->dismissFullscreen();
    if (m_clips && m_clips->isPresented())
        m_clips->dismiss();
    // The artist page is the layer over the section; Navigation follows
    // the store and sends later pages to the page's own stack.
    if (m_artistNavigation)
        m_artistNavigation->open(name);
}

} // namespace nimbra
