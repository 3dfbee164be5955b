#include "artists/artistnavigationstore.h"

namespace nimbra {

ArtistNavigationStore::ArtistNavigationStore(QObject *parent) : QObject(parent) { }

void ArtistNavigationStore::setPresentedArtistName(const QString &name)
{
    // Stored as null when empty, so QML sees one "no page" value.
    const QString value = name.isEmpty() ? QString() : name;
    if (m_presentedArtistName == value)
        return;
    m_presentedArtistName = value;
    emit presentedArtistNameChanged();
}

void ArtistNavigationStore::open(QString name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    setPresentedArtistName(trimmed);
}

void ArtistNavigationStore::close()
{
    setPresentedArtistName(QString());
}

} // namespace nimbra
