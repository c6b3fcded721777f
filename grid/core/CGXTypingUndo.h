// CGXTypingUndo: Undo and Redo of what the user typed into an edit window. The window keeps one
// change and undoes it by swapping it with its inverse, so the same call undoes and then redoes;
// this remembers which of the two comes next, so that each is offered only when it means it.
#pragma once

#include "platform/core/Types.h"

class CEdit;

class CGXTypingUndo {
public:
    // Whether gxUndo or gxRedo can be done in the window now.
    BOOL Can(CEdit& wnd, int nMode) const;
    // Does it; FALSE when it cannot be done now.
    BOOL Do(CEdit& wnd, int nMode);
    // The window's text changed: typed, pasted or set anew, it is Undo's again. The change Do
    // makes itself is not one.
    void OnTextChanged();

private:
    BOOL m_bUndone = FALSE;
    BOOL m_bDoing = FALSE;
};
