import QtQuick
import Nimbra

// The background of the pages that open on a large header (home, profile):
// darker at the top, the page's own colour from a little below.
Rectangle {
    id: shade

    // Where the page's own colour is reached, as a share of the height.
    readonly property real shadeEnd: 0.28

    gradient: Gradient {
        GradientStop { position: 0; color: AppTheme.pageTopShade }
        GradientStop { position: shade.shadeEnd; color: AppTheme.background }
    }
}
