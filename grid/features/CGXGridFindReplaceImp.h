// CGXGridFindReplaceImp: find and replace down or up the current column with the program's one
// modeless find or replace dialog: find next, replace the match in the current cell, replace
// all from the current cell down. Texts are UTF-8; without match case both sides are
// case-folded in a way that keeps byte offsets, so matches map back onto the cell's own bytes.
#pragma once

#include "grid/core/GXFeatureImps.h"

struct CGXFindReplaceState;

class CGXGridFindReplaceImp : public CGXAbstractGridFindReplaceImp {
public:
    static void Install(CGXGridCore* pGrid);

    // Opens the Find (or Replace) dialog for the grid, proposing the current cell's text. A
    // dialog of the same kind already open is only brought forward; one of the other kind is
    // closed first.
    virtual void ShowFindReplaceDialog(CGXGridCore* pGrid, BOOL bFindOnly);
    // Stores the settings and finds the next match, making it the current cell. An empty text
    // finds nothing (beep).
    virtual BOOL FindNextText(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bCase);
    // Replaces the next match in the current cell (after the last replacement there), then
    // moves on to the next match; beeps when there is none.
    virtual BOOL ReplaceSel(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bDown, BOOL bCase, LPCTSTR pszReplace);
    // Every match from the current row down the current column, as one undo step. An empty
    // text replaces nothing. An abort rolls back when the user asked for it, else keeps what
    // was done; the running flag is cleared on every way out.
    BOOL ReplaceAll(CGXGridCore* pGrid, LPCTSTR pszFind, LPCTSTR pszReplace, BOOL bCase) override;
    // The registered message of the dialog.
    virtual BOOL OnFindReplace(CGXGridCore* pGrid, CWnd* pDialog);

    BOOL FindNext(CGXGridCore* pGrid, BOOL bSetCell) override;
    BOOL FindTextFrom(CGXGridCore* pGrid, ROWCOL& nRow, ROWCOL& nCol, BOOL bSetCell) override;
    BOOL FindTextInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) override;
    BOOL ReplaceAllInCell(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol) override;

    // The grid's forwarders reach the operations above under the engine's names.
    void OnShowFindReplaceDialog(CGXGridCore* pGrid, BOOL bFindOnly) final { ShowFindReplaceDialog(pGrid, bFindOnly); }
    BOOL FindText(CGXGridCore* pGrid, LPCTSTR pszFind, BOOL bNext, BOOL bCase) final { return FindNextText(pGrid, pszFind, bNext, bCase); }
    BOOL FindTextPrepared(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell) final
    {
        return FindTextInCell(pGrid, nRow, nCol, bCurrentPos, bSetCell);
    }
    BOOL HandleFindReplaceMessage(CGXGridCore* pGrid, CWnd* pDialog) final { return OnFindReplace(pGrid, pDialog); }

    // The text with every match of the prepared find text replaced, or FALSE when there is
    // none. Matches are taken left to right without overlap; nStart skips bytes at the front.
    static BOOL ReplaceMatches(const CGXFindReplaceState& state, const CString& sText, const CString& sReplace,
                               CString& sResult, int nStart = 0, int nMaxCount = -1, int* pnEnd = nullptr);

private:
    BOOL GetCellText(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CString& sText);
};
