import QtQuick
import QtQuick.Templates as T
import Nimbra

// The bar at the top of a pushed page: "Назад", which asks Navigation to go
// back, and the page's title. On a page shown in a sheet (`closes`) the
// button reads "Закрыть" and says `closeRequested` instead.
Item {
    id: bar

    property string title
    property bool closes: false

    signal closeRequested()

    implicitWidth: 320
    implicitHeight: 48

    T.AbstractButton {
        id: back
        objectName: "backButton"
        x: AppTheme.spacingL
        anchors.verticalCenter: parent.verticalCenter
        implicitWidth: backRow.implicitWidth
        implicitHeight: 28
        focusPolicy: Qt.NoFocus
        hoverEnabled: true
        onClicked: bar.closes ? bar.closeRequested() : Navigation.back()

        contentItem: Row {
            id: backRow
            spacing: AppTheme.spacingXS

            AppIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: bar.closes ? "xmark" : "chevron.left"
                size: AppTheme.symbolSize(AppTheme.body)
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: bar.closes ? "Закрыть" : "Назад"
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
                font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
            }
        }
    }

    Text {
        objectName: "backBarTitle"
        anchors.left: back.right
        anchors.leftMargin: AppTheme.spacingL
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingL
        anchors.verticalCenter: parent.verticalCenter
        text: bar.title
        textFormat: Text.PlainText
        color: AppTheme.textPrimary
        font: AppTheme.headline
        elide: Text.ElideRight
    }
}
