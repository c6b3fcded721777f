// CGXGridPrintImp: prints a grid page by page. The grid keeps its screen size on paper (96
// pixels to the inch, scaled to the printer's resolution) inside the margins of its properties;
// the header and frozen rows and columns repeat on every page, and the others are cut into
// pages at whole rows and columns, down first, then across.
#pragma once

#include <vector>

#include "grid/core/GXFeatureImps.h"

class CGXGridPrintImp : public CGXAbstractGridPrintImp {
public:
    // Creates the grid's object once.
    static void Install(CGXGridCore* pGrid);

    // Cuts the grid into pages for the device and tells the job how many there are.
    void OnGridBeginPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;
    // Prints the job's current page; past the last page it ends the job.
    void OnGridPrint(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;
    void OnGridEndPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo) override;

    // The first row and column of each band of pages, from the last OnGridBeginPrinting.
    const std::vector<ROWCOL>& GetRowBreaks() const { return m_rowBreaks; }
    const std::vector<ROWCOL>& GetColBreaks() const { return m_colBreaks; }
    UINT GetPageCount() const;

private:
    // The page's area in the grid's units (screen pixels), inside the margins.
    static CRect PageArea(CGXGridCore* pGrid, CDC* pDC);

    std::vector<ROWCOL> m_rowBreaks;
    std::vector<ROWCOL> m_colBreaks;
    // The extent of the rows and columns every page repeats, and of each band.
    int m_nFixedHeight = 0;
    int m_nFixedWidth = 0;
    std::vector<int> m_bandHeights;
    std::vector<int> m_bandWidths;
    // The last column printed: the grid's last, or the selection's when only it prints.
    ROWCOL m_nLastCol = 0;
};
