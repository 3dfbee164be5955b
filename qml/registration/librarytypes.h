#pragma once

#include "library/addtoplaylistmodel.h"
#include "library/favoritesmodel.h"
#include "library/playlistdetailmodel.h"
#include "library/playlistsmodel.h"
#include "library/smartplaylistcards.h"
#include "library/smartplaylistmodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the library screens' models; each screen creates its own.

struct SmartPlaylistModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SmartPlaylistModel)
    QML_NAMED_ELEMENT(SmartPlaylistModel)
};

struct SmartPlaylistCardsForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SmartPlaylistCards)
    QML_NAMED_ELEMENT(SmartPlaylistCards)
};

struct FavoritesModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FavoritesModel)
    QML_NAMED_ELEMENT(FavoritesModel)
};

struct PlaylistDetailModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlaylistDetailModel)
    QML_NAMED_ELEMENT(PlaylistDetailModel)
};

struct PlaylistsModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlaylistsModel)
    QML_NAMED_ELEMENT(PlaylistsModel)
};

struct AddToPlaylistModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::AddToPlaylistModel)
    QML_NAMED_ELEMENT(AddToPlaylistModel)
};
