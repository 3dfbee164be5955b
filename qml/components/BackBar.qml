import QtQuick
import QtQuick.Templates as T
import Nimbra

// The bar at the top of a pushed page: "Назад", which asks Navigation to go
// back, and the page's title. A page shown in a sheet gives `closeAction`
// instead: the button then reads "Закрыть" and runs it.
Item {
    id: bar

    property string title
    property var closeAction: null

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
        onClicked: bar.closeAction ? bar.closeAction() : Navigation.back()

        contentItem: Row {
            id: backRow
            spacing: AppTheme.spacingXS

            AppIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: bar.closeAction ? "xmark" : "chevron.left"
                size: AppTheme.symbolSize(AppTheme.body)
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: bar.closeAction ? "Закрыть" : "Назад"
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
