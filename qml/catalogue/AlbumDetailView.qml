import QtQuick
import QtQuick.Controls
import Nimbra

// One album, pushed onto a section's stack with the album's id as
// `argument`: the back bar, a header with the cover, title, credit and year,
// and the album's tracks. The big cover plays the album from its first
// track in the full-screen player; a row plays within the album.
ListPage {
    id: page
    objectName: "albumDetailView"

    property string argument

    readonly property real coverSize: AppTheme.albumHeaderCoverSize

    pushed: true
    title: album.title
    model: AlbumDetailModel {
        id: album
        objectName: "albumModel"
        albumId: page.argument
    }
    list.objectName: "albumTracks"
    list.bottomMargin: AppTheme.spacingL
    listGap: AppTheme.spacingL
    artworkOpensPlayer: true
    // An album without tracks is an empty list, without a text; a failure
    // is the red line below, in place of the tracks.
    loadState: album.loadState === LoadState.Empty || album.loadState === LoadState.Failed
               ? LoadState.Loaded : album.loadState
    list.visible: album.loadState !== LoadState.Failed

    Component.onCompleted: album.reload()

    header: Row {
        id: albumHeader
        objectName: "albumHeader"
        spacing: AppTheme.spacingL

        Artwork {
            objectName: "albumDetailCover"
            size: page.coverSize
            source: album.coverUrl
            interactive: true
            onTapped: album.playAlbum()

            PlayIntent {}
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: albumHeader.width - page.coverSize - albumHeader.spacing
            spacing: AppTheme.spacingXS

            Text {
                objectName: "albumDetailTitle"
                width: parent.width
                text: album.title
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                color: AppTheme.textPrimary
                font: AppTheme.systemFont(AppTheme.title2.pixelSize, Font.Bold)
            }

            ArtistCreditsLine {
                width: parent.width
                text: album.artist
                style: "primary"
                visible: album.title !== "" || album.artist !== ""
            }

            Text {
                objectName: "albumDetailYear"
                visible: album.yearText !== ""
                text: album.yearText
                color: AppTheme.textSecondary
                font: AppTheme.caption
            }
        }
    }

    // A failed load or heart: its text in red where the tracks were.
    FailureText {
        objectName: "albumError"
        anchors.left: page.list.left
        anchors.right: page.list.right
        anchors.top: page.list.top
        anchors.leftMargin: AppTheme.spacingS
        anchors.rightMargin: AppTheme.spacingS
        text: album.errorText
    }
}
