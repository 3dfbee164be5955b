import QtQuick
import Nimbra

// One album of the artist page's grids: the cover over the full cell
// width, the title in at most two lines and the caption. A click opens the
// album over the page.
Item {
    id: tile

    required property string albumId
    required property string title
    required property url coverUrl
    required property string caption

    implicitHeight: column.implicitHeight

    Column {
        id: column
        width: parent.width
        spacing: 6

        Artwork {
            size: tile.width
            radius: AppTheme.radiusS
            source: tile.coverUrl
        }

        Text {
            width: parent.width
            text: tile.title
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }

        Text {
            width: parent.width
            text: tile.caption
            color: AppTheme.textSecondary
            font: AppTheme.caption
            elide: Text.ElideRight
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: Navigation.openAlbum(tile.albumId)
    }
}
