#pragma once

#include "api/storeregistry.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "catalogue/albumlistmodel.h"
#include "artists/artistlinks.h"
#include "catalogue/catalogmodel.h"
#include "shell/navigation.h"
#include "catalogue/searchmodel.h"

#include <QJSEngine>
#include <QPointer>
#include <QQmlEngine>
#include <QtQml/qqml.h>
#include <QtQml/qqmlregistration.h>

// QML names of the track catalogue, the search screen and the artist links
// every credit line uses.

// One per engine: it opens artist pages through the engine's Navigation.
struct ArtistLinksForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistLinks)
    QML_NAMED_ELEMENT(ArtistLinks)
    QML_SINGLETON
public:
    static nimbra::ArtistLinks *create(QQmlEngine *engine, QJSEngine *)
    {
        QPointer<QQmlEngine> owner(engine);
        auto openArtist = [owner](const QString &name) {
            const int type = qmlTypeId("Nimbra", 1, 0, "Navigation");
            if (owner && type >= 0) {
                if (auto *navigation = owner->singletonInstance<nimbra::Navigation *>(type))
                    navigation->openArtist(name);
            }
        };
        return new nimbra::ArtistLinks(nimbra::StoreRegistry::get<nimbra::PlayerStore>(),
            nimbra::StoreRegistry::get<nimbra::ClipPlayerStore>(), openArtist);
    }
};

// Known to QML only as the base of the lists that page themselves.
struct PagedTrackModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PagedTrackModel)
    QML_NAMED_ELEMENT(PagedTrackModel)
    QML_UNCREATABLE("A list that pages itself is made as one of its kinds.")
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
