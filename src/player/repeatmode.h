#pragma once

#include <QObject>

namespace nimbra {

// Holder of the repeat-mode enumeration, so that QML can name its values
// (registered there as RepeatMode). Not persisted: every start begins Off.
class RepeatModes
{
    Q_GADGET
public:
    // In the order the player interface steps through them.
    enum class Mode { Off, All, One };
    Q_ENUM(Mode)
};

using RepeatMode = RepeatModes::Mode;

} // namespace nimbra
