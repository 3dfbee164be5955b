pragma Singleton

import QtQml

// Components made from their file's address the first time they are asked
// for, and kept for the next time. A screen declared inline
// (`Component { AlbumsView {} }`) is compiled together with the file that
// declares it, and with it every type it uses, so the window would compile
// every screen, page and layer at start; one asked for here is compiled
// when it is first shown. Callers pass Qt.resolvedUrl(...) of their own
// file's folder.
QtObject {
    property var made: ({})

    function component(url) {
        const key = String(url)
        if (!(key in made))
            made[key] = Qt.createComponent(url)
        return made[key]
    }
}
