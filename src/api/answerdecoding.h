#pragma once

#include "api/apierror.h"
#include "api/canceltoken.h"

#include <QByteArray>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTask>

#include <exception>
#include <optional>

namespace nimbra {

// Where the typed client turns an answer's body into records. A body of
// megabytes (a search whose texts run to tens of thousands of characters, a
// catalogue page) took the window's thread for a third of a second and more,
// so such a body is parsed and decoded on a worker and the finished records
// are handed over. A small body is decoded at once: below this size the hop
// to a worker and back costs about what the decoding does
// (bench/bench_decodetracks).
inline constexpr qsizetype kDecodeOnWorkerFrom = 32 * 1024;

namespace detail {

// What a worker hands back: the records, or the decoder's error as it was
// thrown (QtConcurrent carries only QException across threads).
template<typename T> struct DecodedAnswer
{
    std::optional<T> value;
    std::exception_ptr failure;
};

template<typename T, T (*decode)(const QByteArray &)> DecodedAnswer<T> decodeCatching(QByteArray body)
{
    try {
        return DecodedAnswer<T> {decode(body), nullptr};
    } catch (...) {
        return DecodedAnswer<T> {std::nullopt, std::current_exception()};
    }
}

} // namespace detail

// The records of body, decoded by decode (a pure function, which may run on
// any thread); throws what decode throws, or Cancelled once cancel is
// cancelled while a worker decoded.
template<typename T, T (*decode)(const QByteArray &)> QCoro::Task<T> decodeAnswer(QByteArray body, CancelToken cancel)
{
    if (body.size() < kDecodeOnWorkerFrom)
        co_return decode(body);
    const QFuture<detail::DecodedAnswer<T>> decoding
        = QtConcurrent::run(&detail::decodeCatching<T, decode>, std::move(body));
    detail::DecodedAnswer<T> decoded = co_await decoding;
    if (cancel.isCancelled())
        throw ApiError::network(ApiError::NetworkFailure::Cancelled);
    if (decoded.failure)
        std::rethrow_exception(decoded.failure);
    T value = std::move(*decoded.value);
    co_return value;
}

} // namespace nimbra
