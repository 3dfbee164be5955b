import QtQuick
import Nimbra

// "Каталог": the service's whole track catalogue as one list that loads its
// next page as the listener nears the end. The model starts over each time
// the screen is made and whenever an account comes or goes.
ListPage {
    id: screen
    objectName: "catalogScreen"

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

    model: CatalogModel {
        id: catalog
        objectName: "catalogModel"
        Component.onCompleted: catalog.reload()
    }
    list.objectName: "catalogList"
    artworkOpensPlayer: true

    // An empty catalogue is an empty list, with no message.
    loadState: catalog.loadState === LoadState.Empty ? LoadState.Loaded : catalog.loadState
    stateView.errorTitle: "Ошибка"
    onRetry: catalog.reload()
}
