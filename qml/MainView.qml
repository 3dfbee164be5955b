pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Nimbra

// The main window: the sidebar beside the detail column, and over them, back
// to front, the clip player, the mini player and the update strip. The
// artist page and the fullscreen player cover the detail column only, so
// the sidebar stays usable beside them. Every rule lives in the model; this
// file only lays out what it says.
Item {
    id: main
    objectName: "mainView"

    // Kept for callers that navigate (the home page's quick cards).
    function navigateToSidebar(item) {
        nav.navigateToSidebar(item)
    }

    MainNavigationModel {
        id: nav
        objectName: "mainNavigation"
        onLayoutChanged: {
            if (showsClipPlayer)
                clipPlayerLoader.active = true
        }
    }

    // A screen or page by its file: compiled when first shown, not with the
    // window (the home screen, shown first, is declared below).
    function screen(path) {
        return OnDemand.component(Qt.resolvedUrl(path))
    }

    // The screen of a section. A section without a screen of its own yet
    // shows its title and symbol. A screen engineer returns the section's
    // Component here (switch on item: SidebarItem.Search ...).
    function screenFor(item) {
        switch (item) {
        case SidebarItem.Favorites:
            return main.screen("library/FavoritesView.qml")
        case SidebarItem.Playlists:
            return main.screen("library/PlaylistsView.qml")
        case SidebarItem.Home:
            return homeScreen
        case SidebarItem.Albums:
            return main.screen("catalogue/AlbumsView.qml")
        case SidebarItem.Catalog:
            return main.screen("catalogue/CatalogScreen.qml")
        case SidebarItem.Search:
            return main.screen("catalogue/SearchScreen.qml")
        case SidebarItem.Clips:
            return main.screen("clips/ClipsView.qml")
        case SidebarItem.Battles:
            return main.screen("clips/BattlesView.qml")
        case SidebarItem.Profile:
            return main.screen("settings/ProfileView.qml")
        case SidebarItem.Settings:
            return main.screen("settings/SettingsView.qml")
        }
        return sectionPlaceholder
    }

    // The page Navigation pushes, by kind. Each page gets `argument` (the
    // album or playlist id, the smart playlist's kind).
    function pageFor(page) {
        switch (page) {
        case Navigation.Album:
            return main.screen("catalogue/AlbumDetailView.qml")
        case Navigation.Playlist:
            return main.screen("library/PlaylistDetailView.qml")
        case Navigation.SmartPlaylist:
            return main.screen("library/SmartPlaylistView.qml")
        }
        return null
    }

    Binding {
        target: Navigation
        property: "sectionAcceptsPages"
        value: nav.selectionHasNavigationStack
    }

    Component {
        id: sectionPlaceholder
        SectionPlaceholder {
            title: nav.selectionTitle
            symbol: nav.selectionIcon
        }
    }

    Component {
        id: homeScreen
        HomeView {
            onNavigate: (item) => main.navigateToSidebar(item)
        }
    }

    // Base layer: sidebar, divider and detail column. A fullscreen clip
    // makes it invisible and deaf to clicks.
    Item {
        id: splitView
        objectName: "splitView"
        anchors.fill: parent
        opacity: nav.splitViewOpacity
        enabled: nav.splitViewInteractive
        Behavior on opacity {
            NumberAnimation {
                duration: AppTheme.motionFast
                easing.type: AppTheme.motionEasing
            }
        }

        Rectangle {
            anchors.fill: parent
            color: AppTheme.background
        }

        Sidebar {
            id: sidebar
            objectName: "sidebar"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: AppTheme.sidebarWidth
            navigation: nav
        }

        Rectangle {
            id: divider
            anchors.left: sidebar.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: 1
            color: AppTheme.border
        }

        Item {
            id: detailColumn
            objectName: "detailColumn"
            anchors.left: divider.right
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            clip: true

            property real bottomInset: AppTheme.bottomReserve(nav.showsMiniPlayer, nav.showsUpdateBanner)
            Behavior on bottomInset {
                NumberAnimation {
                    duration: AppTheme.motionFast
                    easing.type: AppTheme.motionEasing
                }
            }

            Item {
                id: sectionArea
                objectName: "sectionArea"
                anchors.fill: parent
                anchors.bottomMargin: detailColumn.bottomInset
                // No screen draws under the translucent bars at the foot,
                // whether or not it clips its own scrolling.
                clip: true
                opacity: nav.contentOpacity
                enabled: nav.contentEnabled
                Behavior on opacity {
                    NumberAnimation {
                        duration: AppTheme.motionMedium
                        easing.type: AppTheme.motionEasing
                    }
                }

                // One screen per visit: another section replaces the screen,
                // its view state and its pushed pages; coming back makes it
                // afresh.
                Repeater {
                    model: [nav.selection]

                    delegate: PageStack {
                        required property int modelData
                        objectName: "sectionStack"
                        anchors.fill: parent
                        stack: Navigation.Section
                        pageFor: main.pageFor
                        initialItem: main.screenFor(modelData)
                        Component.onCompleted: Navigation.resetSection()
                    }
                }
            }

            // The artist page, with no transition of its own. While it shows,
            // no field of the screen under it keeps the keyboard.
            Item {
                objectName: "artistLayer"
                anchors.fill: parent
                anchors.bottomMargin: detailColumn.bottomInset
                visible: nav.showsArtistPage
                clip: true
                z: 2

                // The section under the page keeps no hover (nor help text).
                MouseArea {
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.NoButton
                }

                // One stack per artist: another name starts afresh.
                Repeater {
                    model: nav.showsArtistPage ? [nav.presentedArtistName] : []

                    delegate: PageStack {
                        required property string modelData
                        objectName: "artistStack"
                        anchors.fill: parent
                        stack: Navigation.Artist
                        pageFor: main.pageFor
                        id: artistStack
                        // The page comes by address, so the window compiles it at
                        // the first artist, not at start; the stack makes its
                        // loader, whose page goes with the stack's own context.
                        initialItem: Component {
                            Loader {
                                Component.onCompleted: setSource(Qt.resolvedUrl("artist/ArtistPage.qml"),
                                                                 { artistName: artistStack.modelData })
                            }
                        }
                    }
                }

                FocusSuppressor {
                    anchors.fill: parent
                    visible: nav.showsArtistPage
                    refresh: nav.presentedArtistName
                }
            }

            SlideInLayer {
                objectName: "fullscreenLayer"
                anchors.fill: parent
                shown: nav.showsFullscreenPlayer
                duration: AppTheme.motionMedium
                z: 3

                // Made afresh on every presentation, at the slide-in's first
                // frame. Its backdrop runs to the bottom; its controls end
                // above the strip.
                Loader {
                    id: fullscreenLoader
                    anchors.fill: parent
                    active: parent.visible
                    source: "player/FullscreenPlayer.qml"
                    onLoaded: item.bottomInset = Qt.binding(() => detailColumn.bottomInset)
                }
            }

            // Open with the press that asks for the screen, a frame before
            // the screen is made: an Esc pressed in between waits for it.
            // While the clip player lies over it, Esc is the clip player's.
            LayerEscape {
                kind: WindowLayer.FullscreenPlayer
                open: nav.showsFullscreenPlayer
                made: fullscreenLoader.status === Loader.Ready
                // The screen comes by address, compiled when first shown, so
                // its type is not known here.
                readonly property var screen: fullscreenLoader.item
                onEscapePressed: screen.goBack()
            }
        }
    }

    // Made at the first clip and kept: the video stack is not loaded, and
    // no surface exists, before anyone asks for a clip. Made bit by bit
    // between frames, so that the press that asked shows at once; shown
    // once whole, for its parts are in the window before its Esc is.
    Loader {
        id: clipPlayerLoader
        anchors.fill: parent
        visible: nav.showsClipPlayer && status === Loader.Ready
        active: false
        asynchronous: true
        source: "clips/ClipPlayerView.qml"
        onLoaded: item.bottomInset = Qt.binding(() => AppTheme.bottomReserve(nav.showsMiniPlayer, nav.showsUpdateBanner))
    }

    // Open with the press that presents a clip, also while the first clip's
    // overlay is still being made: an Esc pressed then waits for it and
    // never reaches a layer under it.
    LayerEscape {
        kind: WindowLayer.ClipPlayer
        open: nav.showsClipPlayer
        made: clipPlayerLoader.status === Loader.Ready
        readonly property var view: clipPlayerLoader.item
        onEscapePressed: view.goBack()
    }

    SlideInLayer {
        objectName: "miniPlayerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: AppTheme.miniPlayerHeight
        shown: nav.showsMiniPlayer
        // Made when first shown, then kept: most starts play nothing. A
        // window made while a track is current shows it from the start.
        onShownChanged: if (shown) miniPlayerLoader.active = true
        Component.onCompleted: if (shown) miniPlayerLoader.active = true

        Loader {
            id: miniPlayerLoader
            anchors.fill: parent
            active: false
            source: "player/MiniPlayer.qml"
        }
    }

    SlideInLayer {
        objectName: "updateBannerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.bottomMargin: bannerLift
        height: AppTheme.updateBannerHeight + AppTheme.spacingXL
        shown: nav.showsUpdateBanner
        duration: AppTheme.motionSlow
        easingType: Easing.OutCubic

        property real bannerLift: nav.showsMiniPlayer ? AppTheme.updateBannerLift : 0
        Behavior on bannerLift {
            NumberAnimation {
                duration: AppTheme.motionFast
                easing.type: AppTheme.motionEasing
            }
        }

        // Made when first shown, then kept: most starts offer no update. An
        // offer found while the sign-in screen showed is there from the start.
        onShownChanged: if (shown) updateBannerLoader.active = true
        Component.onCompleted: if (shown) updateBannerLoader.active = true

        Loader {
            id: updateBannerLoader
            anchors.fill: parent
            anchors.leftMargin: AppTheme.spacingXL
            anchors.rightMargin: AppTheme.spacingXL
            anchors.topMargin: AppTheme.spacingXL
            anchors.bottomMargin: AppTheme.spacingM
            active: false
            source: "update/UpdateBanner.qml"
        }
    }
}
