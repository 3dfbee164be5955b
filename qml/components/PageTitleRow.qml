import QtQuick
import QtQuick.Templates as T
import Nimbra

// The title row of a list page, the same on every list. A section's own
// screen shows its title large at the page's margin, with an optional line
// under it; a page pushed on a section's stack shows "Назад", which asks
// Navigation to go back, and its title in the bar's smaller type. Actions
// given as `trailing` (any item) sit at the trailing edge in both.
Item {
    id: titleRow

    property string title
    // Drawn before the title in the colour emoji font.
    property string emoji
    property string subtitle
    property bool pushed: false
    // On a page shown in a sheet the button reads "Закрыть" and says
    // `closeRequested` instead of going back.
    property bool closes: false
    property Item trailing: null

    signal closeRequested()

    // A section's row reaches down to the bottom of its heading, its top
    // margin included, so what follows keeps one gap under it.
    implicitWidth: 320
    implicitHeight: pushed ? AppTheme.barHeight : AppTheme.pageMargin + texts.implicitHeight

    onTrailingChanged: {
        if (trailing) {
            trailing.parent = trailingSlot
            trailing.anchors.right = trailingSlot.right
            trailing.anchors.verticalCenter = trailingSlot.verticalCenter
        }
    }

    // Named only while it is there, so that a section under a pushed page
    // never answers for the pushed page's button.
    T.AbstractButton {
        id: back
        objectName: titleRow.pushed ? "backButton" : ""
        visible: titleRow.pushed
        x: AppTheme.spacingL
        anchors.verticalCenter: parent.verticalCenter
        width: visible ? implicitWidth : 0
        implicitWidth: implicitContentWidth
        implicitHeight: AppTheme.backButtonHeight
        focusPolicy: Qt.NoFocus
        hoverEnabled: true
        onClicked: titleRow.closes ? titleRow.closeRequested() : Navigation.back()

        contentItem: Row {
            spacing: AppTheme.spacingXS

            AppIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: titleRow.closes ? "xmark" : "chevron.left"
                size: AppTheme.symbolSize(AppTheme.body)
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: titleRow.closes ? "Закрыть" : "Назад"
                color: back.hovered ? AppTheme.accentLight : AppTheme.accent
                font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.DemiBold)
            }
        }
    }

    Column {
        id: texts
        x: titleRow.pushed ? back.x + back.width + AppTheme.spacingL : AppTheme.pageMargin
        y: titleRow.pushed ? (titleRow.height - height) / 2 : AppTheme.pageMargin
        width: (titleRow.trailing ? trailingSlot.x - (titleRow.pushed ? AppTheme.spacingL : AppTheme.spacingM)
                                  : titleRow.width - (titleRow.pushed ? AppTheme.spacingL : AppTheme.pageMargin)) - x
        spacing: AppTheme.spacingXXS

        Row {
            width: parent.width
            spacing: titleEmoji.visible ? AppTheme.spacingXS : 0

            Text {
                id: titleEmoji
                objectName: "titleEmoji"
                anchors.baseline: titleText.baseline
                visible: text !== ""
                text: titleRow.emoji
                textFormat: Text.PlainText
                font.family: AppTheme.emojiFamily
                font.pixelSize: titleText.font.pixelSize
            }

            Text {
                id: titleText
                objectName: titleRow.pushed ? "backBarTitle" : "headerTitle"
                width: parent.width - (titleEmoji.visible ? titleEmoji.width + parent.spacing : 0)
                text: titleRow.title
                textFormat: Text.PlainText
                color: AppTheme.textPrimary
                font: titleRow.pushed ? AppTheme.headline : AppTheme.systemFont(AppTheme.title.pixelSize, Font.Bold)
                elide: Text.ElideRight
            }
        }

        Text {
            objectName: "headerSubtitle"
            width: parent.width
            visible: !titleRow.pushed && text !== ""
            text: titleRow.subtitle
            textFormat: Text.PlainText
            color: AppTheme.textSecondary
            font: AppTheme.callout
            elide: Text.ElideRight
        }
    }

    Item {
        id: trailingSlot
        anchors.right: parent.right
        anchors.rightMargin: titleRow.pushed ? AppTheme.spacingL : AppTheme.pageMargin
        y: titleRow.pushed ? 0 : texts.y
        height: titleRow.pushed ? titleRow.height : texts.height
        width: titleRow.trailing ? titleRow.trailing.width : 0
    }
}
