import QtQuick
import QtQuick.Controls
import Nimbra

// A grid of covers or cards for a list page's `content`: as many columns as
// fit between its margins, each at least `minimumCellWidth` and a gap wide;
// the columns share what is left.
GridView {
    property real minimumCellWidth
    property real cellGap: AppTheme.spacingL

    readonly property real available: width - leftMargin - rightMargin
    readonly property int columns: Math.max(1, Math.floor(available / (minimumCellWidth + cellGap)))

    cellWidth: Math.floor(available / columns)
    bottomMargin: AppTheme.spacingXL
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}
}
