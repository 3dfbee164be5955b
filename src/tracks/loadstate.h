#pragma once

#include <QObject>
#include <QString>

namespace nimbra {

// Holder of the load-state enumeration, so that QML can name its values
// (registered there as LoadState: LoadState.Loading, ...).
namespace LoadStates {
Q_NAMESPACE
enum State { Idle, Loading, Loaded, Empty, Failed };
Q_ENUM_NS(State)
} // namespace LoadStates

// Where a list screen's data stands; every list model reports the same
// five states, so one state view draws loading, empty and failure alike.
struct LoadState
{
    using State = LoadStates::State;
    static constexpr State Idle = LoadStates::Idle;
    static constexpr State Loading = LoadStates::Loading;
    static constexpr State Loaded = LoadStates::Loaded;
    static constexpr State Empty = LoadStates::Empty;
    static constexpr State Failed = LoadStates::Failed;

    State state = Idle;
    // The failure's text; empty unless state is Failed.
    QString errorText;

    static LoadState idle() { return {}; }
    static LoadState loading() { return {Loading, {}}; }
    // Loaded, or Empty when nothing came.
    static LoadState loaded(bool hasRows) { return {hasRows ? Loaded : Empty, {}}; }
    static LoadState failed(QString text) { return {Failed, std::move(text)}; }

    bool operator==(const LoadState &other) const = default;
};

} // namespace nimbra
