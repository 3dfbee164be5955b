import QtQuick
import QtQuick.Controls
import Nimbra

// What a list screen shows instead of its rows: a spinner while loading, a
// symbol with a title and a line while the list is empty, the error text with
// "Повторить" when loading failed. `loadState` takes a model's load state as
// a number in the order idle, loading, loaded, empty, failed (the LoadState
// enumeration of the models); idle and loaded show nothing, so the view can
// lie over the list at all times. (Named `loadState`, not `state`: an Item's
// `state` is its own.)
Item {
    id: view

    readonly property int idle: 0
    readonly property int loading: 1
    readonly property int loaded: 2
    readonly property int empty: 3
    readonly property int failed: 4

    property int loadState: idle
    property string errorText
    property string emptyTitle: "Пусто"
    property string emptyText
    property string emptyIcon: "music.note.list"
    property string errorTitle: "Не удалось загрузить"
    // Lines under the spinner while loading; none by default.
    property string loadingTitle
    property string loadingText

    signal retry()

    readonly property bool active: loadState === loading || loadState === empty || loadState === failed

    visible: active
    implicitWidth: content.implicitWidth
    implicitHeight: content.implicitHeight

    Column {
        id: content
        anchors.centerIn: parent
        width: Math.min(view.width - 2 * AppTheme.spacingXL, 360)
        spacing: AppTheme.spacingS

        ProgressSpinner {
            objectName: "stateSpinner"
            anchors.horizontalCenter: parent.horizontalCenter
            size: 28
            running: view.loadState === view.loading && view.visible
        }

        AppIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: view.loadState !== view.loading
            name: view.loadState === view.failed ? "exclamationmark.triangle" : view.emptyIcon
            size: 40
            color: view.loadState === view.failed ? AppTheme.systemOrange : AppTheme.textMuted
        }

        Text {
            objectName: "stateTitle"
            width: parent.width
            visible: text !== ""
            horizontalAlignment: Text.AlignHCenter
            text: view.loadState === view.failed ? view.errorTitle
                : view.loadState === view.loading ? view.loadingTitle : view.emptyTitle
            color: AppTheme.textPrimary
            font: AppTheme.headline
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }

        Text {
            objectName: "stateText"
            width: parent.width
            visible: text !== ""
            horizontalAlignment: Text.AlignHCenter
            text: view.loadState === view.failed ? view.errorText
                : view.loadState === view.loading ? view.loadingText : view.emptyText
            color: AppTheme.textSecondary
            font: AppTheme.callout
            // A failure's text may come from the service: never markup.
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }

        AccentButton {
            objectName: "stateRetry"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: view.loadState === view.failed
            text: "Повторить"
            onClicked: view.retry()
        }
    }
}
