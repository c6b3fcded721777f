#include "grid/features/CGXGridCutPasteImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/GXFeatureScope.h"
#include "grid/res/GridRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "platform/win/WinUser.h"

#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// The direct-copy mark: which parameter object of which process copied. A serial is never
// given twice, so a mark outlives its object harmlessly: no later object matches it.
struct DirectCopyMark {
    std::uint64_t nProcess;
    std::uint64_t nSerial;
};

HWND ClipboardOwner(CGXGridCore& grid)
{
    return grid.GridWnd() != nullptr ? grid.GridWnd()->GetSafeHwnd() : nullptr;
}

// Opens the clipboard for the grid and closes it however the caller's work ends.
class ClipboardScope {
public:
    explicit ClipboardScope(CGXGridCore& grid) : m_bOpen(OpenClipboard(ClipboardOwner(grid)) != FALSE) {}
    ~ClipboardScope()
    {
        if (m_bOpen)
            CloseClipboard();
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen;
};

// Places a copy of the bytes on the open clipboard; bTerminate adds a NUL after them, which a
// text block needs whatever its length.
bool PlaceBlock(UINT nFormat, const void* pData, size_t nSize, bool bTerminate)
{
    HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, nSize + (bTerminate ? 1 : 0));
    if (hMem == nullptr)
        return false;
    void* p = GlobalLock(hMem);
    if (p == nullptr) {
        GlobalFree(hMem);
        return false;
    }
    if (nSize != 0)
        std::memcpy(p, pData, nSize);
    GlobalUnlock(hMem);
    if (SetClipboardData(nFormat, hMem) == nullptr) {
        GlobalFree(hMem);
        return false;
    }
    return true;
}

// The first row and column a copy or paste takes, by the header flags.
ROWCOL FirstRow(CGXGridCore& grid)
{
    return (grid.m_nClipboardFlags & GX_CLIP_HEADERROWS) != 0 ? 0 : grid.GetHeaderRows() + 1;
}
ROWCOL FirstCol(CGXGridCore& grid)
{
    return (grid.m_nClipboardFlags & GX_CLIP_HEADERCOLS) != 0 ? 0 : grid.GetHeaderCols() + 1;
}

void ExpandAll(CGXGridCore& grid, CGXRangeList& list)
{
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        CGXRange* p = list.GetNextRange(pos);
        p->ExpandToCells(FirstRow(grid), FirstCol(grid), grid.GetRowCount(), grid.GetColCount());
    }
}

// The active cell editor, which copies, cuts and pastes its own text.
CGXControl* ActiveControl(CGXGridCore& grid)
{
    return grid.IsCurrentCellActive() ? grid.GetCurrentCellControl() : nullptr;
}

bool DirectPastePossible(const CGXGridParam& param)
{
    if (param.m_CopiedRanges.IsEmpty())
        return false;
    return (param.m_bDirectCut && param.m_bCutPending) || (param.m_bDirectCopy && !param.m_bCutPending);
}

bool ClipboardHoldsOwnMark(const CGXGridParam& param)
{
    const UINT nFormat = GXGetDirectCopyClipboardFormat();
    if (!IsClipboardFormatAvailable(nFormat))
        return false;
    HANDLE hData = GetClipboardData(nFormat);
    if (hData == nullptr || GlobalSize(hData) < sizeof(DirectCopyMark))
        return false;
    DirectCopyMark mark{};
    const void* p = GlobalLock(hData);
    if (p == nullptr)
        return false;
    std::memcpy(&mark, p, sizeof mark);
    GlobalUnlock(hData);
    return mark.nProcess == static_cast<std::uint64_t>(getpid()) && mark.nSerial == param.GetSerial();
}

} // namespace

UINT GXGetStylesClipboardFormat()
{
    static const UINT nFormat = [] {
        CString sName;
        sName.Format("Grid Styles %08x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(AfxGetInstanceHandle())));
        return RegisterClipboardFormat(sName);
    }();
    return nFormat;
}

UINT GXGetDirectCopyClipboardFormat()
{
    static const UINT nFormat = RegisterClipboardFormat("GX_DIRECTCOPY");
    return nFormat;
}

void CGXGridCutPasteImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pCutPasteImp != nullptr)
        return;
    auto* pImp = new CGXGridCutPasteImp;
    pGrid->m_pCutPasteImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridCutPasteImp::CanCopy(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || GetOpenClipboardWindow() != nullptr)
        return FALSE;
    if (!pGrid->GetParam()->m_SelRects.IsEmpty())
        return TRUE;
    CGXControl* pControl = ActiveControl(*pGrid);
    if (pControl != nullptr)
        return pControl->CanCopy();
    return pGrid->IsCurrentCell();
}

BOOL CGXGridCutPasteImp::CanCut(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || GetOpenClipboardWindow() != nullptr || pGrid->IsReadOnly())
        return FALSE;
    if (!pGrid->GetParam()->m_SelRects.IsEmpty())
        return TRUE;
    CGXControl* pControl = ActiveControl(*pGrid);
    if (pControl != nullptr)
        return pControl->CanCut();
    return pGrid->IsCurrentCell();
}

BOOL CGXGridCutPasteImp::Copy(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXGridParam& param = *grid.GetParam();
    {
        ClipboardScope clipboard(grid);
        if (!clipboard.IsOpen() || !EmptyClipboard())
            return FALSE;
    }
    grid.GetSelectedRanges(param.m_CopiedRanges, FALSE);
    CGXControl* pControl = ActiveControl(grid);
    if (pControl != nullptr && pControl->Copy())
        return TRUE;
    CGXRangeList list;
    if (!grid.GetSelectedRanges(list, TRUE))
        return FALSE;
    if (param.m_CopiedRanges.IsEmpty())
        grid.GetSelectedRanges(param.m_CopiedRanges, TRUE);
    CGXLongOperation op;
    ExpandAll(grid, list);
    const BOOL bResult = grid.CopyRangeList(list);
    if (param.m_bCutPending) {
        param.m_bCutPending = FALSE;
        grid.Redraw(GX_UPDATENOW, TRUE);
    }
    return bResult;
}

BOOL CGXGridCutPasteImp::CopyRangeList(CGXGridCore* pGrid, CGXRangeList& selList)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXLongOperation op;
    BOOL bResult = FALSE;
    if ((grid.m_nClipboardFlags & GX_CLIP_TEXT) != 0)
        bResult |= CopyTextToClipboard(pGrid, selList);
    if ((grid.m_nClipboardFlags & GX_CLIP_STYLES) != 0)
        bResult |= CopyStylesToClipboard(pGrid, selList, FALSE);
    const CGXGridParam& param = *grid.GetParam();
    if (bResult && (param.m_bDirectCopy || param.m_bDirectCut)) {
        ClipboardScope clipboard(grid);
        const DirectCopyMark mark{static_cast<std::uint64_t>(getpid()), param.GetSerial()};
        if (clipboard.IsOpen())
            PlaceBlock(GXGetDirectCopyClipboardFormat(), &mark, sizeof mark, false);
    }
    return bResult;
}

BOOL CGXGridCutPasteImp::CopyTextToClipboard(CGXGridCore* pGrid, const CGXRangeList& selList)
{
    if (pGrid == nullptr)
        return FALSE;
    CString sText;
    if (!pGrid->WriteRangesAsText(sText, selList))
        return FALSE;
    ClipboardScope clipboard(*pGrid);
    return clipboard.IsOpen() && PlaceBlock(CF_TEXT, sText.GetString(), static_cast<size_t>(sText.GetLength()), true);
}

BOOL CGXGridCutPasteImp::CopyStylesToClipboard(CGXGridCore* pGrid, const CGXRangeList& selList, BOOL bLoadBaseStyles)
{
    if (pGrid == nullptr)
        return FALSE;
    CMemFile file(4096);
    BOOL bResult = FALSE;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        bResult = pGrid->WriteRangesAsStyles(ar, selList, bLoadBaseStyles);
        ar.Close();
    } catch (CException* e) {
        // A block too large to copy, or a write that failed: no styles format, the text stays.
        e->Delete();
        return FALSE;
    }
    if (!bResult)
        return FALSE;
    const auto nSize = static_cast<size_t>(file.GetLength());
    BYTE* pBytes = file.Detach();
    std::unique_ptr<BYTE, void (*)(void*)> owned(pBytes, [](void* p) { std::free(p); });
    ClipboardScope clipboard(*pGrid);
    return clipboard.IsOpen() && PlaceBlock(GXGetStylesClipboardFormat(), pBytes, nSize, false);
}

BOOL CGXGridCutPasteImp::Cut(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXGridParam& param = *grid.GetParam();
    {
        ClipboardScope clipboard(grid);
        if (!clipboard.IsOpen() || !EmptyClipboard())
            return FALSE;
    }
    CGXLongOperation op;
    grid.GetSelectedRanges(param.m_CopiedRanges, FALSE);
    CGXControl* pControl = ActiveControl(grid);
    if (pControl != nullptr && pControl->Cut())
        return TRUE;
    if (!param.m_bDirectCut) {
        CGXRangeList list;
        if (!grid.GetSelectedRanges(list, TRUE))
            return FALSE;
        return grid.CutRangeList(list, (grid.m_nClipboardFlags & GX_CLIP_STYLES) != 0);
    }
    // A direct cut moves the cells at the next paste; it is pending only when its copy worked.
    if (!grid.Copy())
        return FALSE;
    param.m_bCutPending = TRUE;
    grid.Redraw(GX_UPDATENOW, TRUE);
    return TRUE;
}

BOOL CGXGridCutPasteImp::CutRangeList(CGXGridCore* pGrid, CGXRangeList& selList, BOOL bStyleOnly)
{
    if (pGrid == nullptr)
        return FALSE;
    CGXTransactionScope trans(*pGrid, pGrid->GetAppData()->GetText(gxTextCutData));
    if (!pGrid->CopyRangeList(selList) || !pGrid->ClearRangeList(selList, bStyleOnly))
        return FALSE; // the guard rolls back
    trans.Commit();
    return TRUE;
}

BOOL CGXGridCutPasteImp::CanPaste(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    const CGXGridParam& param = *pGrid->GetParam();
    if (pGrid->IsReadOnly() && param.m_bReadOnlyPasteLock)
        return FALSE;
    if (DirectPastePossible(param))
        return TRUE;
    CGXControl* pControl = ActiveControl(*pGrid);
    if (pControl != nullptr && pControl->CanPaste())
        return TRUE;
    return CanPasteFromClipboard(pGrid);
}

BOOL CGXGridCutPasteImp::CanPasteFromClipboard(CGXGridCore*)
{
    return IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT) ||
           IsClipboardFormatAvailable(GXGetStylesClipboardFormat());
}

BOOL CGXGridCutPasteImp::Paste(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || !pGrid->CanPaste())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXGridParam& param = *grid.GetParam();
    CGXRangeList list;
    if (!grid.GetSelectedRanges(list, TRUE))
        return FALSE;
    CGXControl* pControl = ActiveControl(grid);
    if (pControl != nullptr && pControl->CanPaste() && pControl->Paste())
        return TRUE;
    if (list.GetCount() > 1) {
        CString sText;
        sText.LoadString(GX_IDS_MULTIAREAPASTE);
        AfxMessageBox(sText, MB_OK);
        return FALSE;
    }
    POSITION posFirst = list.GetHeadPosition();
    CGXRange target = *list.GetNextRange(posFirst);
    target.ExpandToCells(FirstRow(grid), FirstCol(grid), grid.GetRowCount(), grid.GetColCount());
    if (DirectPastePossible(param)) {
        bool bDirect = param.m_bCutPending;
        if (!bDirect) {
            ClipboardScope clipboard(grid);
            bDirect = clipboard.IsOpen() && ClipboardHoldsOwnMark(param);
        }
        if (bDirect)
            return PasteCellsDirect(pGrid, target);
    }
    ClipboardScope clipboard(grid);
    return clipboard.IsOpen() && PasteFromClipboard(pGrid, target);
}

BOOL CGXGridCutPasteImp::PasteFromClipboard(CGXGridCore* pGrid, CGXRange& target)
{
    if (pGrid == nullptr)
        return FALSE;
    target.top = std::max(target.top, FirstRow(*pGrid));
    target.left = std::max(target.left, FirstCol(*pGrid));
    if ((pGrid->m_nClipboardFlags & GX_CLIP_STYLES) != 0 && IsClipboardFormatAvailable(GXGetStylesClipboardFormat()) &&
        pGrid->m_pStyleDataExchangeImp != nullptr)
        return pGrid->PasteStylesPart(target);
    if ((pGrid->m_nClipboardFlags & GX_CLIP_TEXT) != 0)
        return pGrid->PasteTextPart(target);
    return FALSE;
}

BOOL CGXGridCutPasteImp::PasteStylesPart(CGXGridCore* pGrid, CGXRange& target)
{
    HANDLE hData = GetClipboardData(GXGetStylesClipboardFormat());
    if (pGrid == nullptr || hData == nullptr)
        return FALSE;
    const SIZE_T nSize = GlobalSize(hData);
    BYTE* p = static_cast<BYTE*>(GlobalLock(hData));
    if (p == nullptr)
        return FALSE;
    // A copy, so that the block stays the clipboard's whatever the archive does with its file.
    std::vector<BYTE> bytes(p, p + nSize);
    GlobalUnlock(hData);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load, 4096);
    BOOL bResult = FALSE;
    try {
        bResult = pGrid->ReadStylesIntoGrid(ar, target, (pGrid->m_nClipboardFlags & GX_CLIP_ASKSIZE) == 0);
    } catch (CException* e) {
        e->Delete();
        bResult = FALSE;
    }
    return bResult;
}

BOOL CGXGridCutPasteImp::PasteTextPart(CGXGridCore* pGrid, CGXRange& target)
{
    if (pGrid == nullptr)
        return FALSE;
    HANDLE hData = IsClipboardFormatAvailable(CF_TEXT) ? GetClipboardData(CF_TEXT) : GetClipboardData(CF_OEMTEXT);
    if (hData == nullptr)
        return FALSE;
    const SIZE_T nSize = GlobalSize(hData);
    const char* p = static_cast<const char*>(GlobalLock(hData));
    if (p == nullptr)
        return FALSE;
    const BOOL bResult = pGrid->PasteTextBuffer(p, nSize, target);
    GlobalUnlock(hData);
    return bResult;
}

BOOL CGXGridCutPasteImp::PasteCellsDirect(CGXGridCore* pGrid, const CGXRange& target)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    CGXGridParam& param = *grid.GetParam();
    if (!DirectPastePossible(param))
        return TRUE;
    const bool bMove = param.m_bCutPending != FALSE;
    CDWordArray rowStarts, rowEnds, colStarts, colEnds;
    if (!param.m_CopiedRanges.GetRowSpans(grid.GetRowCount(), rowStarts, rowEnds, FALSE) ||
        !param.m_CopiedRanges.GetColSpans(grid.GetColCount(), colStarts, colEnds, FALSE))
        return FALSE;

    struct Block {
        CGXRange source, dest;
        std::unique_ptr<CObArray> styles;
    };
    std::vector<Block> blocks;
    ROWCOL nDestRow = target.top;
    for (INT_PTR i = 0; i < rowStarts.GetSize(); ++i) {
        const ROWCOL nTop = std::max<ROWCOL>(rowStarts[i], FirstRow(grid));
        const ROWCOL nBottom = std::min<ROWCOL>(rowEnds[i], grid.GetRowCount());
        if (nTop > nBottom)
            continue;
        ROWCOL nDestCol = target.left;
        for (INT_PTR j = 0; j < colStarts.GetSize(); ++j) {
            const ROWCOL nLeft = std::max<ROWCOL>(colStarts[j], FirstCol(grid));
            const ROWCOL nRight = std::min<ROWCOL>(colEnds[j], grid.GetColCount());
            if (nLeft > nRight)
                continue;
            Block b;
            b.source = CGXRange(nTop, nLeft, nBottom, nRight);
            b.dest = CGXRange(nDestRow, nDestCol, nDestRow + (nBottom - nTop), nDestCol + (nRight - nLeft));
            // A destination past the grid's end fails the paste before anything changes.
            if (b.dest.bottom < nDestRow || b.dest.right < nDestCol || b.dest.bottom > grid.GetRowCount() ||
                b.dest.right > grid.GetColCount())
                return FALSE;
            blocks.push_back(std::move(b));
            nDestCol += nRight - nLeft + 1;
        }
        nDestRow += nBottom - nTop + 1;
    }

    // Block by block through the cell store's own copy or move, unless a destination covers a
    // source still to come: that source would be read after it was overwritten, so then every
    // block is read before anything is written.
    bool bBlockwise = true;
    for (size_t i = 0; i < blocks.size() && bBlockwise; ++i)
        for (size_t j = i + 1; j < blocks.size() && bBlockwise; ++j)
            bBlockwise = !CGXRange().SetIntersection(blocks[i].dest, blocks[j].source);

    CGXLongOperation op;
    op.SetStatusText(grid.GetAppData()->GetText(bMove ? gxTextMove : gxTextCopy), FALSE);
    CGXTransactionScope trans(grid, grid.GetAppData()->GetText(bMove ? gxTextMove : gxTextCopy));
    bool bOk = true;
    {
        CGXFlagRestore updateLock(param.m_bLockUpdate, TRUE);
        if (bBlockwise) {
            for (const Block& b : blocks) {
                const BOOL bDone = bMove ? grid.MoveCellsDirect(b.source, b.dest.top, b.dest.left, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE)
                                         : grid.CopyCellsDirect(b.source, b.dest.top, b.dest.left, GX_INVALIDATE, gxDo, FALSE, FALSE, FALSE);
                if (!bDone) {
                    bOk = false;
                    break;
                }
            }
        } else {
            try {
                for (Block& b : blocks)
                    b.styles.reset(grid.CollectRangeStyles(b.source, 0));
                if (bMove)
                    for (const Block& b : blocks)
                        grid.ApplyStyleToRange(b.source, nullptr, gxRemove, 0, nullptr, GX_INVALIDATE, gxDo);
                for (const Block& b : blocks) {
                    bool bAllEmpty = true;
                    for (INT_PTR k = 0; k < b.styles->GetSize() && bAllEmpty; ++k)
                        bAllEmpty = b.styles->GetAt(k) == nullptr;
                    // A block of empty cells over empty cells changes nothing, which is no failure.
                    if (!grid.ApplyStyleToRange(b.dest, nullptr, gxCopy, 0, b.styles.get(), GX_INVALIDATE, gxDo) && !bAllEmpty) {
                        bOk = false;
                        break;
                    }
                }
            } catch (const std::bad_alloc&) {
                bOk = false;
            }
            for (Block& b : blocks)
                if (b.styles)
                    for (INT_PTR k = 0; k < b.styles->GetSize(); ++k)
                        delete b.styles->GetAt(k);
        }
    }
    if (!bOk)
        return FALSE; // the guard rolls back
    trans.Commit();
    if (bMove) {
        // A cut is pasted once.
        param.m_bCutPending = FALSE;
        param.m_CopiedRanges.DeleteAll();
    }
    grid.Redraw(GX_UPDATENOW, TRUE);
    ROWCOL nRow = 0, nCol = 0;
    if (grid.GetCurrentCell(nRow, nCol))
        for (const Block& b : blocks)
            if (b.dest.ContainsCell(nRow, nCol)) {
                grid.SetCurrentCell(nRow, nCol, GX_UPDATENOW | GX_SCROLLINVIEW);
                break;
            }
    return TRUE;
}

BOOL CGXGridCutPasteImp::AskClipboardSizeDifferent(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return FALSE;
    // OK writes over cells outside the ones chosen: Enter, pressed without reading, leaves them.
    return AfxMessageBox(pGrid->GetAppData()->GetText(gxTextClipboardSize), MB_OKCANCEL | MB_DEFBUTTON2) == IDOK;
}
