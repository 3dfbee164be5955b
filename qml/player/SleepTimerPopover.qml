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

    readonly property real panelWidth: 220
    // The side of the square that, turned, points at the button; the panel
    // keeps as far above the button.
    readonly property real arrowSize: 12
    // Above and below the list of choices and the running timer's line.
    readonly property real listPadding: 10
    // "Отмена" takes a press a little beyond its text.
    readonly property real cancelReach: 6

    width: panelWidth
    padding: 0
    // Above its button: the player's controls sit at the bottom of the window.
    x: parent ? (parent.width - width) / 2 : 0
    y: -height - arrowSize
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
            width: popover.arrowSize
            height: popover.arrowSize
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
            Layout.topMargin: popover.listPadding
            Layout.bottomMargin: popover.listPadding
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
                    anchors.margins: -popover.cancelReach
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
            Layout.preferredHeight: popover.listPadding
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
        implicitHeight: rowContent.implicitHeight + 2 * AppTheme.spacingS

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
