import QtQuick
import Nimbra

// A found album: its cover and title open the album's page, each artist in
// its credit opens that artist's page.
Item {
    id: row

    readonly property real coverSize: 40

    required property string albumId
    required property string title
    required property string artist
    required property url coverUrl

    implicitWidth: 480
    implicitHeight: AppTheme.trackRowHeight

    // The texts are fitted once the row has its width (see TrackRow).
    property bool placed: false
    Component.onCompleted: placed = true

    Artwork {
        id: cover
        objectName: "albumArtwork"
        x: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        size: row.coverSize
        source: row.coverUrl

        MouseArea {
            anchors.fill: parent
            onClicked: Navigation.openAlbum(row.albumId)
        }
    }

    Column {
        anchors.left: cover.right
        anchors.leftMargin: AppTheme.spacingM
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingS
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.spacingXS

        Text {
            objectName: "albumTitle"
            readonly property real widest: row.placed ? parent.width : 0
            width: Math.min(implicitWidth, widest)
            text: RowLines.fit(row.title, widest, font.pixelSize)
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            color: AppTheme.textPrimary
            font: AppTheme.body

            MouseArea {
                anchors.fill: parent
                onClicked: Navigation.openAlbum(row.albumId)
            }
        }

        ArtistCreditsLine {
            widest: row.placed ? parent.width : 0
            width: Math.min(implicitWidth, parent.width)
            text: row.artist
            style: "album"
        }
    }
}
