#include "catalogue/catalogmodel.h"

#include "account/session.h"
#include "api/nimbraapi.h"
#include "format/russianplural.h"

using namespace Qt::StringLiterals;

namespace nimbra {

CatalogModel::CatalogModel(QObject *parent)
    : CatalogModel(serviceLoader(TrackServices::registered().session), TrackServices::registered(), parent)
{
}

CatalogModel::CatalogModel(PageLoader loader, TrackServices services, QObject *parent)
    : PagedTrackModel(std::move(loader), services, parent)
{
    showActionFailuresInList();
    if (services.session) {
        m_hadAccount = services.session->hasAccount();
        connect(services.session, &Session::changed, this, &CatalogModel::followAccount);
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
    const bool hasAccount = services().session && services().session->hasAccount();
    if (hasAccount == m_hadAccount)
        return;
    m_hadAccount = hasAccount;
    // A list not yet asked for loads when its screen shows it.
    if (loadState().state != LoadState::Idle)
        reload();
}

} // namespace nimbra
