// CGXGridStyleDataExchangeImp: cells as an archive of their styles: writes the stored styles of
// a list of ranges as one packed block (its rows, its columns, then one array of a style or
// null per cell) and reads such a block back into a range, with undo. This is the grid's own
// clipboard format; it never leaves the process.
#pragma once

#include "grid/core/GXFeatureImps.h"

class CGXStyle;

// The largest block either way, and the bound on its cells, for writing and for reading.
inline constexpr DWORD GX_MAXCOPYROWS = 32767;
inline constexpr DWORD GX_MAXCOPYCOLS = 32767;
inline constexpr unsigned long long GX_MAXCOPYCELLS = 0x3FFFFFFF;

class CGXGridStyleDataExchangeImp : public CGXAbstractGridStyleDataExchangeImp {
public:
    static void Install(CGXGridCore* pGrid);

    // Writes the block; a block past the limits raises the memory exception before anything
    // is written. FALSE when the user cancelled.
    virtual BOOL CopyCellStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& selList, BOOL bComposed);
    // A cell's style as it travels: composed, or only what is stored for the cell.
    virtual BOOL GetCopyStyle(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, CGXStyle& style, BOOL bComposed);
    // Reads a block into the range from its top-left cell, in one undo step; the grid grows
    // unless the clipboard flags forbid it. A block past the limits, an array that is not one
    // style or null per cell, a damaged archive, a refused size question or a cancel: FALSE,
    // and the grid is as it was.
    virtual BOOL PasteCellStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRange& range, BOOL bNoSizeQuestion);

    // The engine's names for the operations above.
    BOOL WriteRangesAsStyles(CGXGridCore* pGrid, CArchive& ar, const CGXRangeList& selList, BOOL bComposed) final
    {
        return CopyCellStyles(pGrid, ar, selList, bComposed);
    }
    BOOL ReadStylesIntoGrid(CGXGridCore* pGrid, CArchive& ar, CGXRange& range, BOOL bNoSizeQuestion) final
    {
        return PasteCellStyles(pGrid, ar, range, bNoSizeQuestion);
    }
    BOOL ReadStylesPart(CGXGridCore* pGrid, CArchive& ar, CGXRange& range) final
    {
        return PasteCellStyles(pGrid, ar, range, TRUE);
    }
};
