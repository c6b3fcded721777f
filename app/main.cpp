// The program's entry: the window backend (the X display, or memory only without one), the one
// application object, then the framework's start and loop.
#include "app/frame/CVostrelApp.h"
#include "platform/backends/BackendSelection.h"

int main(int argc, char** argv)
{
    InstallDefaultBackend();
    CVostrelApp theApp;
    return AfxWinMain(argc, argv);
}
