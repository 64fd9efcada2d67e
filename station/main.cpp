// acoustic-station: the operator program of the acoustic inspection station.
#include "station/SystemApp.h"

#include <cstdio>
#include <cstring>

namespace {
void PrintHelp() {
    std::puts(
        "Usage: acoustic-station [--help]\n"
        "\n"
        "The acoustic inspection station's full-screen operator program (1920 x 1080).\n"
        "It reads its installation settings from the per-user settings store, connects to\n"
        "the acoustic camera, the databases and the control and streaming servers, and runs\n"
        "until the exit icon is clicked or it receives SIGTERM (both save the settings).\n"
        "Only one station runs per user session; a second start raises the first.\n"
        "\n"
        "Environment:\n"
        "  STATION_SERIAL_DIR  folder of the COM<n> serial devices (default /dev)\n"
        "  STATION_TOWER_LIB   signal tower library (default: beside the executable)\n"
        "  STATION_UI_PROBE    1: log the UI thread's event-loop lateness once a minute\n"
        "                      (N: every N seconds)\n"
        "  QT_QPA_PLATFORM     Qt platform, e.g. offscreen or xcb");
}
}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintHelp();
            return 0;
        }
    }
    CSystemApp app;
    return app.InitInstance(argc, argv);
}
