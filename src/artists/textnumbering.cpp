#include "artists/textnumbering.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <bit>
#include <cstring>

namespace nimbra {

quint64 TextNumbering::hash(QStringView text)
{
    // A multiply-mix over eight bytes at a time with MurmurHash3's final mix:
    // a few nanoseconds at any length, where Qt 6.4's seeded hash of a short
    // text takes over a hundred.
    constexpr quint64 k1 = 0x9E3779B97F4A7C15ull;
    constexpr quint64 k2 = 0xC2B2AE3D27D4EB4Full;
    const auto *bytes = reinterpret_cast<const uchar *>(text.utf16());
    size_t left = size_t(text.size()) * sizeof(char16_t);
    quint64 h = k1 + left * k2;
    for (; left >= 8; left -= 8, bytes += 8) {
        quint64 chunk;
        std::memcpy(&chunk, bytes, 8);
        h = std::rotl(h ^ (chunk * k2), 31) * k1;
    }
    quint64 tail = 0;
    if (left > 0)
        std::memcpy(&tail, bytes, left);
    h = std::rotl(h ^ (tail * k2), 31) * k1;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

void TextNumbering::runChunked(qsizetype count, void (*call)(const void *, qsizetype, qsizetype), const void *context)
{
    // Enough pieces for every core to take several, none so small that
    // handing it out costs more than doing it.
    const qsizetype chunk = std::max<qsizetype>(256, count / (8 * std::max(1, QThread::idealThreadCount())));
    if (count <= chunk) {
        call(context, 0, count);
        return;
    }
    std::vector<qsizetype> starts;
    for (qsizetype begin = 0; begin < count; begin += chunk)
        starts.push_back(begin);
    // A pool of its own: the derivation itself runs on a worker of the shared
    // pool, and waiting there for pieces queued behind it on the same pool
    // could wait forever.
    static QThreadPool pool;
    QtConcurrent::blockingMap(
        &pool, starts, [&](qsizetype begin) { call(context, begin, std::min(count, begin + chunk)); });
}

std::vector<int> TextNumbering::numberHashes(const std::vector<quint64> &hashes, std::vector<qsizetype> &firsts)
{
    firsts.clear();
    size_t capacity = 16;
    while (capacity < hashes.size() + hashes.size() / 2)
        capacity *= 2;
    const size_t mask = capacity - 1;
    // Open addressing on the hash itself: one probe of a flat table per
    // text. A slot keeps the hash's upper half and the number; the full hash
    // is compared only when the halves agree.
    struct Slot
    {
        quint32 tag;
        int number;
    };
    std::vector<Slot> table(capacity, Slot {0, -1});
    std::vector<int> numbers(hashes.size());
    for (size_t i = 0; i < hashes.size(); ++i) {
        const quint64 h = hashes[i];
        const auto tag = quint32(h >> 32);
        size_t at = size_t(h) & mask;
        while (table[at].number >= 0
            && (table[at].tag != tag || hashes[size_t(firsts[size_t(table[at].number)])] != h))
            at = (at + 1) & mask;
        if (table[at].number < 0) {
            table[at] = Slot {tag, int(firsts.size())};
            firsts.push_back(qsizetype(i));
        }
        numbers[i] = table[at].number;
    }
    return numbers;
}

} // namespace nimbra
