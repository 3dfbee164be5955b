#include "artistnavigationstore.h"

#include "platform/focushelper.h"

#include <QTimer>

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
    // A search field or list of the screen the page now covers would keep
    // taking the keys. The click that opened the page may still hand focus back to
    // the control under it as its event finishes, so focus is dropped once
    // more after that.
    FocusHelper::clearKeyboardFocus();
    QTimer::singleShot(0, this, [] { FocusHelper::clearKeyboardFocus(); });
}

void ArtistNavigationStore::close()
{
    setPresentedArtistName(QString());
}

} // namespace nimbra
