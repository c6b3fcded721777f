// Registers the window classes of the standard controls for the process. The program calls it
// once at start-up and the tests call it before making controls; calling it again does nothing.
#pragma once

void RegisterStandardControls();
