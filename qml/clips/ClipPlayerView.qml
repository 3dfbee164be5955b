import QtQuick
import Nimbra

// The clip player over the whole window while a clip is presented: a card
// with the video, its title and its controls floating on a dark backdrop,
// or the video filling the window with a title bar above and the controls
// below. One video surface moves between the two layouts, so switching
// never interrupts playback. Esc shrinks the fullscreen layout to its card,
// and closes the card; so does a click on the backdrop around the card.
Item {
    id: view
    objectName: "clipPlayerView"

    readonly property bool shown: ClipPlayerStore.isPresented && ClipPlayerStore.hasClip && ClipPlayerStore.hasPlayer
    readonly property bool fullscreen: ClipPlayerStore.isFullscreen
    readonly property real videoWidth: 820
    readonly property real videoHeight: 462
    readonly property color backdrop: AppTheme.alpha("black", 0.88)
    // The fullscreen layout's title bar and controls bar over the video.
    readonly property color barFill: AppTheme.alpha("black", 0.92)
    readonly property color failureColor: AppTheme.alpha("white", 0.75)
    // The height of what the main window lays over this view's bottom edge
    // (the mini player, the update strip); the controls stay above it.
    property real bottomInset: 0

    visible: windowed.opacity > 0 || fullscreenLayout.opacity > 0

    // The store hands the surface's sink to its player (the sink comes once
    // the media library has loaded), and takes it back before the surface
    // goes, so the player never feeds a sink that is gone.
    Component.onCompleted: ClipPlayerStore.videoOutput = video.videoSink
    Component.onDestruction: {
        if (ClipPlayerStore.videoOutput === video.videoSink)
            ClipPlayerStore.videoOutput = null
    }

    // Esc (the window's layer of this view): the fullscreen layout shrinks
    // to its card, and the card closes.
    function goBack() {
        if (view.fullscreen)
            ClipPlayerStore.isFullscreen = false
        else
            ClipPlayerStore.dismiss()
    }

    Item {
        id: windowed
        objectName: "clipWindowed"
        anchors.fill: parent
        opacity: view.shown && !view.fullscreen ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: AppTheme.motionFast
            }
        }

        Rectangle {
            objectName: "clipBackdrop"
            anchors.fill: parent
            color: view.backdrop

            // Takes the hover too, so that nothing under the overlay keeps
            // its hover (or its help text).
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                onClicked: ClipPlayerStore.dismiss()
            }
        }

        // Catches clicks on the card, so that they never reach the backdrop.
        MouseArea {
            anchors.fill: card
            hoverEnabled: true
        }

        Column {
            id: card
            objectName: "clipCard"
            // Centred in the room above the inset (the mini player with the
            // update strip over it), padding and all: the title keeps its
            // margin from the window's top edge, the controls theirs from
            // the bars.
            readonly property real room: parent.height - view.bottomInset
            x: (parent.width - width) / 2
            y: Math.max(0, (room - height) / 2)
            padding: AppTheme.sheetMargin
            spacing: AppTheme.cardPadding

            // Where the room above the inset is lower than the card, the
            // video gives up height, letterboxed.
            readonly property real fixedHeight: cardHeader.height + cardSeekBar.height + cardControls.height
                + (cardFailure.visible ? cardFailure.height + spacing : 0) + 3 * spacing + topPadding + bottomPadding

            ClipPlayerHeader {
                id: cardHeader
                width: view.videoWidth
            }

            Rectangle {
                id: windowSlot
                objectName: "clipWindowedVideo"
                width: view.videoWidth
                height: Math.max(0, Math.min(view.videoHeight, card.room - card.fixedHeight))
                radius: AppTheme.radiusL
                color: "black"
            }

            ClipSeekBar {
                id: cardSeekBar
                width: view.videoWidth
            }

            ClipPlayerControls {
                id: cardControls
                objectName: "clipControls"
                anchors.horizontalCenter: parent.horizontalCenter
            }

            Text {
                id: cardFailure
                objectName: "clipFailure"
                width: view.videoWidth
                visible: text !== ""
                horizontalAlignment: Text.AlignHCenter
                text: ClipPlayerStore.failureText
                textFormat: Text.PlainText
                color: view.failureColor
                font: AppTheme.callout
            }
        }
    }

    Rectangle {
        id: fullscreenLayout
        objectName: "clipFullscreen"
        anchors.fill: parent
        color: "black"
        opacity: view.shown && view.fullscreen ? 1 : 0
        visible: opacity > 0
        Behavior on opacity {
            NumberAnimation {
                duration: AppTheme.motionFast
            }
        }

        // Nothing under the fullscreen player takes a click or the hover.
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
        }

        // Between the bars, letterboxed: the picture never runs under a
        // bar, so each bar is one even band wherever the picture ends.
        Item {
            id: fullSlot
            objectName: "clipFullscreenVideo"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: titleBar.bottom
            anchors.bottom: controlsBar.top
        }

        Rectangle {
            id: titleBar
            objectName: "clipTitleBar"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            height: fullHeader.implicitHeight + 2 * AppTheme.cardPadding
            color: view.barFill

            ClipPlayerHeader {
                id: fullHeader
                fullscreen: true
                anchors.fill: parent
                anchors.leftMargin: AppTheme.spacingXL
                anchors.rightMargin: AppTheme.spacingXL
                anchors.topMargin: AppTheme.cardPadding
                anchors.bottomMargin: AppTheme.cardPadding
            }
        }

        // Its foot lies under the update strip while one shows (the mini
        // player does not show over the fullscreen clip).
        Rectangle {
            id: controlsBar
            objectName: "clipControlsBar"
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: controlsColumn.implicitHeight + 2 * AppTheme.spacingXL + view.bottomInset
            color: view.barFill

            Column {
                id: controlsColumn
                anchors.fill: parent
                anchors.leftMargin: AppTheme.spacingXXL
                anchors.rightMargin: AppTheme.spacingXXL
                anchors.topMargin: AppTheme.spacingXL
                anchors.bottomMargin: AppTheme.spacingXL + view.bottomInset
                spacing: AppTheme.cardPadding

                ClipSeekBar {
                    width: parent.width
                }

                ClipPlayerControls {
                    objectName: "clipFullscreenControls"
                    anchors.horizontalCenter: parent.horizontalCenter
                }

                Text {
                    width: parent.width
                    visible: text !== ""
                    horizontalAlignment: Text.AlignHCenter
                    text: ClipPlayerStore.failureText
                    textFormat: Text.PlainText
                    color: view.failureColor
                    font: AppTheme.callout
                }
            }
        }
    }

    // The one video surface, in the slot of the layout on show.
    VideoFrameItem {
        id: video
        objectName: "clipVideo"
        parent: view.fullscreen ? fullSlot : windowSlot
        anchors.fill: parent
        radius: view.fullscreen ? 0 : windowSlot.radius
        onVideoSinkChanged: ClipPlayerStore.videoOutput = videoSink
    }
}
