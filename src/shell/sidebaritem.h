#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <span>

namespace nimbra {

// The ten sections of the main window, in the sidebar's order from top to
// bottom. QML names them SidebarItem.Home ... SidebarItem.Settings.
namespace SidebarItems {
Q_NAMESPACE

enum class Item { Home, Catalog, Search, Favorites, Playlists, Albums, Clips, Battles, Profile, Settings };
Q_ENUM_NS(Item)

} // namespace SidebarItems

using SidebarItem = SidebarItems::Item;

// What the sidebar shows of a section and how its screen is hosted.
struct SidebarEntry
{
    SidebarItem item;
    QStringView title; // the visible title, which also names the section
    QStringView icon; // symbol name (IconMap)
    bool navigationStack; // the screen sits at the root of a page stack
};

// All ten, in order.
std::span<const SidebarEntry> sidebarEntries();
const SidebarEntry &sidebarEntry(SidebarItem item);
QString sidebarTitle(SidebarItem item);
QString sidebarIcon(SidebarItem item);
// The section with exactly this title; absent for any other text.
std::optional<SidebarItem> sidebarItemFromTitle(QStringView title);

} // namespace nimbra
