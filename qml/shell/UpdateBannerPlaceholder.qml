import QtQuick
import Nimbra

// Stands for the update strip: the offer of a newer build with its version,
// and a button that withdraws the offer.
Rectangle {
    id: banner
    objectName: "updateBanner"

    readonly property var manifest: OtaUpdateStore.availableManifest

    implicitHeight: 62
    radius: 16
    color: AppTheme.elevated
    border.width: 1
    border.color: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.35)

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 18
        anchors.verticalCenter: parent.verticalCenter
        spacing: 14

        Rectangle {
            width: 38
            height: 38
            radius: 19
            color: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.18)

            AppIcon {
                anchors.centerIn: parent
                name: "arrow.down.circle.fill"
                size: 24
                color: AppTheme.accent
            }
        }

        Row {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "Доступно обновление"
                color: "white"
                font: AppTheme.systemFont(13, Font.DemiBold)
            }

            Rectangle {
                anchors.verticalCenter: parent.verticalCenter
                visible: banner.manifest.versionName !== undefined
                width: version.implicitWidth + 12
                height: version.implicitHeight + 4
                radius: height / 2
                color: Qt.rgba(AppTheme.accent.r, AppTheme.accent.g, AppTheme.accent.b, 0.18)

                Text {
                    id: version
                    anchors.centerIn: parent
                    text: "v" + (banner.manifest.versionName ?? "")
                    textFormat: Text.PlainText
                    color: AppTheme.accent
                    font: AppTheme.systemFont(11, Font.Medium)
                }
            }
        }
    }

    CircularControlButton {
        objectName: "closeUpdateButton"
        anchors.right: parent.right
        anchors.rightMargin: 18
        anchors.verticalCenter: parent.verticalCenter
        size: 24
        systemImage: "xmark"
        iconFont: AppTheme.systemFont(11, Font.Medium)
        foreground: Qt.rgba(1, 1, 1, 0.45)
        backgroundColor: Qt.rgba(1, 1, 1, 0.07)
        focusPolicy: Qt.NoFocus
        onClicked: OtaUpdateStore.dismissAvailableManifest()
    }
}
