#include "catalogtext.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace devservice::catalogtext {

namespace {

// Pairs such as "Сахар"/"Caxap" and "Мокко"/"Mokko" differ only in Cyrillic
// look-alike letters; "Dusk/Dawn", "Volt+Age", "Foxx", "Exit Plan",
// "Crafty Loop" and "Defeated Sun" hold a separator character or a
// featuring keyword inside a word and must stay one name each.
const QString kArtists[] = {
    u"Лёша Север"_s,
    u"Вика Ветер"_s,
    u"Сахар"_s,
    u"Caxap"_s,
    u"Мокко"_s,
    u"Mokko"_s,
    u"MOKKO"_s,
    u"Космос"_s,
    u"Kocmoc"_s,
    u"Полина Гроза"_s,
    u"Тёмный Лес"_s,
    u"Кира Норд"_s,
    u"Дом Культуры"_s,
    u"Максим Дождь"_s,
    u"Жёлтые Окна"_s,
    u"Nova Static"_s,
    u"Crafty Loop"_s,
    u"Defeated Sun"_s,
    u"Foxx"_s,
    u"Exit Plan"_s,
    u"Dusk/Dawn"_s,
    u"Volt+Age"_s,
    u"Neon Harbor"_s,
    u"Lumen"_s,
    u"Jade Orbit"_s,
    u"Kairo"_s,
    u"Mira Vale"_s,
    u"Sunset Avenue"_s,
    u"Arctic Fox"_s,
    u"Phoenix Rise"_s,
};

// Russian adjectives agree with the masculine nouns they are paired with.
const QString kRussianAdjectives[] = {
    u"Ночной"_s,
    u"Холодный"_s,
    u"Последний"_s,
    u"Белый"_s,
    u"Тихий"_s,
    u"Далёкий"_s,
};
const QString kEnglishAdjectives[] = {
    u"Golden"_s,
    u"Electric"_s,
    u"Silent"_s,
    u"Broken"_s,
    u"Endless"_s,
    u"Neon"_s,
};

const QString kKnownRussianNouns[] = {u"город"_s, u"ветер"_s, u"берег"_s, u"свет"_s, u"сон"_s, u"поезд"_s};
const QString kKnownEnglishNouns[]
    = {u"Dreams"_s, u"Lights"_s, u"Highway"_s, u"Signal"_s, u"Horizon"_s, u"Heartbeat"_s, u"Summer"_s, u"Rain"_s};
const QString kUnknownRussianNouns[] = {u"маяк"_s, u"перрон"_s, u"чердак"_s, u"водопад"_s};
const QString kUnknownEnglishNouns[]
    = {u"Lighthouse"_s, u"Carousel"_s, u"Satellite"_s, u"Harbour"_s, u"Glacier"_s, u"Parade"_s};

const QString kAlbumWords[] = {
    u"Хроники"_s,
    u"Полутона"_s,
    u"Северное сияние"_s,
    u"Дорога домой"_s,
    u"Afterglow"_s,
    u"Blueprints"_s,
    u"Midnight Tapes"_s,
    u"Open Water"_s,
    u"Параллели"_s,
    u"Static Bloom"_s,
    u"Отражения"_s,
    u"Low Tide"_s,
};

const QString kAlbumSuffixes[] = {u""_s, u""_s, u""_s, u" (Deluxe)"_s, u", Vol. 2"_s, u" (Live)"_s};

const QString kLyricLines[] = {
    u"Город спит, а мы идём по крышам"_s,
    u"Ветер знает всё, о чём молчим"_s,
    u"Я держу твой свет в ладонях"_s,
    u"Поезда уходят без меня"_s,
    u"Между строк остались наши тени"_s,
    u"Ночь длиннее, чем казалось"_s,
    u"Мы снова на краю весны"_s,
    u"We run until the morning light"_s,
    u"Every signal leads me home"_s,
    u"Hold on, the night is young"_s,
    u"Echoes in the empty hall"_s,
    u"Turn the static into gold"_s,
    u"Say my name across the wire"_s,
    u"Тихо падает снег на провода"_s,
};

// Spellings of one performer: a credit that named them twice would read
// as a duet of one person.
const QStringList kOnePerformer[] = {
    {u"Сахар"_s, u"Caxap"_s},
    {u"Мокко"_s, u"Mokko"_s, u"MOKKO"_s},
    {u"Космос"_s, u"Kocmoc"_s},
};

bool samePerformer(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    return std::any_of(std::begin(kOnePerformer), std::end(kOnePerformer),
        [&](const QStringList &spellings) { return spellings.contains(a) && spellings.contains(b); });
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString soloArtist(SeededRandom &r)
{
    return r.pick(kArtists);
}

namespace {

// The first roster name from index on that none of the credited performers
// goes by.
QString freeArtist(qsizetype index, const QStringList &credited)
{
    const qsizetype size = qsizetype(std::size(kArtists));
    const auto taken = [&](qsizetype i) {
        return std::any_of(credited.begin(), credited.end(),
            [&](const QString &name) { return samePerformer(name, kArtists[i]); });
    };
    for (qsizetype step = 0; step < size && taken(index); ++step)
        index = (index + 1) % size;
    return kArtists[index];
}

qsizetype rosterIndex(const QString &name)
{
    return std::find(std::begin(kArtists), std::end(kArtists), name) - std::begin(kArtists);
}

} // namespace

QString otherArtist(SeededRandom &r, const QStringList &credited)
{
    // One draw whatever the outcome, so the rest of the record's stream,
    // and with it the catalogue, stays as it was.
    return freeArtist(r.below(int(std::size(kArtists))), credited);
}

QString credit(SeededRandom &r)
{
    const QString a = soloArtist(r);
    QString b = soloArtist(r);
    if (b == a)
        b = kArtists[(r.below(1000) + 1) % std::size(kArtists)];
    b = freeArtist(rosterIndex(b), {a});
    const QString c = otherArtist(r, {a, b});
    const int form = r.below(100);
    if (form < 58)
        return a;
    if (form < 66)
        return a + u" feat. "_s + b;
    if (form < 70)
        return a + u" ft. "_s + b;
    if (form < 72)
        return a + u" featuring "_s + b;
    if (form < 74)
        return a + u" ft "_s + b;
    if (form < 80)
        return a + u" & "_s + b;
    if (form < 84)
        return a + u", "_s + b;
    if (form < 88)
        return a + u", "_s + b + u" & "_s + c;
    if (form < 91)
        return a + u" x "_s + b;
    if (form < 93)
        return a + u" и "_s + b;
    if (form < 94)
        return a + u" / "_s + b;
    if (form < 95)
        return a + u" + "_s + b;
    if (form < 96)
        return a + u" × "_s + b;
    if (form < 97)
        return a + u"; "_s + b;
    if (form < 99)
        return a + u" (feat. "_s + b + u")"_s;
    return a + u" FEAT. "_s + b;
}

QString trackTitle(SeededRandom &r, TitleSet set)
{
    const bool russian = r.chance(50);
    const QString noun = set == TitleSet::Known
        ? (russian ? r.pick(kKnownRussianNouns) : r.pick(kKnownEnglishNouns))
        : (russian ? r.pick(kUnknownRussianNouns) : r.pick(kUnknownEnglishNouns));
    QString title;
    if (r.chance(55)) {
        title = (russian ? r.pick(kRussianAdjectives) : r.pick(kEnglishAdjectives)) + QLatin1Char(' ') + noun;
    } else {
        title = noun;
        title[0] = title[0].toUpper();
    }
    const int feat = r.below(100);
    if (feat < 7)
        title += u" (feat. "_s + soloArtist(r) + u")"_s;
    else if (feat < 9)
    {
        const QString first = soloArtist(r);
        title += u" (ft. "_s + first + u" & "_s + otherArtist(r, {first}) + u")"_s;
    }
    else if (feat < 11)
        title += u" feat. "_s + soloArtist(r);
    else if (feat < 12)
        title += u" (ft. "_s + soloArtist(r) + u") [Remix]"_s;
    else if (feat < 14)
        title += u" (Live)"_s;
    return title;
}

QString albumTitle(SeededRandom &r)
{
    return r.pick(kAlbumWords) + r.pick(kAlbumSuffixes);
}

QString longTitleTail(int n)
{
    static const QString tails[] = {
        u", или всё, что мы не успели сказать друг другу этой зимой"_s,
        u" (Extended Version — Live at the Northern Lights Concert Hall)"_s,
        u" — долгая дорога домой через спящий город"_s,
    };
    return tails[n % std::size(tails)];
}

QString longAlbumTitle(int n)
{
    static const QString titles[] = {
        u"Северное сияние над спящим городом (Deluxe Edition)"_s,
        u"Everything We Left Behind on the Last Train Home, Vol. 2"_s,
    };
    return titles[n % std::size(titles)];
}

QString clipTitle(SeededRandom &r)
{
    const QString title = r.chance(50) ? r.pick(kRussianAdjectives) + QLatin1Char(' ') + r.pick(kKnownRussianNouns)
                                       : r.pick(kEnglishAdjectives) + QLatin1Char(' ') + r.pick(kKnownEnglishNouns);
    return title + u" (Official Video)"_s;
}

QString lrcLyrics(quint64 seed, int durationSeconds)
{
    SeededRandom r(seed);
    const int lines = r.between(6, 14);
    // Stamps start a little after the beginning and stop before the end, at
    // centisecond precision, as lyric editors write them.
    const int startCs = qMin(500, durationSeconds * 10);
    const int endCs = qMax(startCs + lines, durationSeconds * 100 - qMin(500, durationSeconds * 10));
    const int stepCs = (endCs - startCs) / lines;
    QStringList rows;
    for (int i = 0; i < lines; ++i) {
        const int cs = startCs + i * stepCs + r.below(qMax(1, stepCs / 4));
        rows.append(QLatin1Char('[') + twoDigits(cs / 6000) + QLatin1Char(':') + twoDigits((cs / 100) % 60)
            + QLatin1Char('.') + twoDigits(cs % 100) + QLatin1Char(']') + r.pick(kLyricLines));
    }
    return rows.join(QLatin1Char('\n'));
}

QString plainLyrics(quint64 seed)
{
    SeededRandom r(seed);
    const int verses = r.between(2, 3);
    QStringList rows;
    for (int v = 0; v < verses; ++v) {
        if (v > 0)
            rows.append(QString());
        const int lines = r.between(3, 5);
        for (int i = 0; i < lines; ++i)
            rows.append(r.pick(kLyricLines));
    }
    return rows.join(QLatin1Char('\n'));
}

} // namespace devservice::catalogtext
