// The registered window classes: their procedure, styles, cursor, brush, extra bytes and names.
#pragma once

#include "platform/win/WinUser.h"

#include <memory>
#include <string>
#include <vector>

struct WindowClassData {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC wndProc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::string menuName;
    LPCSTR menuNamePtr = nullptr;   // as given, for integer resource ids
    std::vector<BYTE> extra;
    int windows = 0;                // live windows of the class
};

namespace WindowClasses {
// Looks a class up by name (case-insensitive) or integer atom, preferring the instance's own
// classes over global ones. Callable from any thread.
std::shared_ptr<WindowClassData> Find(LPCSTR name, HINSTANCE instance);
// Registers the built-in classes (the desktop, message-only windows) once.
void EnsureSystemClasses();
} // namespace WindowClasses
