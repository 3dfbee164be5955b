#pragma once

#include "apitypes.h"
#include "artists/artistalbumlistmodel.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "artists/artistpagemodel.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the artist stores and of the artist page's models; the page
// creates its own.

NIMBRA_QML_STORE(ArtistNavigationStore)
NIMBRA_QML_STORE(ArtistCatalogStore)

struct ArtistPageModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistPageModel)
    QML_NAMED_ELEMENT(ArtistPageModel)
};

struct ArtistAlbumListModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistAlbumListModel)
    QML_NAMED_ELEMENT(ArtistAlbumListModel)
    QML_UNCREATABLE("Made by the artist page model.")
};

struct ArtistPageRowsForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistPageRows)
    QML_NAMED_ELEMENT(ArtistPageRows)
    QML_UNCREATABLE("Made by the artist page model.")
};
