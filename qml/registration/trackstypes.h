#pragma once

#include "apitypes.h"
#include "tracks/loadstate.h"
#include "tracks/pagedtrackmodel.h"
#include "tracks/rowlines.h"
#include "tracks/trackactions.h"
#include "tracks/tracklistmodel.h"

#include <QAbstractItemModel>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the track lists, their bases and their load state, and of
// the actions on the player's current track.

// The bases of every list model, described to the module so that tools
// (qmllint) follow a model's type up to QObject; QML cannot create it.
struct QAbstractItemModelForeign
{
    Q_GADGET
    QML_FOREIGN(QAbstractItemModel)
    QML_ANONYMOUS
};

struct QAbstractListModelForeign
{
    Q_GADGET
    QML_FOREIGN(QAbstractListModel)
    QML_ANONYMOUS
};

// The actions on the player's current track (toggleFavorite, toggleDislike).
NIMBRA_QML_STORE(TrackActions)

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

// Known to QML only as the base of the lists that page themselves.
struct PagedTrackModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PagedTrackModel)
    QML_NAMED_ELEMENT(PagedTrackModel)
    QML_UNCREATABLE("A list that pages itself is made as one of its kinds.")
};

// One per engine, owned by it: every row's line asks it what to lay out.
struct RowLinesForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::RowLines)
    QML_NAMED_ELEMENT(RowLines)
    QML_SINGLETON
public:
    static nimbra::RowLines *create(QQmlEngine *, QJSEngine *) { return new nimbra::RowLines; }
};
