import QtQuick
import QtQuick.Layouts
import Nimbra

// The fixed-width column of the main window: the name, the ten sections and
// the signed-in user's card at the foot, kept clear of the mini player.
Rectangle {
    id: sidebar

    // The client's name shrinks to fit, down to this share of its size.
    readonly property real nameShrink: 0.85

    required property MainNavigationModel navigation

    color: AppTheme.surface

    property real bottomInset: AppTheme.bottomReserve(navigation.showsMiniPlayer, navigation.showsUpdateBanner)
    Behavior on bottomInset {
        NumberAnimation {
            duration: AppTheme.motionFast
            easing.type: AppTheme.motionEasing
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.bottomMargin: sidebar.bottomInset
        spacing: AppTheme.spacingXS

        Text {
            Layout.fillWidth: true
            Layout.leftMargin: AppTheme.spacingM
            Layout.rightMargin: AppTheme.spacingM
            Layout.topMargin: AppTheme.spacingM
            Layout.bottomMargin: AppTheme.spacingS
            text: "Nimbras"
            color: AppTheme.textPrimary
            font: AppTheme.headline
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: Math.floor(font.pixelSize * sidebar.nameShrink)
            maximumLineCount: 1
        }

        Repeater {
            model: sidebar.navigation.sidebarItems

            delegate: SidebarButton {
                required property int item
                required property string title
                required symbol
                required isSelected

                objectName: "sidebarRow" + item
                Layout.fillWidth: true
                Layout.leftMargin: AppTheme.spacingS
                Layout.rightMargin: AppTheme.spacingS
                text: title
                onClicked: sidebar.navigation.navigateToSidebar(item)
            }
        }

        Item {
            Layout.fillHeight: true
        }

        ProfileCard {
            objectName: "profileCard"
            Layout.fillWidth: true
            Layout.leftMargin: AppTheme.spacingS
            Layout.rightMargin: AppTheme.spacingS
            Layout.bottomMargin: AppTheme.spacingS
            visible: sidebar.navigation.showsProfileCard
            navigation: sidebar.navigation
            onClicked: sidebar.navigation.navigateToSidebar(SidebarItem.Profile)
        }
    }
}
