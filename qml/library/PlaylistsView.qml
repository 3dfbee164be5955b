import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Nimbra

// The section "Плейлисты": the smart playlists' cards above the listener's
// own playlists, "+" for a new one; both kinds open on the section's stack.
// Without an account it asks to sign in. Loads each time it comes on screen.
Rectangle {
    id: screen
    objectName: "playlistsView"

    color: AppTheme.background

    PlaylistsModel {
        id: rows
    }

    Component.onCompleted: rows.load()
    onVisibleChanged: {
        if (visible)
            rows.load()
    }

    Text {
        id: heading
        objectName: "sectionTitle"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: 28
        anchors.topMargin: 24
        text: "Плейлисты"
        color: AppTheme.textPrimary
        font: AppTheme.systemFont(AppTheme.largeTitle.pixelSize, Font.Bold)
    }

    IconButton {
        objectName: "playlistsCreate"
        anchors.right: parent.right
        anchors.rightMargin: AppTheme.spacingXL
        anchors.verticalCenter: heading.verticalCenter
        visible: !rows.needsSignIn
        symbol: "plus"
        color: AppTheme.accent
        toolTip: "Новый плейлист"
        onClicked: createDialog.openEmpty()
    }

    NewPlaylistDialog {
        id: createDialog
        rows: rows
    }

    StateView {
        objectName: "playlistsSignIn"
        anchors.fill: parent
        loadState: rows.needsSignIn ? LoadState.Empty : LoadState.Idle
        emptyTitle: "Нужен вход"
        emptyText: "Войдите, чтобы открыть плейлисты"
        emptyIcon: "music.note.list"
    }

    ListView {
        id: list
        objectName: "playlistsList"
        anchors.top: heading.bottom
        anchors.topMargin: AppTheme.spacingL
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: AppTheme.spacingXL + AppTheme.spacingS
        anchors.rightMargin: AppTheme.spacingXL
        anchors.bottom: parent.bottom
        visible: !rows.needsSignIn
        clip: true
        model: rows
        boundsBehavior: Flickable.StopAtBounds

        // The smart playlists are the list's first section and scroll with it.
        header: Column {
            id: smart
            // The list's own model: the playlists.
            readonly property var playlists: ListView.view ? ListView.view.model : null
            width: ListView.view ? ListView.view.width : 0
            bottomPadding: AppTheme.spacingXS
            spacing: AppTheme.spacingS

            Text {
                text: "Умные плейлисты"
                color: AppTheme.textMuted
                font: AppTheme.systemFont(11, Font.DemiBold)
            }

            Row {
                id: cards
                width: parent.width
                topPadding: AppTheme.spacingXS
                bottomPadding: AppTheme.spacingXS
                spacing: AppTheme.spacingM

                Repeater {
                    model: SmartPlaylistCards {}
                    delegate: SmartPlaylistCard {
                        objectName: "smartCard_" + kind
                        width: parent ? (parent.width - 2 * AppTheme.spacingM) / 3 : 0
                        onClicked: Navigation.openSmartPlaylist(kind)
                    }
                }
            }

            Text {
                topPadding: AppTheme.spacingM
                visible: smart.playlists !== null && smart.playlists.count > 0
                text: "Мои плейлисты"
                color: AppTheme.textMuted
                font: AppTheme.systemFont(11, Font.DemiBold)
            }
        }

        // Below the cards while there is no playlist to list.
        footer: Item {
            id: emptyState
            readonly property var playlists: ListView.view ? ListView.view.model : null
            readonly property bool isEmpty: playlists !== null && playlists.count === 0
            width: ListView.view ? ListView.view.width : 0
            height: isEmpty ? emptyColumn.implicitHeight + 2 * AppTheme.spacingXXL : 0
            visible: isEmpty

            ProgressSpinner {
                anchors.centerIn: parent
                size: 24
                visible: emptyState.playlists !== null && emptyState.playlists.isLoading
                running: visible
            }

            Column {
                id: emptyColumn
                objectName: "playlistsEmpty"
                anchors.centerIn: parent
                spacing: 6
                visible: emptyState.playlists !== null && !emptyState.playlists.isLoading

                AppIcon {
                    anchors.horizontalCenter: parent.horizontalCenter
                    name: "music.note.list"
                    size: 24
                    color: AppTheme.textMuted
                }
                Text {
                    text: "Нажмите + чтобы создать плейлист"
                    color: AppTheme.textMuted
                    font: AppTheme.caption
                }
            }
        }

        delegate: T.AbstractButton {
            id: row
            required property string playlistId
            required property string title
            required property string countText

            objectName: "playlistRow"
            width: ListView.view.width
            implicitHeight: 44 + 4 * AppTheme.spacingXS
            hoverEnabled: true
            onClicked: Navigation.openPlaylist(playlistId)

            background: Rectangle {
                radius: AppTheme.radiusM
                color: row.hovered ? AppTheme.alpha(AppTheme.elevated, 0.6) : "transparent"
                Rectangle {
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    anchors.leftMargin: 44 + AppTheme.spacingM
                    height: 1
                    color: AppTheme.border
                }
            }

            Rectangle {
                id: tile
                anchors.verticalCenter: parent.verticalCenter
                width: 44
                height: 44
                radius: AppTheme.radiusM
                color: AppTheme.elevated

                AppIcon {
                    anchors.centerIn: parent
                    name: "music.note.list"
                    size: 20
                    color: AppTheme.accent
                }
            }

            Column {
                anchors.left: tile.right
                anchors.leftMargin: AppTheme.spacingM
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: AppTheme.spacingXXS

                Text {
                    objectName: "playlistRowTitle"
                    width: parent.width
                    text: row.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: AppTheme.textPrimary
                    font: AppTheme.body
                }
                Text {
                    objectName: "playlistRowCount"
                    text: row.countText
                    color: AppTheme.textSecondary
                    font: AppTheme.caption
                }
            }
        }
    }
}
