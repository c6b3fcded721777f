// Installs the input path, the non-client behaviour, the caret's paint hooks and the cursors
// into the window manager. Backends call it when they are installed; calling it again does
// nothing more.
#pragma once

void InstallWindowServices();
