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

    implicitHeight: row.implicitHeight + 2 * AppTheme.spacingM

    UpdateBannerModel {
        id: bannerModel
        objectName: "updateBannerModel"
    }

    // A soft shadow below the card, drawn without shaders so that the
    // software renderer shows it too.
    Repeater {
        model: 4
        delegate: Rectangle {
            required property int index
            x: -(index + 1) * 2
            y: 6 - (index + 1) * 2 + 2
            width: parent.width + (index + 1) * 4
            height: parent.height + (index + 1) * 4
            radius: 16 + (index + 1) * 2
            color: Qt.rgba(0, 0, 0, 0.45 / (index + 2))
        }
    }

    Rectangle {
        id: card
        anchors.fill: parent
        radius: AppTheme.radiusXXL
        // Opaque: without a blur, content showing through would only be noise.
        color: AppTheme.elevated
        border.width: 1
        border.color: AppTheme.alpha(AppTheme.accent, 0.35)
    }

    Row {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: 18
        anchors.rightMargin: 18
        anchors.verticalCenter: parent.verticalCenter
        spacing: AppTheme.cardPadding

        Rectangle {
            id: icon
            anchors.verticalCenter: parent.verticalCenter
            width: 38
            height: 38
            radius: 19
            color: banner.accentFill

            AppIcon {
                anchors.centerIn: parent
                name: "arrow.down.circle.fill"
                size: 20
                color: AppTheme.accent
            }
        }

        Column {
            id: texts
            anchors.verticalCenter: parent.verticalCenter
            width: row.width - icon.width - actions.width - close.width - 3 * row.spacing
            spacing: AppTheme.spacingXXS

            Row {
                spacing: 6

                Text {
                    objectName: "updateTitle"
                    anchors.verticalCenter: parent.verticalCenter
                    text: bannerModel.title
                    color: "white"
                    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
                }

                Rectangle {
                    objectName: "updateVersion"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: bannerModel.versionBadge !== ""
                    width: version.implicitWidth + 12
                    height: version.implicitHeight + 4
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
                color: Qt.rgba(1, 1, 1, 0.55)
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
                topPadding: 7
                bottomPadding: 7
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
                    color: downloadButton.down ? Qt.darker(AppTheme.accent, 1.18)
                         : downloadButton.hovered ? Qt.lighter(AppTheme.accent, 1.08)
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
                    width: 80
                    height: 4
                    radius: 2
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
                    size: 14
                    running: bannerModel.showsSpinner
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: bannerModel.progressText
                    color: Qt.rgba(1, 1, 1, 0.6)
                    font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.Normal)
                }
            }
        }

        CircularControlButton {
            id: close
            objectName: "closeUpdateButton"
            anchors.verticalCenter: parent.verticalCenter
            size: 24
            systemImage: "xmark"
            iconFont: AppTheme.systemFont(AppTheme.subheadline.pixelSize, Font.Medium)
            foreground: Qt.rgba(1, 1, 1, 0.45)
            backgroundColor: Qt.rgba(1, 1, 1, 0.07)
            onClicked: bannerModel.dismiss()
        }
    }
}
