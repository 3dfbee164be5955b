import QtQuick
import QtQuick.Controls
import Nimbra

// The artist page over the detail column, the root of the artist page's
// stack: one of loading, the load's error with "Повторить", not found, or
// the page (header, latest release, "Все треки", the discography and the
// albums the artist takes part in), with the back bar floating on top.
// Albums open over it on the same stack and leave it as it was.
Rectangle {
    id: page
    objectName: "artistPage"

    property string artistName
    // The pushed-page contract of the window's stacks.
    property string argument

    color: AppTheme.background

    ArtistPageModel {
        id: pageModel
        objectName: "artistPageModel"
        artistName: page.artistName
        onLinkCopied: confirmation => toast.show(confirmation)
    }

    // Clicks stay on the page instead of reaching the screen below.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
    }

    Flickable {
        id: scroll
        objectName: "artistScroll"
        anchors.fill: parent
        visible: pageModel.loadState === LoadState.Loaded
        contentWidth: width
        contentHeight: body.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        ScrollBar.vertical: ScrollBar { }

        Column {
            id: body
            width: scroll.width

            // Room for the floating back bar.
            Item {
                width: parent.width
                height: backBar.height - AppTheme.spacingM
            }

            ArtistHeader {
                objectName: "artistHeader"
                width: parent.width
                height: 280
                model: pageModel
            }

            Column {
                x: AppTheme.spacingL
                width: parent.width - 2 * AppTheme.spacingL
                topPadding: AppTheme.spacingXL
                bottomPadding: AppTheme.spacingXXL
                spacing: 28

                LatestReleaseCard {
                    objectName: "latestRelease"
                    width: parent.width
                    visible: pageModel.hasLatestRelease
                    model: pageModel
                }

                Column {
                    objectName: "allTracks"
                    width: parent.width
                    visible: pageModel.tracks.count > 0
                    spacing: AppTheme.spacingXS

                    SectionHeader {
                        width: parent.width
                        title: "Все треки"
                        subtitle: pageModel.tracks.count
                        titleFont: AppTheme.title3
                    }

                    ListView {
                        id: trackList
                        objectName: "artistTrackList"
                        width: parent.width
                        height: pageModel.shownTrackCount * AppTheme.trackRowHeight
                        interactive: false
                        cacheBuffer: 0
                        model: pageModel.tracks
                        delegate: TrackRow {
                            width: ListView.view.width
                            listModel: ListView.view.model
                            artworkOpensPlayer: true
                        }
                    }

                    Item {
                        objectName: "tracksToggle"
                        width: parent.width
                        height: toggleRow.implicitHeight + 20
                        visible: pageModel.hiddenTrackCount > 0

                        Row {
                            id: toggleRow
                            x: AppTheme.spacingS
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: AppTheme.spacingS

                            AppIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                name: pageModel.tracksExpanded ? "chevron.up" : "chevron.down"
                                size: AppTheme.symbolSize(AppTheme.caption)
                                color: AppTheme.accent
                            }

                            Text {
                                objectName: "tracksToggleText"
                                text: pageModel.toggleText
                                color: AppTheme.accent
                                font: AppTheme.systemFont(AppTheme.callout.pixelSize, Font.DemiBold)
                            }
                        }

                        MouseArea {
                            anchors.fill: parent
                            cursorShape: Qt.PointingHandCursor
                            onClicked: pageModel.toggleTracksExpanded()
                        }
                    }
                }

                Column {
                    objectName: "discography"
                    width: parent.width
                    visible: pageModel.artAlbums.count > 0
                    spacing: AppTheme.spacingM

                    SectionHeader {
                        width: parent.width
                        title: "Дискография"
                        subtitle: pageModel.discographySubtitle
                        titleFont: AppTheme.title3
                    }

                    AlbumGrid {
                        objectName: "discographyGrid"
                        model: pageModel.artAlbums
                    }
                }

                Column {
                    objectName: "featAlbums"
                    width: parent.width
                    visible: pageModel.featAlbums.count > 0
                    spacing: AppTheme.spacingM

                    SectionHeader {
                        width: parent.width
                        title: "При участии — альбомы"
                        titleFont: AppTheme.title3
                    }

                    AlbumGrid {
                        objectName: "featAlbumsGrid"
                        model: pageModel.featAlbums
                    }
                }
            }
        }
    }

    StateView {
        objectName: "artistState"
        anchors.fill: parent
        loadState: pageModel.loadState
        errorText: pageModel.errorText
        loadingTitle: "Загружаем каталог…"
        loadingText: "Это может занять несколько секунд"
        errorTitle: "Не удалось загрузить каталог"
        emptyTitle: "Исполнитель не найден"
        emptyText: pageModel.notFoundText
        emptyIcon: "person.crop.circle"
        onRetry: pageModel.retry()
    }

    // The bar floats over the page; content scrolled under it stays behind.
    Rectangle {
        anchors.fill: backBar
        color: AppTheme.barVeil
        visible: scroll.visible && scroll.contentY > 0
    }

    BackBar {
        id: backBar
        objectName: "artistBackBar"
        anchors.left: parent.left
        anchors.right: parent.right
        title: pageModel.title
    }

    CopiedToast {
        id: toast
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: AppTheme.spacingXL
    }

    SignInRequiredDialog {
        message: page.visible ? pageModel.tracks.signInPrompt : ""
        onDismissed: pageModel.tracks.signInPrompt = ""
    }
}
