// Chooses and installs the window backend the program and the tests run on.
#pragma once

// Unavailable: no backend could be installed (the X display named cannot be opened, or none is named).
enum class BackendChoice { Headless, X11, Unavailable };

// What the environment asks for: headless only when VOSTREL_BACKEND is "headless"; x11
// otherwise, on the display DISPLAY names. Callable from any thread.
BackendChoice RequestedBackend();

// Installs the requested backend with the window services (call on the UI thread before any
// top-level window exists). When the X display cannot be opened, nothing is installed, the
// reason goes to stderr and the result is Unavailable: windows nobody can see would leave the program
// running with no way to reach it. Returns the backend installed.
BackendChoice InstallDefaultBackend();
