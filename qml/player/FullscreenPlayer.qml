import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbra

// The large screen of the playing track over the detail column, in two
// modes: the cover with title and artists, or the synced lyrics under a
// small header. Both share the top bar ("К обложке", "Свернуть") and the
// controls bar (FullscreenControls). Esc steps back from the lyrics to the
// cover and from the cover out. Made afresh on every presentation, so it
// always opens on the cover unless the opener asked for the lyrics.
Item {
    id: screen
    objectName: "fullscreenPlayer"

    // The small cover beside the title over the lyrics.
    readonly property real lyricsCoverSize: 48
    // The cover block: at most this wide; the cover between its smallest
    // and largest size, leaving room below it for the title block.
    readonly property real coverBlockWidth: 640
    readonly property real coverMinimumSize: 120
    readonly property real coverMaximumSize: 280
    readonly property real titleRoom: 120
    // Keeps the artist line clear of the window's edges.
    readonly property real artistLineInset: 140
    // The height of what the main window lays over this screen's bottom
    // edge (the update strip); the controls stay above it.
    property real bottomInset: 0

    FullscreenPlayerModel {
        id: model
    }

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    BlurredCover {
        anchors.fill: parent
        source: PlayerStore.currentCoverUrl
    }

    // Clicks stay here instead of reaching the dimmed screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: wheel => wheel.accepted = true
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.bottomMargin: screen.bottomInset
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: AppTheme.spacingXL
            Layout.rightMargin: AppTheme.spacingXL
            Layout.topMargin: AppTheme.spacingL
            Layout.bottomMargin: AppTheme.spacingS
            spacing: AppTheme.spacingM

            TapLabel {
                objectName: "backToCover"
                visible: model.lyricsMode
                symbol: "chevron.left"
                text: "К обложке"
                onTapped: model.showCover()
            }

            Item {
                Layout.fillWidth: true
                implicitHeight: 1
            }

            TapLabel {
                objectName: "collapseButton"
                text: "Свернуть"
                onTapped: PlayerStore.dismissFullscreen()
            }
        }

        // Lyrics mode with lyrics to show.
        ColumnLayout {
            visible: model.showsLyricsPanel
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 0

            RowLayout {
                objectName: "lyricsHeader"
                Layout.fillWidth: true
                Layout.leftMargin: AppTheme.sheetMargin
                Layout.rightMargin: AppTheme.sheetMargin
                Layout.bottomMargin: AppTheme.spacingS
                spacing: AppTheme.spacingM

                Artwork {
                    size: screen.lyricsCoverSize
                    radius: AppTheme.radiusM
                    source: PlayerStore.currentCoverUrl
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: AppTheme.spacingXXS

                    Text {
                        Layout.fillWidth: true
                        text: PlayerStore.currentTitle
                        textFormat: Text.PlainText
                        color: "white"
                        font: AppTheme.headline
                        elide: Text.ElideRight
                    }

                    ArtistCreditsLine {
                        Layout.fillWidth: true
                        text: PlayerStore.currentArtist
                        style: "overlay"
                    }
                }
            }

            Loader {
                Layout.fillWidth: true
                Layout.fillHeight: true
                active: model.showsLyricsPanel
                sourceComponent: LyricsPanel {
                    embedded: true
                }
            }
        }

        // Cover mode: the cover block centred between the bars.
        Item {
            visible: !model.showsLyricsPanel
            Layout.fillWidth: true
            Layout.fillHeight: true

            ColumnLayout {
                objectName: "coverBlock"
                visible: PlayerStore.hasCurrentTrack
                anchors.centerIn: parent
                width: Math.min(parent.width, screen.coverBlockWidth)
                spacing: AppTheme.spacingXL

                Artwork {
                    objectName: "bigCover"
                    Layout.alignment: Qt.AlignHCenter
                    size: Math.max(screen.coverMinimumSize, Math.min(screen.coverMaximumSize, parent.parent.height - screen.titleRoom))
                    radius: AppTheme.radiusXL
                    source: PlayerStore.currentCoverUrl
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    Layout.leftMargin: AppTheme.sheetMargin
                    Layout.rightMargin: AppTheme.sheetMargin
                    spacing: AppTheme.lineSpacing

                    Text {
                        objectName: "bigTitle"
                        Layout.fillWidth: true
                        text: PlayerStore.currentTitle
                        textFormat: Text.PlainText
                        color: "white"
                        font: AppTheme.systemFont(AppTheme.title2.pixelSize, Font.Bold)
                        horizontalAlignment: Text.AlignHCenter
                        wrapMode: Text.Wrap
                        maximumLineCount: 3
                        elide: Text.ElideRight
                    }

                    Row {
                        Layout.alignment: Qt.AlignHCenter
                        spacing: AppTheme.symbolGap

                        ArtistCreditsLine {
                            objectName: "bigArtist"
                            anchors.verticalCenter: parent.verticalCenter
                            width: Math.min(implicitWidth, screen.width - screen.artistLineInset)
                            text: PlayerStore.currentArtist
                            style: "fullscreen"
                        }

                        HiFiBadge {
                            objectName: "bigHiFi"
                            anchors.verticalCenter: parent.verticalCenter
                            visible: PlayerStore.currentIsHiFi
                        }
                    }
                }
            }
        }

        FullscreenControls {
            Layout.fillWidth: true
            lyricsMode: model.lyricsMode
            onLyricsRequested: model.showLyrics()
        }
    }

    FocusSuppressor {
        anchors.fill: parent
        refresh: model.lyricsMode
    }

    // Esc (the window's layer of this screen): leaves the lyrics, then the
    // screen.
    function goBack() {
        model.goBack()
    }

    SignInRequiredDialog {
        title: TrackActions.promptTitle
        message: screen.visible ? TrackActions.signInPrompt : ""
        onDismissed: TrackActions.signInPrompt = ""
    }

    MessageAlert {
        objectName: "offlineAlert"
        title: "Офлайн"
        message: model.cacheAlert
        onDismissed: model.dismissCacheAlert()
    }

    component TapLabel: Row {
        id: tapLabel

        property string symbol
        property string text
        signal tapped()

        spacing: AppTheme.spacingXS

        AppIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: tapLabel.symbol !== ""
            name: tapLabel.symbol
            size: AppTheme.symbolSize(AppTheme.body)
            color: AppTheme.mediaForeground
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: tapLabel.text
            color: AppTheme.mediaForeground
            font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.Medium)
        }

        TapHandler {
            onTapped: tapLabel.tapped()
        }
    }
}
