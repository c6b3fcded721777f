// Wires the input path, the non-client behaviour, the caret's paint hooks and the cursors into
// the window manager.
#pragma once

// Wires the services in once per process. The window manager calls it on first use, so every
// backend gets them; later calls do nothing. Callable from any thread.
void EnsureWindowServices();
// EnsureWindowServices, then a fresh input state for the calling thread (events still waiting
// for translation, the last click of a double-click): backends call it when they are installed.
void InstallWindowServices();
