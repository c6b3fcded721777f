// CGXLongOperationImp: the long-operation implementation on the window layer: the wait
// cursor, the status text sent to the status window, the abort question and the message pump
// that lets painting and timers run while user input and commands wait.
#pragma once

#include "grid/data/CGXLongOperation.h"
#include "platform/core/Types.h"

// The status window's message that sets its text (lParam: the text).
inline constexpr UINT GX_WM_SETMESSAGESTRING = 0x0362;

class CGXLongOperationImp : public CGXAbstractLongOperationImp {
    DECLARE_DYNAMIC(CGXLongOperationImp)
public:
    CGXLongOperationImp() = default;
    ~CGXLongOperationImp() override;

    // Makes the program's one implementation, installs it (once) and hands it to the library's
    // record, which deletes it at shut-down; Uninstall takes it back and deletes it at once.
    static void Install();
    static void Uninstall();

    // The window that shows status texts (the main frame's); checked before each use.
    void SetStatusWindow(HWND hWnd) { m_hStatusWnd = hWnd; }

    // While a long operation runs, only painting and timers may run: their messages are
    // dispatched. Keyboard, mouse and non-client mouse input and WM_COMMAND are taken out
    // unprocessed (ESC noted), so no command re-enters the grid. Everything else, such as the
    // messages worker threads post, stays queued for the ordinary loop after the operation.
    // A quit request is put back and ends the pump.
    // Then the thread's idle work runs with rising counts until it has nothing more to do.
    void PumpMessages(CGXLongOperation& op) override;
    // The outermost operation finds the status window again when the old one is gone: the
    // application's main window, when that is a frame.
    void Begin(CGXLongOperation& op) override;
    // The outermost operation that showed the wait cursor takes out, as its pump does, the
    // input given since its last look at the queue.
    void End(CGXLongOperation& op) override;

protected:
    void ShowStatusText(LPCTSTR lpszText, BOOL bEnd) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    GXAbortAnswer AskAbort(int nMode) override;
    // ESC (or Ctrl+Break) first in line among the keys that wait, or pressed since the work
    // began; nothing is taken out of the queue.
    BOOL IsEscWaiting() override;
    void TellWhyNoStop(LPCTSTR lpszWhy) override;

private:
    // A message box of the program's over the window the user pressed ESC in, with the arrow.
    int ShowBox(LPCTSTR lpszText, UINT nType);

    HWND m_hStatusWnd = nullptr;
    HCURSOR m_hOldCursor = nullptr;
};
