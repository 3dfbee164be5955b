#pragma once

#include "tracks/pagedtrackmodel.h"

#include <QPointer>

namespace nimbra {

class Session;

// The whole track catalogue as one list that loads its next page of 50
// brief records as the view nears the end. It starts over from the first
// page when it is shown anew and whenever an account comes or goes; a page
// still on its way for the load before is dropped.
// The base is named in full so that QML tooling finds it.
class CatalogModel : public nimbra::PagedTrackModel
{
    Q_OBJECT
    // "N треков": the loaded tracks, the word unchanged by the number.
    Q_PROPERTY(QString countText READ countText NOTIFY countChanged)

public:
    static constexpr int pageSize = 50;

    // The service's pages with the shared stores' session.
    explicit CatalogModel(QObject *parent = nullptr);
    CatalogModel(PageLoader loader, TrackStores stores, QObject *parent = nullptr);

    QString countText() const;

    // Pages from the service, asked with the session's token when there is one.
    static PageLoader serviceLoader(QPointer<Session> session);

private:
    void followAccount();

    bool m_hadAccount = false;
};

} // namespace nimbra
