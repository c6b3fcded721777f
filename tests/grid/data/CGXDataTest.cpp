#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// The plainest possible store: a dense table of value texts ("" = nothing stored), with row
// styles in column 0 of a parallel row list and column styles likewise.
struct Model {
    std::vector<std::vector<std::string>> cells; // [row][col], rows 0..n, cols 0..m
    std::vector<std::string> rowStyles;          // [row]
    std::vector<std::string> colStyles;          // [col]

    size_t Rows() const { return cells.size() - 1; }
    size_t Cols() const { return colStyles.size() - 1; }

    void InsertRows(size_t at, size_t n)
    {
        cells.insert(cells.begin() + at, n, std::vector<std::string>(Cols() + 1));
        rowStyles.insert(rowStyles.begin() + at, n, "");
    }
    void InsertCols(size_t at, size_t n)
    {
        for (auto& r : cells)
            r.insert(r.begin() + at, n, "");
        colStyles.insert(colStyles.begin() + at, n, "");
    }
    void RemoveRows(size_t a, size_t b)
    {
        cells.erase(cells.begin() + a, cells.begin() + b + 1);
        rowStyles.erase(rowStyles.begin() + a, rowStyles.begin() + b + 1);
    }
    void RemoveCols(size_t a, size_t b)
    {
        for (auto& r : cells)
            r.erase(r.begin() + a, r.begin() + b + 1);
        colStyles.erase(colStyles.begin() + a, colStyles.begin() + b + 1);
    }
    template <class V>
    static void Move(V& v, size_t from, size_t to, size_t dest)
    {
        V block(v.begin() + from, v.begin() + to + 1);
        v.erase(v.begin() + from, v.begin() + to + 1);
        v.insert(v.begin() + dest, block.begin(), block.end());
    }
    void MoveRows(size_t from, size_t to, size_t dest)
    {
        Move(cells, from, to, dest);
        Move(rowStyles, from, to, dest);
    }
    void MoveCols(size_t from, size_t to, size_t dest)
    {
        for (auto& r : cells)
            Move(r, from, to, dest);
        Move(colStyles, from, to, dest);
    }
};

std::string Stored(const CGXData& data, ROWCOL r, ROWCOL c, int type = 0)
{
    const CGXStyle* p = data.LookupStyle(r, c, type);
    return p ? std::string(p->GetValue().GetString()) : std::string();
}

void ExpectSame(const CGXData& data, const Model& m, int step)
{
    ASSERT_EQ(data.GetRowCount(), m.Rows()) << "step " << step;
    ASSERT_EQ(data.GetColCount(), m.Cols()) << "step " << step;
    for (size_t r = 0; r <= m.Rows(); ++r) {
        for (size_t c = 0; c <= m.Cols(); ++c) {
            ASSERT_EQ(Stored(data, static_cast<ROWCOL>(r), static_cast<ROWCOL>(c)), m.cells[r][c])
                << "step " << step << " cell " << r << "," << c;
        }
        if (r > 0) {
            ASSERT_EQ(Stored(data, static_cast<ROWCOL>(r), 0, gxBaseStyleType), m.rowStyles[r]) << "step " << step;
        }
    }
    for (size_t c = 1; c <= m.Cols(); ++c) {
        ASSERT_EQ(Stored(data, 0, static_cast<ROWCOL>(c), gxBaseStyleType), m.colStyles[c]) << "step " << step;
    }
}

} // namespace

TEST(CGXDataTest, StructureChangesMatchAReferenceModel)
{
    std::mt19937 rng(20261207);
    auto pick = [&](size_t lo, size_t hi) { return std::uniform_int_distribution<size_t>(lo, hi)(rng); };
    for (int round = 0; round < 20; ++round) {
        CGXData data;
        Model m;
        const size_t rows = pick(0, 6), cols = pick(0, 6);
        ASSERT_TRUE(data.SetRowCount(static_cast<ROWCOL>(rows)));
        ASSERT_TRUE(data.SetColCount(static_cast<ROWCOL>(cols)));
        m.cells.assign(rows + 1, std::vector<std::string>(cols + 1));
        m.rowStyles.assign(rows + 1, "");
        m.colStyles.assign(cols + 1, "");
        for (int step = 0; step < 200; ++step) {
            const size_t R = m.Rows(), C = m.Cols();
            switch (pick(0, 9)) {
            case 0:
            case 1: { // store a cell (a few values repeat, so styles are shared)
                const size_t r = pick(0, R), c = pick(0, C);
                const std::string v = "v" + std::to_string(pick(0, 5));
                CGXStyle s;
                s.SetValue(v.c_str());
                const BOOL changed = data.StoreStyle(static_cast<ROWCOL>(r), static_cast<ROWCOL>(c), &s, gxOverride);
                EXPECT_EQ(changed != FALSE, m.cells[r][c] != v);
                m.cells[r][c] = v;
                break;
            }
            case 2: { // remove a cell's style, or store a row or column base style
                const size_t r = pick(0, R), c = pick(0, C);
                if (pick(0, 1) == 0) {
                    EXPECT_EQ(data.StoreStyle(static_cast<ROWCOL>(r), static_cast<ROWCOL>(c), nullptr, gxOverride) != FALSE,
                              !m.cells[r][c].empty());
                    m.cells[r][c].clear();
                } else {
                    CGXStyle s;
                    const std::string v = "b" + std::to_string(pick(0, 3));
                    s.SetValue(v.c_str());
                    if (r > 0) {
                        data.StoreStyle(static_cast<ROWCOL>(r), 0, &s, gxCopy, gxBaseStyleType);
                        m.rowStyles[r] = v;
                    } else if (c > 0) {
                        data.StoreStyle(0, static_cast<ROWCOL>(c), &s, gxCopy, gxBaseStyleType);
                        m.colStyles[c] = v;
                    }
                }
                break;
            }
            case 3: {
                const size_t at = pick(1, R + 1), n = pick(1, 3);
                ASSERT_TRUE(data.InsertRows(static_cast<ROWCOL>(at), static_cast<ROWCOL>(n)));
                m.InsertRows(at, n);
                break;
            }
            case 4: {
                const size_t at = pick(1, C + 1), n = pick(1, 3);
                ASSERT_TRUE(data.InsertCols(static_cast<ROWCOL>(at), static_cast<ROWCOL>(n)));
                m.InsertCols(at, n);
                break;
            }
            case 5: {
                if (R == 0)
                    break;
                const size_t a = pick(1, R), b = pick(a, std::min(R, a + 2));
                ASSERT_TRUE(data.RemoveRows(static_cast<ROWCOL>(a), static_cast<ROWCOL>(b)));
                m.RemoveRows(a, b);
                break;
            }
            case 6: {
                if (C == 0)
                    break;
                const size_t a = pick(1, C), b = pick(a, std::min(C, a + 2));
                ASSERT_TRUE(data.RemoveCols(static_cast<ROWCOL>(a), static_cast<ROWCOL>(b)));
                m.RemoveCols(a, b);
                break;
            }
            case 7: {
                if (R < 2)
                    break;
                const size_t from = pick(1, R), to = pick(from, R), n = to - from + 1;
                const size_t dest = pick(1, R - n + 1);
                EXPECT_EQ(data.MoveRows(static_cast<ROWCOL>(from), static_cast<ROWCOL>(to), static_cast<ROWCOL>(dest)) != FALSE,
                          dest != from);
                m.MoveRows(from, to, dest);
                break;
            }
            case 8: {
                if (C < 2)
                    break;
                const size_t from = pick(1, C), to = pick(from, C), n = to - from + 1;
                const size_t dest = pick(1, C - n + 1);
                data.MoveCols(static_cast<ROWCOL>(from), static_cast<ROWCOL>(to), static_cast<ROWCOL>(dest));
                m.MoveCols(from, to, dest);
                break;
            }
            case 9: { // sort-style reorder of some rows or columns
                const bool byRow = pick(0, 1) == 0;
                const size_t N = byRow ? R : C;
                if (N == 0)
                    break;
                const size_t a = pick(1, N), b = pick(a, N);
                std::vector<size_t> order(b - a + 1);
                std::iota(order.begin(), order.end(), a);
                std::shuffle(order.begin(), order.end(), rng);
                CDWordArray arr;
                for (size_t v : order)
                    arr.Add(static_cast<DWORD>(v));
                CGXRange range;
                if (byRow) {
                    range.SetRows(static_cast<ROWCOL>(a), static_cast<ROWCOL>(b));
                    ASSERT_TRUE(data.MoveDataRows(range, arr));
                    auto oldCells = m.cells;
                    auto oldStyles = m.rowStyles;
                    for (size_t i = 0; i < order.size(); ++i) {
                        m.cells[a + i] = oldCells[order[i]];
                        m.rowStyles[a + i] = oldStyles[order[i]];
                    }
                } else {
                    range.SetCols(static_cast<ROWCOL>(a), static_cast<ROWCOL>(b));
                    ASSERT_TRUE(data.MoveDataCols(range, arr));
                    auto old = m;
                    for (size_t i = 0; i < order.size(); ++i) {
                        for (size_t r = 0; r <= R; ++r)
                            m.cells[r][a + i] = old.cells[r][order[i]];
                        m.colStyles[a + i] = old.colStyles[order[i]];
                    }
                }
                break;
            }
            }
            ExpectSame(data, m, step);
            if (HasFatalFailure())
                return;
        }
        // Equal styles are shared: never more distinct styles than distinct values in use.
        EXPECT_LE(data.GetSharedStyleCount(), 6u + 4u);
    }
}

TEST(CGXDataTest, BoundsModesAndBadOrders)
{
    CGXData data;
    data.SetRowCount(3);
    data.SetColCount(3);
    CGXStyle s;
    s.SetValue("x").SetControl(GX_IDS_CTRL_STATIC);
    EXPECT_FALSE(data.StoreStyle(4, 1, &s, gxOverride));
    EXPECT_FALSE(data.StoreStyle(1, 1, &s, gxExclude)); // nothing to exclude from
    EXPECT_TRUE(data.StoreStyle(1, 1, &s, gxOverride));
    EXPECT_FALSE(data.StoreStyle(1, 1, &s, gxOverride)); // no change
    CGXStyle add;
    add.SetValue("y").SetReadOnly(TRUE);
    EXPECT_TRUE(data.StoreStyle(1, 1, &add, gxApplyNew));
    EXPECT_EQ(data.LookupStyle(1, 1)->GetValue(), CString("x"));
    EXPECT_TRUE(data.LookupStyle(1, 1)->GetReadOnly());
    CGXStyle out;
    out.SetValue("given").SetWrapText(TRUE);
    EXPECT_TRUE(data.GetStyle(1, 1, out, gxApplyNew));
    EXPECT_EQ(out.GetValue(), CString("given"));
    EXPECT_TRUE(out.GetReadOnly());
    EXPECT_FALSE(data.GetStyle(2, 2, out, gxCopy));
    EXPECT_FALSE(data.GetStyle(9, 9, out, gxCopy));
    // Excluding every mark leaves nothing stored.
    EXPECT_TRUE(data.StoreStyle(1, 1, data.LookupStyle(1, 1) ? &s : nullptr, gxExclude));
    EXPECT_TRUE(data.StoreStyle(1, 1, &add, gxExclude));
    EXPECT_EQ(data.LookupStyle(1, 1), nullptr);
    EXPECT_TRUE(data.StoreStyle(0, 0, &s, gxOverride, gxBaseStyleType));
    EXPECT_EQ(data.LookupStyle(0, 0, gxBaseStyleType)->GetValue(), CString("x"));
    EXPECT_FALSE(data.StoreStyle(1, 1, &s, gxOverride, gxBaseStyleType)); // not a base style slot

    EXPECT_FALSE(data.InsertRows(5, 1)); // past the end
    EXPECT_FALSE(data.InsertRows(1, GX_INVALID));
    EXPECT_TRUE(data.RemoveRows(7, 9)); // beyond the count: nothing
    EXPECT_EQ(data.GetRowCount(), 3u);
    EXPECT_FALSE(data.MoveRows(1, 2, 3)); // block would leave the table
    CDWordArray dup;
    dup.Add(1);
    dup.Add(1);
    EXPECT_FALSE(data.MoveDataRows(CGXRange().SetRows(1, 2), dup));
    CDWordArray shortOrder;
    shortOrder.Add(1);
    EXPECT_FALSE(data.MoveDataRows(CGXRange().SetRows(1, 2), shortOrder));

    // A huge count costs nothing until cells are stored; a store far down is refused, not
    // turned into an array of billions of rows.
    EXPECT_TRUE(data.SetRowCount(4000000000u));
    EXPECT_TRUE(data.SetColCount(4000000000u));
    EXPECT_TRUE(data.InsertRows(2, 1000000));
    EXPECT_FALSE(data.StoreStyle(3999999999u, 1, &s, gxOverride));
    EXPECT_FALSE(data.StoreStyle(1, 3999999999u, &s, gxOverride));
    EXPECT_FALSE(data.StoreStyle(3999999999u, 0, &s, gxOverride, gxBaseStyleType));
    EXPECT_TRUE(data.StoreStyle(100000, 1, &s, gxOverride));
    EXPECT_TRUE(data.SetColCount(3));
    EXPECT_TRUE(data.SetRowCount(2));
}

TEST(CGXDataTest, CopyAndMoveCellsHandleOverlap)
{
    CGXData data;
    data.SetRowCount(5);
    data.SetColCount(5);
    for (ROWCOL r = 1; r <= 2; ++r)
        for (ROWCOL c = 1; c <= 2; ++c) {
            CGXStyle s;
            s.SetValue(CString(std::to_string(r * 10 + c).c_str()));
            data.StoreStyle(r, c, &s, gxOverride);
        }
    ASSERT_TRUE(data.CopyCells(CGXRange(1, 1, 2, 2), 2, 2)); // overlapping
    EXPECT_EQ(Stored(data, 2, 2), "11");
    EXPECT_EQ(Stored(data, 3, 3), "22");
    EXPECT_EQ(Stored(data, 2, 3), "12");
    EXPECT_EQ(Stored(data, 1, 1), "11");
    ASSERT_TRUE(data.MoveCells(CGXRange(2, 2, 3, 3), 4, 4));
    EXPECT_EQ(Stored(data, 2, 2), "");
    EXPECT_EQ(Stored(data, 4, 4), "11");
    EXPECT_EQ(Stored(data, 5, 5), "22");
    EXPECT_FALSE(data.CopyCells(CGXRange(1, 1, 2, 2), 5, 5));

    // Blocks of billions of cells are fine as long as few are stored.
    data.SetRowCount(4000000000u);
    ASSERT_TRUE(data.CopyCells(CGXRange(1, 1, 2000000000u, 5), 3, 1));
    EXPECT_EQ(Stored(data, 6, 4), "11");
    EXPECT_EQ(Stored(data, 4, 4), "");
    EXPECT_FALSE(data.MoveCells(CGXRange(1, 1, 10, 5), 3999999990u, 1)); // would land past what is kept
    EXPECT_EQ(Stored(data, 6, 4), "11");
}

TEST(CGXGridParamTest, ComposeTakesCellRowColumnTableAndBaseStyles)
{
    CGXGridParam param;
    param.SetStylesMap(new CGXStylesMap);
    param.GetStylesMap()->CreateStandardStyles();
    param.SetData(new CGXData);
    CGXData& data = *param.GetData();
    EXPECT_EQ(data.GetParam(), &param);
    data.SetRowCount(30);
    data.SetColCount(800);

    CGXStyle table, column, row, cell;
    table.SetTextColor(RGB(1, 1, 1)).SetReadOnly(TRUE).SetWrapText(FALSE);
    column.SetTextColor(RGB(2, 2, 2)).SetHorizontalAlignment(GX_ALIGN_RIGHT_BOTTOM);
    row.SetTextColor(RGB(3, 3, 3));
    cell.SetValue("cell");
    data.StoreStyle(0, 0, &table, gxCopy, gxBaseStyleType);
    data.StoreStyle(0, 2, &column, gxCopy, gxBaseStyleType);
    data.StoreStyle(5, 0, &row, gxCopy, gxBaseStyleType);
    data.StoreStyle(5, 2, &cell, gxCopy);

    CGXStyle s;
    param.ComposeCellStyle(5, 2, s, TRUE);
    EXPECT_EQ(s.GetValue(), CString("cell"));
    EXPECT_EQ(s.GetTextColor(), RGB(3, 3, 3)); // row before column before table
    EXPECT_EQ(s.GetHorizontalAlignment(), GX_ALIGN_RIGHT_BOTTOM);
    EXPECT_TRUE(s.GetReadOnly());
    EXPECT_FALSE(s.GetWrapText()); // the table's, not the standard's
    EXPECT_EQ(s.GetControl(), GX_IDS_CTRL_EDIT); // from the standard style
    param.ComposeCellStyle(6, 2, s, FALSE);
    EXPECT_EQ(s.GetTextColor(), RGB(2, 2, 2));
    EXPECT_FALSE(s.GetInclude(GX_INCL_CONTROL));

    // Header cells: header base styles and generated texts.
    param.ComposeCellStyle(0, 27, s, TRUE);
    EXPECT_EQ(s.GetValue(), CString("AA"));
    EXPECT_EQ(s.GetControl(), GX_IDS_CTRL_STATIC);
    param.ComposeCellStyle(12, 0, s, TRUE);
    EXPECT_EQ(s.GetValue(), CString("12"));
    EXPECT_EQ(s.GetValueType(), GX_VT_NUMERIC);
    EXPECT_EQ(s.GetTextColor(), RGB(0, 0, 0)); // header cells skip the data base styles
    param.m_bNumberedRows = FALSE;
    param.ComposeCellStyle(12, 0, s, TRUE);
    EXPECT_EQ(s.GetValue(), CString(""));
    EXPECT_EQ(CGXGridParam::GetColumnLetters(1), CString("A"));
    EXPECT_EQ(CGXGridParam::GetColumnLetters(26), CString("Z"));
    EXPECT_EQ(CGXGridParam::GetColumnLetters(702), CString("ZZ"));
    EXPECT_EQ(CGXGridParam::GetColumnLetters(703), CString("AAA"));
    EXPECT_EQ(CGXGridParam::GetColumnLetters(0xFFFFFFFEu).GetLength(), 7);

    // Value only: a cell with its own value gets nothing more.
    param.ComposeCellStyle(5, 2, s, TRUE, TRUE);
    EXPECT_EQ(s.GetMask(), GX_INCL_VALUE);

    param.m_bMarkRanges = TRUE;
    param.m_MarkedRanges.AddTail(new CGXRange(5, 2, 5, 2));
    param.ComposeCellStyle(5, 2, s, TRUE);
    EXPECT_EQ(s.GetInterior().GetPattern(), 17u);
}

TEST(CGXGridParamTest, AttachingTheSameObjectOnlyChangesOwnership)
{
    CGXGridParam param;
    auto* pData = new CGXData;
    param.SetData(pData, TRUE);
    param.SetData(pData, TRUE); // once deleted it here and kept the dangling pointer
    EXPECT_EQ(param.GetData(), pData);
    EXPECT_TRUE(param.OwnsData());
    pData->SetRowCount(3); // still alive (the sanitizer build catches a use after free)
    param.SetData(pData, FALSE);
    EXPECT_FALSE(param.OwnsData());
    param.SetData(nullptr);
    delete pData; // ours again

    // Feature objects the parameter object keeps are deleted through their virtual destructors.
    struct Pool : CObject {
        explicit Pool(int& n) : count(n) {}
        ~Pool() override { ++count; }
        int& count;
    };
    int nDeleted = 0;
    {
        CGXGridParam owner;
        auto* pPool = new Pool(nDeleted);
        owner.SetPool(CGXGridParam::gxMergeSpanPoolRows, pPool);
        owner.SetPool(CGXGridParam::gxMergeSpanPoolRows, pPool); // the same one again: kept
        EXPECT_EQ(nDeleted, 0);
        owner.SetPool(CGXGridParam::gxMergeSpanPoolRows, new Pool(nDeleted));
        EXPECT_EQ(nDeleted, 1);
        owner.SetCoveredCellPool(new Pool(nDeleted));
    }
    EXPECT_EQ(nDeleted, 3);

    CGXStylesMap external;
    param.SetStylesMap(&external, FALSE);
    param.SetStylesMap(new CGXStylesMap, TRUE); // the borrowed one is not deleted
    EXPECT_TRUE(param.OwnsStylesMap());
}

TEST(CGXDataTest, RangeStoresShareOneStyleAndMergeIntoStyledCells)
{
    CGXData data;
    data.SetRowCount(100);
    data.SetColCount(3);
    CGXStyle own;
    own.SetValue("own").SetReadOnly(FALSE);
    ASSERT_TRUE(data.StoreStyle(7, 2, &own, gxCopy));
    CGXStyle column;
    column.SetControl(GX_IDS_CTRL_STATIC).SetReadOnly(TRUE).SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, "tip");
    ASSERT_TRUE(data.StoreStyleRange(CGXRange(1, 2, 100, 2), &column, gxApplyNew));
    EXPECT_EQ(data.LookupStyle(1, 2), data.LookupStyle(100, 2)); // one shared copy
    EXPECT_EQ(*data.LookupStyle(1, 2), column);
    const CGXStyle* pMerged = data.LookupStyle(7, 2);
    EXPECT_EQ(pMerged->GetValue(), CString("own"));
    EXPECT_FALSE(pMerged->GetReadOnly()); // apply-new keeps what the cell had
    EXPECT_EQ(pMerged->GetControl(), GX_IDS_CTRL_STATIC);
    EXPECT_EQ(data.GetSharedStyleCount(), 2u);
    EXPECT_FALSE(data.StoreStyleRange(CGXRange(1, 2, 100, 2), &column, gxApplyNew)); // nothing new
    EXPECT_FALSE(data.StoreStyleRange(CGXRange(1, 2, 101, 2), &column, gxOverride)); // leaves the table
    ASSERT_TRUE(data.StoreStyleRange(CGXRange(1, 2, 100, 2), nullptr, gxRemove));
    EXPECT_EQ(data.LookupStyle(7, 2), nullptr);
    EXPECT_EQ(data.GetSharedStyleCount(), 0u); // the last user freed each shared style
}

// Storing with override gives what merging the incoming style into the stored one gives, whether
// the incoming style covers every stored attribute (taken whole) or not, fonts and user
// attributes (merged part by part) included.
TEST(CGXDataTest, OverrideStoresWhatAMergeGives)
{
    CGXStyle value, valueAndColour, bold, italicValue, attribute, otherAttribute;
    value.SetValue("old");
    valueAndColour.SetValue("new").SetTextColor(RGB(1, 2, 3));
    bold.SetValue("b").SetFont(CGXFont().SetBold(TRUE));
    italicValue.SetValue("i").SetFont(CGXFont().SetItalic(TRUE));
    attribute.SetValue("a").SetUserAttribute(7, CString("x"));
    otherAttribute.SetValue("c").SetUserAttribute(8, CString("y"));
    const CGXStyle* styles[] = {&value, &valueAndColour, &bold, &italicValue, &attribute, &otherAttribute};
    for (const CGXStyle* stored : styles) {
        for (const CGXStyle* incoming : styles) {
            CGXData data;
            data.SetRowCount(1);
            data.SetColCount(1);
            ASSERT_TRUE(data.StoreStyle(1, 1, stored, gxOverride, 0));
            CGXStyle expected(*stored);
            expected.ChangeStyle(*incoming, gxOverride);
            EXPECT_EQ(data.StoreStyle(1, 1, incoming, gxOverride, 0), expected == *stored ? FALSE : TRUE);
            const CGXStyle* now = data.LookupStyle(1, 1);
            ASSERT_NE(now, nullptr);
            EXPECT_TRUE(*now == expected);
            EXPECT_EQ(now->GetHash(), expected.GetHash());
        }
    }
}
