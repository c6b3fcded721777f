// The grid's date and currency cells as a user meets them on the X11 backend under Xvfb: real
// clicks from another X client make the current cell edit, the field or character under the
// click taking the caret, the buttons of the current date cell working before it edits; the
// editors show the cell's font, colours and vertical place on the screen; Replace All, from
// the Replace dialog filled in with real keys and clicks, reaches the currency cells; and the
// currency cell reached by keys edits at once where the grid asks it to, with the clipboard
// keys going through the cell (a cut taking the value out of it, for Undo to give back), what
// is typed reaching the grid too, and Alt+Up lending its editor the focus.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXFont.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridFindReplaceImp.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/CommonDialog.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/WinUser.h"
#include "toolkit/datetime/cells/CGXCurrencyEdit.h"
#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

// Long enough for a loaded machine running the address sanitizer.
constexpr int kWait = 60000;

COLORREF CellsRgb(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

bool IsDark(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 0x70;
}

// A grid that keeps the characters its own key processing receives.
class CharRecordingGrid : public CGXGridWnd {
public:
    BOOL OnGridChar(UINT nChar, UINT nRepCnt, UINT nFlags) override
    {
        chars += static_cast<char>(nChar);
        return CGXGridWnd::OnGridChar(nChar, nRepCnt, nFlags);
    }
    std::string chars;
};

class X11GridCellsTest : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
        SetTestFontMode(false);
        RegisterStandardControls();
        COleDateTime today(2024, 3, 15, 9, 0, 0);
        DTSetCurrentTimeForTesting(&today);
        InitGridLibrary(new CGXControlFactory);
        started = true;
        ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Cells", WS_POPUP | WS_VISIBLE, 40, 40, 520, 260, nullptr, nullptr));
        auto recording = std::make_unique<CharRecordingGrid>();
        typed = &recording->chars;
        grid = std::move(recording);
        ASSERT_TRUE(grid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 520, 260),
                                   &frame, 100));
        grid->Initialize();
        grid->GetParam()->EnableUndo(FALSE);
        grid->SetRowCount(5, 0);
        grid->SetColCount(3, 0);
        grid->StoreDefaultColWidth(160);
        grid->StoreDefaultRowHeight(40);
        CGXGridFindReplaceImp::Install(grid.get());
    }
    void TearDown() override
    {
        if (grid && grid->GetSafeHwnd())
            grid->DestroyWindow();
        grid.reset();
        if (frame.GetSafeHwnd())
            frame.DestroyWindow();
        if (started) {
            TerminateGridLibrary();
            DTSetCurrentTimeForTesting(nullptr);
        }
        X11Test::TearDown();
    }
    void SetCell(ROWCOL row, ROWCOL col, const CGXStyle& style)
    {
        ASSERT_TRUE(grid->ApplyStyleToRange(CGXRange(row, col, row, col), &style, gxOverride, 0, nullptr, 0, gxDo));
    }
    CRect ScreenCell(ROWCOL row, ROWCOL col)
    {
        CRect rc = grid->CalcCellRect(row, col);
        grid->ClientToScreen(&rc);
        return rc;
    }
    bool IsCurrent(ROWCOL row, ROWCOL col)
    {
        ROWCOL r = 0, c = 0;
        return grid->GetCurrentCell(r, c) && r == row && c == col;
    }
    bool Click(CPoint at) { return ClickOnScreen(at.x, at.y); }
    bool DoubleClick(CPoint at)
    {
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 60 xdotool mousemove " +
                                    std::to_string(at.x) + " " + std::to_string(at.y) +
                                    " click --repeat 2 --delay 60 1 >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    // Waits until the screen shows what the check looks for; the last shot stays for the asserts.
    bool ScreenUntil(const std::function<bool(cairo_surface_t*)>& check, const char* name)
    {
        const bool ok = PumpUntil(
            [&] {
                backend->Sync();
                if (shot)
                    cairo_surface_destroy(shot);
                shot = Screenshot(server->DisplayName());
                return shot != nullptr && check(shot);
            },
            kWait);
        if (shot && keep)
            cairo_surface_write_to_png(shot, (std::string(keep) + "/" + name + ".png").c_str());
        return ok;
    }
    // The height of the dark pixels (the text's ink) inside a screen rectangle of the last shot.
    int InkHeight(const CRect& rc)
    {
        int top = -1, bottom = -1;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                if (IsDark(PixelAt(shot, x, y))) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
        return top < 0 ? 0 : bottom - top + 1;
    }
    int Count(const CRect& rc, const std::function<bool(uint32_t)>& match)
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += match(PixelAt(shot, x, y)) ? 1 : 0;
        return n;
    }

    // A key with a modifier held around it, as a user types it.
    void SendKeyHolding(KeySym modifier, unsigned int mask, KeySym key)
    {
        SendKeyEvent(frame.m_hWnd, modifier, 0, KeyPress);
        SendKey(frame.m_hWnd, key, mask);
        SendKeyEvent(frame.m_hWnd, modifier, mask, KeyRelease);
    }
    // The grid shown, with the keyboard focus and its current cell at (row, col).
    ::testing::AssertionResult FocusedAt(ROWCOL row, ROWCOL col)
    {
        if (!PumpUntil([&] { return frame.IsWindowVisible() != FALSE; }, kWait))
            return ::testing::AssertionFailure() << "the frame is not shown";
        grid->SetFocus();
        if (!grid->SetCurrentCell(row, col) || !PumpUntil([&] { return ::GetFocus() == grid->m_hWnd; }, kWait))
            return ::testing::AssertionFailure() << "the grid has no focus at (" << row << "," << col << ")";
        return ::testing::AssertionSuccess();
    }
    CGXCurrencyEdit* CurrencyCell()
    {
        return dynamic_cast<CGXCurrencyEdit*>(grid->GetControlById(static_cast<WORD>(GX_IDS_CTRL_CURRENCY)));
    }
    // Home, then Shift+End: the whole text of an editor selected.
    void SelectAllByKeys()
    {
        SendKey(frame.m_hWnd, XK_Home);
        SendKeyHolding(XK_Shift_L, ShiftMask, XK_End);
    }

    CWnd frame;
    std::unique_ptr<CGXGridWnd> grid;
    std::string* typed = nullptr;   // what the grid's own key processing received
    cairo_surface_t* shot = nullptr;
    const char* keep = nullptr;
    bool started = false;   // the grid library was started

    ~X11GridCellsTest() override
    {
        if (shot)
            cairo_surface_destroy(shot);
    }
};

} // namespace

TEST_F(X11GridCellsTest, AClickOnTheCurrentDateCellEditsTheFieldUnderItAndItsButtonsWork)
{
    CGXStyle date;
    date.SetControl(static_cast<WORD>(GX_IDS_CTRL_DATETIME))
        .SetValue("2024-03-05")
        .SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, CString("yyyy/MM/dd"));
    date.SetFont(CGXFont().SetSize(20));
    SetCell(1, 1, date);
    SetCell(2, 1, date);
    auto* cell = dynamic_cast<CGXDateTimeCtrl*>(grid->GetControlById(static_cast<WORD>(GX_IDS_CTRL_DATETIME)));
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return frame.IsWindowVisible() != FALSE; }, kWait)) << "the frame is shown";
    grid->SetFocus();

    // The first click makes the cell current; it waits there with its spin and drop-down buttons.
    const CRect first = ScreenCell(1, 1);
    ASSERT_TRUE(Click(CPoint(first.left + 30, first.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(1, 1); }, kWait)) << "the click made (1,1) current";
    EXPECT_FALSE(cell->IsActive()) << "a click on another cell only moves there";
    const COLORREF face = CellsRgb(GXGetSysData()->GetColor(COLOR_BTNFACE));
    // The drop-down button at the right edge, the spin left of it.
    const CPoint dropAt(first.right - 8, first.top + 6);
    const CPoint spinAt(first.right - 24, first.top + 6);
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t* s) { return PixelAt(s, spinAt.x, spinAt.y) == face; }, "datecell-current"))
        << "the spin button at the right of the current cell";
    EXPECT_EQ(PixelAt(shot, dropAt.x, dropAt.y), face) << "the drop-down button beside it";
    const CRect second = ScreenCell(2, 1);
    EXPECT_EQ(PixelAt(shot, second.right - 24, second.top + 6), 0xFFFFFFu) << "other cells have no buttons";

    // A second click on the month edits the cell with the month current.
    const CPoint monthAt(first.left + 70, first.CenterPoint().y);
    ASSERT_TRUE(Click(monthAt));
    ASSERT_TRUE(PumpUntil([&] { return cell->IsActive() != FALSE; }, kWait)) << "the second click activated the cell";
    CGXDateTimeCtrl::Window& wnd = cell->GetWindow();
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == wnd.m_hWnd; }, kWait)) << "the editor has the focus";
    CRect editor;
    wnd.GetWindowRect(&editor);
    const CRect field = wnd.GetCurrentGadget()->m_rect;
    EXPECT_NE(wnd.GetCurrentField(), wnd.FirstEditableField()) << "not the year";
    EXPECT_GE(monthAt.x - editor.left + wnd.GetScrollOffset(), field.left);
    EXPECT_LT(monthAt.x - editor.left + wnd.GetScrollOffset(), field.right) << "the field under the click";
    // It shows the date in the cell's font: twenty points, not the small dialog font.
    EXPECT_NE(wnd.SendMessage(WM_GETFONT), 0);
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t*) { return InkHeight(editor) >= 15; }, "datecell-editing"))
        << "the editor's digits are as tall as the cell's font makes them";

    // On the next cell, made current, a click on the spin's upper half activates the cell and
    // counts the year up.
    ASSERT_TRUE(Click(CPoint(second.left + 30, second.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(2, 1); }, kWait)) << "(2,1) became current";
    EXPECT_EQ(grid->GetStoredCellValue(1, 1), CString("2024-03-05")) << "nothing was changed in (1,1)";
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t* s) { return PixelAt(s, second.right - 24, second.top + 6) == face; },
                            "datecell-second"));
    ASSERT_TRUE(Click(CPoint(second.right - 24, second.top + 6)));
    ASSERT_TRUE(PumpUntil([&] { return cell->IsActive() && wnd.GetDateTime().GetYear() == 2025; }, kWait))
        << "the spin counted the year up";
    // And a click on the drop-down button of a current cell opens the calendar.
    ASSERT_TRUE(Click(CPoint(first.left + 30, first.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(1, 1) && !cell->IsActive(); }, kWait)) << "(1,1) current again";
    EXPECT_EQ(grid->GetStoredCellValue(2, 1), CString("3/5/2025")) << "leaving (2,1) stored its new year";
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t* s) { return PixelAt(s, dropAt.x, dropAt.y) == face; }, "datecell-back"));
    ASSERT_TRUE(Click(dropAt));
    ASSERT_TRUE(PumpUntil([&] { return wnd.GetPopupCalendar() && wnd.GetPopupCalendar()->IsWindowVisible(); }, kWait))
        << "the calendar dropped down";
    EXPECT_TRUE(cell->IsActive());
    wnd.GetPopupCalendar()->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&] { return wnd.GetPopupCalendar() == nullptr; }, kWait));
}

TEST_F(X11GridCellsTest, AClickOnTheCurrentCurrencyCellEditsInTheCellsFontColoursAndPlace)
{
    CGXStyle money;
    money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY))
        .SetValue("1234.5")
        .SetInterior(RGB(255, 255, 0))
        .SetTextColor(RGB(0, 0, 160))
        .SetVerticalAlignment(1)
        .SetUserAttribute(GX_IDS_UA_CURRENCYDEF, CString("1101"));
    money.SetFont(CGXFont().SetSize(14));
    SetCell(1, 2, money);
    SetCell(2, 2, money);
    auto* cell = dynamic_cast<CGXCurrencyEdit*>(grid->GetControlById(static_cast<WORD>(GX_IDS_CTRL_CURRENCY)));
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return frame.IsWindowVisible() != FALSE; }, kWait)) << "the frame is shown";
    grid->SetFocus();

    const CRect first = ScreenCell(1, 2);
    ASSERT_TRUE(Click(CPoint(first.left + 20, first.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(1, 2); }, kWait)) << "the click made (1,2) current";
    EXPECT_FALSE(cell->IsActive());
    ASSERT_TRUE(Click(CPoint(first.left + 40, first.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return cell->IsActive() != FALSE; }, kWait)) << "the second click activated the cell";
    CGXCurrencyEdit::Window& wnd = cell->GetWindow();
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == wnd.m_hWnd; }, kWait)) << "the editor has the focus";
    EXPECT_GT(wnd.GetCaret(), 0) << "the caret at the character clicked";

    // The cell's font, answered to WM_GETFONT; one line high, centred in the tall cell.
    const HFONT font = reinterpret_cast<HFONT>(wnd.SendMessage(WM_GETFONT));
    ASSERT_NE(font, nullptr);
    LOGFONT lf{};
    ASSERT_GT(::GetObject(font, sizeof lf, &lf), 0);
    EXPECT_GE(std::abs(lf.lfHeight), 17) << "fourteen points";
    CRect editor;
    wnd.GetWindowRect(&editor);
    EXPECT_GT(editor.top, first.top + 3) << "moved down to the middle";
    EXPECT_LT(editor.bottom, first.bottom - 3);
    EXPECT_NEAR(editor.CenterPoint().y, first.CenterPoint().y, 2);
    // On the screen: the cell's yellow behind the text, and the text in the cell's blue.
    const uint32_t yellow = 0xFFFF00u;
    CRect inner = editor;
    inner.DeflateRect(2, 2);
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t*) { return Count(inner, [&](uint32_t p) { return p == yellow; }) > inner.Width(); },
                            "currencycell-editing"))
        << "the editor's background is the cell's colour";
    const int blue = Count(inner, [](uint32_t p) { return (p & 0xFF) > 0x60 && ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60; });
    EXPECT_GT(blue, 30) << "the text is the cell's blue";

    // A double click on another currency cell edits it at once, with its whole text selected.
    const CRect second = ScreenCell(2, 2);
    ASSERT_TRUE(DoubleClick(CPoint(second.left + 40, second.CenterPoint().y)));
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(2, 2) && cell->IsActive(); }, kWait)) << "the double click edits (2,2)";
    CString selected;
    EXPECT_TRUE(cell->GetSelectedText(selected));
    EXPECT_STREQ(selected, "$1,234.50");
}

TEST_F(X11GridCellsTest, ReplaceAllFromTheReplaceDialogReachesTheCurrencyCells)
{
    CGXStyle money;
    money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY));
    for (auto [row, value] : {std::pair<ROWCOL, const char*>{1, "1234.5"}, {2, "234"}, {3, "17"}}) {
        money.SetValue(value);
        SetCell(row, 1, money);
    }
    ASSERT_TRUE(PumpUntil([&] { return frame.IsWindowVisible() != FALSE; }, kWait)) << "the frame is shown";
    grid->SetFocus();
    ASSERT_TRUE(grid->SetCurrentCell(1, 1));
    // Edit > Replace.
    grid->ShowFindReplaceDialog(FALSE);
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        dialog = ::FindWindow(nullptr, "Replace");
        return dialog != nullptr && ::IsWindowVisible(dialog);
    }, kWait)) << "the Replace dialog opened";
    const HWND what = ::GetDlgItem(dialog, edt1);
    const HWND with = ::GetDlgItem(dialog, edt2);
    const HWND all = ::GetDlgItem(dialog, psh2);
    ASSERT_TRUE(what && with && all);
    auto centre = [](HWND hwnd) {
        RECT r;
        ::GetWindowRect(hwnd, &r);
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    ASSERT_TRUE(Click(centre(what)));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == what; }, kWait)) << "the find box has the focus";
    ::SetWindowText(what, "");   // it proposes the current cell's text
    for (KeySym key : {XK_2, XK_3, XK_4})
        SendKey(dialog, key);
    ASSERT_TRUE(PumpUntil([&] { return ::GetWindowTextLength(what) == 3; }, kWait)) << "234 typed";
    ASSERT_TRUE(Click(centre(with)));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == with; }, kWait)) << "the replace box has the focus";
    // The dialog proposes the last replacement; this user replaces it.
    ::SetWindowText(with, "");
    for (KeySym key : {XK_9, XK_9, XK_9})
        SendKey(dialog, key);
    ASSERT_TRUE(PumpUntil([&] { return ::GetWindowTextLength(with) == 3; }, kWait)) << "999 typed";
    ASSERT_TRUE(Click(centre(all)));
    ASSERT_TRUE(PumpUntil([&] { return grid->GetStoredCellValue(2, 1) == CString("999.00"); }, kWait))
        << "Replace All reached the currency cells";
    EXPECT_STREQ(grid->GetStoredCellValue(1, 1), "1999.50");
    EXPECT_STREQ(grid->GetStoredCellValue(3, 1), "17");
    ::SendMessage(dialog, WM_CLOSE, 0, 0);
}

TEST_F(X11GridCellsTest, TheCurrencyCellReachedByKeysEditsAtOnceWithTheClipboardKeysThroughTheCell)
{
    // This grid edits its current cell as soon as it is reached.
    grid->GetParam()->m_dwActivateFlags |= 0x04;
    CGXStyle money;
    money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY)).SetValue("1234.5");
    SetCell(1, 2, money);
    CGXCurrencyEdit* cell = CurrencyCell();
    ASSERT_NE(cell, nullptr);
    CGXCurrencyEdit::Window& wnd = cell->GetWindow();
    ASSERT_TRUE(FocusedAt(1, 1));

    SendKey(frame.m_hWnd, XK_Right);
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(1, 2) && cell->IsActive() && ::GetFocus() == wnd.m_hWnd; }, kWait))
        << "the cell reached edits at once";
    const CRect place = ScreenCell(1, 2);
    ASSERT_TRUE(ScreenUntil([&](cairo_surface_t*) { return Count(place, [](uint32_t p) { return IsDark(p); }) > 20; },
                            "currencycell-reached"))
        << "the editor shows the value";

    // Ctrl+C copies what the editor has selected: all of it, as it was reached.
    ASSERT_TRUE(clipboard_text::Put(frame.m_hWnd, "nothing yet"));
    SendKeyHolding(XK_Control_L, ControlMask, XK_c);
    ASSERT_TRUE(PumpUntil([&] { return clipboard_text::Get(frame.m_hWnd) == "$1,234.50"; }, kWait)) << "Ctrl+C copied";

    // A digit typed takes the selection's place, and the grid's key processing hears it too.
    SendKey(frame.m_hWnd, XK_7);
    ASSERT_TRUE(PumpUntil([&] { return wnd.GetText() == CString("$7.00"); }, kWait)) << "7 typed";
    EXPECT_EQ(*typed, "7");

    // Shift+Insert pastes through the cell.
    ASSERT_TRUE(clipboard_text::Put(frame.m_hWnd, "-42.5"));
    SelectAllByKeys();
    SendKeyHolding(XK_Shift_L, ShiftMask, XK_Insert);
    ASSERT_TRUE(PumpUntil([&] { return cell->GetValueText() == CString("-42.50"); }, kWait)) << "Shift+Insert pasted";

    // Ctrl+X cuts the selection: the clipboard has it and the cell holds nothing (zero) any
    // more; Ctrl+Z in the cell gives it back. Ctrl+V then pastes once.
    SelectAllByKeys();
    const CString shown = wnd.GetText();
    SendKeyHolding(XK_Control_L, ControlMask, XK_x);
    ASSERT_TRUE(PumpUntil([&] { return clipboard_text::Get(frame.m_hWnd) == std::string(shown); }, kWait)) << "Ctrl+X copied";
    ASSERT_TRUE(Drained()) << "what the keys sent has been handled";
    EXPECT_STREQ(cell->GetValueText(), "0.00") << "Ctrl+X left the cell's value";
    EXPECT_STREQ(wnd.GetText(), "$0.00");
    SendKeyHolding(XK_Control_L, ControlMask, XK_z);
    ASSERT_TRUE(PumpUntil([&] { return cell->GetValueText() == CString("-42.50"); }, kWait)) << "Ctrl+Z did not give the value back";
    EXPECT_EQ(wnd.GetText(), shown);
    ASSERT_TRUE(clipboard_text::Put(frame.m_hWnd, "3"));
    SelectAllByKeys();
    SendKeyHolding(XK_Control_L, ControlMask, XK_v);
    ASSERT_TRUE(PumpUntil([&] { return cell->GetValueText() == CString("3.00"); }, kWait)) << "Ctrl+V pasted";
    ASSERT_TRUE(Drained()) << "what the keys sent has been handled";
    EXPECT_STREQ(cell->GetValueText(), "3.00") << "pasted once";
    EXPECT_EQ(*typed, "7") << "no control character reached the grid";

    // Enter stores what the editor shows.
    SendKey(frame.m_hWnd, XK_Return);
    ASSERT_TRUE(PumpUntil([&] { return grid->GetStoredCellValue(1, 2) == CString("3.00"); }, kWait)) << "stored";
}

TEST_F(X11GridCellsTest, AltUpLendsTheCurrencyEditorTheFocusAndTheNextKeyGoesBackToTheGrid)
{
    CGXStyle money;
    money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY)).SetValue("5");
    SetCell(1, 2, money);
    SetCell(2, 2, money);
    CGXCurrencyEdit* cell = CurrencyCell();
    ASSERT_NE(cell, nullptr);
    CGXCurrencyEdit::Window& wnd = cell->GetWindow();
    ASSERT_TRUE(FocusedAt(1, 2));
    EXPECT_FALSE(cell->IsActive());

    SendKeyHolding(XK_Alt_L, Mod1Mask, XK_Up);
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == wnd.m_hWnd; }, kWait)) << "Alt+Up gave the editor the focus";
    EXPECT_FALSE(cell->IsActive()) << "without starting an edit";
    EXPECT_TRUE(IsCurrent(1, 2));

    // The next key is the grid's: it moves the current cell, and the grid has the focus again.
    SendKey(frame.m_hWnd, XK_Down);
    ASSERT_TRUE(PumpUntil([&] { return IsCurrent(2, 2) && ::GetFocus() == grid->m_hWnd; }, kWait))
        << "Down moved down from the grid";
    EXPECT_STREQ(grid->GetStoredCellValue(1, 2), "5");
}
