// CGXFindReplaceState: the find and replace settings that every grid and the find feature
// share: the text to find, its prepared copy, the replacement and the options, and the one
// modeless find or replace dialog with the grid it serves.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CGXGridCore;
class CGXStyle;
class CWnd;

struct CGXFindReplaceState {
    DWORD m_nValue1 = 0;
    DWORD m_nValue2 = 0;
    CString m_strFind;
    // The find text as searched: upper-cased unless the case must match. The change keeps byte
    // offsets, so a match found in a folded cell text lies at the same bytes of the original.
    CString m_strFindUpper;
    CString m_strReplace;
    BOOL m_bCase = FALSE;
    BOOL m_bNext = TRUE; // search down
    BOOL m_bFindOnly = TRUE;
    DWORD m_nValue3 = 0;
    DWORD m_nValue4 = 0;
    DWORD m_nValue5 = 0;

    // The open dialog (its window, checked before use: the dialog deletes itself when its
    // window goes) and whether it is the Find rather than the Replace dialog.
    HWND m_hWndDialog = nullptr;
    CWnd* m_pDialog = nullptr;
    BOOL m_bDialogFindOnly = TRUE;
    // The grid being searched, and the grid that opened the dialog.
    CGXGridCore* m_pActiveGrid = nullptr;
    CGXGridCore* m_pDialogGrid = nullptr;
    BOOL m_bReplaceAllRunning = FALSE;
    // The composed style of the cell being searched, for the length of one cell's search.
    const CGXStyle* m_pStyle = nullptr;
    // Where the last replacement in one cell ended, so that the next Replace goes on after it.
    DWORD m_nReplaceRow = 0;
    DWORD m_nReplaceCol = 0;
    int m_nReplaceOffset = -1;

    void PrepareFindText();
    // The cell text as searched: upper-cased like the find text unless the case must match.
    CString PrepareCellText(const CString& sText) const;
    // The dialog is still there.
    BOOL IsDialogOpen() const;
    // A grid goes: the dialog it opened is closed and forgotten, and no search points at it.
    void ForgetGrid(CGXGridCore* pGrid);
};

// The program's one record.
CGXFindReplaceState& GXGetFindReplaceState();
