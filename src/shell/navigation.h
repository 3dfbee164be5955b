#pragma once

#include "artists/artistnavigationstore.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

// The one way screens open each other's pages. Album, playlist and smart
// playlist pages are pushed onto the stack of what is shown: the artist
// page's own stack while an artist page covers the section, else the stack
// of the section on screen. The artist page itself is the layer the main
// window lays over the section, opened by following an artist's name
// (ArtistLinks), which names the artist in the store.
// The window's stacks carry out the pushes and pops this object asks for
// and start afresh (depth 0) whenever their section or artist is made anew.
class Navigation : public QObject
{
    Q_OBJECT
    // Whether the section shown keeps a stack; the others take no pages.
    Q_PROPERTY(bool sectionAcceptsPages READ sectionAcceptsPages WRITE setSectionAcceptsPages NOTIFY
            sectionAcceptsPagesChanged)
    Q_PROPERTY(int sectionDepth READ sectionDepth NOTIFY depthChanged)
    Q_PROPERTY(int artistDepth READ artistDepth NOTIFY depthChanged)
    Q_PROPERTY(bool canGoBack READ canGoBack NOTIFY depthChanged)

public:
    enum class Page { Album, Playlist, SmartPlaylist };
    Q_ENUM(Page)
    // Which stack a push or pop is for.
    enum class Stack { Section, Artist };
    Q_ENUM(Stack)

    explicit Navigation(QObject *parent = nullptr);

    ArtistNavigationStore *artistNavigation() const { return m_artistNavigation; }

    bool sectionAcceptsPages() const { return m_sectionAcceptsPages; }
    void setSectionAcceptsPages(bool accepts);

    // Pages pushed above the root of each stack.
    int sectionDepth() const { return m_sectionDepth; }
    int artistDepth() const { return m_artistDepth; }
    bool canGoBack() const { return showsArtistPage() || m_sectionDepth > 0; }

    // A blank id or kind opens nothing, nor does a page for a section
    // without a stack.
    Q_INVOKABLE void openAlbum(const QString &albumId);
    Q_INVOKABLE void openPlaylist(const QString &playlistId);
    Q_INVOKABLE void openSmartPlaylist(const QString &kind);
    // Pops the page on top of the stack shown; on an artist page's root it
    // closes the artist page; on a section's root it does nothing.
    Q_INVOKABLE void back();
    // Said by the section's stack when it is made afresh (another section
    // was chosen, or the same one again).
    Q_INVOKABLE void resetSection();

signals:
    void sectionAcceptsPagesChanged();
    void depthChanged();
    void pushRequested(nimbra::Navigation::Stack stack, nimbra::Navigation::Page page, const QString &argument);
    void popRequested(nimbra::Navigation::Stack stack);

private:
    bool showsArtistPage() const;
    void push(Page page, const QString &argument);
    void artistChanged();

    QPointer<ArtistNavigationStore> m_artistNavigation;
    QString m_artistName;
    bool m_sectionAcceptsPages = true;
    int m_sectionDepth = 0;
    int m_artistDepth = 0;
};

} // namespace nimbra
