#include "format/russianplural.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

struct Forms
{
    QString one;
    QString few;
    QString many;
};

const Forms &formsOf(CountWord word)
{
    static const Forms track {u"трек"_s, u"трека"_s, u"треков"_s};
    static const Forms album {u"альбом"_s, u"альбома"_s, u"альбомов"_s};
    static const Forms clip {u"клип"_s, u"клипа"_s, u"клипов"_s};
    static const Forms battle {u"баттл"_s, u"баттла"_s, u"баттлов"_s};
    static const Forms minute {u"минута"_s, u"минуты"_s, u"минут"_s};
    static const Forms byte {u"байт"_s, u"байта"_s, u"байт"_s};
    switch (word) {
    case CountWord::Track:
        return track;
    case CountWord::Album:
        return album;
    case CountWord::Clip:
        return clip;
    case CountWord::Battle:
        return battle;
    case CountWord::Minute:
        return minute;
    case CountWord::Byte:
        return byte;
    }
    return track;
}

} // namespace

QString russianPlural(qint64 n, CountWord word)
{
    const Forms &forms = formsOf(word);
    const qint64 magnitude = n < 0 ? -(n % 100) : n % 100;
    if (magnitude >= 11 && magnitude <= 14)
        return forms.many;
    const qint64 last = magnitude % 10;
    if (last == 1)
        return forms.one;
    if (last >= 2 && last <= 4)
        return forms.few;
    return forms.many;
}

QString russianCount(qint64 n, CountWord word)
{
    return QString::number(n) + u' ' + russianPlural(n, word);
}

} // namespace nimbra
