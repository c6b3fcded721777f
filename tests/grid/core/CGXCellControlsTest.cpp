// The cell controls editing in place in a grid window, driven by injected keys and clicks on the
// headless backend: the edit cell's window, the check box, the drop-down list, the push button
// and the hot-spot button.
#include "grid/core/CGXCheckBox.h"
#include "grid/core/CGXChild.h"
#include "grid/core/CGXComboBox.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXEditControl.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXHotSpotEdit.h"
#include "grid/core/CGXPushbutton.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/res/GridRes.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/HeadlessFixture.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <vector>

namespace {

class ButtonGrid : public CGXGridWnd {
public:
    void OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol) override { m_clicks.emplace_back(nRow, nCol); }
    BOOL OnActivateGrid(BOOL bActivate) override
    {
        m_activations.push_back(bActivate);
        return TRUE;
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> m_clicks;
    std::vector<BOOL> m_activations;
};

class CellControlsTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        GXInitControlFactory();
        ASSERT_TRUE(m_frame.CreateEx(0, AfxRegisterWndClass(0), "Cells", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 520, 300, nullptr,
                                     nullptr));
        m_grid = std::make_unique<ButtonGrid>();
        m_pGrid = m_grid.get();
        ASSERT_TRUE(m_pGrid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 260), &m_frame, 100));
        m_pGrid->Initialize();
        m_pGrid->SetRowCount(6, 0);
        m_pGrid->SetColCount(5, 0);
        m_pGrid->StoreDefaultRowHeight(20);
        m_pGrid->StoreDefaultColWidth(90);
        Column(2, GX_IDS_CTRL_CHECKBOX3D, "Shown");
        Column(3, GX_IDS_CTRL_CBS_DROPDOWNLIST, "Red\nGreen\nBlue");
        Column(4, GX_IDS_CTRL_PUSHBTN, "Go");
        Column(5, GX_IDS_CTRL_HOTSPOT, "");
        backend->FocusIn(m_frame.GetSafeHwnd());
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        if (m_pGrid != nullptr && m_pGrid->GetSafeHwnd() != nullptr)
            m_pGrid->DestroyWindow();
        m_grid.reset();
        m_frame.DestroyWindow();
        backend->ProcessMessages();
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    void Column(ROWCOL nCol, WORD nControl, LPCTSTR pszChoices)
    {
        CGXStyle style;
        style.SetControl(nControl).SetChoiceList(pszChoices);
        ASSERT_TRUE(m_pGrid->ApplyStyleToRange(CGXRange().SetCols(nCol, nCol), &style, gxOverride, 0, nullptr, 0, gxDo));
    }
    POINT ScreenPoint(ROWCOL nRow, ROWCOL nCol, int dx = 10)
    {
        CRect cell = m_pGrid->CalcCellRect(nRow, nCol);
        POINT pt{cell.left + dx, cell.top + cell.Height() / 2};
        m_pGrid->ClientToScreen(&pt);
        return pt;
    }
    void Click(ROWCOL nRow, ROWCOL nCol, int dx = 10)
    {
        backend->Click(1, ScreenPoint(nRow, nCol, dx));
        backend->ProcessMessages();
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            backend->Key(static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
        backend->ProcessMessages();
    }
    void Key(UINT vk)
    {
        backend->Key(vk);
        backend->ProcessMessages();
    }
    CString Stored(ROWCOL nRow, ROWCOL nCol) { return m_pGrid->GetStoredCellValue(nRow, nCol); }
    std::pair<ROWCOL, ROWCOL> Current()
    {
        ROWCOL r = 0, c = 0;
        m_pGrid->GetCurrentCell(r, c);
        return {r, c};
    }

    CWnd m_frame;
    std::unique_ptr<ButtonGrid> m_grid;
    ButtonGrid* m_pGrid = nullptr;
};

using Cell = std::pair<ROWCOL, ROWCOL>;

} // namespace

TEST_F(CellControlsTest, AnEditedCellKeepsItsWindowWhileScrollingLeavesItInView)
{
    m_pGrid->SetRowCount(60, 0);
    m_pGrid->Redraw(GX_UPDATENOW, FALSE);
    Click(3, 1);
    Type("meta");
    auto* pEdit = dynamic_cast<CGXEditControl*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pEdit, nullptr);
    ASSERT_TRUE(pEdit->IsActive());
    CWnd* pWnd = pEdit->GetEditWnd();
    ASSERT_NE(pWnd, nullptr);
    ASSERT_TRUE(pWnd->IsWindowVisible());

    // Two rows down the cell is still on the screen: the window moves up with it and stays.
    ASSERT_TRUE(m_pGrid->DoScroll(3, 2));
    backend->ProcessMessages();
    EXPECT_TRUE(pWnd->IsWindowVisible());
    CRect wnd;
    pWnd->GetWindowRect(&wnd);
    m_pGrid->ScreenToClient(&wnd);
    EXPECT_TRUE(m_pGrid->CalcCellRect(3, 1).PtInRect(wnd.CenterPoint()));
    CString sText;
    pWnd->GetWindowText(sText);
    EXPECT_STREQ(sText, "meta");

    // Once the cell has left the view, the window goes with it; the edit is kept.
    ASSERT_TRUE(m_pGrid->DoScroll(3, 5));
    backend->ProcessMessages();
    EXPECT_FALSE(pWnd->IsWindowVisible());
    EXPECT_TRUE(pEdit->IsActive());
}

TEST_F(CellControlsTest, AnEditCellTakesTypedTextInItsWindowAndStoresItOnLeaving)
{
    Click(2, 1);
    EXPECT_EQ(Current(), Cell(2, 1));
    auto* pEdit = dynamic_cast<CGXEditControl*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pEdit, nullptr);
    Type("meta");
    ASSERT_TRUE(pEdit->IsActive());
    ASSERT_NE(pEdit->GetEditWnd(), nullptr);
    EXPECT_TRUE(pEdit->GetEditWnd()->IsWindowVisible());
    EXPECT_EQ(GetFocus(), pEdit->GetEditWnd()->GetSafeHwnd());
    // The window lies over the cell.
    CRect wnd;
    pEdit->GetEditWnd()->GetWindowRect(&wnd);
    m_pGrid->ScreenToClient(&wnd);
    EXPECT_TRUE(m_pGrid->CalcCellRect(2, 1).PtInRect(wnd.CenterPoint()));
    CString sText;
    pEdit->GetEditWnd()->GetWindowText(sText);
    EXPECT_STREQ(sText, "meta");
    EXPECT_STREQ(Stored(2, 1), "");

    // Left inside the text moves the caret; Down leaves the cell and stores the text.
    Key(VK_LEFT);
    EXPECT_EQ(Current(), Cell(2, 1));
    Key(VK_DOWN);
    EXPECT_EQ(Current(), Cell(3, 1));
    EXPECT_STREQ(Stored(2, 1), "meta");
    EXPECT_FALSE(pEdit->GetEditWnd()->IsWindowVisible());
    EXPECT_EQ(GetFocus(), m_pGrid->GetSafeHwnd());

    // ESC drops an edit; the cell keeps what it had.
    Key(VK_UP);
    Type("x");
    Key(VK_ESCAPE);
    EXPECT_FALSE(pEdit->IsActive());
    Key(VK_DOWN);
    EXPECT_STREQ(Stored(2, 1), "meta");
    // Ctrl+Z takes the stored edit back.
    ASSERT_TRUE(m_pGrid->Undo());
    EXPECT_STREQ(Stored(2, 1), "");
}

// The text an input method gives with one key, several characters beyond ASCII, starts the
// cell's edit whole: the characters after the first were addressed to the grid before its
// editor had the keys.
TEST_F(CellControlsTest, AnInputMethodsTextStartsAnEditWhole)
{
    Click(2, 1);
    ASSERT_EQ(Current(), Cell(2, 1));
    auto* pEdit = dynamic_cast<CGXEditControl*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pEdit, nullptr);
    backend->Key(0, "\xE6\x97\xA5\xE6\x9C\xAC\xCE\xB1");   // 日本α
    backend->ProcessMessages();
    ASSERT_TRUE(pEdit->IsActive());
    CString sText;
    pEdit->GetEditWnd()->GetWindowText(sText);
    EXPECT_STREQ(sText, "\xE6\x97\xA5\xE6\x9C\xAC\xCE\xB1");
    Key(VK_RETURN);
    EXPECT_STREQ(Stored(2, 1), "\xE6\x97\xA5\xE6\x9C\xAC\xCE\xB1");
}

TEST_F(CellControlsTest, ACheckBoxTogglesOnClicksAndSpaceWithUndo)
{
    Click(2, 2);
    EXPECT_EQ(Current(), Cell(2, 2));
    EXPECT_STREQ(Stored(2, 2), "1"); // one click on the cell made it current and toggled it
    Type(" ");
    EXPECT_STREQ(Stored(2, 2), "0");
    ASSERT_TRUE(m_pGrid->Undo());
    EXPECT_STREQ(Stored(2, 2), "1");
    ASSERT_TRUE(m_pGrid->Undo());
    EXPECT_STREQ(Stored(2, 2), "");
    // A read-only grid refuses the toggle.
    m_pGrid->SetReadOnly(TRUE);
    Click(2, 2);
    EXPECT_STREQ(Stored(2, 2), "");
}

TEST_F(CellControlsTest, ADropDownListPicksOneOfItsChoices)
{
    Click(4, 3);
    EXPECT_EQ(Current(), Cell(4, 3));
    auto* pCombo = dynamic_cast<CGXComboBox*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pCombo, nullptr);
    EXPECT_TRUE(pCombo->IsDropDownList());
    // Typing a letter picks the first choice that starts with it; free text is not taken.
    Type("b");
    CString sText;
    pCombo->GetCurrentText(sText);
    EXPECT_STREQ(sText, "Blue");
    Type("z");
    pCombo->GetCurrentText(sText);
    EXPECT_STREQ(sText, "Blue");
    // The button opens the list under the cell; Down and Enter choose.
    const CRect cell = m_pGrid->CalcCellRect(4, 3);
    Click(4, 3, cell.Width() - 5);
    ASSERT_TRUE(pCombo->IsDroppedDown());
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_FALSE(pCombo->IsDroppedDown());
    pCombo->GetCurrentText(sText);
    EXPECT_STREQ(sText, "Green");
    Key(VK_DOWN);
    EXPECT_EQ(Current(), Cell(5, 3));
    EXPECT_STREQ(Stored(4, 3), "Green");
    // ESC in the list closes it without a choice.
    Click(4, 3);
    Click(4, 3, cell.Width() - 5);
    ASSERT_TRUE(pCombo->IsDroppedDown());
    Key(VK_ESCAPE);
    EXPECT_FALSE(pCombo->IsDroppedDown());
    EXPECT_STREQ(Stored(4, 3), "Green");
}

TEST_F(CellControlsTest, PushButtonsAndHotSpotButtonsReportTheirCell)
{
    Click(3, 4);
    ASSERT_EQ(m_pGrid->m_clicks.size(), 1u);
    EXPECT_EQ(m_pGrid->m_clicks[0], Cell(3, 4));
    // Pressed on the button and released elsewhere: no click.
    backend->MouseDown(1, ScreenPoint(3, 4));
    backend->ProcessMessages();
    backend->MouseUp(1, ScreenPoint(5, 1));
    backend->ProcessMessages();
    EXPECT_EQ(m_pGrid->m_clicks.size(), 1u);
    // Space on the current button.
    Click(1, 4);
    m_pGrid->m_clicks.clear();
    m_pGrid->RouteKeyMessage(nullptr, WM_CHAR, ' ', 1, 0);
    ASSERT_EQ(m_pGrid->m_clicks.size(), 1u);
    EXPECT_EQ(m_pGrid->m_clicks[0], Cell(1, 4));

    // The hot-spot cell: a click on its text starts an edit, a click on its button reports.
    m_pGrid->m_clicks.clear();
    Click(2, 5);
    auto* pHot = dynamic_cast<CGXHotSpotEdit*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pHot, nullptr);
    const CRect cell = m_pGrid->CalcCellRect(2, 5);
    Click(2, 5, cell.Width() - 5);
    ASSERT_EQ(m_pGrid->m_clicks.size(), 1u);
    EXPECT_EQ(m_pGrid->m_clicks[0], Cell(2, 5));
    EXPECT_TRUE(pHot->GetChild(0)->GetRect().PtInRect(CPoint(cell.right - 5, cell.top + 10)));
}

TEST_F(CellControlsTest, ADragPastTheBottomScrollsByItselfUntilTheButtonComesUp)
{
    m_pGrid->SetRowCount(60, 0);
    backend->MouseDown(1, ScreenPoint(2, 1));
    backend->ProcessMessages();
    CRect wnd;
    m_pGrid->GetWindowRect(&wnd);
    backend->MouseMove(POINT{wnd.left + 30, wnd.bottom + 40});
    backend->ProcessMessages();
    backend->Advance(600);
    const ROWCOL nTop = m_pGrid->GetTopRow();
    EXPECT_GT(nTop, 1u);
    backend->MouseUp(1, POINT{wnd.left + 30, wnd.bottom + 40});
    backend->ProcessMessages();
    backend->Advance(600);
    const ROWCOL nAfter = m_pGrid->GetTopRow();
    backend->Advance(600);
    EXPECT_EQ(m_pGrid->GetTopRow(), nAfter); // stopped with the button
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CellControlsTest, APendingEditIsStoredBeforeTheRowsAroundItChange)
{
    Click(3, 1);
    Type("abc");
    auto* pEdit = dynamic_cast<CGXEditControl*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pEdit, nullptr);
    ASSERT_TRUE(pEdit->IsActive());
    // Rows inserted above: the edit lands in its own cell first, then moves down with it.
    ASSERT_TRUE(m_pGrid->InsertRows(1, 2));
    EXPECT_STREQ(Stored(5, 1), "abc");
    EXPECT_STREQ(Stored(3, 1), "");
    EXPECT_EQ(Current(), Cell(5, 1));
    // F2 on an active edit stores it and ends the edit.
    Type("xy");
    ASSERT_TRUE(pEdit->IsActive());
    Key(VK_F2);
    EXPECT_FALSE(pEdit->IsActive());
    EXPECT_STREQ(Stored(5, 1), "xy");
    EXPECT_EQ(Current(), Cell(5, 1));
}

TEST_F(CellControlsTest, TheDropDownButtonTakesNewSystemColoursWhenTheGridHearsOfThem)
{
    ASSERT_TRUE(m_pGrid->SetCurrentCell(2, 3));
    ASSERT_NE(dynamic_cast<CGXComboBox*>(m_pGrid->GetCurrentCellControl()), nullptr);
    // The current cell shows its button; nothing else in it is drawn in the text colour.
    const auto countOf = [this](COLORREF color) {
        m_pGrid->Invalidate(FALSE);
        m_pGrid->UpdateWindow();
        const CRect rect = m_pGrid->CalcCellRect(2, 3);
        CClientDC dc(m_pGrid);
        int nCount = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                nCount += dc.GetPixel(x, y) == color;
        return nCount;
    };
    const int nIndex = COLOR_BTNTEXT;
    const COLORREF oldText = ::GetSysColor(nIndex);
    const COLORREF newText = RGB(200, 0, 40);
    ASSERT_GT(countOf(oldText), 0);
    ASSERT_EQ(countOf(newText), 0);

    ASSERT_TRUE(::SetSysColors(1, &nIndex, &newText));
    const int nBefore = countOf(newText);
    m_pGrid->SendMessage(WM_SYSCOLORCHANGE, 0, 0);
    const int nAfter = countOf(newText);
    ::SetSysColors(1, &nIndex, &oldText);
    m_pGrid->SendMessage(WM_SYSCOLORCHANGE, 0, 0);
    // The arrow was drawn in the old text colour until the change was announced, and in the new
    // one after it.
    EXPECT_GT(nAfter, nBefore);
    EXPECT_GT(countOf(oldText), 0);
    EXPECT_EQ(countOf(newText), 0);
}

TEST_F(CellControlsTest, OpeningACellsListKeepsTheGridActive)
{
    Click(4, 3);
    ASSERT_EQ(GetFocus(), m_pGrid->GetSafeHwnd());
    auto* pCombo = dynamic_cast<CGXComboBox*>(m_pGrid->GetCurrentCellControl());
    ASSERT_NE(pCombo, nullptr);
    m_pGrid->m_activations.clear();
    m_pGrid->SetFocusLost(FALSE);
    const CRect cell = m_pGrid->CalcCellRect(4, 3);
    Click(4, 3, cell.Width() - 5);
    ASSERT_TRUE(pCombo->IsDroppedDown());
    // The list has the focus now, but it is the cell's own: the grid noted the loss and was not
    // deactivated.
    EXPECT_NE(GetFocus(), m_pGrid->GetSafeHwnd());
    EXPECT_TRUE(m_pGrid->IsFocusLost());
    EXPECT_FALSE(m_pGrid->IsFocusChange());
    EXPECT_TRUE(m_pGrid->m_activations.empty());
    EXPECT_EQ(GXGetAppData()->m_pActiveGrid, m_pGrid);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(pCombo->IsDroppedDown());
    CString sText;
    pCombo->GetCurrentText(sText);
    EXPECT_STREQ(sText, "Green");
    EXPECT_TRUE(m_pGrid->m_activations.empty());
}
