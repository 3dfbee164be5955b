// Name keys, credit splitting and the featured names of a track title.

#include "artists/artistcataloglogic.h"

#include "artists/artistnamescanner.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

bool holdsCyrillicI(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() == 0x0438 || c.unicode() == 0x0418)
            return true;
    }
    return false;
}

// Every separator holds one of these characters (the keywords an "f" in
// either case), so a credit without them is a single name.
bool mayHoldSeparator(QStringView text)
{
    for (QChar c : text) {
        switch (c.unicode()) {
        case ';':
        case ',':
        case '&':
        case '/':
        case '+':
        case 'x':
        case 'X':
        case 0x00D7:
        case 'f':
        case 'F':
            return true;
        default:
            break;
        }
    }
    return false;
}

char16_t latinLookAlike(char16_t c)
{
    switch (c) {
    case 0x0430:
        return u'a';
    case 0x0435:
        return u'e';
    case 0x043A:
        return u'k';
    case 0x043C:
        return u'm';
    case 0x043E:
        return u'o';
    case 0x0440:
        return u'p';
    case 0x0441:
        return u'c';
    case 0x0442:
        return u't';
    case 0x0445:
        return u'x';
    case 0x0432:
        return u'b';
    case 0x043D:
        return u'h';
    default:
        return 0;
    }
}

// The lower case of the letters most names are written in (ASCII and basic
// Cyrillic), where it is one letter for one; 0 for any other letter, which
// Qt's case tables answer.
char16_t simpleLower(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
    if (c >= 0x0430 && c <= 0x045F)
        return c;
    if (c >= 0x0410 && c <= 0x042F)
        return char16_t(c + 0x20);
    if (c >= 0x0400 && c <= 0x040F)
        return char16_t(c + 0x50);
    return 0;
}

QString keyThroughCaseTables(const QString &name)
{
    QString key = name.toLower();
    // Each look-alike turns into a Latin letter that no other pair replaces,
    // so one pass gives what the pairs applied one after another give.
    qsizetype first = -1;
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (latinLookAlike(key.at(i).unicode())) {
            first = i;
            break;
        }
    }
    if (first < 0)
        return key;
    QChar *chars = key.data();
    for (qsizetype i = first; i < key.size(); ++i) {
        if (const char16_t latin = latinLookAlike(chars[i].unicode()))
            chars[i] = QChar(latin);
    }
    return key;
}

} // namespace

QString ArtistCatalogLogic::normKey(const QString &name)
{
    // Keys of a million credits are made at a time: the common letters are
    // lowered here in one pass, with no copy for a name that is its own key.
    qsizetype i = 0;
    for (; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const char16_t lower = simpleLower(c);
        if (!lower)
            return keyThroughCaseTables(name);
        if (lower != c || latinLookAlike(lower))
            break;
    }
    if (i == name.size())
        return name;
    QString key = name;
    QChar *chars = key.data();
    for (; i < key.size(); ++i) {
        const char16_t lower = simpleLower(chars[i].unicode());
        if (!lower)
            return keyThroughCaseTables(name);
        const char16_t latin = latinLookAlike(lower);
        chars[i] = QChar(latin ? latin : lower);
    }
    return key;
}

QStringList ArtistCatalogLogic::splitArtists(const QString &credit)
{
    QString text = credit.trimmed();
    if (text.isEmpty())
        return {u"Неизвестно"_s};
    if (text.contains(u'('))
        text = ArtistNameScanner::replaceFeatGroups(text);
    if (holdsCyrillicI(text))
        text = ArtistNameScanner::replaceRussianAnd(text);

    QStringList names;
    const QStringView view(text);
    const auto addPiece = [&](qsizetype begin, qsizetype end) {
        const QStringView piece = view.sliced(begin, end - begin).trimmed();
        if (!piece.isEmpty())
            names.append(piece.toString());
    };
    qsizetype pieceStart = 0;
    if (mayHoldSeparator(view)) {
        for (const auto &[begin, end] : ArtistNameScanner::separators(view)) {
            addPiece(pieceStart, begin);
            pieceStart = end;
        }
    }
    addPiece(pieceStart, text.size());
    // A credit of nothing but separators (",") keeps its text as the one name.
    if (names.isEmpty())
        return {text};
    return names;
}

std::optional<QString> ArtistCatalogLogic::parseTitleFeat(const QString &title)
{
    // A view: most titles need no trimming, and a copy of each of a
    // million would be taken and let go for nothing.
    const QStringView trimmed = QStringView(title).trimmed();
    // Every featuring keyword begins with an "f" (no other letter folds to
    // it; two plain searches cost a fraction of a case-folding one).
    if (trimmed.isEmpty() || (!trimmed.contains(u'f') && !trimmed.contains(u'F')))
        return std::nullopt;
    // The bracketed form first; a bracket of blanks alone leaves the plain form to answer.
    for (const int pattern : {1, 2}) {
        const QStringView names = ArtistNameScanner::titleNames(trimmed, pattern).trimmed();
        if (!names.isEmpty())
            return names.toString();
    }
    return std::nullopt;
}

bool ArtistCatalogLogic::albumCreditsHasArtist(const QString &credit, const QString &name)
{
    const QString key = normKey(name);
    const QStringList names = splitArtists(credit);
    return std::any_of(names.begin(), names.end(), [&](const QString &n) { return normKey(n) == key; });
}

bool ArtistCatalogLogic::isMyArtist(const QString &name, const std::optional<UserOut> &user)
{
    if (!user)
        return false;
    const QString key = normKey(name);
    if (normKey(user->username) == key)
        return true;
    return user->catalogArtistName && normKey(*user->catalogArtistName) == key;
}

const QString *ArtistCatalogLogic::aliasOf(const QString &key)
{
    // The performer's Cyrillic stage name is shown in its Latin form, so both
    // spellings lead to one artist. The table is short and asked for every
    // name of a catalogue: compared entry by entry, a key of another length
    // is passed over at once, where a hash of it cost more.
    static const std::pair<QString, QString> aliases[] {
        {normKey(u"Скриптонит"_s), u"Scriptonite"_s},
    };
    for (const auto &[from, to] : aliases) {
        if (from == key)
            return &to;
    }
    return nullptr;
}

} // namespace nimbra
