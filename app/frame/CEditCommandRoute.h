// CEditCommandRoute: the Edit menu's commands, by their keys, the menu or a toolbar button, act on
// the window that holds the keys, and on nothing else.
#pragma once

#include "platform/core/Types.h"

class CCmdUI;
class CWnd;

class CEditCommandRoute {
public:
    // Undo, Undo All, Redo, Cut, Copy, Paste, Delete, Find, Replace, Fill Down, and the edits'
    // own Clear and Select All.
    static bool IsEditCommand(UINT nID);

    // Offers an Edit command (CN_COMMAND, or CN_UPDATE_COMMAND_UI with its CCmdUI) of the main
    // window to the window with the keys and the windows it lies in, up to its frame. When none
    // of them takes it and the keys are outside pFirst, the frame whose view the commands reach
    // first, an edit with the keys (the Output Area's text) is given the command as its own
    // keys would, and any other window none: the grid is never changed, nor its cell copied,
    // from a pane. True when the command was taken here (disabled, for an update); false when it
    // goes on along the main window's own route, which is also the way while the keys are in
    // none of the main window's windows (another program, a dialog of its own) or in a frame
    // itself rather than in a control of it.
    static bool Route(CWnd& mainWnd, CWnd* pFirst, UINT nID, int nCode, void* pExtra);

private:
    // The command given to an edit, by the messages its own keys send: Copy as long as text is
    // chosen, the changes only where the edit may be written.
    static void ToEdit(HWND hEdit, UINT nID, int nCode, CCmdUI* pCmdUI);
    // The command disabled, the Undo and Redo items named plainly.
    static void ToNothing(UINT nID, int nCode, CCmdUI* pCmdUI);
};
