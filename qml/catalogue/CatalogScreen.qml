import QtQuick
import QtQuick.Controls
import Nimbra

// "Каталог": the service's whole track catalogue as one list that loads its
// next page as the listener nears the end. The model starts over each time
// the screen is made and whenever an account comes or goes.
Item {
    id: screen
    objectName: "catalogScreen"

    CatalogModel {
        id: catalog
        objectName: "catalogModel"
        Component.onCompleted: catalog.reload()
    }

    SectionHeader {
        id: header
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: AppTheme.spacingXL
        title: "Каталог"
        trailing: Row {
            spacing: AppTheme.spacingS

            ProgressSpinner {
                objectName: "catalogSpinner"
                anchors.verticalCenter: parent.verticalCenter
                running: catalog.isFetching
            }

            Text {
                objectName: "catalogCount"
                anchors.verticalCenter: parent.verticalCenter
                text: catalog.countText
                color: AppTheme.textSecondary
                font: AppTheme.body
            }
        }
    }

    ListView {
        id: list
        objectName: "catalogList"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.topMargin: AppTheme.spacingM
        anchors.leftMargin: AppTheme.spacingM
        anchors.rightMargin: AppTheme.spacingM
        clip: true
        visible: catalog.loadState !== LoadState.Failed
        model: catalog
        reuseItems: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { }

        delegate: TrackRow {
            id: row
            width: ListView.view.width
            listModel: ListView.view.model
            artworkOpensPlayer: true
            // The last loaded row coming near asks for the next page.
            Component.onCompleted: listModel.rowAppeared(index)
            ListView.onReused: listModel.rowAppeared(row.index)
        }
    }

    // An empty catalogue is an empty list, with no message.
    StateView {
        anchors.fill: list
        loadState: catalog.loadState === LoadState.Empty ? LoadState.Loaded : catalog.loadState
        errorText: catalog.errorText
        errorTitle: "Ошибка"
        loadingText: "Загрузка каталога…"
        onRetry: catalog.reload()
    }

    SignInRequiredDialog {
        title: catalog.promptTitle
        message: catalog.signInPrompt
        onDismissed: catalog.signInPrompt = ""
    }
}
