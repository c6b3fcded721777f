#include "grid/features/CGXGridStyleDataExchangeImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXData.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class SizeAskingGrid : public CGXGridCore {
public:
    BOOL ConfirmPasteSizeMismatch() override
    {
        ++m_nAsked;
        return m_bAnswer;
    }
    int m_nAsked = 0;
    BOOL m_bAnswer = FALSE;
};

class StyleExchangeTest : public FeatureGridTest {
protected:
    static std::vector<BYTE> Bytes(CMemFile& file)
    {
        std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
        file.SeekToBegin();
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        return bytes;
    }
    static std::vector<BYTE> CopyStyles(CGXGridCore& grid, std::initializer_list<CGXRange> ranges)
    {
        CGXRangeList list;
        for (const CGXRange& r : ranges)
            list.AddTail(new CGXRange(r));
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            EXPECT_TRUE(grid.WriteRangesAsStyles(ar, list, FALSE));
            ar.Close();
        }
        return Bytes(file);
    }
    // A block written by hand: the two counts, then whatever the writer puts behind them.
    static std::vector<BYTE> Block(DWORD nRows, DWORD nCols, const std::function<void(CArchive&)>& body)
    {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            ar << nRows << nCols;
            body(ar);
            ar.Close();
        }
        return Bytes(file);
    }
    static BOOL Paste(CGXGridCore& grid, std::vector<BYTE> bytes, CGXRange target, BOOL bNoSizeQuestion = TRUE)
    {
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        return grid.ReadStylesIntoGrid(ar, target, bNoSizeQuestion);
    }
    static std::string Value(CGXGridCore& grid, ROWCOL r, ROWCOL c) { return grid.GetCellValue(r, c).GetString(); }
};

} // namespace

TEST_F(StyleExchangeTest, StoredStylesTravelExactlyAndThePasteGrowsTheGridInOneUndoStep)
{
    CGXGridCore source;
    SetUpGrid(source, 4, 4);
    source.ApplyStyleToRange(CGXRange(1, 3, 1, 3), &CGXStyle().SetTextColor(RGB(200, 0, 0)).SetHorizontalAlignment(DT_RIGHT),
                             gxOverride, 0, nullptr, 0, gxDo);
    source.ApplyStyleToRange(CGXRange(3, 1, 3, 1), nullptr, gxRemove, 0, nullptr, 0, gxDo);
    // Columns 1 and 3 of rows 1 and 3: a packed 2 x 2 block.
    CGXRange col1, col3;
    col1.SetCols(1, 1);
    col3.SetCols(3, 3);
    const std::vector<BYTE> bytes = CopyStyles(source, {CGXRange(1, 1, 1, 4), CGXRange(3, 1, 3, 4)});
    EXPECT_EQ(source.m_nLastCopiedRows, 2u);
    EXPECT_EQ(source.m_nLastCopiedCols, 4u);

    CGXGridCore target;
    SetUpGrid(target, 2, 2);
    ASSERT_TRUE(Paste(target, bytes, CGXRange(2, 1, 2, 1)));
    EXPECT_EQ(target.GetRowCount(), 3u);
    EXPECT_EQ(target.GetColCount(), 4u);
    for (ROWCOL c = 1; c <= 4; ++c) {
        const CGXStyle* pFrom = source.GetData()->LookupStyle(1, c);
        const CGXStyle* pTo = target.GetData()->LookupStyle(2, c);
        ASSERT_TRUE(pFrom != nullptr && pTo != nullptr);
        EXPECT_TRUE(*pFrom == *pTo) << c;
    }
    EXPECT_EQ(target.GetData()->LookupStyle(3, 1), nullptr); // the empty cell stays empty
    EXPECT_EQ(Value(target, 3, 2), "3.2");
    EXPECT_EQ(Value(target, 1, 1), "1.1");

    ASSERT_TRUE(target.Undo());
    EXPECT_EQ(target.GetRowCount(), 2u);
    EXPECT_EQ(target.GetColCount(), 2u);
    EXPECT_EQ(Value(target, 2, 1), "2.1");
    EXPECT_EQ(Value(target, 2, 2), "2.2");

    // Without adding columns, the cells past the last column are dropped and each row keeps
    // its own cells.
    target.m_nClipboardFlags |= GX_CLIP_NOADDCOLS;
    ASSERT_TRUE(Paste(target, bytes, CGXRange(1, 1, 1, 1)));
    EXPECT_EQ(target.GetColCount(), 2u);
    EXPECT_EQ(Value(target, 1, 2), "1.2");
    EXPECT_EQ(Value(target, 2, 1), "");
    EXPECT_EQ(Value(target, 2, 2), "3.2");
}

TEST_F(StyleExchangeTest, ABlockOfAnotherSizeAsksFirstAndCancelChangesNothing)
{
    CGXGridCore source;
    SetUpGrid(source, 3, 3);
    const std::vector<BYTE> bytes = CopyStyles(source, {CGXRange(1, 1, 3, 3)});
    SizeAskingGrid target;
    SetUpGrid(target, 2, 2, false);
    EXPECT_FALSE(Paste(target, bytes, CGXRange(1, 1, 2, 2), FALSE));
    EXPECT_EQ(target.m_nAsked, 1);
    EXPECT_EQ(target.GetRowCount(), 2u);
    EXPECT_EQ(Value(target, 1, 1), "");
    // The same size asks nothing.
    ASSERT_TRUE(Paste(target, bytes, CGXRange(1, 1, 3, 3), FALSE));
    EXPECT_EQ(target.m_nAsked, 1);
    EXPECT_EQ(Value(target, 3, 3), "3.3");
}

TEST_F(StyleExchangeTest, HostileBlocksAreRefusedWithTheGridUnchanged)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 3);
    const CGXStyle one = CGXStyle().SetValue("x");
    auto styles = [&](int nCount, const CObject* pExtra = nullptr) {
        return [=, &one](CArchive& ar) {
            // The array's header as WriteObject writes it: its class, its place in the map, its count.
            const CObArray array;
            ar.WriteClass(RUNTIME_CLASS(CObArray));
            ar.MapObject(&array);
            ar.WriteCount(static_cast<DWORD_PTR>(nCount));
            const std::vector<CGXStyle> cells(static_cast<size_t>(nCount), one);
            for (int i = 0; i < nCount; ++i)
                ar.WriteObject(i == 0 && pExtra != nullptr ? pExtra : &cells[static_cast<size_t>(i)]);
        };
    };
    CObArray nested;
    const std::vector<std::vector<BYTE>> hostile = {
        Block(40000, 1, styles(0)),                    // more rows than a block may have
        Block(0x10000000, 0x10000000, styles(0)),      // counts of hundreds of millions
        Block(2, 2, styles(3)),                        // fewer entries than cells
        Block(1, 2, styles(3)),                        // more entries than cells
        Block(1, 2, styles(2, &nested)),               // an entry that is no style
        Block(1, 1, [](CArchive& ar) { ar.WriteClass(RUNTIME_CLASS(CGXStyle)); }), // no array at all
        Block(2, 1, [&](CArchive& ar) {                // the same style twice, by back-reference
            const CObArray array;
            ar.WriteClass(RUNTIME_CLASS(CObArray));
            ar.MapObject(&array);
            ar.WriteCount(2);
            ar.WriteObject(&one);
            ar.WriteObject(&one);
        }),
    };
    for (size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_FALSE(Paste(grid, hostile[i], CGXRange(1, 1, 1, 1))) << i;
        // Cut short anywhere: a damaged archive, no exception out of the paste.
        for (size_t n = 0; n < hostile[i].size(); n += 3)
            EXPECT_FALSE(Paste(grid, std::vector<BYTE>(hostile[i].begin(), hostile[i].begin() + n), CGXRange(1, 1, 1, 1)));
    }
    // A block placed where its bottom would pass the last row number a grid can have.
    const std::vector<BYTE> tall = Block(20, 1, styles(20));
    EXPECT_FALSE(Paste(grid, tall, CGXRange(GX_INVALID - 5, 1, GX_INVALID - 5, 1)));
    EXPECT_EQ(grid.GetRowCount(), 3u);
    EXPECT_EQ(grid.GetColCount(), 3u);
    for (ROWCOL r = 1; r <= 3; ++r)
        for (ROWCOL c = 1; c <= 3; ++c)
            EXPECT_EQ(Value(grid, r, c), Label(r, c).GetString());
    EXPECT_TRUE(grid.GetParam()->m_UndoList.IsEmpty());
    // The well-formed block of the same shape is taken.
    ASSERT_TRUE(Paste(grid, Block(1, 2, styles(2)), CGXRange(2, 2, 2, 2)));
    EXPECT_EQ(Value(grid, 2, 3), "x");
}

namespace {
// Records the style types the clipboard reads and writes cells with.
class TypedGrid : public CGXGridCore {
public:
    BOOL ReadCellStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int nModify, int nType) override
    {
        readTypes.push_back(nType);
        return CGXGridCore::ReadCellStyle(nRow, nCol, style, nModify, nType);
    }
    BOOL ApplyStyleToRange(const CGXRange& range, const CGXStyle* pStyle, int nModify, int nType, const CObArray* pCells, UINT nFlags,
                           int nMode) override
    {
        appliedTypes.push_back(nType);
        return CGXGridCore::ApplyStyleToRange(range, pStyle, nModify, nType, pCells, nFlags, nMode);
    }
    std::vector<int> readTypes, appliedTypes;
};
} // namespace

TEST_F(StyleExchangeTest, TheGridsStyleAccessTypeReadsWithTheFlagAndAlwaysWrites)
{
    TypedGrid grid;
    SetUpGrid(grid, 4, 4);
    grid.SetStyleAccessType(5);
    grid.m_nClipboardFlags &= ~GX_CLIP_GRIDSTYLETYPE;
    const std::vector<BYTE> plain = CopyStyles(grid, {CGXRange(1, 1, 2, 2)});
    ASSERT_FALSE(grid.readTypes.empty());
    for (int n : grid.readTypes)
        EXPECT_EQ(n, 0);
    grid.readTypes.clear();
    grid.m_nClipboardFlags |= GX_CLIP_GRIDSTYLETYPE;
    const std::vector<BYTE> typed = CopyStyles(grid, {CGXRange(1, 1, 2, 2)});
    ASSERT_FALSE(grid.readTypes.empty());
    for (int n : grid.readTypes)
        EXPECT_EQ(n, 5);
    grid.appliedTypes.clear();
    ASSERT_TRUE(Paste(grid, typed, CGXRange(3, 3, 3, 3)));
    ASSERT_FALSE(grid.appliedTypes.empty());
    EXPECT_EQ(grid.appliedTypes.front(), 5);
    EXPECT_EQ(Value(grid, 4, 4), Value(grid, 2, 2));
}

// A cell based on one of its grid's own styles keeps that style, by name, in another grid that
// numbers its styles otherwise; a base style the other grid lacks is left out there, and the
// archive's document pointer is its own again once the block is written or read.
TEST_F(StyleExchangeTest, BaseStylesTravelByNameBetweenGridsThatNumberThemApart)
{
    CGXGridCore source;
    SetUpGrid(source, 2, 2);
    CGXStylesMap& from = *source.GetParam()->GetStylesMap();
    const WORD nEmphasis = from.RegisterStyle("Emphasis", CGXStyle().SetTextColor(RGB(200, 0, 0)));
    const WORD nNote = from.RegisterStyle("Note", CGXStyle().SetTextColor(RGB(0, 0, 200)));
    source.ApplyStyleToRange(CGXRange(1, 1, 1, 1), &CGXStyle().SetBaseStyle(nEmphasis), gxOverride, 0, nullptr, 0, gxDo);
    source.ApplyStyleToRange(CGXRange(1, 2, 1, 2), &CGXStyle().SetBaseStyle(nNote), gxOverride, 0, nullptr, 0, gxDo);
    CGXRangeList list;
    list.AddTail(new CGXRange(1, 1, 1, 2));
    CMemFile file;
    std::vector<BYTE> bytes;
    {
        CArchive ar(&file, CArchive::store);
        ASSERT_TRUE(source.WriteRangesAsStyles(ar, list, FALSE));
        EXPECT_EQ(ar.m_pDocument, nullptr);
        ar.Close();
        bytes = Bytes(file);
    }

    // Here "Other" has the number Emphasis had, and Emphasis the number of Note.
    CGXGridCore target;
    SetUpGrid(target, 2, 2);
    CGXStylesMap& to = *target.GetParam()->GetStylesMap();
    ASSERT_EQ(to.RegisterStyle("Other", CGXStyle().SetTextColor(RGB(0, 200, 0))), nEmphasis);
    const WORD nTargetEmphasis = to.RegisterStyle("Emphasis", CGXStyle().SetTextColor(RGB(150, 0, 0)));
    ASSERT_EQ(nTargetEmphasis, nNote);
    ASSERT_TRUE(Paste(target, bytes, CGXRange(2, 1, 2, 1)));

    const CGXStyle* pEmphasised = target.GetData()->LookupStyle(2, 1);
    ASSERT_NE(pEmphasised, nullptr);
    EXPECT_EQ(pEmphasised->GetBaseStyle(), nTargetEmphasis);
    CGXStyle composed;
    target.ComposeCellStyle(2, 1, composed);
    EXPECT_EQ(composed.GetTextColor(), RGB(150, 0, 0)) << "drawn with this grid's Emphasis";
    const CGXStyle* pNoted = target.GetData()->LookupStyle(2, 2);
    ASSERT_NE(pNoted, nullptr);
    EXPECT_FALSE(pNoted->GetInclude(GX_INCL_BASESTYLE)) << "this grid has no Note";
    EXPECT_EQ(Value(target, 2, 2), "1.2");

    // A block read back into its own grid finds its styles under their own numbers.
    ASSERT_TRUE(Paste(source, bytes, CGXRange(2, 1, 2, 1)));
    ASSERT_NE(source.GetData()->LookupStyle(2, 2), nullptr);
    EXPECT_EQ(source.GetData()->LookupStyle(2, 1)->GetBaseStyle(), nEmphasis);
    EXPECT_EQ(source.GetData()->LookupStyle(2, 2)->GetBaseStyle(), nNote);
}
