import QtQuick
import QtQuick.Layouts
import Nimbra

// The window's content: the launch screen while the saved session is read
// and its profile fetched (or retried while the service cannot be
// reached), then the sign-in screen or the main window, whichever the
// session allows. The switch has no transition of its own.
Item {
    id: root

    readonly property alias gate: sessionGate

    RootViewModel {
        id: sessionGate
    }

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        UnsavedSignInNotice {
            Layout.fillWidth: true
            visible: sessionGate.screen === RootViewModel.Main && sessionGate.showsUnsavedNotice
            onDismissed: sessionGate.dismissUnsavedNotice()
        }

        UnsavedSignInNotice {
            objectName: "unreadSignInNotice"
            Layout.fillWidth: true
            visible: sessionGate.screen === RootViewModel.SignIn && sessionGate.showsUnreadNotice
            text: "Не удалось прочитать сохранённый вход: служба хранения паролей не ответила."
            onDismissed: sessionGate.dismissUnreadNotice()
        }

        Loader {
            id: screen
            objectName: "rootScreen"
            Layout.fillWidth: true
            Layout.fillHeight: true
            // The chosen screen's own first field takes the keyboard.
            focus: true
            // The sign-in screen comes by address, so a signed-in start
            // never compiles it.
            sourceComponent: sessionGate.screen === RootViewModel.Main ? mainView
                           : sessionGate.screen === RootViewModel.SignIn
                             ? OnDemand.component(Qt.resolvedUrl("account/LoginView.qml")) : launchScreen
        }
    }

    // A sideways two-finger swipe anywhere in the window skips tracks.
    TrackpadSkipMonitor {
        anchors.fill: parent
    }

    Component {
        id: launchScreen
        LaunchScreen { gate: root.gate }
    }

    Component {
        id: mainView
        MainView {}
    }
}
