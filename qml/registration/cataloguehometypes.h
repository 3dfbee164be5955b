#pragma once

#include "catalogue/albumdetailmodel.h"
#include "catalogue/albumsgridmodel.h"
#include "catalogue/homepagemodel.h"
#include "catalogue/homereleasemodel.h"

#include <QAbstractItemModel>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the models behind the home page, the albums grid and the
// album page; each screen creates its own.

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
