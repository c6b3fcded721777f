// The grid's date-time and currency cells on the headless backend: made by the grid's factory
// through their registered creators, their values read into display texts and pasted texts
// read back into stored values, typing on an inactive cell, Delete, the calculator's result,
// replace-all and find through the grid's find feature, and what the cell being edited does
// with its style, the clipboard and the focus.
#include <gtest/gtest.h>

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/core/CGXCalcSizeImp.h"
#include "grid/features/CGXGridCutPasteImp.h"
#include "grid/features/CGXGridFindReplaceImp.h"
#include "grid/features/CGXGridTextDataExchangeImp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/EditDefs.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "tests/toolkit/datetime/DTTestSupport.h"

#include <cstring>
#include <string>
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
    ASSERT_TRUE(cell->TextToDate(stored, back, FALSE)) << "a stored number reads back as a date";
    EXPECT_EQ(back, COleDateTime(1899, 12, 30, 16, 30, 0));
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

class EditedCellsTest : public GridCellsTest {
protected:
    void SetUp() override
    {
        GridCellsTest::SetUp();
        CGXGridFindReplaceImp::Install(&grid);
        CGXGridCutPasteImp::Install(&grid);
        CGXGridTextDataExchangeImp::Install(&grid);
        ASSERT_TRUE(other.CreateEx(0, nullptr, "Elsewhere", WS_CHILD | WS_VISIBLE, 0, 262, 40, 16, owner.m_hWnd, nullptr));
        grid.SetFocus();
    }
    void TearDown() override
    {
        other.DestroyWindow();
        GridCellsTest::TearDown();
    }
    CGXDateTimeCtrl* DateCell() { return dynamic_cast<CGXDateTimeCtrl*>(grid.GetControlById(GX_IDS_CTRL_DATETIME)); }
    CGXCurrencyEdit* CurrencyCell() { return dynamic_cast<CGXCurrencyEdit*>(grid.GetControlById(GX_IDS_CTRL_CURRENCY)); }
    // A key as the user types it, to whatever has the focus.
    void Type(UINT vk, const char* text = nullptr)
    {
        backend->Key(vk, text ? std::string(text) : std::string());
        backend->ProcessMessages();
    }
    void CtrlKey(char letter)
    {
        backend->KeyDown(VK_CONTROL);
        backend->Key(static_cast<UINT>(letter), std::string(1, static_cast<char>(letter - 'A' + 1)));
        backend->KeyUp(VK_CONTROL);
        backend->ProcessMessages();
    }
    CWnd other;
};

TEST_F(EditedCellsTest, TheDateCellBeingEditedTakesAChangedFormatFromItsFirstField)
{
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    CGXDateTimeCtrl* cell = DateCell();
    Type('9', "9");
    ASSERT_TRUE(cell->IsActive());
    EXPECT_EQ(cell->GetWindow().GetCurrentGadget()->m_id, kDateFieldYear4);
    // The attribute pages store the picture with the cell's control: the editor showing the old
    // picture goes, and the next key edits in the new one, from its first field.
    CGXStyle picture;
    picture.SetControl(static_cast<WORD>(GX_IDS_CTRL_DATETIME));
    picture.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, CString("dd.MM.yyyy"));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 1, 1), &picture, gxOverride, 0, nullptr, 0, gxDo));
    backend->ProcessMessages();
    EXPECT_FALSE(cell->GetWindow().IsWindowVisible() && cell->GetWindow().m_strCustomFormat != "dd.MM.yyyy")
        << "no editor with the old picture stays on the screen";
    Type('1', "1");
    ASSERT_TRUE(cell->IsActive());
    EXPECT_STREQ(cell->GetWindow().m_strCustomFormat, "dd.MM.yyyy");
    EXPECT_NE(cell->GetWindow().GetCurrentGadget()->m_id, kDateFieldYear4) << "the day comes first now";
    EXPECT_EQ(cell->GetWindow().GetCurrentField(), cell->GetWindow().FirstEditableField());
}

TEST_F(EditedCellsTest, TheDateCellCopiesItselfAndPastesADateIntoItsEditor)
{
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    CGXDateTimeCtrl* cell = DateCell();
    EXPECT_TRUE(cell->CanCopy());
    SetClipboard("nothing yet");
    ASSERT_TRUE(cell->Copy());
    EXPECT_EQ(Clipboard(), "2024/03/05") << "the cell as it shows";
    // In the editor: Ctrl+C copies the whole cell, Ctrl+V puts a pasted date in its place.
    Type(VK_END);
    ASSERT_TRUE(cell->IsActive());
    ASSERT_EQ(::GetFocus(), cell->GetWindow().m_hWnd);
    SetClipboard("nothing yet");
    CtrlKey('C');
    EXPECT_EQ(Clipboard(), "2024/03/05");
    SetClipboard("1999-12-31");
    EXPECT_TRUE(cell->CanPaste());
    CtrlKey('V');
    EXPECT_EQ(cell->GetWindow().GetDateTime(), COleDateTime(1999, 12, 31, 0, 0, 0));
    EXPECT_TRUE(cell->GetModify());
    ASSERT_TRUE(grid.SetCurrentCell(2, 1));
    EXPECT_STREQ(Value(1, 1), "12/31/1999");
    // A read-only cell takes no paste.
    CGXStyle ro;
    ro.SetReadOnly(TRUE);
    SetCell(3, 1, GX_IDS_CTRL_DATETIME, "2024-03-05");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(3, 1, 3, 1), &ro, gxOverride, 0, nullptr, 0, gxDo));
    ASSERT_TRUE(grid.SetCurrentCell(3, 1));
    cell->SetActive(TRUE);
    EXPECT_FALSE(cell->CanPaste());
    EXPECT_FALSE(cell->Paste());
}

TEST_F(EditedCellsTest, FindWalksTheFieldsOfTheDateCellsAndSelectsTheOneFound)
{
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    SetCell(3, 1, GX_IDS_CTRL_DATETIME, "1999-12-12", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    CGXDateTimeCtrl* cell = DateCell();
    ASSERT_TRUE(grid.FindText("12", TRUE, FALSE));
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 3u);
    ASSERT_TRUE(cell->IsActive());
    const int month = cell->GetWindow().GetCurrentField();
    EXPECT_NE(cell->GetWindow().GetCurrentGadget()->m_id, kDateFieldYear4);
    // Find next in the same cell goes on to the day, which reads "12" as well.
    ASSERT_TRUE(cell->FindText(3, 1, FALSE, TRUE));
    EXPECT_GT(cell->GetWindow().GetCurrentField(), month);
    // Nothing after the last field: the search leaves the cell.
    EXPECT_FALSE(cell->FindText(3, 1, FALSE, TRUE));
    EXPECT_FALSE(cell->FindText(1, 1, FALSE, FALSE)) << "2024/03/05 has no 12";
}

TEST_F(EditedCellsTest, TheDateCellStartsAtItsFirstFieldWhenFocusedAndCanBeActiveAtOnce)
{
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd HH:mm:ss"}});
    SetCell(2, 1, GX_IDS_CTRL_DATETIME, "2024-03-06", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd HH:mm:ss"}});
    grid.GetParam()->m_dwActivateFlags = 0x04;
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    CGXDateTimeCtrl* cell = DateCell();
    EXPECT_TRUE(cell->IsActive()) << "activated as it was bound";
    // The window had scrolled its fields; taking the focus again shows them from the start.
    cell->GetWindow().m_nScroll = 24;
    other.SetFocus();
    cell->GetWindow().SetFocus();
    backend->ProcessMessages();
    EXPECT_EQ(cell->GetWindow().GetScrollOffset(), 0);
    ASSERT_TRUE(grid.SetCurrentCell(2, 1));
    EXPECT_TRUE(cell->IsActive());
    EXPECT_EQ(cell->GetWindow().GetDateTime().GetDay(), 6);
}

TEST_F(EditedCellsTest, TheDateCellsSizeLeavesItsFieldsRoomAndItsWindowCoversTheCell)
{
    CGXCalcSizeImp::Install(&grid);
    SetCell(1, 1, GX_IDS_CTRL_DATETIME, "2024-03-05", {{GX_IDS_UA_CUSTOMFORMAT, "yyyy/MM/dd"}});
    CGXStyle text;
    text.SetValue("2024/03/05");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 2, 1, 2), &text, gxOverride, 0, nullptr, 0, gxDo));
    CClientDC dc(&grid);
    CGXStyle dateStyle, textStyle;
    grid.ComposeCellStyle(1, 1, dateStyle);
    grid.ComposeCellStyle(1, 2, textStyle);
    const CSize date = DateCell()->CalcSize(&dc, 1, 1, dateStyle, nullptr, FALSE);
    const CSize plain = grid.GetControl(1, 2)->CalcSize(&dc, 1, 2, textStyle, nullptr, FALSE);
    EXPECT_EQ(date.cx, plain.cx + 5);
    // The editor lies over the whole cell inside its borders.
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    DateCell()->SetActive(TRUE);
    CRect wnd;
    DateCell()->GetWindow().GetWindowRect(&wnd);
    grid.ScreenToClient(&wnd);
    CRect cellRect = grid.CalcCellRect(1, 1);
    EXPECT_EQ(wnd, grid.SubtractBorders(cellRect, dateStyle));
}

TEST_F(EditedCellsTest, TheCurrencyCellTakesReplaceAllFindAndGivesItsSelection)
{
    SetCell(1, 1, GX_IDS_CTRL_CURRENCY, "1234.5");
    SetCell(2, 1, GX_IDS_CTRL_CURRENCY, "234");
    SetCell(3, 1, GX_IDS_CTRL_CURRENCY, "17");
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    // Replace All of the grid reaches the currency cells with the find state's texts.
    EXPECT_TRUE(grid.ReplaceAll("234", "999", FALSE));
    EXPECT_STREQ(Value(1, 1), "1999.50");
    EXPECT_STREQ(Value(2, 1), "999.00");
    EXPECT_STREQ(Value(3, 1), "17");
    // Find selects the match in the cell's editor; the selection is what the cell gives.
    CGXCurrencyEdit* cell = CurrencyCell();
    ASSERT_TRUE(grid.SetCurrentCell(3, 1));
    ASSERT_TRUE(grid.FindText("$999", FALSE, FALSE)) << "up, with the symbol typed";
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 2u);
    ASSERT_TRUE(cell->IsActive());
    CString selected;
    EXPECT_TRUE(cell->GetSelectedText(selected));
    EXPECT_STREQ(selected, "999");
    cell->GetWindow().SetSel(-1, 0);
    cell->GetSelectedText(selected);
    EXPECT_STREQ(selected, "") << "nothing selected";
    cell->GetWindow().SelectAll();
    EXPECT_TRUE(cell->GetSelectedText(selected));
    EXPECT_STREQ(selected, "$999.00");
}

TEST_F(EditedCellsTest, TheCurrencyEditorWantsTabsAndStoresWhenTheFocusLeavesTheGrid)
{
    SetCell(1, 1, GX_IDS_CTRL_CURRENCY, "5");
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    CGXCurrencyEdit* cell = CurrencyCell();
    Type('7', "7");
    ASSERT_TRUE(cell->IsActive());
    EXPECT_EQ(cell->GetWindow().SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB));
    ASSERT_TRUE(cell->GetModify());
    // Another window takes the focus: the grid hears of it, and what was typed is stored.
    other.SetFocus();
    backend->ProcessMessages();
    EXPECT_FALSE(cell->IsActive());
    EXPECT_STRNE(Value(1, 1), "5");
    EXPECT_FALSE(cell->GetWindow().IsWindowVisible());
}

}   // namespace
