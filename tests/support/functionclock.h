#pragma once

#include "api/clock.h"

#include <functional>

namespace nimbra::test {

// A clock whose sleep is whatever the test says (at once, forever, behind
// a gate); its wall clock is the real one.
class FunctionClock : public Clock
{
public:
    using Sleep = std::function<QCoro::Task<>(std::chrono::milliseconds, CancelToken)>;

    FunctionClock() = default;
    explicit FunctionClock(Sleep sleep) : m_sleep(std::move(sleep)) { }

    void setSleep(Sleep sleep) { m_sleep = std::move(sleep); }
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    QCoro::Task<> sleep(std::chrono::milliseconds duration, CancelToken token) override
    {
        return m_sleep ? m_sleep(duration, std::move(token)) : Clock::system()->sleep(duration, std::move(token));
    }

private:
    Sleep m_sleep;
};

} // namespace nimbra::test
