#pragma once

namespace nimbra {

// The one name under which the desktop knows the client: the base name of
// its .desktop file and of its icon, the application's desktop file name and
// the MPRIS DesktopEntry. A media applet finds the window and the icon only
// when all of them agree.
inline constexpr const char *desktopId = "app.nimbra.Nimbra";

} // namespace nimbra
