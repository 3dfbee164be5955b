#include "update/updatebannermodel.h"

#include "api/storeregistry.h"

using namespace Qt::StringLiterals;

namespace nimbra {

UpdateBannerModel::UpdateBannerModel(QObject *parent) : QObject(parent)
{
    // The stores registered when the screen is made.
    m_store = StoreRegistry::get<OtaUpdateStore>();
    if (m_store) {
        connect(m_store, &OtaUpdateStore::availableManifestChanged, this, &UpdateBannerModel::changed);
        connect(m_store, &OtaUpdateStore::isDownloadingChanged, this, &UpdateBannerModel::changed);
        connect(m_store, &OtaUpdateStore::downloadProgressChanged, this, &UpdateBannerModel::changed);
        connect(m_store, &OtaUpdateStore::errorTextChanged, this, &UpdateBannerModel::changed);
    }
}

QString UpdateBannerModel::title() const
{
    return u"Доступно обновление"_s;
}

QString UpdateBannerModel::versionBadge() const
{
    if (!m_store || !m_store->availableManifest() || !m_store->availableManifest()->versionName)
        return {};
    return u"v"_s + *m_store->availableManifest()->versionName;
}

bool UpdateBannerModel::hasNotesLine() const
{
    return notesLineIsFailure() || (m_store && m_store->availableManifest() && m_store->availableManifest()->releaseNotes);
}

bool UpdateBannerModel::notesLineIsFailure() const
{
    return m_store && m_store->availableManifest() && !downloading() && !m_store->errorText().isEmpty();
}

QString UpdateBannerModel::notesLine() const
{
    if (notesLineIsFailure())
        return m_store->errorText();
    if (!hasNotesLine())
        return {};
    const QString &notes = *m_store->availableManifest()->releaseNotes;
    return notes.left(notes.indexOf(u'\n'));
}

bool UpdateBannerModel::showsDownloadButton() const
{
    return m_store && !downloading();
}

QString UpdateBannerModel::downloadButtonText() const
{
    return u"Обновить"_s;
}

bool UpdateBannerModel::showsProgressBar() const
{
    return downloading() && m_store->downloadProgress() >= 0;
}

bool UpdateBannerModel::showsSpinner() const
{
    return downloading() && m_store->downloadProgress() < 0;
}

double UpdateBannerModel::progress() const
{
    return showsProgressBar() ? std::clamp(m_store->downloadProgress(), 0.0, 1.0) : 0.0;
}

QString UpdateBannerModel::progressText() const
{
    return u"Загрузка…"_s;
}

void UpdateBannerModel::download()
{
    if (m_store)
        m_store->downloadAndInstall();
}

void UpdateBannerModel::dismiss()
{
    if (m_store)
        m_store->dismissAvailableManifest();
}

} // namespace nimbra
