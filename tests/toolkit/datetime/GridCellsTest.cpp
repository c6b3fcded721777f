// The grid's date-time and currency cells on the headless backend: made by the grid's factory
// through their registered creators, their values read into display texts and pasted texts
// read back into stored values, typing on an inactive cell, Delete, the calculator's result
// and replace-all.
#include <gtest/gtest.h>

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "tests/toolkit/datetime/DTTestSupport.h"
#include "toolkit/datetime/cells/CGXCurrencyEdit.h"
#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"

namespace {

class GridCellsTest : public DTTest {
protected:
    void SetUp() override
    {
        DTTest::SetUp();
        InitGridLibrary(new CGXControlFactory);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 360, 260), &owner, 1));
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(5, 0);
        grid.SetColCount(3, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(100);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        grid.DestroyWindow();
        TerminateGridLibrary();
        DTTest::TearDown();
    }
    void SetCell(ROWCOL row, ROWCOL col, WORD control, const char* value,
                 std::initializer_list<std::pair<WORD, const char*>> attributes = {})
    {
        CGXStyle style;
        style.SetControl(control);
        style.SetValue(value);
        for (const auto& [id, text] : attributes)
            style.SetUserAttribute(id, CString(text));
        ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(row, col, row, col), &style, gxOverride, 0, nullptr, 0, gxDo));
    }
    CString Value(ROWCOL row, ROWCOL col)
    {
        return grid.GetStoredCellValue(row, col);
    }
    CString Display(CGXControl* cell, ROWCOL row, ROWCOL col)
    {
        CString text;
        CGXStyle style;
        grid.ComposeCellStyle(row, col, style);
        cell->GetControlText(text, row, col, nullptr, style);
        return text;
    }
    CGXGridWnd grid;
};

TEST_F(GridCellsTest, DateCellsShowTheirValuesInTheirFormatAndReadPastedTextsBack)
{
    auto* cell = dynamic_cast<CGXDateTimeCtrl*>(grid.GetControlById(GX_IDS_CTRL_DATETIME));
    ASSERT_NE(cell, nullptr);
    EXPECT_NE(dynamic_cast<CGXDateTimeCtrl*>(grid.GetControlById(GX_IDS_CTRL_DATETIMENOCAL)), cell);
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "36526");
    EXPECT_STREQ(Display(cell, 1, 1), "1/1/2000");
    // An empty cell is today with a date format, 1899-12-30 00:00 with the time format.
    SetCell(2, 1, GX_IDS_CTRL_DATETIME, "");
    EXPECT_STREQ(Display(cell, 2, 1), "3/15/2024");
    SetCell(3, 1, GX_IDS_CTRL_DATETIME, "", {{GX_IDS_UA_DATEFORMATTYPE, "0"}});
    EXPECT_STREQ(Display(cell, 3, 1), "12:00:00 AM");
    SetCell(4, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    EXPECT_STREQ(Display(cell, 4, 1), "2024/03/05");

    // Pasted texts: a date as a whole, then one in parts, numbers beyond a field refused.
    EXPECT_TRUE(cell->SetControlText(4, 1, "2024-07-09", 0, nullptr));
    EXPECT_STREQ(Value(4, 1), "7/9/2024");
    EXPECT_TRUE(cell->SetControlText(4, 1, "1999 12,31", 0, nullptr));
    EXPECT_STREQ(Display(cell, 4, 1), "1999/12/31");
    EXPECT_FALSE(cell->SetControlText(4, 1, "junk", 0, nullptr));
    EXPECT_FALSE(cell->SetControlText(4, 1, "99999999999 77777777777", 0, nullptr));
    EXPECT_STREQ(Display(cell, 4, 1), "1999/12/31");

    // Stored as a number, a time of day survives the round trip.
    cell->m_bStoreAsNumber = TRUE;
    const CString stored = cell->DateToStoredText(COleDateTime(1899, 12, 30, 16, 30, 0));
    EXPECT_STREQ(stored, "0.6875");
    COleDateTime back;
    ASSERT_TRUE(cell->TextToDate(stored, back, FALSE) || back.GetStatus() == COleDateTime::valid);
    EXPECT_EQ(back.GetMinute(), 30);
    cell->m_bStoreAsNumber = FALSE;
}

TEST_F(GridCellsTest, TypingOnAnInactiveDateCellActivatesItAndDeleteEmptiesIt)
{
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    auto* cell = dynamic_cast<CGXDateTimeCtrl*>(grid.GetControlById(GX_IDS_CTRL_DATETIME));
    ASSERT_NE(cell, nullptr);
    cell->Init(1, 1);
    EXPECT_FALSE(cell->IsActive());
    EXPECT_TRUE(cell->GetWindow().GetFastInput());
    ASSERT_TRUE(cell->KeyPressed(WM_CHAR, '5', 1, 0));
    backend->ProcessMessages();
    EXPECT_TRUE(cell->IsActive());
    auto* year = dynamic_cast<CGXBDTNumericGadget*>(cell->GetWindow().GetCurrentGadget());
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->m_id, kDateFieldYear4);
    EXPECT_TRUE(year->IsTyping());
    EXPECT_EQ(year->m_nTyped, 5);
    // Three more digits fill the year and move on (fast input); the cell stores the date.
    cell->GetWindow().SendMessage(WM_CHAR, '1', 0);
    cell->GetWindow().SendMessage(WM_CHAR, '9', 0);
    cell->GetWindow().SendMessage(WM_CHAR, '9', 0);
    EXPECT_EQ(cell->GetWindow().GetDateTime().GetYear(), 5199);
    EXPECT_TRUE(cell->GetModify());
    ASSERT_TRUE(cell->Store());
    EXPECT_STREQ(Value(1, 1), "3/5/5199");
    // Delete on the inactive cell stores an empty value.
    cell->Init(1, 1);
    EXPECT_TRUE(cell->KeyPressed(WM_KEYDOWN, VK_DELETE, 1, 0));
    EXPECT_STREQ(Value(1, 1), "");
}

TEST_F(GridCellsTest, CurrencyCellsStorePlainNumbersAndShowThemFormatted)
{
    auto* cell = dynamic_cast<CGXCurrencyEdit*>(grid.GetControlById(GX_IDS_CTRL_CURRENCY));
    ASSERT_NE(cell, nullptr);
    SetCell(1, 1, GX_IDS_CTRL_CURRENCY, "-1234.5");
    EXPECT_STREQ(Display(cell, 1, 1), "($1,234.50)");
    // A pasted display text lands as the plain value; junk changes nothing.
    EXPECT_TRUE(cell->SetControlText(1, 1, "$1,234.56", 0, nullptr));
    EXPECT_STREQ(Value(1, 1), "1234.56");
    EXPECT_FALSE(cell->SetControlText(1, 1, "\x01\x02junk", 0, nullptr));
    EXPECT_FALSE(cell->SetControlText(1, 1, CString('9', 400), 0, nullptr));
    EXPECT_STREQ(Value(1, 1), "1234.56");
    // Separators "0." mean no grouping; a symbol starting with '0' means none; a bad pattern
    // or digit count falls back inside its table.
    SetCell(2, 1, GX_IDS_CTRL_CURRENCY, "1234",
            {{GX_IDS_UA_CURRENCYSEP, "0."}, {GX_IDS_UA_CURRENCYSYM, "0"}, {GX_IDS_UA_CURRENCYPOSFMT, "4"},
             {GX_IDS_UA_CURRENCYDECIMALS, "-2"}});
    EXPECT_STREQ(Display(cell, 2, 1), "1234");
    SetCell(3, 1, GX_IDS_CTRL_CURRENCY, "1234", {{GX_IDS_UA_CURRENCYSEP, ".,"}});
    EXPECT_STREQ(Display(cell, 3, 1), "$1.234,00");
    // The calculator's "20.5" is read as it is written, not with the cell's separators.
    cell->Init(3, 1);
    cell->OnCalculatorResult("20.5");
    ASSERT_TRUE(cell->Store());
    EXPECT_STREQ(Value(3, 1), "20.50");
    // Read-only cells take no calculator result.
    SetCell(4, 1, GX_IDS_CTRL_CURRENCY, "7", {});
    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(4, 1, 4, 1), &ro, gxOverride, 0, nullptr, 0, gxDo));
    cell->Init(4, 1);
    cell->OnCalculatorResult("99");
    EXPECT_TRUE(cell->Store());
    EXPECT_STREQ(Value(4, 1), "7");
    // Replace-all edits the display text and stores the plain value.
    EXPECT_TRUE(cell->ReplaceAllIn(1, 1, "234", "999", FALSE));
    EXPECT_STREQ(Value(1, 1), "1999.56");
    EXPECT_FALSE(cell->ReplaceAllIn(1, 1, "$", "x", FALSE));
    // The calculator button shows only when the fourth attribute character is not '0'.
    CGXStyle style;
    EXPECT_FALSE(CGXCurrencyEdit::WantsCalculator(style));
    style.SetUserAttribute(GX_IDS_UA_CURRENCYDEF, CString("1101"));
    EXPECT_TRUE(CGXCurrencyEdit::WantsCalculator(style));
    style.SetUserAttribute(GX_IDS_UA_CURRENCYDEF, CString("1100"));
    EXPECT_FALSE(CGXCurrencyEdit::WantsCalculator(style));
}

}   // namespace
