#include "shell/navigation.h"

#include "api/storeregistry.h"

namespace nimbra {

Navigation::Navigation(QObject *parent)
    : QObject(parent)
{
    // The stores registered when the screen is made.
    m_artistNavigation = StoreRegistry::get<ArtistNavigationStore>();
    if (m_artistNavigation)
        connect(m_artistNavigation, &ArtistNavigationStore::presentedArtistNameChanged, this,
            &Navigation::artistChanged);
    artistChanged();
}

void Navigation::setSectionAcceptsPages(bool accepts)
{
    if (m_sectionAcceptsPages == accepts)
        return;
    m_sectionAcceptsPages = accepts;
    emit sectionAcceptsPagesChanged();
}

bool Navigation::showsArtistPage() const
{
    return m_artistNavigation && !m_artistNavigation->presentedArtistName().isEmpty();
}

void Navigation::openAlbum(const QString &albumId)
{
    push(Page::Album, albumId);
}

void Navigation::openPlaylist(const QString &playlistId)
{
    push(Page::Playlist, playlistId);
}

void Navigation::openSmartPlaylist(const QString &kind)
{
    push(Page::SmartPlaylist, kind);
}

void Navigation::push(Page page, const QString &argument)
{
    const QString trimmed = argument.trimmed();
    if (trimmed.isEmpty())
        return;
    const Stack stack = showsArtistPage() ? Stack::Artist : Stack::Section;
    if (stack == Stack::Section && !m_sectionAcceptsPages)
        return;
    (stack == Stack::Artist ? m_artistDepth : m_sectionDepth) += 1;
    emit depthChanged();
    emit pushRequested(stack, page, trimmed);
}

void Navigation::back()
{
    if (showsArtistPage()) {
        if (m_artistDepth == 0) {
            m_artistNavigation->close();
            return;
        }
        --m_artistDepth;
        emit depthChanged();
        emit popRequested(Stack::Artist);
        return;
    }
    if (m_sectionDepth == 0)
        return;
    --m_sectionDepth;
    emit depthChanged();
    emit popRequested(Stack::Section);
}

void Navigation::resetSection()
{
    if (m_sectionDepth == 0)
        return;
    m_sectionDepth = 0;
    emit depthChanged();
}

// Another artist (or none) means a new artist page with nothing pushed on it.
void Navigation::artistChanged()
{
    const QString name = m_artistNavigation ? m_artistNavigation->presentedArtistName() : QString();
    if (name == m_artistName)
        return;
    m_artistName = name;
    m_artistDepth = 0;
    emit depthChanged();
}

} // namespace nimbra
