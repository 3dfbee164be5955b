import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Nimbra

// The panel in which the listener picks when playback stops: after some
// minutes, at the end of the track, or never. It keeps no timer of its own:
// it shows the player's sleep timer and closes after every choice. Opened
// by its button, which it points at.
Popup {
    id: popover
    objectName: "sleepTimerPopover"


    width: 220
    padding: 0
    // Above its button: the player's controls sit at the bottom of the window.
    x: parent ? (parent.width - width) / 2 : 0
    y: -height - 12
    modal: false
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent

    SleepTimerModel {
        id: timer
        onCloseRequested: popover.close()
    }

    background: Rectangle {
        radius: AppTheme.radiusL
        color: AppTheme.elevated
        border.color: AppTheme.borderStrong

        // The arrow towards the button.
        Rectangle {
            width: 12
            height: 12
            rotation: 45
            x: (parent.width - width) / 2
            y: parent.height - height / 2 - 1
            color: AppTheme.elevated
            border.color: AppTheme.borderStrong
            z: -1
        }
    }

    contentItem: ColumnLayout {
        spacing: 0

        Text {
            Layout.fillWidth: true
            leftPadding: AppTheme.cardPadding
            rightPadding: AppTheme.cardPadding
            topPadding: AppTheme.cardPadding
            bottomPadding: AppTheme.spacingS
            text: "Таймер сна"
            color: AppTheme.textPrimary
            font: AppTheme.headline
        }

        Divider {}

        RowLayout {
            objectName: "sleepTimerActive"
            visible: timer.showsActive
            Layout.fillWidth: true
            Layout.leftMargin: AppTheme.cardPadding
            Layout.rightMargin: AppTheme.cardPadding
            Layout.topMargin: 10
            Layout.bottomMargin: 10
            spacing: AppTheme.spacingS

            AppIcon {
                name: "moon.stars.fill"
                size: AppTheme.symbolSize(AppTheme.subheadline)
                color: AppTheme.accent
            }

            Text {
                objectName: "sleepTimerLabel"
                Layout.fillWidth: true
                text: timer.activeLabel
                color: AppTheme.textPrimary
                font: AppTheme.subheadline
            }

            Text {
                objectName: "sleepTimerCancel"
                text: "Отмена"
                color: AppTheme.systemRed
                font: AppTheme.subheadline

                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -6
                    cursorShape: Qt.PointingHandCursor
                    onClicked: timer.cancel()
                }
            }
        }

        Divider {
            visible: timer.showsActive
        }

        Repeater {
            model: timer.presets

            delegate: ChoiceRow {
                required property int modelData
                symbol: "moon.fill"
                label: timer.presetLabel(modelData)
                onChosen: timer.choose(modelData)
            }
        }

        Divider {}

        ChoiceRow {
            objectName: "sleepTimerEndOfTrack"
            symbol: "music.note"
            label: "До конца трека"
            onChosen: timer.chooseEndOfTrack()
        }

        Item {
            Layout.preferredHeight: 10
        }
    }

    component Divider: Rectangle {
        Layout.fillWidth: true
        Layout.preferredHeight: 1
        color: AppTheme.border
    }

    component ChoiceRow: Item {
        id: row

        property string symbol
        property string label
        signal chosen()

        Layout.fillWidth: true
        implicitHeight: rowContent.implicitHeight + 16

        RowLayout {
            id: rowContent
            anchors.fill: parent
            anchors.leftMargin: AppTheme.cardPadding
            anchors.rightMargin: AppTheme.cardPadding
            spacing: AppTheme.spacingS

            AppIcon {
                name: row.symbol
                size: AppTheme.symbolSize(AppTheme.body)
                color: AppTheme.textSecondary
            }

            Text {
                Layout.fillWidth: true
                text: row.label
                color: AppTheme.textPrimary
                font: AppTheme.body
            }
        }

        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: row.chosen()
        }
    }
}
