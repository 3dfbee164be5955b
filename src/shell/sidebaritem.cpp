#include "shell/sidebaritem.h"

#include <array>

namespace nimbra {

namespace {

constexpr std::array kEntries = {
    SidebarEntry {SidebarItem::Home, u"Главная", u"house.fill", true},
    SidebarEntry {SidebarItem::Catalog, u"Каталог", u"music.note.list", false},
    SidebarEntry {SidebarItem::Search, u"Поиск", u"magnifyingglass", true},
    SidebarEntry {SidebarItem::Favorites, u"Избранное", u"heart.fill", false},
    SidebarEntry {SidebarItem::Playlists, u"Плейлисты", u"text.badge.plus", true},
    SidebarEntry {SidebarItem::Albums, u"Альбомы", u"square.stack.fill", true},
    SidebarEntry {SidebarItem::Clips, u"Клипы", u"play.rectangle.fill", true},
    SidebarEntry {SidebarItem::Battles, u"Баттлы", u"bolt.fill", true},
    SidebarEntry {SidebarItem::Profile, u"Профиль", u"person.crop.circle.fill", true},
    SidebarEntry {SidebarItem::Settings, u"Настройки", u"gearshape.fill", true},
};

} // namespace

std::span<const SidebarEntry> sidebarEntries()
{
    return kEntries;
}

const SidebarEntry &sidebarEntry(SidebarItem item)
{
    // The table is in the enumeration's order.
    return kEntries.at(static_cast<size_t>(item));
}

QString sidebarTitle(SidebarItem item)
{
    return sidebarEntry(item).title.toString();
}

QString sidebarIcon(SidebarItem item)
{
    return sidebarEntry(item).icon.toString();
}

std::optional<SidebarItem> sidebarItemFromTitle(QStringView title)
{
    for (const SidebarEntry &entry : kEntries)
        if (entry.title == title)
            return entry.item;
    return std::nullopt;
}

} // namespace nimbra
