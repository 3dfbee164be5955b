#include "platform/iconmap.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace nimbra {

namespace {

using namespace Qt::StringLiterals;

// Sorted by symbol name. Where the font has no exact counterpart the row picks
// the glyph that says the same thing (a broken heart for "heart.slash", a disc
// for the albums' stack) rather than a look-alike that means something else.
constexpr std::array kEntries = {
    IconMap::Entry {u"arrow.clockwise", u"refresh", 0xe5d5},
    IconMap::Entry {u"arrow.down.circle", u"arrow_circle_down", 0xf181},
    IconMap::Entry {u"arrow.down.circle.fill", u"download_for_offline", 0xf000},
    IconMap::Entry {u"arrow.down.right.and.arrow.up.left", u"close_fullscreen", 0xf1cf},
    IconMap::Entry {u"arrow.down.to.line", u"download", 0xf090},
    IconMap::Entry {u"arrow.up.left.and.arrow.down.right", u"open_in_full", 0xf1ce},
    IconMap::Entry {u"backward.fill", u"fast_rewind", 0xe020},
    IconMap::Entry {u"bolt.fill", u"bolt", 0xea0b},
    IconMap::Entry {u"checkmark", u"check", 0xe5ca},
    IconMap::Entry {u"checkmark.icloud.fill", u"cloud_done", 0xe2bf},
    IconMap::Entry {u"chevron.down", u"expand_more", 0xe5cf},
    IconMap::Entry {u"chevron.left", u"chevron_left", 0xe5cb},
    IconMap::Entry {u"chevron.up", u"expand_less", 0xe5ce},
    IconMap::Entry {u"crown.fill", u"workspace_premium", 0xe7af},
    IconMap::Entry {u"doc.text", u"description", 0xe873},
    IconMap::Entry {u"exclamationmark.triangle", u"warning_amber", 0xf083},
    IconMap::Entry {u"exclamationmark.triangle.fill", u"warning", 0xe002},
    IconMap::Entry {u"forward.fill", u"fast_forward", 0xe01f},
    IconMap::Entry {u"gearshape.fill", u"settings", 0xe8b8},
    IconMap::Entry {u"hand.thumbsdown", u"thumb_down_off_alt", 0xe9f2},
    IconMap::Entry {u"hand.thumbsdown.fill", u"thumb_down", 0xe8db},
    IconMap::Entry {u"heart", u"favorite_border", 0xe87e},
    IconMap::Entry {u"heart.fill", u"favorite", 0xe87d},
    IconMap::Entry {u"heart.slash", u"heart_broken", 0xeac2},
    IconMap::Entry {u"house.fill", u"home", 0xe88a},
    IconMap::Entry {u"magnifyingglass", u"search", 0xe8b6},
    IconMap::Entry {u"moon", u"bedtime", 0xef44},
    IconMap::Entry {u"moon.fill", u"dark_mode", 0xe51c},
    IconMap::Entry {u"moon.stars.fill", u"nights_stay", 0xea46},
    IconMap::Entry {u"music.note", u"music_note", 0xe405},
    IconMap::Entry {u"music.note.house.fill", u"library_music", 0xe030},
    IconMap::Entry {u"music.note.list", u"queue_music", 0xe03d},
    IconMap::Entry {u"pause.fill", u"pause", 0xe034},
    IconMap::Entry {u"person.crop.circle", u"account_circle", 0xe853},
    IconMap::Entry {u"person.crop.circle.fill", u"account_circle", 0xe853},
    IconMap::Entry {u"play.circle.fill", u"play_circle_filled", 0xe038},
    IconMap::Entry {u"play.fill", u"play_arrow", 0xe037},
    IconMap::Entry {u"play.rectangle", u"slideshow", 0xe41b},
    IconMap::Entry {u"play.rectangle.fill", u"smart_display", 0xf06a},
    IconMap::Entry {u"plus", u"add", 0xe145},
    IconMap::Entry {u"qrcode", u"qr_code", 0xef6b},
    IconMap::Entry {u"qrcode.viewfinder", u"qr_code_scanner", 0xf206},
    IconMap::Entry {u"repeat", u"repeat", 0xe040},
    IconMap::Entry {u"repeat.1", u"repeat_one", 0xe041},
    IconMap::Entry {u"shuffle", u"shuffle", 0xe043},
    IconMap::Entry {u"square.and.arrow.up", u"ios_share", 0xe6b8},
    IconMap::Entry {u"square.stack.fill", u"album", 0xe019},
    IconMap::Entry {u"text.badge.plus", u"playlist_add", 0xe03b},
    IconMap::Entry {u"water.waves", u"waves", 0xe176},
    IconMap::Entry {u"waveform", u"graphic_eq", 0xe1b8},
    IconMap::Entry {u"xmark", u"close", 0xe5cd},
};

const IconMap::Entry *find(QStringView symbol)
{
    const auto it = std::lower_bound(kEntries.begin(), kEntries.end(), symbol,
        [](const IconMap::Entry &entry, QStringView name) { return entry.symbol < name; });
    if (it == kEntries.end() || it->symbol != symbol)
        return nullptr;
    return &*it;
}

} // namespace

QString IconMap::glyph(const QString &symbol)
{
    const Entry *entry = find(symbol);
    return entry ? QString(QChar(entry->codePoint)) : QString();
}

QString IconMap::ligature(QStringView symbol)
{
    const Entry *entry = find(symbol);
    return entry ? entry->ligature.toString() : QString();
}

std::span<const IconMap::Entry> IconMap::entries()
{
    return kEntries;
}

QString IconMap::fontPath()
{
    return u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"_s;
}

QUrl IconMap::fontUrl()
{
    const QString path = fontPath();
    return QFileInfo::exists(path) ? QUrl::fromLocalFile(path) : QUrl();
}

} // namespace nimbra
