// The program's entry: the window backend (the X display; memory only when asked for), the one
// application object, then the framework's start and loop.
#include "app/frame/CVostrelApp.h"
#include "platform/backends/BackendSelection.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    // Without a display that can be opened the program says so and ends.
    if (InstallDefaultBackend() == BackendChoice::Unavailable)
        return EXIT_FAILURE;
    CVostrelApp theApp;
    return AfxWinMain(argc, argv);
}
