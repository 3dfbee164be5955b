import QtQuick
import Nimbra

// One new release on the home page: a round cover above a plate with a
// thumbnail, the title, the kind and date, and a play disc. Only the
// plate's row is a button; the round cover is not. A delegate over the
// home page's releases.
Item {
    id: card

    required property int index
    required property string title
    required property string artistLine
    required property url coverUrl
    required property string subtitle

    readonly property real orbSize: AppTheme.releaseCoverSize
    // Room for a kind and date line such as "Альбом · 23 сентября".
    readonly property real cardWidth: 236
    // The shade at the foot of the cover, under the artist line, which
    // keeps clear of the round edge.
    readonly property color orbShade: Qt.rgba(5 / 255, 5 / 255, 12 / 255, 0.88)
    readonly property real creditInset: 20
    // The plate: its padding (also the gap between thumbnail, texts and
    // disc), the thumbnail, the lines of text and the play disc.
    readonly property real platePadding: 10
    readonly property color plateTop: Qt.rgba(0x20 / 255, 0x1c / 255, 0x3a / 255, 0.96)
    readonly property color plateBottom: Qt.rgba(0x0a / 255, 0x09 / 255, 0x12 / 255, 0.98)
    readonly property real thumbSize: 48
    readonly property real thumbRadius: 10
    readonly property real textGap: 3
    readonly property real discSize: 34
    readonly property color discTop: "#f6f4ff"
    readonly property color discTopPressed: "#dcd6fa"
    readonly property color discBottom: "#e8e4ff"
    readonly property color discPlayColor: "#120a22"

    signal play(int index)

    width: cardWidth
    height: orbSize

    Item {
        id: orb
        objectName: "releaseOrb"
        width: card.orbSize
        height: card.orbSize
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom

        DiscShadow {
            anchors.fill: parent
        }

        // Circles as shared pictures: every card shows the same ones.
        Image {
            anchors.fill: parent
            cache: true
            source: ShapeImages.rounded(Qt.size(width, height), width / 2, AppTheme.elevated, AppTheme.elevated,
                                        Screen.devicePixelRatio)
            visible: !cover.ready

            AppIcon {
                anchors.centerIn: parent
                name: "music.note"
                size: AppTheme.symbolSize(AppTheme.title)
                color: AppTheme.textMuted
            }
        }

        CircularImage {
            id: cover
            objectName: "releaseCover"
            anchors.fill: parent
            size: card.orbSize
            source: card.coverUrl
        }

        Image {
            anchors.fill: parent
            cache: true
            source: ShapeImages.rounded(Qt.size(width, height), width / 2, "transparent", card.orbShade,
                                        Screen.devicePixelRatio)
        }

        ArtistCreditsLine {
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: AppTheme.spacingS
            width: Math.min(implicitWidth, parent.width - card.creditInset)
            text: card.artistLine
            style: "overlay"
        }
    }

    Rectangle {
        id: plate
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: card.thumbSize + 2 * card.platePadding
        radius: AppTheme.radiusXXL
        border.width: 1
        border.color: AppTheme.border
        gradient: Gradient {
            GradientStop { position: 0; color: card.plateTop }
            GradientStop { position: 1; color: card.plateBottom }
        }

        // The row is the button; the plate's margins are not.
        Item {
            id: playRow
            objectName: "releasePlay"
            anchors.fill: parent
            anchors.margins: card.platePadding

            PlayIntent {}

            Artwork {
                id: thumb
                objectName: "releaseThumb"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                size: card.thumbSize
                radius: card.thumbRadius
                source: card.coverUrl
            }

            Column {
                anchors.left: thumb.right
                anchors.leftMargin: card.platePadding
                anchors.right: disc.left
                anchors.rightMargin: card.platePadding
                anchors.verticalCenter: parent.verticalCenter
                spacing: card.textGap

                Text {
                    objectName: "releaseTitle"
                    width: parent.width
                    text: card.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: "white"
                    font: AppTheme.systemFont(AppTheme.body.pixelSize, Font.Bold)
                }

                Text {
                    objectName: "releaseSubtitle"
                    width: parent.width
                    text: card.subtitle
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: AppTheme.textSecondary
                    font: AppTheme.systemFont(AppTheme.subheadline.pixelSize)
                }
            }

            Rectangle {
                id: disc
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: card.discSize
                height: card.discSize
                radius: width / 2
                gradient: Gradient {
                    GradientStop { position: 0; color: playMouse.pressed ? card.discTopPressed : card.discTop }
                    GradientStop { position: 1; color: card.discBottom }
                }

                AppIcon {
                    anchors.centerIn: parent
                    anchors.horizontalCenterOffset: 1
                    name: "play.fill"
                    size: AppTheme.symbolSize(AppTheme.caption)
                    color: card.discPlayColor
                }
            }

            MouseArea {
                id: playMouse
                anchors.fill: parent
                onClicked: card.play(card.index)
            }
        }
    }
}
