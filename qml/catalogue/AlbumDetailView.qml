import QtQuick
import QtQuick.Controls
import Nimbra

// One album, pushed onto a section's stack with the album's id as
// `argument`: the back bar, a header with the cover, title, credit and year,
// and the album's tracks. The big cover plays the album from its first
// track in the full-screen player; a row plays within the album.
Rectangle {
    id: page
    objectName: "albumDetailView"

    property string argument

    readonly property real coverSize: 96

    color: AppTheme.background

    AlbumDetailModel {
        id: album
        objectName: "albumModel"
        albumId: page.argument
    }

    Component.onCompleted: album.reload()

    // Clicks stay on the page instead of reaching the page below.
    MouseArea {
        anchors.fill: parent
    }

    BackBar {
        id: bar
        anchors.left: parent.left
        anchors.right: parent.right
        title: album.title
    }

    Row {
        id: header
        objectName: "albumHeader"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: bar.bottom
        anchors.leftMargin: AppTheme.spacingXL
        anchors.rightMargin: AppTheme.spacingXL
        anchors.topMargin: AppTheme.spacingS
        spacing: AppTheme.spacingL

        Artwork {
            objectName: "albumDetailCover"
            size: page.coverSize
            source: album.coverUrl
            interactive: true
            onTapped: album.playAlbum()
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: header.width - page.coverSize - header.spacing
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

    ListView {
        id: list
        objectName: "albumTracks"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingL
        anchors.leftMargin: AppTheme.spacingM
        anchors.rightMargin: AppTheme.spacingM
        bottomMargin: AppTheme.spacingL
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        visible: album.loadState !== LoadState.Failed
        model: album
        ScrollBar.vertical: ScrollBar {}

        delegate: TrackRow {
            width: ListView.view.width
            listModel: ListView.view.model
            artworkOpensPlayer: true
        }
    }

    StateView {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        // An album without tracks is an empty list, without a text; a
        // failure is the red line below.
        loadState: album.loadState === LoadState.Empty || album.loadState === LoadState.Failed
                   ? LoadState.Loaded : album.loadState
    }

    // A failed load or heart: its text in red where the tracks were.
    Text {
        objectName: "albumError"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.topMargin: AppTheme.spacingL
        anchors.leftMargin: AppTheme.spacingXL
        anchors.rightMargin: AppTheme.spacingXL
        visible: album.loadState === LoadState.Failed
        text: album.errorText
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        color: AppTheme.systemRed
        font: AppTheme.body
    }

    SignInRequiredDialog {
        title: album.promptTitle
        message: album.signInPrompt
        onDismissed: album.signInPrompt = ""
    }
}
