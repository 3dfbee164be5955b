import QtQuick
import QtQuick.Layouts
import Nimbra

// The frame the launch screen and the sign-in screen share. The header
// stands at the same height in both, whatever follows it, so that nothing
// jumps when one screen gives way to the other; what follows flows below it
// and scrolls when the window is too low for it.
Flickable {
    id: layout

    property alias caption: header.caption
    default property alias content: body.data
    // The part of the content's height that comes and goes (a form's
    // failure line), and the room kept for it whether it shows or not. The
    // header is raised for the room kept, never for what comes and goes, so
    // that nothing above that part moves when it shows or goes: a low window
    // holds the form that much higher from the start, and what outgrows the
    // room scrolls.
    property real transientHeight: 0
    property real transientRoom: 0
    // The header's lower edge, as a share of the window's height.
    readonly property real headerLine: 0.36
    readonly property real margin: 24
    readonly property real spacing: 28

    contentWidth: width
    contentHeight: Math.max(height, body.y + body.implicitHeight + margin)
    interactive: contentHeight > height
    boundsBehavior: Flickable.StopAtBounds
    clip: true

    SignInHeader {
        id: header
        anchors.horizontalCenter: parent.horizontalCenter
        // Raised only when the window is too low for what follows.
        y: Math.max(layout.margin, Math.min(Math.round(layout.height * layout.headerLine - implicitHeight),
                                            layout.height - layout.margin - (body.implicitHeight - layout.transientHeight + layout.transientRoom)
                                            - layout.spacing - implicitHeight))
    }

    ColumnLayout {
        id: body
        anchors.horizontalCenter: parent.horizontalCenter
        y: header.y + header.implicitHeight + layout.spacing
        spacing: layout.spacing
    }
}
