#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace nimbra {

// The one cancellation mechanism of the client. QCoro has no cancellation,
// so a task takes a token, registers what aborts its work in flight (a
// network reply), and checks isCancelled() after every co_await.
// Copies share one state; a default-made token can be cancelled.
class CancelToken
{
public:
    CancelToken();

    bool isCancelled() const;
    // Marks the token cancelled and runs every abort action once.
    void cancel() const;

    // Runs action when the token is cancelled (at once if it already is).
    // The returned id removes it again; actions run on the cancelling thread.
    int onCancel(std::function<void()> action) const;
    void removeOnCancel(int id) const;

    bool operator==(const CancelToken &other) const { return d == other.d; }

private:
    struct State;
    std::shared_ptr<State> d;
};

// Keeps an abort action registered for as long as it lives.
class CancelRegistration
{
public:
    CancelRegistration(const CancelToken &token, std::function<void()> action);
    ~CancelRegistration();
    CancelRegistration(const CancelRegistration &) = delete;
    CancelRegistration &operator=(const CancelRegistration &) = delete;

private:
    CancelToken m_token;
    int m_id;
};

// "A new task replaces and cancels the one before it": a store keeps one
// slot per kind of task and asks it for a token when a task starts.
class TaskSlot
{
public:
    TaskSlot() = default;
    ~TaskSlot() { cancel(); }
    TaskSlot(const TaskSlot &) = delete;
    TaskSlot &operator=(const TaskSlot &) = delete;

    // Cancels the running task, if any, and hands out the new task's token.
    CancelToken renew();
    // The same for a task that also ends when within does (the session it
    // was started in: Session::lifetime()).
    CancelToken renew(const CancelToken &within);
    void cancel();
    // True while token is the slot's newest and was not cancelled.
    bool isCurrent(const CancelToken &token) const { return token == m_current && !token.isCancelled(); }
    bool isRunning() const { return m_running && !m_current.isCancelled(); }
    // Called by the task as it ends, so isRunning() turns false.
    void finish(const CancelToken &token);

private:
    void release();

    CancelToken m_current;
    bool m_running = false;
    // What the running task is bound to besides the slot.
    std::optional<CancelToken> m_within;
    int m_withinId = 0;
};

} // namespace nimbra
