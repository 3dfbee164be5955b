#pragma once

#include "api/apierror.h"

#include <QString>

#include <QCoro/QCoroTask>

#include <exception>
#include <optional>
#include <type_traits>

namespace nimbra {

// What a task at a store's boundary came to: its value, or the text the
// store shows for the failure.
template<typename T> struct Outcome
{
    std::optional<T> value;
    QString errorText;
    // The service client's error, when the failure was one: a store that
    // treats some failures apart (a refused token) matches on its kind.
    std::optional<ApiError> apiError;

    explicit operator bool() const { return value.has_value(); }
    T &operator*() { return *value; }
    T *operator->() { return &*value; }
};

template<> struct Outcome<void>
{
    bool ok = false;
    QString errorText;
    std::optional<ApiError> apiError;

    explicit operator bool() const { return ok; }
};

// The one place where a store catches: awaits task and turns whatever it
// throws (ApiError, DecodingError, any std::exception) into the store's
// message text, so no exception escapes a task nobody awaits.
template<typename T> QCoro::Task<Outcome<T>> runAtBoundary(QCoro::Task<T> task)
{
    std::exception_ptr failure;
    std::optional<ApiError> apiError;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            co_return Outcome<void> {true, {}, {}};
        } else {
            T value = co_await std::move(task);
            Outcome<T> outcome;
            outcome.value = std::move(value);
            co_return outcome;
        }
    } catch (const ApiError &error) {
        failure = std::current_exception();
        apiError = error;
    } catch (...) {
        failure = std::current_exception();
    }
    Outcome<T> outcome;
    outcome.errorText = describeException(failure);
    outcome.apiError = std::move(apiError);
    co_return outcome;
}

// The one setter of store state: assigns value and emits changed only when
// it differs. Returns whether it changed.
template<typename Owner, typename T, typename U>
bool assignAndNotify(Owner *owner, T &member, U &&value, void (Owner::*changed)())
{
    if (member == value)
        return false;
    member = std::forward<U>(value);
    emit(owner->*changed)();
    return true;
}

} // namespace nimbra
