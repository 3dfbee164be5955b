#include "clipplayerstore.h"

namespace nimbra {

ClipPlayerStore::ClipPlayerStore(QObject *parent) : QObject(parent) { }

void ClipPlayerStore::setFullscreen(bool fullscreen)
{
    if (m_fullscreen == fullscreen)
        return;
    m_fullscreen = fullscreen;
    emit isFullscreenChanged();
}

} // namespace nimbra
