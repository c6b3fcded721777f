// CGXGridTextDataExchangeImp: cells as delimited text: writes the display texts of a list of
// ranges as one packed block (cells apart by the copy separator, rows by CR LF) and parses such
// text into cells through their controls, with undo.
#pragma once

#include "grid/core/GXFeatureImps.h"

#include <string>
#include <vector>

class CGXGridTextDataExchangeImp : public CGXAbstractGridTextDataExchangeImp {
public:
    static void Install(CGXGridCore* pGrid);

    // The block's text; FALSE when cancelled or when every cell was empty.
    virtual BOOL CopyTextToFile(CGXGridCore* pGrid, std::string& sDest, const CGXRangeList& selList);
    // The cell's display text through its control (the value without one).
    virtual CString GetCopyTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol);
    // Parses the text into the cells from the range's top-left cell on, in one undo step. The
    // grid grows once to the text's size unless the clipboard flags forbid it; a growth the grid
    // cannot hold, a refused store or a cancel fails and leaves the grid as it was.
    virtual BOOL PasteTextFromBuffer(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, const CGXRange& range);
    virtual BOOL PasteTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pStyle);
    // Rows of the text and the most cells of one of them (at least 1 each way for any text).
    virtual BOOL CalcBufferDimension(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols);

    // The engine's names for the operations above.
    BOOL WriteRangesAsText(CGXGridCore* pGrid, CString& sDest, const CGXRangeList& selList) final;
    BOOL GetCellTextForCopy(CGXGridCore* pGrid, CString& sText, ROWCOL nRow, ROWCOL nCol) final
    {
        sText = GetCopyTextRowCol(pGrid, nRow, nCol);
        return TRUE;
    }
    BOOL PasteTextBuffer(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, const CGXRange& range) final
    {
        return PasteTextFromBuffer(pGrid, pszBuffer, nSize, range);
    }
    BOOL StoreCellTextForPaste(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, int) final
    {
        return PasteTextRowCol(pGrid, nRow, nCol, sText, nFlags, nullptr);
    }
    BOOL CountTextBufferCells(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols) final
    {
        return CalcBufferDimension(pGrid, pszBuffer, nSize, nRows, nCols);
    }
};

// The packed block of a list of ranges: the rows and the columns it takes, each in order, with
// the rows and columns between separate ranges left out, and header rows and columns in only
// as the clipboard flags admit them.
void GXPackedBlock(CGXGridCore& grid, const CGXRangeList& selList, std::vector<ROWCOL>& rows, std::vector<ROWCOL>& cols);
