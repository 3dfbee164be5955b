import QtQuick
import QtQuick.Controls
import Nimbra

// A stack of pages over a root screen that carries out Navigation's pushes
// and pops for one stack (a section's or the artist page's). Pages change
// without a transition.
StackView {
    id: view

    // Navigation.Section or Navigation.Artist.
    property int stack: Navigation.Section
    // Maps a Navigation page kind to its Component.
    property var pageFor: function(page) { return null }

    pushEnter: null
    pushExit: null
    popEnter: null
    popExit: null

    Connections {
        target: Navigation
        function onPushRequested(stack, page, argument) {
            const component = stack === view.stack ? view.pageFor(page) : null
            if (component)
                view.push(component, { argument: argument })
        }
        function onPopRequested(stack) {
            if (stack === view.stack && view.depth > 1)
                view.pop()
        }
    }
}
