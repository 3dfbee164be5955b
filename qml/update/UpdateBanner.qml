import QtQuick
import QtQuick.Templates as T
import Nimbra

// The strip that offers a newer build: its version and the first line of its
// notes, the download button or the download's bar or spinner, and a close
// button. What shows comes from UpdateBannerModel; this file lays it out.
Item {
    id: banner
    objectName: "updateBanner"

    readonly property color accentFill: AppTheme.alpha(AppTheme.accent, 0.18)
    readonly property color edge: AppTheme.alpha(AppTheme.accent, 0.35)
    readonly property int shadowRings: 4
    // The download symbol on its disc.
    readonly property real iconDiscSize: 38
    readonly property real iconSize: 20
    // The version chip beside the title.
    readonly property real chipPaddingX: 6
    readonly property real chipPaddingY: 2
    readonly property color notesColor: AppTheme.alpha("white", 0.55)
    readonly property real downloadPaddingY: 7
    readonly property real progressBarWidth: 80
    readonly property real progressBarThickness: 4
    readonly property color progressTextColor: AppTheme.alpha("white", 0.6)
    readonly property real closeSize: 24
    readonly property color closeForeground: AppTheme.alpha("white", 0.45)
    readonly property color closeFill: AppTheme.alpha("white", 0.07)

    implicitHeight: row.implicitHeight + 2 * AppTheme.spacingM

    UpdateBannerModel {
        id: bannerModel
        objectName: "updateBannerModel"
    }

    // A soft shadow below the card, drawn without shaders so that the
    // software renderer shows it too.
    Repeater {
        model: banner.shadowRings
        // Each ring a step wider than the one inside it, dropped below the
        // card, and fainter.
        delegate: Rectangle {
            required property int index
            readonly property real step: 2
            readonly property real drop: 6
            readonly property real strength: 0.45
            readonly property real spread: (index + 1) * step
            x: -spread
            y: drop - spread + step
            width: parent.width + 2 * spread
            height: parent.height + 2 * spread
            radius: AppTheme.radiusXXL + spread
            color: Qt.rgba(0, 0, 0, strength / (index + 2))
        }
    }

    Rectangle {
        id: card
        anchors.fill: parent
        radius: AppTheme.radiusXXL
        // Opaque: without a blur, content showing through would only be noise.
        color: AppTheme.elevated
        border.width: 1
        border.color: banner.edge
    }

    Row {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: AppTheme.wideCardPadding
        anchors.rightMargin: AppTheme.wideCardPadding
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.cardPadding

        Rectangle {
            id: icon
            anchors.verticalCenter: parent.verticalCenter
            width: banner.iconDiscSize
            height: banner.iconDiscSize
            radius: width / 2
            color: banner.accentFill

            AppIcon {
                anchors.centerIn: parent
                name: "arrow.down.circle.fill"
                size: banner.iconSize
                color: AppTheme.accent
            }
        }

        Column {
            id: texts
            anchors.verticalCenter: parent.verticalCenter
            width: row.width - icon.width - actions.width - close.width - 3 * row.spacing
            spacing: AppTheme.spacingXXS

            Row {
                spacing: AppTheme.symbolGap

                Text {
                    objectName: "updateTitle"
                    anchors.verticalCenter: parent.verticalCenter
                    text: bannerModel.title
                    textFormat: Text.PlainText
                    color: "white"
                    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                }

                Rectangle {
                    objectName: "updateVersion"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: bannerModel.versionBadge !== ""
                    width: version.implicitWidth + 2 * banner.chipPaddingX
                    height: version.implicitHeight + 2 * banner.chipPaddingY
                    radius: height / 2
                    color: banner.accentFill

                    Text {
                        id: version
                        anchors.centerIn: parent
                        text: bannerModel.versionBadge
                        textFormat: Text.PlainText
                        color: AppTheme.accent
                        font: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.Medium)
                    }
                }
            }

            Text {
                objectName: "updateNotes"
                visible: bannerModel.hasNotesLine
                width: parent.width
                text: bannerModel.notesLine
                textFormat: Text.PlainText
                maximumLineCount: 1
                elide: Text.ElideRight
                color: bannerModel.notesLineIsFailure ? AppTheme.systemOrange : banner.notesColor
                font: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.Normal)
            }
        }

        Item {
            id: actions
            anchors.verticalCenter: parent.verticalCenter
            width: bannerModel.showsDownloadButton ? downloadButton.implicitWidth : progressRow.implicitWidth
            height: Math.max(downloadButton.implicitHeight, progressRow.implicitHeight)

            T.Button {
                id: downloadButton
                objectName: "updateDownloadButton"
                anchors.verticalCenter: parent.verticalCenter
                visible: bannerModel.showsDownloadButton
                text: bannerModel.downloadButtonText
                leftPadding: AppTheme.cardPadding
                rightPadding: AppTheme.cardPadding
                topPadding: banner.downloadPaddingY
                bottomPadding: banner.downloadPaddingY
                implicitWidth: implicitContentWidth + leftPadding + rightPadding
                implicitHeight: implicitContentHeight + topPadding + bottomPadding
                font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                hoverEnabled: true
                contentItem: Text {
                    text: downloadButton.text
                    font: downloadButton.font
                    color: "white"
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                background: Rectangle {
                    radius: height / 2
                    color: downloadButton.down ? AppTheme.pressedTint(AppTheme.accent)
                         : downloadButton.hovered ? AppTheme.hoveredTint(AppTheme.accent)
                         : AppTheme.accent
                }
                onClicked: bannerModel.download()
            }

            Row {
                id: progressRow
                anchors.verticalCenter: parent.verticalCenter
                visible: !bannerModel.showsDownloadButton
                spacing: AppTheme.spacingS

                Rectangle {
                    objectName: "updateProgressBar"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: bannerModel.showsProgressBar
                    width: banner.progressBarWidth
                    height: banner.progressBarThickness
                    radius: height / 2
                    color: banner.accentFill

                    Rectangle {
                        width: parent.width * bannerModel.progress
                        height: parent.height
                        radius: parent.radius
                        color: AppTheme.accent
                    }
                }

                ProgressSpinner {
                    objectName: "updateSpinner"
                    anchors.verticalCenter: parent.verticalCenter
                    size: AppTheme.smallSpinnerSize
                    running: bannerModel.showsSpinner
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: bannerModel.progressText
                    color: banner.progressTextColor
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.Normal)
                }
            }
        }

        CircularControlButton {
            id: close
            objectName: "closeUpdateButton"
            anchors.verticalCenter: parent.verticalCenter
            size: banner.closeSize
            systemImage: "xmark"
            iconFont: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.Medium)
            foreground: banner.closeForeground
            backgroundColor: banner.closeFill
            onClicked: bannerModel.dismiss()
        }
    }
}
