// Registration of the standard control classes.
#pragma once

// Registers the window classes of the standard controls (edit, list box, combo box, …) as
// global classes, once per process; later calls do nothing. Call on the thread that creates the
// first control, before it does.
void RegisterStandardControls();
