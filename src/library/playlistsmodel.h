#pragma once

#include "library/playlistrowsmodel.h"

namespace nimbra {

// The playlists screen's own playlists: "3 трека", "5 треков" under each.
class PlaylistsModel : public nimbra::PlaylistRowsModel
{
    Q_OBJECT

public:
    explicit PlaylistsModel(QObject *parent = nullptr);
    PlaylistsModel(PlaylistsStore *store, Session *session, QObject *parent = nullptr);

    // The screen came on screen: the store loads when a token is held.
    Q_INVOKABLE void load();

protected:
    QString countText(qint64 trackCount) const override;
};

} // namespace nimbra
