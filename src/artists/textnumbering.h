#pragma once

#include <QHash>
#include <QStringView>

#include <atomic>
#include <vector>

namespace nimbra {

// Numbers the distinct texts of a long list (track ids, album ids, credits)
// in the order they are first met. Reading a million separately allocated
// texts is what costs: they are hashed and compared on all cores, and the
// one serial pass that hands out the numbers touches 64-bit hashes only.
class TextNumbering
{
public:
    // The number of each text, and in firsts the index of the first text of
    // each number.
    template<typename TextAt>
    static std::vector<int> number(qsizetype count, const TextAt &textAt, std::vector<qsizetype> &firsts)
    {
        std::vector<quint64> hashes(static_cast<size_t>(count));
        forEach(count, [&](qsizetype i) { hashes[size_t(i)] = hash(textAt(i)); });
        std::vector<int> numbers = numberHashes(hashes, firsts);
        std::vector<quint64>().swap(hashes);
        // Texts with equal hashes but different letters must not share a
        // number; should that ever happen, the texts are numbered one by one.
        std::atomic<bool> collided = false;
        forEach(count, [&](qsizetype i) {
            if (textAt(i) != textAt(firsts[size_t(numbers[size_t(i)])]))
                collided.store(true, std::memory_order_relaxed);
        });
        if (collided.load())
            numbers = numberExactly(count, textAt, firsts);
        return numbers;
    }

    // Calls f(i) for every i below count, on all cores; each i exactly once.
    template<typename F> static void forEach(qsizetype count, const F &f)
    {
        runChunks(count, [&f](qsizetype begin, qsizetype end) {
            for (qsizetype i = begin; i < end; ++i)
                f(i);
        });
    }

    static quint64 hash(QStringView text);

private:
    template<typename F> static void runChunks(qsizetype count, const F &chunk);
    static void runChunked(qsizetype count, void (*call)(const void *, qsizetype, qsizetype), const void *context);
    static std::vector<int> numberHashes(const std::vector<quint64> &hashes, std::vector<qsizetype> &firsts);

    template<typename TextAt>
    static std::vector<int> numberExactly(qsizetype count, const TextAt &textAt, std::vector<qsizetype> &firsts);
};

template<typename F> void TextNumbering::runChunks(qsizetype count, const F &chunk)
{
    runChunked(
        count,
        [](const void *context, qsizetype begin, qsizetype end) { (*static_cast<const F *>(context))(begin, end); },
        &chunk);
}

template<typename TextAt>
std::vector<int> TextNumbering::numberExactly(qsizetype count, const TextAt &textAt, std::vector<qsizetype> &firsts)
{
    firsts.clear();
    std::vector<int> numbers(static_cast<size_t>(count));
    QHash<QStringView, int> index;
    index.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView text = textAt(i);
        auto found = index.find(text);
        if (found == index.end()) {
            found = index.insert(text, int(firsts.size()));
            firsts.push_back(i);
        }
        numbers[size_t(i)] = found.value();
    }
    return numbers;
}

} // namespace nimbra
