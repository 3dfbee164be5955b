#pragma once

#include "catalogue/albumdetailmodel.h"
#include "catalogue/albumlistmodel.h"
#include "catalogue/albumsgridmodel.h"
#include "catalogue/catalogmodel.h"
#include "catalogue/homepagemodel.h"
#include "catalogue/homereleasemodel.h"
#include "catalogue/searchmodel.h"

#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the models behind the home page, the albums grid, the album
// page, the track catalogue and the search screen; each screen creates its
// own.

struct HomePageModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::HomePageModel)
    QML_NAMED_ELEMENT(HomePageModel)
};

struct HomeReleaseModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::HomeReleaseModel)
    QML_NAMED_ELEMENT(HomeReleaseModel)
    QML_UNCREATABLE("A home page's releases come from its HomePageModel.")
};

struct AlbumsGridModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::AlbumsGridModel)
    QML_NAMED_ELEMENT(AlbumsGridModel)
};

struct AlbumDetailModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::AlbumDetailModel)
    QML_NAMED_ELEMENT(AlbumDetailModel)
};

struct CatalogModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::CatalogModel)
    QML_NAMED_ELEMENT(CatalogModel)
};

struct SearchModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::SearchModel)
    QML_NAMED_ELEMENT(SearchModel)
};

struct AlbumListModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::AlbumListModel)
    QML_NAMED_ELEMENT(AlbumListModel)
    QML_UNCREATABLE("A screen's albums come from its model.")
};
