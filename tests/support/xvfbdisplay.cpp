#include "xvfbdisplay.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace nimbra::test {

namespace {

bool onDisplay()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const char *display = std::getenv("DISPLAY");
    return platform && std::strcmp(platform, "xcb") == 0 && display && *display;
}

} // namespace

void runUnderXvfb(int argc, char **argv)
{
    // A child that xvfb-run started, or a desktop session, runs as it is.
    if (onDisplay() || std::getenv("NIMBRA_XVFB_CHILD"))
        return;
    setenv("NIMBRA_XVFB_CHILD", "1", 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<char *> args {const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
        const_cast<char *>("-screen 0 1280x1024x24")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    // No xvfb-run: carry on offscreen, and the tests that need video skip.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool hasVideoDisplay()
{
    return onDisplay();
}

} // namespace nimbra::test
