import QtQuick
import Nimbra

// The window's content: a calm launch screen while the saved session is
// being read, then the sign-in screen or the main window, whichever the
// session allows. The switch has no transition of its own.
Item {
    id: root

    RootViewModel {
        id: gate
        auth: AuthStore
    }

    Rectangle {
        anchors.fill: parent
        color: AppTheme.background
    }

    Loader {
        id: screen
        objectName: "rootScreen"
        anchors.fill: parent
        sourceComponent: gate.screen === RootViewModel.Main ? mainView
                       : gate.screen === RootViewModel.SignIn ? loginView : launchScreen
    }

    // A sideways two-finger swipe anywhere in the window skips tracks.
    TrackpadSkipMonitor {
        anchors.fill: parent
        player: PlayerStore
    }

    Component {
        id: launchScreen
        LaunchScreen {}
    }

    Component {
        id: loginView
        LoginView {}
    }

    Component {
        id: mainView
        MainView {}
    }
}
