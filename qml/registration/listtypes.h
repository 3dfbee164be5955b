#pragma once

#include "tracks/loadstate.h"
#include "tracks/tracklistmodel.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the track lists and their load state.

namespace LoadStateForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbra::LoadStates)
QML_NAMED_ELEMENT(LoadState)
} // namespace LoadStateForeign

struct TrackListModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::TrackListModel)
    QML_NAMED_ELEMENT(TrackListModel)
};
