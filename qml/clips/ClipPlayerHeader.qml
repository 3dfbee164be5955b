import QtQuick
import Nimbra

// The clip's title and artist with the header's buttons. Windowed: the title
// block on the left, then the fullscreen symbol and "Закрыть". Fullscreen:
// the title block centred between the capsules "Выйти" and "Закрыть",
// kept clear of them so long titles never run under the buttons.
Item {
    id: header

    property bool fullscreen: false

    readonly property real fullscreenMinimumHeight: 52
    // The fullscreen title keeps this clear of each capsule.
    readonly property real titleClearance: 120
    // The symbols a little larger than the text beside them.
    readonly property real fullscreenSymbolSize: AppTheme.title3.pixelSize + 3
    readonly property real capsuleSymbolSize: AppTheme.subheadline.pixelSize + 2

    implicitHeight: fullscreen ? Math.max(fullscreenMinimumHeight, fullscreenTitle.implicitHeight)
                               : Math.max(windowedRow.implicitHeight, AppTheme.controlHeight)

    component TitleBlock: Column {
        id: block
        property bool centred: false
        spacing: AppTheme.spacingXS

        Text {
            objectName: "clipTitle"
            width: parent.width
            text: ClipPlayerStore.currentTitle
            textFormat: Text.PlainText
            color: "white"
            font: AppTheme.headline
            maximumLineCount: 2
            wrapMode: Text.Wrap
            elide: Text.ElideRight
            horizontalAlignment: block.centred ? Text.AlignHCenter : Text.AlignLeft
        }

        // Each credited name opens its artist's page, in the overlay's white.
        Item {
            width: parent.width
            implicitHeight: credits.implicitHeight

            ArtistCreditsLine {
                id: credits
                objectName: "clipArtist"
                text: ClipPlayerStore.currentArtist
                style: "overlay"
                width: Math.min(implicitWidth, parent.width)
                x: block.centred ? (parent.width - width) / 2 : 0
            }
        }
    }

    Row {
        id: windowedRow
        visible: !header.fullscreen
        anchors.fill: parent
        spacing: AppTheme.spacingM

        TitleBlock {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - fullscreenButton.width - closeButton.width - 2 * parent.spacing
        }

        ClipHeaderButton {
            id: fullscreenButton
            objectName: "clipFullscreenButton"
            anchors.verticalCenter: parent.verticalCenter
            symbol: "arrow.up.left.and.arrow.down.right"
            symbolSize: header.fullscreenSymbolSize
            toolTip: "На весь экран"
            onClicked: ClipPlayerStore.isFullscreen = !ClipPlayerStore.isFullscreen
        }

        ClipHeaderButton {
            id: closeButton
            objectName: "clipCloseButton"
            anchors.verticalCenter: parent.verticalCenter
            text: "Закрыть"
            font: Qt.font({ pixelSize: AppTheme.body.pixelSize, weight: Font.Medium })
            toolTip: "Закрыть плеер"
            onClicked: ClipPlayerStore.dismiss()
        }
    }

    TitleBlock {
        id: fullscreenTitle
        visible: header.fullscreen
        centred: true
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: header.titleClearance
        anchors.rightMargin: header.titleClearance
        anchors.verticalCenter: parent.verticalCenter
    }

    ClipHeaderButton {
        objectName: "clipExitFullscreenButton"
        visible: header.fullscreen
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        capsule: true
        foreground: "white"
        text: "Выйти"
        symbol: "arrow.down.right.and.arrow.up.left"
        symbolSize: header.capsuleSymbolSize
        font: Qt.font({ pixelSize: AppTheme.subheadline.pixelSize, weight: Font.DemiBold })
        toolTip: "Выйти из полноэкранного режима (Esc)"
        onClicked: ClipPlayerStore.isFullscreen = false
    }

    ClipHeaderButton {
        objectName: "clipFullscreenCloseButton"
        visible: header.fullscreen
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        capsule: true
        foreground: "white"
        text: "Закрыть"
        font: Qt.font({ pixelSize: AppTheme.subheadline.pixelSize, weight: Font.DemiBold })
        toolTip: "Закрыть плеер"
        onClicked: ClipPlayerStore.dismiss()
    }
}
