#include "grid/data/CGXData.h"

#include <algorithm>
#include <numeric>

IMPLEMENT_DYNCREATE(CGXData, CObject)

namespace {

// The largest row or column number: GX_INVALID itself means "none".
constexpr ROWCOL kMaxIndex = GX_INVALID - 1;
// Cells are kept in a row array as deep as the deepest stored row. Counts may be larger (they
// cost nothing), but a style stored past these is refused rather than claiming gigabytes: a
// grid of the program holds one row per page of a site and one column per META tag.
constexpr size_t kMaxStoredRows = size_t{1} << 24;
constexpr size_t kMaxStoredCols = size_t{1} << 20;

template <class V>
void EraseRange(V& v, size_t first, size_t last)
{
    if (first >= v.size())
        return;
    v.erase(v.begin() + static_cast<std::ptrdiff_t>(first),
            v.begin() + static_cast<std::ptrdiff_t>(std::min(last + 1, v.size())));
}

template <class V>
void InsertEmpty(V& v, size_t at, size_t count)
{
    if (at >= v.size())
        return; // nothing stored there yet: absent entries are empty anyway
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), count, typename V::value_type());
}

// Moves the block from..to so that it starts at dest, growing the vector as far as needed.
template <class V>
void MoveBlock(V& v, size_t from, size_t to, size_t dest)
{
    const size_t n = to - from + 1;
    const size_t low = std::min(from, dest);
    if (v.size() <= low)
        return;
    const size_t end = std::max(to, dest + n - 1) + 1;
    if (v.size() < end)
        v.resize(end);
    auto at = [&](size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
    if (dest > from)
        std::rotate(at(from), at(to + 1), at(dest + n));
    else
        std::rotate(at(dest), at(from), at(to + 1));
}

// Reorders v[first + i] = old v[order[i]] for the block first..first + order.size() - 1.
template <class V>
void Reorder(V& v, size_t first, const std::vector<size_t>& order)
{
    const size_t n = order.size();
    size_t hi = first + n;
    if (v.size() <= first) {
        bool any = false;
        for (size_t i : order)
            any = any || i < v.size();
        if (!any)
            return;
    }
    if (v.size() < hi)
        v.resize(hi);
    V moved;
    moved.reserve(n);
    for (size_t i = 0; i < n; ++i)
        moved.push_back(std::move(v[order[i]]));
    for (size_t i = 0; i < n; ++i)
        v[first + i] = std::move(moved[i]);
}

bool ValidOrder(const CDWordArray& order, ROWCOL first, ROWCOL last, std::vector<size_t>& out)
{
    const size_t n = static_cast<size_t>(last - first) + 1;
    if (static_cast<size_t>(order.GetSize()) != n)
        return false;
    std::vector<bool> seen(n, false);
    out.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const DWORD v = order[static_cast<INT_PTR>(i)];
        if (v < first || v > last || seen[v - first])
            return false;
        seen[v - first] = true;
        out[i] = v;
    }
    return true;
}

} // namespace

CGXData::CGXData() = default;

CGXData::~CGXData()
{
    // References go before the pool that frees their styles.
    m_cells.clear();
    m_rowStyles.clear();
    m_colStyles.clear();
    m_tableStyle.reset();
}

void CGXData::InitParam(CGXGridParam* pParam)
{
    m_pParam = pParam;
}

void CGXData::TrimRow(Row& row)
{
    while (!row.empty() && !row.back())
        row.pop_back();
}

BOOL CGXData::SetRowCount(ROWCOL nRows)
{
    if (nRows > kMaxIndex)
        return FALSE;
    if (nRows < m_nRows)
        return RemoveRows(nRows + 1, m_nRows);
    m_nRows = nRows;
    return TRUE;
}

BOOL CGXData::SetColCount(ROWCOL nCols)
{
    if (nCols > kMaxIndex)
        return FALSE;
    if (nCols < m_nCols)
        return RemoveCols(nCols + 1, m_nCols);
    m_nCols = nCols;
    return TRUE;
}

BOOL CGXData::InsertRows(ROWCOL nFirst, ROWCOL nCount)
{
    if (nFirst > m_nRows + 1 || nCount > kMaxIndex - m_nRows)
        return FALSE;
    InsertEmpty(m_cells, nFirst, nCount);
    InsertEmpty(m_rowStyles, nFirst, nCount);
    m_nRows += nCount;
    return TRUE;
}

BOOL CGXData::InsertCols(ROWCOL nFirst, ROWCOL nCount)
{
    if (nFirst > m_nCols + 1 || nCount > kMaxIndex - m_nCols)
        return FALSE;
    if (nFirst < m_nLongestRow) {
        for (Row& row : m_cells)
            InsertEmpty(row, nFirst, nCount);
        m_nLongestRow += nCount;
    }
    InsertEmpty(m_colStyles, nFirst, nCount);
    m_nCols += nCount;
    return TRUE;
}

BOOL CGXData::RemoveRows(ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > m_nRows)
        return TRUE;
    nLast = std::min(nLast, m_nRows);
    if (nLast < nFirst)
        return FALSE;
    EraseRange(m_cells, nFirst, nLast);
    EraseRange(m_rowStyles, nFirst, nLast);
    m_nRows -= nLast - nFirst + 1;
    return TRUE;
}

BOOL CGXData::RemoveCols(ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > m_nCols)
        return TRUE;
    nLast = std::min(nLast, m_nCols);
    if (nLast < nFirst)
        return FALSE;
    for (Row& row : m_cells)
        EraseRange(row, nFirst, nLast);
    EraseRange(m_colStyles, nFirst, nLast);
    m_nCols -= nLast - nFirst + 1;
    return TRUE;
}

BOOL CGXData::MoveRows(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (nTo < nFrom || nTo > m_nRows || nFrom == nDest)
        return FALSE;
    const ROWCOL n = nTo - nFrom + 1;
    if (nDest > m_nRows - n + 1)
        return FALSE;
    MoveBlock(m_cells, nFrom, nTo, nDest);
    MoveBlock(m_rowStyles, nFrom, nTo, nDest);
    return TRUE;
}

BOOL CGXData::MoveCols(ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest)
{
    if (nTo < nFrom || nTo > m_nCols || nFrom == nDest)
        return FALSE;
    const ROWCOL n = nTo - nFrom + 1;
    if (nDest > m_nCols - n + 1)
        return FALSE;
    for (Row& row : m_cells) {
        MoveBlock(row, nFrom, nTo, nDest);
        TrimRow(row);
        m_nLongestRow = std::max(m_nLongestRow, row.size());
    }
    MoveBlock(m_colStyles, nFrom, nTo, nDest);
    return TRUE;
}

BOOL CGXData::MoveDataRows(const CGXRange& range, const CDWordArray& order)
{
    if (!range.IsValid() || range.m_nType == GX_COLS || range.m_nType == GX_TABLE)
        return FALSE;
    if (range.bottom > m_nRows)
        return FALSE;
    std::vector<size_t> perm;
    if (!ValidOrder(order, range.top, range.bottom, perm))
        return FALSE;
    Reorder(m_cells, range.top, perm);
    Reorder(m_rowStyles, range.top, perm);
    return TRUE;
}

BOOL CGXData::MoveDataCols(const CGXRange& range, const CDWordArray& order)
{
    if (!range.IsValid() || range.m_nType == GX_ROWS || range.m_nType == GX_TABLE)
        return FALSE;
    if (range.right > m_nCols)
        return FALSE;
    std::vector<size_t> perm;
    if (!ValidOrder(order, range.left, range.right, perm))
        return FALSE;
    for (Row& row : m_cells) {
        Reorder(row, range.left, perm);
        TrimRow(row);
        m_nLongestRow = std::max(m_nLongestRow, row.size());
    }
    Reorder(m_colStyles, range.left, perm);
    return TRUE;
}

BOOL CGXData::CopyCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol)
{
    return TransferCells(range, nDestRow, nDestCol, false);
}

BOOL CGXData::MoveCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol)
{
    return TransferCells(range, nDestRow, nDestCol, true);
}

// Works on the stored cells only, so a block spanning billions of empty cells costs nothing.
BOOL CGXData::TransferCells(const CGXRange& range, ROWCOL nDestRow, ROWCOL nDestCol, bool bMove)
{
    if (!range.IsValid() || !range.IsCells() || range.bottom > m_nRows || range.right > m_nCols)
        return FALSE;
    const ROWCOL h = range.GetHeight(), w = range.GetWidth();
    if (nDestRow > m_nRows || m_nRows - nDestRow < h - 1 || nDestCol > m_nCols || m_nCols - nDestCol < w - 1)
        return FALSE;
    struct Entry {
        ROWCOL dr, dc;
        GXStyleRef ref;
    };
    std::vector<Entry> entries;
    for (size_t r = range.top; r <= range.bottom && r < m_cells.size(); ++r) {
        const Row& row = m_cells[r];
        for (size_t c = range.left; c <= range.right && c < row.size(); ++c)
            if (row[c])
                entries.push_back(Entry{static_cast<ROWCOL>(r - range.top), static_cast<ROWCOL>(c - range.left), row[c]});
    }
    // Refuse before changing anything when a style would land where none can be kept.
    for (const Entry& e : entries)
        if (size_t{nDestRow} + e.dr >= kMaxStoredRows || size_t{nDestCol} + e.dc >= kMaxStoredCols)
            return FALSE;
    auto clear = [&](ROWCOL top, ROWCOL left) {
        for (size_t r = top; r < size_t{top} + h && r < m_cells.size(); ++r) {
            Row& row = m_cells[r];
            for (size_t c = left; c < size_t{left} + w && c < row.size(); ++c)
                row[c].reset();
        }
    };
    if (bMove)
        clear(range.top, range.left);
    clear(nDestRow, nDestCol);
    for (Entry& e : entries)
        *Slot(nDestRow + e.dr, nDestCol + e.dc, 0, true) = std::move(e.ref);
    for (Row& row : m_cells)
        TrimRow(row);
    return TRUE;
}

GXStyleRef* CGXData::Slot(ROWCOL nRow, ROWCOL nCol, int nType, bool bCreate)
{
    if (nRow > m_nRows || nCol > m_nCols)
        return nullptr;
    if (nType < 0) {
        std::vector<GXStyleRef>* pv = nullptr;
        size_t i = 0;
        if (nRow == 0 && nCol == 0)
            return &m_tableStyle;
        if (nCol == 0) {
            pv = &m_rowStyles;
            i = nRow;
        } else if (nRow == 0) {
            pv = &m_colStyles;
            i = nCol;
        } else {
            return nullptr; // a base style belongs to a row, a column or the table
        }
        if (i >= pv->size()) {
            if (!bCreate || i >= (nCol == 0 ? kMaxStoredRows : kMaxStoredCols))
                return nullptr;
            pv->resize(i + 1);
        }
        return &(*pv)[i];
    }
    if (nRow >= m_cells.size()) {
        if (!bCreate || nRow >= kMaxStoredRows)
            return nullptr;
        m_cells.resize(static_cast<size_t>(nRow) + 1);
    }
    Row& row = m_cells[nRow];
    if (nCol >= row.size()) {
        if (!bCreate || nCol >= kMaxStoredCols)
            return nullptr;
        // Rows are usually filled left to right, all to the same width: grow to it at once. A
        // row that grows a column at a time (the headers, while a scan adds columns) grows by
        // half again, so that its growth costs no more in all than its length.
        const size_t nNeeded = static_cast<size_t>(nCol) + 1;
        if (row.capacity() < nNeeded)
            row.reserve(std::max({nNeeded, row.capacity() + row.capacity() / 2, std::min<size_t>(m_nCols + 1u, 1024)}));
        row.resize(nNeeded);
        m_nLongestRow = std::max(m_nLongestRow, nNeeded);
    }
    return &row[nCol];
}

const GXStyleRef* CGXData::Slot(ROWCOL nRow, ROWCOL nCol, int nType) const
{
    return const_cast<CGXData*>(this)->Slot(nRow, nCol, nType, false);
}

const CGXStyle* CGXData::LookupStyle(ROWCOL nRow, ROWCOL nCol, int nType) const
{
    const GXStyleRef* p = Slot(nRow, nCol, nType);
    return p != nullptr ? p->get() : nullptr;
}

BOOL CGXData::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType)
{
    if (pStyle == nullptr || nMode == gxRemove) {
        GXStyleRef* p = Slot(nRow, nCol, nType, false);
        if (p == nullptr || !*p)
            return FALSE;
        p->reset();
        if (nType >= 0 && nRow < m_cells.size())
            TrimRow(m_cells[nRow]);
        return TRUE;
    }
    if (nMode < gxOverride || nMode > gxExclude)
        return FALSE;
    GXStyleRef* p = Slot(nRow, nCol, nType, nMode != gxExclude && !pStyle->IsEmpty());
    if (p == nullptr)
        return FALSE;
    if (!*p) {
        if (nMode == gxExclude || pStyle->IsEmpty())
            return FALSE;
        // On an empty cell every mode but exclude gives the incoming style itself.
        *p = m_pool.Intern(*pStyle);
        return TRUE;
    }
    const CGXStyle& stored = *p->get();
    const DWORD nStored = stored.GetMask();
    if (nMode == gxOverride && (nStored & ~pStyle->GetMask()) == 0 && (nStored & (GX_INCL_FONT | GX_INCL_USERATTR)) == 0) {
        // An override of every attribute the cell has gives the incoming style itself, without
        // a copy of the old one to merge into (clearing a block does this for every cell).
        if (*pStyle == stored)
            return FALSE;
        *p = m_pool.Intern(*pStyle);
        return TRUE;
    }
    CGXStyle merged(stored);
    merged.ChangeStyle(*pStyle, nMode);
    if (merged == stored)
        return FALSE;
    if (merged.IsEmpty()) {
        p->reset();
        if (nType >= 0)
            TrimRow(m_cells[nRow]);
    } else {
        *p = m_pool.Intern(merged);
    }
    return TRUE;
}

BOOL CGXData::StoreStyleRange(const CGXRange& cells, const CGXStyle* pStyle, int nMode, int nType)
{
    if (!cells.IsValid() || cells.bottom > m_nRows || cells.right > m_nCols)
        return FALSE;
    const bool bShare = pStyle != nullptr && !pStyle->IsEmpty() && nMode >= gxOverride && nMode <= gxCopy;
    GXStyleRef shared = bShare ? m_pool.Intern(*pStyle) : GXStyleRef();
    BOOL bChanged = FALSE;
    // Nothing is or can be stored past the kept extent, so the walk ends there.
    const ROWCOL nBottom = static_cast<ROWCOL>(std::min<size_t>(cells.bottom, kMaxStoredRows - 1));
    const ROWCOL nRight = static_cast<ROWCOL>(std::min<size_t>(cells.right, kMaxStoredCols - 1));
    for (ROWCOL r = cells.top; r <= nBottom; ++r) {
        for (ROWCOL c = cells.left; c <= nRight; ++c) {
            if (bShare) {
                GXStyleRef* p = Slot(r, c, nType, true);
                if (p == nullptr)
                    continue;
                if (!*p) {
                    *p = shared;
                    bChanged = TRUE;
                    continue;
                }
            }
            bChanged |= StoreStyle(r, c, pStyle, nMode, nType);
        }
    }
    return bChanged;
}

BOOL CGXData::GetStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nMode, int nType) const
{
    const CGXStyle* pStored = LookupStyle(nRow, nCol, nType);
    if (pStored == nullptr)
        return FALSE;
    style.ChangeStyle(*pStored, nMode);
    return TRUE;
}
