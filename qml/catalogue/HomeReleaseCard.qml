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

    readonly property real orbSize: 148
    readonly property real thumbSize: 48
    readonly property real discSize: 34

    signal play(int index)

    // Room for a kind and date line such as "Альбом · 23 сентября".
    width: 236
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
            source: ShapeImages.rounded(Qt.size(width, height), width / 2, "transparent",
                                        Qt.rgba(5 / 255, 5 / 255, 12 / 255, 0.88), Screen.devicePixelRatio)
        }

        ArtistCreditsLine {
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            anchors.bottomMargin: AppTheme.spacingS
            width: Math.min(implicitWidth, parent.width - 20)
            text: card.artistLine
            style: "overlay"
        }
    }

    Rectangle {
        id: plate
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: card.thumbSize + 2 * 10
        radius: AppTheme.radiusXXL
        border.width: 1
        border.color: AppTheme.border
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0x20 / 255, 0x1c / 255, 0x3a / 255, 0.96) }
            GradientStop { position: 1; color: Qt.rgba(0x0a / 255, 0x09 / 255, 0x12 / 255, 0.98) }
        }

        // The row is the button; the plate's margins are not.
        Item {
            id: playRow
            objectName: "releasePlay"
            anchors.fill: parent
            anchors.margins: 10

            Artwork {
                id: thumb
                objectName: "releaseThumb"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                size: card.thumbSize
                radius: 10
                source: card.coverUrl
            }

            Column {
                anchors.left: thumb.right
                anchors.leftMargin: 10
                anchors.right: disc.left
                anchors.rightMargin: 10
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3

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
                    GradientStop { position: 0; color: playMouse.pressed ? "#dcd6fa" : "#f6f4ff" }
                    GradientStop { position: 1; color: "#e8e4ff" }
                }

                AppIcon {
                    anchors.centerIn: parent
                    anchors.horizontalCenterOffset: 1
                    name: "play.fill"
                    size: AppTheme.symbolSize(AppTheme.caption)
                    color: "#120a22"
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
