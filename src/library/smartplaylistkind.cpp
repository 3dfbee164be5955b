#include "library/smartplaylistkind.h"

using namespace Qt::StringLiterals;

namespace nimbra {

std::optional<SmartPlaylistKind> SmartPlaylistInfo::kindFromRaw(const QString &raw)
{
    for (SmartPlaylistKind kind :
        {SmartPlaylistKind::Wave, SmartPlaylistKind::Favorites, SmartPlaylistKind::Offline, SmartPlaylistKind::Daily}) {
        if (of(kind).raw == raw)
            return kind;
    }
    return std::nullopt;
}

SmartPlaylistInfo SmartPlaylistInfo::of(SmartPlaylistKind kind)
{
    switch (kind) {
    case SmartPlaylistKind::Wave:
        return {u"wave"_s, u"✨"_s, u"Моя волна"_s, u"Умная подборка из библиотеки"_s,
            u"Не удалось загрузить подборку"_s};
    case SmartPlaylistKind::Favorites:
        return {u"favorites"_s, u"❤️"_s, u"Избранное"_s, u"Любимые треки"_s, u"Добавьте треки в избранное"_s};
    case SmartPlaylistKind::Offline:
        return {u"offline"_s, u"📥"_s, u"Офлайн"_s, u"Скачанные треки"_s,
            u"Скачайте треки для воспроизведения офлайн"_s};
    case SmartPlaylistKind::Daily:
        return {u"daily"_s, u"🗓️"_s, u"Плейлист дня"_s, u"Обновляется каждые сутки"_s,
            u"Не удалось загрузить плейлист дня"_s};
    }
    return {};
}

} // namespace nimbra
