#include "catalogue/catalogmodel.h"

#include "api/session.h"
#include "api/nimbraapi.h"
#include "format/russianplural.h"

using namespace Qt::StringLiterals;

namespace nimbra {

CatalogModel::CatalogModel(QObject *parent)
    : CatalogModel(serviceLoader(TrackStores::registered().session), TrackStores::registered(), parent)
{
}

CatalogModel::CatalogModel(PageLoader loader, TrackStores stores, QObject *parent)
    : PagedTrackModel(std::move(loader), stores, parent)
{
    showActionFailuresInList();
    if (stores.session) {
        m_hadAccount = stores.session->hasAccount();
        connect(stores.session, &Session::changed, this, &CatalogModel::followAccount);
    }
}

QString CatalogModel::countText() const
{
    return russianCount(count(), CountWord::Track);
}

CatalogModel::PageLoader CatalogModel::serviceLoader(QPointer<Session> session)
{
    return [session](int page, CancelToken cancel) -> QCoro::Task<TrackPage> {
        // The token of the moment the page is asked for; none for a guest.
        const std::optional<QString> token = session ? session->token() : std::nullopt;
        return NimbraApi().tracks(page, pageSize, true, token, cancel);
    };
}

void CatalogModel::followAccount()
{
    const bool hasAccount = stores().session && stores().session->hasAccount();
    if (hasAccount == m_hadAccount)
        return;
    m_hadAccount = hasAccount;
    // A list not yet asked for loads when its screen shows it.
    if (loadState().state != LoadState::Idle)
        reload();
}

} // namespace nimbra
