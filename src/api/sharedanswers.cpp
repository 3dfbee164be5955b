#include "api/sharedanswers.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <QCoro/QCoroSignal>

namespace nimbra {

// One read in flight or done. A QObject only for its signal, which wakes the
// operations that wait for the first one's answer.
class SharedAnswers::Entry : public QObject
{
    Q_OBJECT

public:
    bool isSettled = false;
    QByteArray body;
    std::exception_ptr failure;

    void settle()
    {
        isSettled = true;
        emit settled();
    }

signals:
    void settled();
};

QCoro::Task<void> SharedAnswers::run(std::shared_ptr<Entry> entry, std::function<QCoro::Task<QByteArray>()> ask)
{
    try {
        QCoro::Task<QByteArray> request = ask();
        entry->body = co_await request;
    } catch (...) {
        entry->failure = std::current_exception();
    }
    entry->settle();
}

namespace {

struct OfferedAnswers
{
    std::shared_ptr<SharedAnswers> answers;
    QDeadlineTimer freshUntil;
};

OfferedAnswers &offered()
{
    static OfferedAnswers offer;
    return offer;
}

} // namespace

void SharedAnswers::offerToLaterLoads(std::shared_ptr<SharedAnswers> answers)
{
    offered() = OfferedAnswers {std::move(answers), QDeadlineTimer(freshFor)};
    // The bodies go once they are stale, whether or not a load came for them.
    QTimer::singleShot(freshFor + std::chrono::seconds(1), [] {
        if (offered().freshUntil.hasExpired())
            offered() = OfferedAnswers();
    });
}

std::shared_ptr<SharedAnswers> SharedAnswers::withRecentAnswers()
{
    auto answers = std::make_shared<SharedAnswers>();
    OfferedAnswers &offer = offered();
    if (offer.answers && offer.freshUntil.hasExpired())
        offer = OfferedAnswers();
    answers->m_earlier = offer.answers;
    return answers;
}

QCoro::Task<QByteArray> SharedAnswers::answer(QString key, std::function<QCoro::Task<QByteArray>()> ask)
{
    std::shared_ptr<Entry> entry = m_entries.value(key);
    if (!entry && m_earlier) {
        // One still on its way serves too; one that failed is asked again.
        std::shared_ptr<Entry> earlier = m_earlier->m_entries.value(key);
        if (earlier && !earlier->failure) {
            entry = std::move(earlier);
            m_entries.insert(key, entry);
        }
    }
    if (!entry) {
        entry = std::make_shared<Entry>();
        m_entries.insert(key, entry);
        // Runs on its own, so that the answer arrives whichever waiter
        // gives up first; the entry outlives it through this copy.
        run(entry, std::move(ask));
    }
    if (!entry->isSettled) {
        auto settled = qCoro(entry.get(), &Entry::settled);
        co_await settled;
    }
    if (entry->failure)
        std::rethrow_exception(entry->failure);
    // A copy of its own for each waiter: QCoro's promise moves from any
    // non-const lvalue given to co_return, which would leave the next waiter
    // an empty body.
    QByteArray body = entry->body;
    co_return body;
}

} // namespace nimbra

#include "sharedanswers.moc"
