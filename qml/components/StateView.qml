import QtQuick
import QtQuick.Controls
import Nimbra

// What a list screen shows instead of its rows: a spinner while loading, a
// symbol with a title and a line while the list is empty, the error text with
// "Повторить" when loading failed. `loadState` takes a model's LoadState;
// Idle and Loaded show nothing, so the view can lie over the list at all
// times. (Named `loadState`, not `state`: an Item's `state` is its own.)
Item {
    id: view

    readonly property real textWidth: 360
    readonly property real stateSymbolSize: 40
    readonly property real compactSymbolSize: 24

    property int loadState: LoadState.Idle
    property string errorText
    property string emptyTitle: "Пусто"
    property string emptyText
    property string emptyIcon: "music.note.list"
    property string errorTitle: "Не удалось загрузить"
    // Lines under the spinner while loading; none by default.
    property string loadingTitle
    property string loadingText
    // A note under other content rather than the whole area: the spinner
    // and the symbol small, the text a muted caption. A failure is said in
    // full all the same.
    property bool compact: false
    readonly property bool small: compact && loadState !== LoadState.Failed

    signal retry()

    readonly property bool active: loadState === LoadState.Loading || loadState === LoadState.Empty
        || loadState === LoadState.Failed

    visible: active
    implicitWidth: content.implicitWidth
    implicitHeight: content.implicitHeight

    Column {
        id: content
        anchors.centerIn: parent
        width: Math.min(view.width - 2 * AppTheme.spacingXL, view.textWidth)
        spacing: view.small ? AppTheme.symbolGap : AppTheme.spacingS

        ProgressSpinner {
            objectName: "stateSpinner"
            anchors.horizontalCenter: parent.horizontalCenter
            size: view.small ? view.compactSymbolSize : AppTheme.spinnerSize
            running: view.loadState === LoadState.Loading && view.visible
        }

        AppIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: view.loadState !== LoadState.Loading
            name: view.loadState === LoadState.Failed ? "exclamationmark.triangle" : view.emptyIcon
            size: view.small ? view.compactSymbolSize : view.stateSymbolSize
            color: view.loadState === LoadState.Failed ? AppTheme.systemOrange : AppTheme.textMuted
        }

        Text {
            objectName: "stateTitle"
            width: parent.width
            visible: text !== ""
            horizontalAlignment: Text.AlignHCenter
            text: view.loadState === LoadState.Failed ? view.errorTitle
                : view.loadState === LoadState.Loading ? view.loadingTitle : view.emptyTitle
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
            text: view.loadState === LoadState.Failed ? view.errorText
                : view.loadState === LoadState.Loading ? view.loadingText : view.emptyText
            color: view.small ? AppTheme.textMuted : AppTheme.textSecondary
            font: view.small ? AppTheme.caption : AppTheme.callout
            // A failure's text may come from the service: never markup.
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
        }

        AccentButton {
            objectName: "stateRetry"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: view.loadState === LoadState.Failed
            text: "Повторить"
            onClicked: view.retry()
        }
    }
}
