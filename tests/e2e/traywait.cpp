// Waits until a tray host owns the system tray of the display's default screen, so that a test meets a
// desktop whose tray was there before the program: one that comes later gets the icon only after the
// start has logged that there was no tray.
// Usage: quorvane-traywait <seconds>. Exit status 0 once the tray is there, 1 when the time ran out.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <X11/Xlib.h>

int main(int argc, char **argv)
{
    using namespace std::chrono;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "quorvane-traywait: cannot open the display\n");
        return 1;
    }
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    const auto deadline = steady_clock::now() + duration<double>(seconds);
    bool owned = false;
    while (!(owned = XGetSelectionOwner(display, selection) != None) && steady_clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(20));
    XCloseDisplay(display);
    if (!owned)
        std::fprintf(stderr, "quorvane-traywait: no tray host owns %s after %g s\n", name.c_str(), seconds);
    return owned ? 0 : 1;
}
