#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <QCoro/QCoroTask>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>

namespace nimbra {

// The answers of one load's reads, shared among the operations that make
// up the load: the first operation to read an address asks the service, the
// others wait for that answer (or that failure) instead of asking again.
// It lives as long as the operations that hold it, so the next load asks
// afresh. One load has one cancellation, which every waiter shares: a
// cancelled ask fails its waiters as cancelled. Main thread only.
class SharedAnswers
{
public:
    SharedAnswers() = default;
    SharedAnswers(const SharedAnswers &) = delete;
    SharedAnswers &operator=(const SharedAnswers &) = delete;

    // The body read at key: ask() runs once per key, and every caller gets
    // its body or its exception.
    QCoro::Task<QByteArray> answer(QString key, std::function<QCoro::Task<QByteArray>()> ask);

    // Offers a load's answers to the loads that start within freshFor of
    // now (the home page's album list serves the artist catalogue that
    // opens after it); a later offer replaces it.
    static void offerToLaterLoads(std::shared_ptr<SharedAnswers> answers);
    // A set for a load of its own that takes each read from the answers
    // offered last while they are fresh, unless that read failed there.
    static std::shared_ptr<SharedAnswers> withRecentAnswers();
    static constexpr std::chrono::minutes freshFor {5};

private:
    class Entry;
    static QCoro::Task<void> run(std::shared_ptr<Entry> entry, std::function<QCoro::Task<QByteArray>()> ask);

    QHash<QString, std::shared_ptr<Entry>> m_entries;
    std::shared_ptr<SharedAnswers> m_earlier;
};

} // namespace nimbra
