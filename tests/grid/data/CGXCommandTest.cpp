#include "grid/data/CGXCommandFactory.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXGridParam.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        param.SetData(new CGXData);
        param.SetStylesMap(new CGXStylesMap);
        param.GetStylesMap()->CreateStandardStyles();
        param.SetProperties(new CGXProperties);
        model.SetRowCount(6);
        model.SetColCount(4);
        for (ROWCOL r = 1; r <= 6; ++r)
            for (ROWCOL c = 1; c <= 4; ++c) {
                CGXStyle s;
                s.SetValue(CString(std::to_string(r * 10 + c).c_str()));
                if (c == 2)
                    s.SetReadOnly(TRUE);
                param.GetData()->StoreStyle(r, c, &s, gxCopy);
            }
        CGXStyle rowStyle;
        rowStyle.SetTextColor(RGB(0, 0, 9));
        param.GetData()->StoreStyle(3, 0, &rowStyle, gxCopy, gxBaseStyleType);
        param.m_RowHeights[2] = 500;
        param.m_RowHeights[5] = 700;
        ClearLists();
    }

    void ClearLists()
    {
        while (!param.m_UndoList.IsEmpty())
            delete param.m_UndoList.RemoveHead();
        while (!param.m_RedoList.IsEmpty())
            delete param.m_RedoList.RemoveHead();
    }

    // Everything the operations below can change, as text.
    std::string Snapshot() const
    {
        const CGXData& d = *param.GetData();
        std::string out = std::to_string(d.GetRowCount()) + "x" + std::to_string(d.GetColCount()) + ";";
        for (ROWCOL r = 0; r <= d.GetRowCount(); ++r) {
            for (ROWCOL c = 0; c <= d.GetColCount(); ++c) {
                if (const CGXStyle* p = d.LookupStyle(r, c))
                    out += std::string(p->GetValue().GetString()) + (p->GetInclude(GX_INCL_READONLY) ? "r" : "") +
                           (p->GetInclude(GX_INCL_INTERIOR) ? "i" : "");
                out += ",";
            }
            if (const CGXStyle* p = d.LookupStyle(r, 0, gxBaseStyleType))
                out += "row" + std::to_string(p->GetTextColor());
            out += "|";
        }
        for (ROWCOL r = 0; r <= d.GetRowCount() + 1; ++r)
            if (LONG n = 0; param.m_RowHeights.Lookup(r, n))
                out += "h" + std::to_string(r) + "=" + std::to_string(n);
        out += " frozen" + std::to_string(param.m_nFrozenRows) + "/" + std::to_string(param.m_nHeaderRows);
        out += " std" + std::to_string(param.GetStylesMap()->LookupStyle(param.GetStylesMap()->m_wStyleStandard)->GetTextColor());
        out += " zoom" + std::to_string(param.GetProperties()->m_nZoom);
        return out;
    }

    CGXGridParam param;
    CGXCommandFactory factory;
    CGXGridModel model{param, &factory};
};

} // namespace

TEST_F(UndoTest, EveryOperationUndoesAndRedoesExactly)
{
    CGXStyle yellow;
    yellow.SetInterior(RGB(255, 255, 0));
    CGXStyle red;
    red.SetTextColor(RGB(255, 0, 0));
    CGXProperties zoomed;
    zoomed.m_nZoom = 150;
    CDWordArray order;
    for (DWORD v : {4u, 2u, 3u})
        order.Add(v);

    const std::vector<std::function<BOOL()>> ops = {
        [&] { return model.ApplyStyleToRange(CGXRange(1, 1, 3, 2), &yellow, gxOverride, 0, nullptr, gxDo); },
        [&] { return model.RemoveRows(2, 3, gxDo); },
        [&] { return model.InsertCols(2, 2, nullptr, nullptr, nullptr, 0, gxDo); },
        [&] { return model.MoveRows(1, 2, 3, gxDo); },
        [&] { return model.MoveDataRows(CGXRange().SetRows(2, 4), order, gxDo); },
        [&] { return model.SetFrozenRows(2, 1, gxDo); },
        [&] { return model.ApplyStyleToRange(CGXRange().SetRows(1, 2), &red, gxOverride, 0, nullptr, gxDo); },
        [&] { return model.ChangeBaseStyle(param.GetStylesMap()->m_wStyleStandard, red, gxOverride, gxDo); },
        [&] { return model.ChangeProperties(zoomed, gxDo); },
        [&] { return model.RemoveCols(1, 3, gxDo); },
        [&] { return model.SetRowCount(2, gxDo); },
    };
    std::vector<std::string> states{Snapshot()};
    for (size_t i = 0; i < ops.size(); ++i) {
        ASSERT_TRUE(ops[i]()) << "operation " << i;
        states.push_back(Snapshot());
        ASSERT_NE(states.back(), states[states.size() - 2]) << "operation " << i << " changed nothing";
    }
    EXPECT_EQ(param.m_UndoList.GetCount(), static_cast<INT_PTR>(ops.size()));
    for (size_t i = ops.size(); i > 0; --i) {
        ASSERT_TRUE(factory.Undo(param, model));
        ASSERT_EQ(Snapshot(), states[i - 1]) << "undo of operation " << i - 1;
    }
    EXPECT_FALSE(factory.Undo(param, model));
    for (size_t i = 1; i <= ops.size(); ++i) {
        ASSERT_TRUE(factory.Redo(param, model));
        ASSERT_EQ(Snapshot(), states[i]) << "redo of operation " << i - 1;
    }
    EXPECT_FALSE(factory.CanRedo(param));
    // And back again: redone commands are undoable in turn.
    for (size_t i = ops.size(); i > 0; --i)
        ASSERT_TRUE(factory.Undo(param, model));
    EXPECT_EQ(Snapshot(), states[0]);
}

TEST_F(UndoTest, NestedTransactionsAreOneStepAndRollBackByLevel)
{
    const std::string before = Snapshot();
    CGXStyle yellow;
    yellow.SetInterior(RGB(255, 255, 0));

    factory.BeginTransaction(param, "Fill");
    model.ApplyStyleToRange(CGXRange(1, 1, 1, 1), &yellow, gxOverride, 0, nullptr, gxDo);
    factory.BeginTransaction(param, "Inner");
    EXPECT_EQ(param.m_nTransactionLevel, 2);
    model.RemoveRows(5, 6, gxDo);
    model.MoveRows(1, 1, 3, gxDo);
    EXPECT_FALSE(factory.CanUndo(param)); // nothing can be undone while a block is open
    ASSERT_TRUE(factory.CommitTransaction(param));
    model.InsertCols(1, 1, nullptr, nullptr, nullptr, 0, gxDo);
    ASSERT_TRUE(factory.CommitTransaction(param));
    EXPECT_EQ(param.m_nTransactionLevel, 0);
    const std::string after = Snapshot();

    ASSERT_EQ(param.m_UndoList.GetCount(), 1);
    EXPECT_EQ(factory.GetUndoMenuText(param), CString("Undo Fill"));
    ASSERT_TRUE(factory.Undo(param, model));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(factory.GetRedoMenuText(param), CString("Redo Fill"));
    ASSERT_TRUE(factory.Redo(param, model));
    EXPECT_EQ(Snapshot(), after);
    ASSERT_TRUE(factory.Undo(param, model));
    EXPECT_EQ(Snapshot(), before);

    // A nested rollback undoes only its own block; the outer block goes on and commits.
    factory.BeginTransaction(param, "Outer");
    model.RemoveRows(1, 1, gxDo);
    const std::string afterFirst = Snapshot();
    factory.BeginTransaction(param, "Inner");
    model.ApplyStyleToRange(CGXRange(1, 1, 2, 2), &yellow, gxOverride, 0, nullptr, gxDo);
    model.SetFrozenRows(3, 1, gxDo);
    ASSERT_TRUE(factory.RollbackTransaction(param, model));
    EXPECT_EQ(Snapshot(), afterFirst);
    model.MoveRows(1, 1, 2, gxDo);
    ASSERT_TRUE(factory.CommitTransaction(param));
    EXPECT_FALSE(factory.CanRedo(param)); // a new step clears what could be redone
    ASSERT_TRUE(factory.Undo(param, model));
    EXPECT_EQ(Snapshot(), before);

    // An outer rollback restores everything and records nothing.
    const INT_PTR nUndo = param.m_UndoList.GetCount();
    factory.BeginTransaction(param, "Cancelled");
    model.RemoveCols(2, 3, gxDo);
    factory.BeginTransaction(param, "Empty");
    ASSERT_TRUE(factory.CommitTransaction(param)); // an empty block is dropped
    model.ApplyStyleToRange(CGXRange().SetTable(), &yellow, gxOverride, 0, nullptr, gxDo);
    ASSERT_TRUE(factory.RollbackTransaction(param, model));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(param.m_UndoList.GetCount(), nUndo);
    EXPECT_FALSE(factory.CommitTransaction(param));
}

TEST_F(UndoTest, LimitAndSwitchBoundWhatIsRecorded)
{
    param.m_nMaxUndoCommands = 2;
    model.SetFrozenRows(1, 0, gxDo);
    model.SetFrozenRows(2, 0, gxDo);
    model.SetFrozenRows(3, 0, gxDo);
    EXPECT_EQ(param.m_UndoList.GetCount(), 2);
    ASSERT_TRUE(factory.Undo(param, model));
    ASSERT_TRUE(factory.Undo(param, model));
    EXPECT_EQ(param.m_nFrozenRows, 1u); // the oldest step was dropped
    EXPECT_FALSE(factory.Undo(param, model));

    param.EnableUndo(FALSE);
    ClearLists();
    model.RemoveRows(1, 2, gxDo);
    EXPECT_TRUE(param.m_UndoList.IsEmpty());
    EXPECT_EQ(factory.GetUndoMenuText(param), CString());
    // Refused operations record nothing either.
    param.EnableUndo(TRUE);
    EXPECT_FALSE(model.RemoveRows(50, 60, gxDo));
    EXPECT_FALSE(model.ApplyStyleToRange(CGXRange(1, 1, 99, 1), nullptr, gxOverride, 0, nullptr, gxDo));
    EXPECT_TRUE(param.m_UndoList.IsEmpty());

    // A change too large for undo never drops it unasked: with no one to ask the model
    // refuses; when its holder agrees it goes on without undo, and the history ends: the steps
    // of both lists would replay over what it wrote, and the transaction it ran in, whose
    // commands no longer take back all it did, records nothing.
    ASSERT_TRUE(model.SetRowCount(50000, gxRollback));
    CGXStyle red;
    red.SetTextColor(RGB(255, 0, 0));
    EXPECT_FALSE(model.ApplyStyleToRange(CGXRange().SetRows(1, 40000), &red, gxOverride, 0, nullptr, gxDo));
    EXPECT_EQ(param.GetData()->LookupStyle(40000, 0, gxBaseStyleType), nullptr);
    struct AgreeingModel : CGXGridModel {
        using CGXGridModel::CGXGridModel;
        BOOL ConfirmLargeUndo() override { return TRUE; }
    } agreeing(param, &factory);
    ASSERT_TRUE(model.ApplyStyleToRange(CGXRange(1, 1, 1, 1), &red, gxOverride, 0, nullptr, gxDo));
    ASSERT_TRUE(model.ApplyStyleToRange(CGXRange(2, 1, 2, 1), &red, gxOverride, 0, nullptr, gxDo));
    ASSERT_TRUE(factory.Undo(param, model));
    ASSERT_EQ(param.m_UndoList.GetCount(), 1);
    ASSERT_EQ(param.m_RedoList.GetCount(), 1);
    factory.BeginTransaction(param, "Paste");
    ASSERT_TRUE(model.ApplyStyleToRange(CGXRange(3, 1, 3, 1), &red, gxOverride, 0, nullptr, gxDo));
    EXPECT_TRUE(agreeing.ApplyStyleToRange(CGXRange().SetRows(1, 40000), &red, gxOverride, 0, nullptr, gxDo));
    ASSERT_TRUE(model.ApplyStyleToRange(CGXRange(4, 1, 4, 1), &red, gxOverride, 0, nullptr, gxDo));
    ASSERT_TRUE(factory.CommitTransaction(param));
    EXPECT_TRUE(param.m_UndoList.IsEmpty());
    EXPECT_TRUE(param.m_RedoList.IsEmpty());
    EXPECT_EQ(param.GetData()->LookupStyle(40000, 0, gxBaseStyleType)->GetTextColor(), RGB(255, 0, 0));
}

TEST_F(UndoTest, StructureChangesKeepSelectionsFrozenRowsAndSizesInStep)
{
    param.m_SelRects.AddTail(new CGXRange(4, 1, 5, 2));
    param.m_SelRects.AddTail(new CGXRange(CGXRange().SetCols(2, 3)));
    param.m_nFrozenRows = 3;
    ASSERT_TRUE(model.InsertRows(2, 2, nullptr, nullptr, nullptr, 0, gxDo));
    EXPECT_EQ(*param.m_SelRects.GetRangeAt(param.m_SelRects.GetHeadPosition()), CGXRange(6, 1, 7, 2));
    EXPECT_EQ(param.m_nFrozenRows, 5u);
    LONG n = 0;
    EXPECT_TRUE(param.m_RowHeights.Lookup(7, n)); // was row 5
    EXPECT_EQ(n, 700);
    ASSERT_TRUE(model.RemoveCols(2, 3, gxDo));
    EXPECT_FALSE(param.m_SelRects.GetRangeAt(param.m_SelRects.GetTailPosition())->IsValid());
    ASSERT_TRUE(model.RemoveRows(1, 4, gxDo));
    EXPECT_EQ(param.m_nFrozenRows, 1u);
    EXPECT_EQ(param.GetData()->LookupStyle(1, 1)->GetValue(), CString("31"));
}
