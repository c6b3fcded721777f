// The input path: turns the backend's mouse and keyboard events into window messages — mouse
// messages to the capture window or the window under the pointer (hit-tested through the tree
// with WM_NCHITTEST), non-client mouse messages, double-clicks, WM_SETCURSOR, activation on a
// click, the wheel to the focus window, and key messages with their lParam bits.
#pragma once

#include "platform/win/detail/WindowManager.h"

#include <deque>

class InputTranslator : public IInputTranslator {
public:
    // Takes an event of a window of the calling thread. Events are turned into messages one at
    // a time, each once the messages of the previous one were retrieved, so that what a
    // handler does (capture, focus, a modal loop) applies to the events after it.
    void Translate(const BackendEvent& event) override;
    // Translates the waiting events the queue is ready for (the queue client calls it each
    // time the thread looks at its queue).
    static void Drain();
    // Drops the waiting events of the calling thread (a new backend).
    static void Reset();
    // Translates a press once more, ahead of the events still waiting: a modal loop that took
    // the press to end itself (a menu closed by a click elsewhere) lets it reach the window
    // under the pointer after all.
    static void Replay(const BackendEvent& press);

    // The window under a screen point for mouse input and its hit-test code: the deepest
    // visible window whose WM_NCHITTEST does not answer HTTRANSPARENT (those pass the point to
    // the windows below). A disabled child passes the point to its parent; a disabled
    // top-level window answers HTERROR. Null when the point is over no window of the program.
    static HWND HitTest(POINT screen, int& hitTest);
    // Whether the calling thread's latest key or button event was a key: a menu opened now was
    // asked for from the keyboard. Pointer moves do not count.
    static bool LastInputWasKey();

private:
    static void TranslateNow(const BackendEvent& event);
    static void TranslateMouse(const BackendEvent& event);
    static void TranslateKey(const BackendEvent& event);
};

