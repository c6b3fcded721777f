// Chooses and installs the window backend the program and the tests run on.
#pragma once

enum class BackendChoice { Headless, X11 };

// What the environment asks for: headless when VOSTREL_BACKEND is "headless" or when DISPLAY
// is unset (and VOSTREL_BACKEND is not "x11"); x11 otherwise. Callable from any thread.
BackendChoice RequestedBackend();

// Installs the requested backend with the window services (call on the UI thread before any
// top-level window exists). When the X display cannot be opened, the headless backend is
// installed instead and a warning goes to stderr. Returns the backend installed.
BackendChoice InstallDefaultBackend();
