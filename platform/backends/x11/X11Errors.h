// The X11 backend's record of Xlib errors: a handler records them (and a lost connection)
// instead of ending the program.
#pragma once

namespace X11Errors {
// Installs the handlers; calling it again does nothing more. Callable from any thread.
void Install();
// How many errors were recorded so far, and the last one's code. Callable from any thread.
unsigned long Count();
int LastCode();
// Whether a display connection broke (the program then works on without showing anything).
bool ConnectionLost();
} // namespace X11Errors
