#include "otaupdatestore.h"

namespace nimbra {

OtaUpdateStore::OtaUpdateStore(QObject *parent) : QObject(parent) { }

void OtaUpdateStore::setAvailableManifest(std::optional<OtaManifest> manifest)
{
    if (m_manifest == manifest)
        return;
    m_manifest = std::move(manifest);
    emit availableManifestChanged();
}

void OtaUpdateStore::checkUpdates(bool silent)
{
    checkUpdatesAsync(silent);
}

QCoro::Task<void> OtaUpdateStore::checkUpdatesAsync(bool silent)
{
    if (m_checking)
        co_return;
    // No manifest host is known to this build: the check ends at once with
    // nothing found, which a silent check does not report.
    emit checkFinished(silent);
    co_return;
}

} // namespace nimbra
