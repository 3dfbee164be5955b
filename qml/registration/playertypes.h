#pragma once

#include "apitypes.h"
#include "player/trackpadskipmonitor.h"
#include "player/fullscreenplayermodel.h"
#include "player/lyricspanelmodel.h"
#include "player/playercontrolsmodel.h"
#include "player/playerstore.h"
#include "player/playertimemodel.h"
#include "player/seekbarmodel.h"
#include "player/sleeptimermodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the player store and the player interface's C++ pieces;
// each view creates its own.

NIMBRA_QML_STORE(PlayerStore)

struct TrackpadSkipMonitorForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::TrackpadSkipMonitor)
    QML_NAMED_ELEMENT(TrackpadSkipMonitor)
};

struct FullscreenPlayerModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FullscreenPlayerModel)
    QML_NAMED_ELEMENT(FullscreenPlayerModel)
};

struct LyricsPanelModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::LyricsPanelModel)
    QML_NAMED_ELEMENT(LyricsPanelModel)
};

struct PlayerControlsModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlayerControlsModel)
    QML_NAMED_ELEMENT(PlayerControlsModel)
};

struct PlayerTimeModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlayerTimeModel)
    QML_NAMED_ELEMENT(PlayerTimeModel)
};

struct SeekBarModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SeekBarModel)
    QML_NAMED_ELEMENT(SeekBarModel)
};

struct SleepTimerModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SleepTimerModel)
    QML_NAMED_ELEMENT(SleepTimerModel)
};
