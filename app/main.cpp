// The program's entry: the one application object, then the framework's start and loop.
#include "app/CVostrelApp.h"

int main(int argc, char** argv)
{
    CVostrelApp theApp;
    return AfxWinMain(argc, argv);
}
