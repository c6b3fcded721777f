// Feeds arbitrary bytes to a grid as a block of cell styles from the clipboard: the paste either
// refuses it and leaves every cell, count and undo step as it was, or takes it in one undo step
// that gives the grid back exactly. It never grows the grid past the largest block a copy
// writes, never makes an object of another class, and never crashes or leaks.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/features/CGXGridStyleDataExchangeImp.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr ROWCOL kRows = 4;
constexpr ROWCOL kCols = 3;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

CGXGridCore& Grid()
{
    static CGXGridCore* s_grid = [] {
        HeadlessBackend::Install();
        RegisterStandardControls();
        GXInstallGridFeatures();
        InitGridLibrary(new CGXControlFactory);
        auto* grid = new CGXGridCore;
        grid->Initialize();
        grid->GetParam()->EnableUndo(FALSE);
        grid->SetRowCount(kRows, 0);
        grid->SetColCount(kCols, 0);
        for (ROWCOL r = 1; r <= kRows; ++r)
            for (ROWCOL c = 1; c <= kCols; ++c)
                grid->SetValueRange(CGXRange(r, c, r, c), std::to_string(r * 10 + c).c_str(), gxOverride, 0, 0);
        grid->GetParam()->EnableUndo(TRUE);
        return grid;
    }();
    return *s_grid;
}

// Every count and stored style of the grid, as text.
std::string Picture(CGXGridCore& grid)
{
    std::string s = std::to_string(grid.GetRowCount()) + "x" + std::to_string(grid.GetColCount()) + ":";
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r)
        for (ROWCOL c = 1; c <= grid.GetColCount(); ++c) {
            const CGXStyle* p = grid.GetData()->LookupStyle(r, c);
            s += p != nullptr ? std::string(p->GetValue().GetString()) + "|" + std::to_string(p->GetHash()) : "-";
            s += ',';
        }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CGXGridCore& grid = Grid();
    static const std::string original = Picture(grid);
    // The first byte picks the target cell and the flags; the rest is the block.
    const BYTE nPick = size > 0 ? data[0] : 0;
    grid.m_nClipboardFlags = GX_CLIP_TEXT | GX_CLIP_STYLES | ((nPick & 1) ? GX_CLIP_NOADDROWS : 0) | ((nPick & 2) ? GX_CLIP_NOADDCOLS : 0);
    CGXRange target(1 + (nPick >> 2) % (kRows + 1), 1 + (nPick >> 5) % kCols, kRows, kCols);
    std::vector<BYTE> block(size > 0 ? data + 1 : data, data + size);
    const INT_PTR nUndo = grid.GetParam()->m_UndoList.GetCount();
    BOOL bPasted = FALSE;
    {
        CMemFile file(block.data(), static_cast<UINT>(block.size()));
        CArchive ar(&file, CArchive::load);
        bPasted = grid.ReadStylesIntoGrid(ar, target, TRUE);
    }
    Check(grid.GetRowCount() <= kRows + kRows + GX_MAXCOPYROWS && grid.GetColCount() <= kCols + kCols + GX_MAXCOPYCOLS);
    if (!bPasted) {
        Check(grid.GetParam()->m_UndoList.GetCount() == nUndo);
        Check(Picture(grid) == original);
        return 0;
    }
    Check(grid.GetParam()->m_UndoList.GetCount() == nUndo + 1);
    Check(grid.Undo());
    Check(Picture(grid) == original);
    // The redo step is not needed: the lists stay short whatever the run's length.
    CObList& redo = grid.GetParam()->m_RedoList;
    while (!redo.IsEmpty())
        delete redo.RemoveHead();
    return 0;
}
