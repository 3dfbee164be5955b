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
        auth: AuthStore
        player: PlayerStore
        clipPlayer: ClipPlayerStore
        artistNavigation: ArtistNavigationStore
        updates: OtaUpdateStore
    }

    // The screen of a section. A section without a screen of its own yet
    // shows its title and symbol.
    function screenFor(item) {
        if (item === SidebarItem.Clips)
            return clipsScreen
        if (item === SidebarItem.Battles)
            return battlesScreen
        return sectionPlaceholder
    }

    Component {
        id: clipsScreen
        ClipsView {}
    }

    Component {
        id: battlesScreen
        BattlesView {}
    }

    Component {
        id: sectionPlaceholder
        SectionPlaceholder {
            title: nav.selectionTitle
            symbol: nav.selectionIcon
        }
    }

    Component {
        id: stackedSection
        StackView {
            initialItem: main.screenFor(nav.selection)
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
                duration: 220
                easing.type: Easing.InOutQuad
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
            width: nav.sidebarWidth
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

            property real bottomInset: nav.miniPlayerInset
            Behavior on bottomInset {
                NumberAnimation {
                    duration: 220
                    easing.type: Easing.InOutQuad
                }
            }

            Item {
                id: sectionArea
                objectName: "sectionArea"
                anchors.fill: parent
                anchors.bottomMargin: detailColumn.bottomInset
                opacity: nav.contentOpacity
                enabled: nav.contentEnabled
                Behavior on opacity {
                    NumberAnimation {
                        duration: 280
                        easing.type: Easing.InOutQuad
                    }
                }

                // One screen per visit: another section replaces the screen
                // and its view state; coming back makes it afresh.
                Repeater {
                    model: [nav.selection]

                    delegate: Loader {
                        required property int modelData
                        objectName: "sectionScreen"
                        anchors.fill: parent
                        sourceComponent: nav.selectionHasNavigationStack ? stackedSection : main.screenFor(modelData)
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
                z: 2

                Loader {
                    anchors.fill: parent
                    active: nav.showsArtistPage
                    sourceComponent: ArtistPagePlaceholder {
                        artistName: nav.presentedArtistName
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
                duration: 280
                z: 3

                FullscreenPlayerPlaceholder {
                    anchors.fill: parent
                }
            }
        }
    }

    ClipPlayerView {
        anchors.fill: parent
        visible: nav.showsClipPlayer
    }

    SlideInLayer {
        objectName: "miniPlayerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 64
        shown: nav.showsMiniPlayer

        MiniPlayerPlaceholder {
            anchors.fill: parent
        }
    }

    SlideInLayer {
        objectName: "updateBannerLayer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.bottomMargin: bannerLift
        height: 62 + 32
        shown: nav.showsUpdateBanner
        duration: 350
        easingType: Easing.OutCubic

        property real bannerLift: nav.updateBannerInset
        Behavior on bannerLift {
            NumberAnimation {
                duration: 220
                easing.type: Easing.InOutQuad
            }
        }

        UpdateBannerPlaceholder {
            anchors.fill: parent
            anchors.leftMargin: 20
            anchors.rightMargin: 20
            anchors.topMargin: 20
            anchors.bottomMargin: 12
        }
    }
}
