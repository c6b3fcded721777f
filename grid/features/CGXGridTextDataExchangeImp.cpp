#include "grid/features/CGXGridTextDataExchangeImp.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/features/GXCellStore.h"
#include "grid/features/GXFeatureScope.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Raised inside a paste when the user cancelled; caught before it leaves the feature.
struct ExchangeCancelled {};

void AddSpans(const CDWordArray& starts, const CDWordArray& ends, ROWCOL nFirst, ROWCOL nLast, std::vector<ROWCOL>& out)
{
    for (INT_PTR i = 0; i < starts.GetSize(); ++i) {
        const ROWCOL nFrom = std::max<ROWCOL>(starts[i], nFirst);
        const ROWCOL nTo = std::min<ROWCOL>(ends[i], nLast);
        for (ROWCOL n = nFrom; n <= nTo && n >= nFrom; ++n)
            out.push_back(n);
    }
}

// Writes a value's bytes with the break rule: without escapes a break (CR, LF or CR LF) and a
// TAB become one space, since either would end the cell when read back; with escapes they
// become \r, \n and \t, and a backslash itself becomes \\ so that it reads back unchanged.
void AppendValue(std::string& out, const CString& sValue, bool bEscape)
{
    const char* p = sValue.GetString();
    const int n = sValue.GetLength();
    for (int i = 0; i < n; ++i) {
        const char ch = p[i];
        if (ch == '\r' || ch == '\n') {
            if (bEscape) {
                out += ch == '\r' ? "\\r" : "\\n";
            } else {
                out += ' ';
                if (ch == '\r' && i + 1 < n && p[i + 1] == '\n')
                    ++i;
            }
        } else if (ch == '\t') {
            out += bEscape ? "\\t" : " ";
        } else if (ch == '\\' && bEscape) {
            out += "\\\\";
        } else {
            out += ch;
        }
    }
}

// Reads an escaped value back: \r, \n, \t and \\ become their characters; any other
// backslash stays as it is.
CString Unescape(const char* p, size_t n)
{
    std::string s;
    s.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\\' && i + 1 < n) {
            const char next = p[i + 1];
            const char ch = next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next == '\\' ? '\\' : 0;
            if (ch != 0) {
                s += ch;
                ++i;
                continue;
            }
        }
        s += p[i];
    }
    return CString(s.data(), static_cast<int>(s.size()));
}

// The tokens of a text buffer: cells ended by a separator, a line break (CR LF counts once) or
// NUL, which ends the text.
class TextScanner {
public:
    TextScanner(const char* p, size_t n, const CString& sSeparators) : m_p(p), m_n(n), m_sep(sSeparators.IsEmpty() ? CString("\t") : sSeparators) {}

    enum End { Separator, Break, Finished };

    // The next cell's bytes and what ended it.
    End Next(const char*& pCell, size_t& nCell)
    {
        pCell = m_p + m_i;
        const size_t nStart = m_i;
        while (m_i < m_n) {
            const char ch = m_p[m_i];
            if (ch == '\0') {
                nCell = m_i - nStart;
                m_i = m_n;
                return Finished;
            }
            if (ch == '\r' || ch == '\n') {
                nCell = m_i - nStart;
                ++m_i;
                if (ch == '\r' && m_i < m_n && m_p[m_i] == '\n')
                    ++m_i;
                return Break;
            }
            if (std::memchr(m_sep.GetString(), ch, static_cast<size_t>(m_sep.GetLength())) != nullptr) {
                nCell = m_i - nStart;
                ++m_i;
                return Separator;
            }
            ++m_i;
        }
        nCell = m_i - nStart;
        return Finished;
    }
    // Nothing but an end of text follows.
    bool AtEnd() const { return m_i >= m_n || m_p[m_i] == '\0'; }
    size_t Position() const { return m_i; }

private:
    const char* m_p;
    size_t m_n;
    size_t m_i = 0;
    CString m_sep;
};

} // namespace

void GXPackedBlock(CGXGridCore& grid, const CGXRangeList& selList, std::vector<ROWCOL>& rows, std::vector<ROWCOL>& cols)
{
    rows.clear();
    cols.clear();
    const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();
    // Header rows and columns take part only where the clipboard flags say so.
    const ROWCOL nFirstRow = (grid.m_nClipboardFlags & GX_CLIP_HEADERROWS) != 0 ? 0 : grid.GetHeaderRows() + 1;
    const ROWCOL nFirstCol = (grid.m_nClipboardFlags & GX_CLIP_HEADERCOLS) != 0 ? 0 : grid.GetHeaderCols() + 1;
    CDWordArray starts, ends;
    if (selList.GetRowSpans(nRows, starts, ends, FALSE))
        AddSpans(starts, ends, nFirstRow, nRows, rows);
    if (selList.GetColSpans(nCols, starts, ends, FALSE))
        AddSpans(starts, ends, nFirstCol, nCols, cols);
}

void CGXGridTextDataExchangeImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pTextDataExchangeImp != nullptr)
        return;
    auto* pImp = new CGXGridTextDataExchangeImp;
    pGrid->m_pTextDataExchangeImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

BOOL CGXGridTextDataExchangeImp::WriteRangesAsText(CGXGridCore* pGrid, CString& sDest, const CGXRangeList& selList)
{
    std::string s;
    const BOOL bResult = CopyTextToFile(pGrid, s, selList);
    sDest = CString(s.data(), static_cast<int>(s.size()));
    return bResult;
}

BOOL CGXGridTextDataExchangeImp::CopyTextToFile(CGXGridCore* pGrid, std::string& sDest, const CGXRangeList& selList)
{
    sDest.clear();
    if (pGrid == nullptr || pGrid->GetParam() == nullptr)
        return FALSE;
    CGXGridCore& grid = *pGrid;
    std::vector<ROWCOL> rows, cols;
    GXPackedBlock(grid, selList, rows, cols);
    if (rows.empty() || cols.empty())
        return FALSE;
    CGXLongOperation op;
    op.SetStatusText(grid.GetAppData()->GetText(gxTextCopyingText), FALSE);
    const CString sSeparator = grid.m_sCopySeparator.IsEmpty() ? CString("\t") : grid.m_sCopySeparator;
    const bool bEscape = (grid.m_nClipboardFlags & GX_CLIP_ESCAPEBREAKS) != 0;
    const unsigned long long nCells = static_cast<unsigned long long>(rows.size()) * cols.size();
    unsigned long long nDone = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            sDest += "\r\n";
        for (size_t j = 0; j < cols.size(); ++j, ++nDone) {
            if (j > 0)
                sDest.append(sSeparator.GetString(), static_cast<size_t>(sSeparator.GetLength()));
            // Through the grid, so that a grid that changes what a cell copies as is heard.
            CString sText;
            grid.GetCellTextForCopy(sText, rows[i], cols[j]);
            AppendValue(sDest, sText, bEscape);
        }
        CGXLongOperation::SetPercentDone(static_cast<int>(nDone * 100 / nCells));
        BOOL bCancelled = FALSE;
        op.DoMessages(bCancelled);
        if (bCancelled) {
            sDest.clear();
            return FALSE;
        }
    }
    if (rows.size() > 1 || cols.size() > 1)
        sDest += "\r\n";
    grid.m_nLastCopiedRows = static_cast<ROWCOL>(rows.size());
    grid.m_nLastCopiedCols = static_cast<ROWCOL>(cols.size());
    // Empty cells are copied as what they are, empty text: another program pastes nothing
    // rather than what an earlier copy left on the clipboard.
    return TRUE;
}

CString CGXGridTextDataExchangeImp::GetCopyTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol)
{
    if (pGrid == nullptr)
        return CString();
    CGXStyle* pStyle = pGrid->CreateStyle();
    pGrid->ComposeCellStyle(nRow, nCol, *pStyle);
    CString sText;
    CGXControl* pControl = pGrid->GetControlById(pStyle->GetControl());
    if (pControl == nullptr || !pControl->GetControlText(sText, nRow, nCol, nullptr, *pStyle))
        sText = pStyle->GetValue();
    pGrid->RecycleStyle(pStyle);
    return sText;
}

BOOL CGXGridTextDataExchangeImp::PasteTextRowCol(CGXGridCore* pGrid, ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags, const CGXStyle* pStyle)
{
    return pGrid != nullptr && GXStoreCellTextWithUndo(*pGrid, nRow, nCol, sText, nFlags, pStyle);
}

BOOL CGXGridTextDataExchangeImp::CalcBufferDimension(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, ROWCOL& nRows, ROWCOL& nCols)
{
    nRows = 0;
    nCols = 1;
    if (pszBuffer == nullptr)
        return TRUE;
    TextScanner scan(pszBuffer, nSize, pGrid != nullptr ? pGrid->m_sPasteSeparator : CString());
    unsigned long long nRowCells = 0, nMostCells = 1, nLines = 0;
    for (;;) {
        if (scan.AtEnd() && nRowCells == 0)
            break;
        const char* pCell = nullptr;
        size_t nCell = 0;
        const TextScanner::End end = scan.Next(pCell, nCell);
        ++nRowCells;
        nMostCells = std::max(nMostCells, nRowCells);
        if (end == TextScanner::Separator)
            continue;
        ++nLines;
        nRowCells = 0;
        if (end == TextScanner::Finished)
            break;
    }
    // Counts past what a grid can number say so by their size.
    nRows = static_cast<ROWCOL>(std::min<unsigned long long>(nLines, GX_INVALID - 1));
    nCols = static_cast<ROWCOL>(std::min<unsigned long long>(nMostCells, GX_INVALID - 1));
    return TRUE;
}

BOOL CGXGridTextDataExchangeImp::PasteTextFromBuffer(CGXGridCore* pGrid, LPCTSTR pszBuffer, size_t nSize, const CGXRange& range)
{
    if (pGrid == nullptr || pGrid->GetParam() == nullptr || pszBuffer == nullptr || !range.IsValid())
        return FALSE;
    CGXGridCore& grid = *pGrid;
    const DWORD nFlags = grid.m_nClipboardFlags;
    const bool bEscape = (nFlags & GX_CLIP_ESCAPEBREAKS) != 0;
    const ROWCOL nTop = std::max<ROWCOL>(range.top, 1), nLeft = std::max<ROWCOL>(range.left, 1);

    grid.m_nPasteCellsLeftOut = 0;
    unsigned long long nLeftOut = 0;
    CGXLongOperation op;
    op.SetStatusText(grid.GetAppData()->GetText(gxTextPastingData), FALSE);
    grid.SyncCurrentCell(TRUE);
    CGXTransactionScope trans(grid, grid.GetAppData()->GetText(gxTextPaste));
    ROWCOL nLastRow = nTop, nRightCol = nLeft;
    // The update lock holds while cells are stored and is given back however the paste ends.
    auto paste = [&]() -> BOOL {
        CGXFlagRestore updateLock(grid.GetParam()->m_bLockUpdate, TRUE);
        try {
            // The grid grows once, to the text's size, rather than row by row; a size it cannot
            // number or hold fails the paste before anything is stored.
            ROWCOL nTextRows = 0, nTextCols = 0;
            CalcBufferDimension(pGrid, pszBuffer, nSize, nTextRows, nTextCols);
            if (nTextRows == 0)
                return FALSE;
            const unsigned long long nNeedRows = static_cast<unsigned long long>(nTop) + nTextRows - 1;
            const unsigned long long nNeedCols = static_cast<unsigned long long>(nLeft) + nTextCols - 1;
            if (nNeedRows > grid.GetRowCount() && (nFlags & GX_CLIP_NOADDROWS) == 0) {
                if (nNeedRows >= GX_INVALID / 2 || !grid.SetRowCount(static_cast<ROWCOL>(nNeedRows), GX_INVALIDATE | GX_UPDATENOW))
                    return FALSE;
            }
            if (nNeedCols > grid.GetColCount() && (nFlags & GX_CLIP_NOADDCOLS) == 0) {
                if (nNeedCols >= GX_INVALID / 2 || !grid.SetColCount(static_cast<ROWCOL>(nNeedCols), GX_INVALIDATE | GX_UPDATENOW))
                    return FALSE;
            }
            const ROWCOL nRows = grid.GetRowCount(), nCols = grid.GetColCount();

            TextScanner scan(pszBuffer, nSize, grid.m_sPasteSeparator);
            ROWCOL nRow = nTop, nCol = nLeft;
            while (!scan.AtEnd()) {
                const char* pCell = nullptr;
                size_t nCell = 0;
                const TextScanner::End end = scan.Next(pCell, nCell);
                // The cells past the last row or column are read on only to be counted.
                if (nRow > nRows || nCol > nCols) {
                    ++nLeftOut;
                } else {
                    const CString sText = bEscape ? Unescape(pCell, nCell) : CString(pCell, static_cast<int>(nCell));
                    if (!grid.StoreCellTextForPaste(nRow, nCol, sText, GX_INVALIDATE, 0))
                        return FALSE; // the guard rolls back what was stored
                    nLastRow = std::max(nLastRow, nRow);
                    nRightCol = std::max(nRightCol, nCol);
                }
                if (end == TextScanner::Finished)
                    break;
                if (end == TextScanner::Break) {
                    ++nRow;
                    nCol = nLeft;
                } else if (nCol != GX_INVALID) {
                    ++nCol;
                }
                CGXLongOperation::SetPercentDone(static_cast<int>(scan.Position() * 100 / std::max<size_t>(nSize, 1)));
                BOOL bCancelled = FALSE;
                op.DoMessages(bCancelled);
                if (bCancelled)
                    throw ExchangeCancelled{};
            }
        } catch (const ExchangeCancelled&) {
            return FALSE;
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
        return TRUE;
    };
    if (!paste())
        return FALSE; // the transaction's guard rolls back what was stored
    trans.Commit();
    grid.m_nPasteCellsLeftOut = nLeftOut;
    grid.RedrawRange(CGXRange(nTop, nLeft, nLastRow, nRightCol), GX_UPDATENOW);
    return TRUE;
}
