import QtQuick
import QtQuick.Templates as T
import Nimbra

// Stands for the artist page over the detail column: the artist's name and
// the back bar that closes the page.
Rectangle {
    id: page
    objectName: "artistPage"

    property string artistName

    color: AppTheme.background

    // Clicks stay on the page instead of reaching the screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    T.AbstractButton {
        id: back
        objectName: "artistBackButton"
        x: 16
        y: 10
        implicitWidth: backRow.implicitWidth
        implicitHeight: 28
        focusPolicy: Qt.NoFocus
        hoverEnabled: true
        onClicked: ArtistNavigationStore.close()

        contentItem: Row {
            id: backRow
            spacing: 4

            AppIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: "chevron.left"
                size: AppTheme.symbolSize(AppTheme.body)
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "Назад"
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
                font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
            }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 14

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 120
            height: 120
            radius: 60
            color: AppTheme.elevated
            border.width: 1
            border.color: AppTheme.border

            AppIcon {
                anchors.centerIn: parent
                name: "person.crop.circle"
                size: 60
                color: AppTheme.textMuted
            }
        }

        Text {
            objectName: "artistName"
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(implicitWidth, page.width - 48)
            horizontalAlignment: Text.AlignHCenter
            text: page.artistName
            textFormat: Text.PlainText
            color: AppTheme.textPrimary
            font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
            elide: Text.ElideRight
        }
    }
}
