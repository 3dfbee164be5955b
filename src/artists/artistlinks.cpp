#include "artists/artistlinks.h"

#include "artists/artistcataloglogic.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "shell/windowlayer.h"

namespace nimbra {

ArtistLinks::ArtistLinks(PlayerStore *player, ClipPlayerStore *clips, OpenArtist openArtist, QObject *parent)
    : QObject(parent), m_player(player), m_clips(clips), m_openArtist(std::move(openArtist))
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
    if (m_openArtist)
        m_openArtist(name);
}

} // namespace nimbra
