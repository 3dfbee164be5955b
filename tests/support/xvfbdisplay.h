#pragma once

namespace nimbra::test {

// Video frames reach the screen only on a real window system (the offscreen
// platform shows none). Called first thing in main(): unless the process
// already runs on xcb with a display, it replaces itself with the same
// command under `xvfb-run -a` on the xcb platform. Returns only when no
// relaunch was needed or xvfb-run could not be started; then
// hasVideoDisplay() says whether video can be shown.
void runUnderXvfb(int argc, char **argv);
bool hasVideoDisplay();

} // namespace nimbra::test
