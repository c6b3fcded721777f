// The Date dialog's two widgets on the X11 backend under Xvfb: a month calendar and a spin
// date control with its drop-down calendar. The pop-up opens under the control, a click in the
// dialog outside it closes it without taking a value, and the screen shows the calendar's
// caption, the highlighted day and the fields where the widgets say they are.
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/controls/StandardControls.h"
#include "toolkit/datetime/cells/CGXCurrencyEdit.h"
#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"
#include "toolkit/datetime/wnd/CGXBCalculator.h"
#include "toolkit/datetime/wnd/CGXBCurrencyEdit.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/res/DateTimeRes.h"
#include "toolkit/datetime/wnd/SECCalendar.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "tests/platform/win/X11TestFixture.h"

namespace {

cairo_status_t ReadFromString(void* closure, unsigned char* data, unsigned int length)
{
    auto* source = static_cast<std::pair<const std::string*, size_t>*>(closure);
    if (source->second + length > source->first->size())
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, source->first->data() + source->second, length);
    source->second += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* Screenshot(const std::string& display)
{
    const std::string command = "xwd -root -silent -display " + display + " | convert xwd:- png:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return nullptr;
    std::string png;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        png.append(buffer, got);
    if (pclose(pipe) != 0 || png.empty())
        return nullptr;
    std::pair<const std::string*, size_t> source{&png, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadFromString, &source);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

uint32_t PixelAt(cairo_surface_t* s, POINT pt)
{
    const uint8_t* row =
        cairo_image_surface_get_data(s) + static_cast<size_t>(pt.y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[pt.x] & 0xFFFFFF;
}

COLORREF DateTimeRgb(COLORREF c)
{
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// A dialog-like window that hands its children a dialog font.
class DateDialog : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GETFONT)
            return reinterpret_cast<LRESULT>(font.GetSafeHandle());
        if (message == WM_ERASEBKGND) {
            CRect rc;
            GetClientRect(&rc);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rc, ::GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    CFont font;
};

class X11DateTimeTest : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void ClickAt(HWND top, POINT screen)
    {
        for (int type : {ButtonPress, ButtonRelease}) {
            XEvent event{};
            XButtonEvent& b = event.xbutton;
            b.type = type;
            b.display = other;
            b.window = backend->XWindowOf(top);
            b.root = DefaultRootWindow(other);
            b.time = ++time;
            RECT r;
            GetWindowRect(top, &r);
            b.x_root = screen.x;
            b.y_root = screen.y;
            b.x = screen.x - r.left;
            b.y = screen.y - r.top;
            b.state = type == ButtonRelease ? Button1Mask : 0;
            b.button = Button1;
            b.same_screen = True;
            XSendEvent(other, b.window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
            XFlush(other);
        }
    }
    Time time = 1000;
};

} // namespace

TEST_F(X11DateTimeTest, TheDateDialogsCalendarAndDropDownLookRightAndAClickOutsideTakesNothing)
{
    RegisterStandardControls();
    SetTestFontMode(false);
    COleDateTime today(2024, 3, 15, 9, 0, 0);
    DTSetCurrentTimeForTesting(&today);
    DateDialog dialog;
    dialog.font.CreatePointFont(80, "MS Shell Dlg");
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Date", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, 300, 330,
                                nullptr, nullptr));
    CWnd placeholder;
    ASSERT_TRUE(placeholder.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 12, 240, 140, 22, dialog.m_hWnd,
                                     reinterpret_cast<HMENU>(153)));
    // As the dialog makes them: the calendar with the default flags, the spin date control
    // over the placeholder item 153, with the custom picture.
    SECCalendar calendar;
    calendar.SetBehavior(0x39C000);
    calendar.SetDrawStyle(0x1000017F);
    calendar.SelectDate(COleDateTime(2024, 3, 5, 0, 0, 0), FALSE);
    ASSERT_TRUE(calendar.Create(WS_VISIBLE | WS_BORDER, CRect(12, 12, 282, 222), &dialog, 1001));
    calendar.HighlightDate(COleDateTime(2024, 3, 5, 0, 0, 0), TRUE);
    SECDateTimeCtrl ctrl;
    ctrl.SetCustomFormat("yyyy/MM/dd");
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 0, 0, 0));
    ASSERT_TRUE(ctrl.AttachToDlgItem(153, &dialog, SEC_DTS_UPDOWN | SEC_DTS_CALENDAR, WS_CHILD | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE));
    EXPECT_EQ(ctrl.GetDlgCtrlID(), 153);
    ctrl.SetFocus();
    ASSERT_TRUE(Settle()) << "the windows never settled";
    ctrl.SendMessage(WM_KEYDOWN, VK_F4, 0);
    ASSERT_TRUE(PumpUntil([&] { return ctrl.GetPopupCalendar() && ctrl.GetPopupCalendar()->IsWindowVisible(); }));
    ASSERT_TRUE(Settle()) << "the windows never settled";
    CRect popup, field;
    ctrl.GetPopupCalendar()->GetWindowRect(&popup);
    ctrl.GetWindowRect(&field);
    EXPECT_EQ(popup.top, field.bottom);
    EXPECT_EQ(popup.left, field.left);

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        cairo_surface_write_to_png(shot, (std::string(keep) + "/datetime.png").c_str());
    // The calendar's caption band, its highlighted day's bevel, and the pop-up's highlighted day.
    POINT caption{8, 3};
    ::ClientToScreen(calendar.m_hWnd, &caption);
    EXPECT_EQ(PixelAt(shot, caption), DateTimeRgb(::GetSysColor(COLOR_ACTIVECAPTION)));
    SECDayBox* day = calendar.GetHighlightedDayBox();
    ASSERT_NE(day, nullptr);
    POINT bevel{day->GetRect().right - 1, day->GetRect().bottom - 1};
    ::ClientToScreen(calendar.m_hWnd, &bevel);
    EXPECT_EQ(PixelAt(shot, bevel), DateTimeRgb(::GetSysColor(COLOR_BTNHIGHLIGHT))) << "a pressed cell's light edge";
    cairo_surface_destroy(shot);

    // A click in the dialog outside the pop-up closes it; the value stays.
    POINT outside{250, 300};
    ::ClientToScreen(dialog.m_hWnd, &outside);
    ClickAt(dialog.m_hWnd, outside);
    EXPECT_TRUE(PumpUntil([&] { return ctrl.GetPopupCalendar() == nullptr; }));
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 5, 0, 0, 0));

    // So does a click on the desktop, away from every window of the program, after a day was
    // moved to; the pointer is free again afterwards.
    {
        ctrl.SetFocus();
        ctrl.SendMessage(WM_KEYDOWN, VK_F4, 0);
        ASSERT_TRUE(PumpUntil([&] { return ctrl.GetPopupCalendar() && ctrl.GetPopupCalendar()->IsWindowVisible(); }));
        ctrl.GetPopupCalendar()->SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
        ASSERT_TRUE(Settle()) << "the windows never settled";
        ASSERT_TRUE(ClickOnScreen(800, 600));
        EXPECT_TRUE(PumpUntil([&] { return ctrl.GetPopupCalendar() == nullptr; }));
        EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 5, 0, 0, 0));
        EXPECT_TRUE(PointerFree());
    }
    ctrl.DestroyWindow();
    calendar.DestroyWindow();
    dialog.DestroyWindow();
    DTSetCurrentTimeForTesting(nullptr);
}

TEST_F(X11DateTimeTest, TheCurrencyEditsCalculatorLooksRightAndAClickOutsideKeepsTheValue)
{
    RegisterStandardControls();
    SetTestFontMode(false);
    DateDialog dialog;
    dialog.font.CreatePointFont(80, "MS Shell Dlg");
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Amount", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN,
                                60, 60, 300, 260, nullptr, nullptr));
    CGXBCurrencyEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(12, 12, 180, 34), &dialog, 21));
    edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(dialog.font.GetSafeHandle()), TRUE);
    edit.SetButtonBitmap(GX_IDB_CALCBUTTON);
    edit.SetValue(-1234.5);
    edit.SetFocus();
    ASSERT_TRUE(Settle()) << "the windows never settled";
    edit.SendMessage(WM_KEYDOWN, VK_F4, 0);
    CGXBPopupCalculator* calc = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        calc = dynamic_cast<CGXBPopupCalculator*>(CWnd::FromHandlePermanent(::GetFocus()));
        return calc != nullptr && calc->IsWindowVisible();
    }));
    ASSERT_TRUE(Settle()) << "the windows never settled";
    CRect popup, field;
    calc->GetWindowRect(&popup);
    edit.GetWindowRect(&field);
    EXPECT_EQ(popup.top, field.bottom);
    EXPECT_EQ(popup.left, field.left);
    EXPECT_STREQ(calc->GetDisplayText(), "-1234.5");

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        cairo_surface_write_to_png(shot, (std::string(keep) + "/calculator.png").c_str());
    // The display's white inside and a button's face.
    const CRect display = calc->GetDisplayRect();
    POINT inDisplay{display.left + 4, display.CenterPoint().y};
    ::ClientToScreen(calc->m_hWnd, &inDisplay);
    EXPECT_EQ(PixelAt(shot, inDisplay), DateTimeRgb(::GetSysColor(COLOR_WINDOW)));
    const CRect seven = calc->FindButton(GXCALC_DIGIT0 + 7)->m_rect;
    POINT face{seven.left + 4, seven.top + 4};
    ::ClientToScreen(calc->m_hWnd, &face);
    EXPECT_EQ(PixelAt(shot, face), DateTimeRgb(::GetSysColor(COLOR_BTNFACE)));
    cairo_surface_destroy(shot);

    // A click in the dialog outside the pop-up closes it; the edit keeps its value.
    const HWND hwnd = calc->m_hWnd;
    POINT outside{250, 200};
    ::ClientToScreen(dialog.m_hWnd, &outside);
    ClickAt(dialog.m_hWnd, outside);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hwnd); }));
    double value = 0;
    edit.GetValue(value);
    EXPECT_DOUBLE_EQ(value, -1234.5);

    // So does a click on the desktop after a sum was typed; the pointer is free again.
    {
        edit.SetFocus();
        edit.SendMessage(WM_KEYDOWN, VK_F4, 0);
        ASSERT_TRUE(PumpUntil([&] {
            calc = dynamic_cast<CGXBPopupCalculator*>(CWnd::FromHandlePermanent(::GetFocus()));
            return calc != nullptr && calc->IsWindowVisible();
        }));
        const HWND again = calc->m_hWnd;
        calc->SendMessage(WM_CHAR, '+', 0);
        calc->SendMessage(WM_CHAR, '1', 0);
        ASSERT_TRUE(Settle()) << "the windows never settled";
        ASSERT_TRUE(ClickOnScreen(800, 600));
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(again); }));
        edit.GetValue(value);
        EXPECT_DOUBLE_EQ(value, -1234.5);
        EXPECT_TRUE(PointerFree());
    }
    edit.DestroyWindow();
    dialog.DestroyWindow();
}

TEST_F(X11DateTimeTest, AGridOfDateAndCurrencyCellsDrawsItsValuesFormatted)
{
    RegisterStandardControls();
    SetTestFontMode(false);
    COleDateTime today(2024, 3, 15, 9, 0, 0);
    DTSetCurrentTimeForTesting(&today);
    InitGridLibrary(new CGXControlFactory);
    {
        DateDialog frame;
        frame.font.CreatePointFont(80, "MS Shell Dlg");
        ASSERT_TRUE(frame.CreateEx(0, nullptr, "Cells", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60,
                                   430, 230, nullptr, nullptr));
        CGXGridWnd grid;
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 420, 200), &frame, 1));
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(6, 0);
        grid.SetColCount(3, 0);
        grid.StoreDefaultColWidth(120);
        const char* dates[] = {"36526", "2024-03-05", "", "45000.75", "1999-12-31"};
        const char* amounts[] = {"-1234.5", "0.5", "1000000", "", "42"};
        for (ROWCOL r = 1; r <= 5; ++r) {
            CGXStyle date, money;
            date.SetControl(static_cast<WORD>(GX_IDS_CTRL_DATETIME));
            date.SetValue(dates[r - 1]);
            if (r == 4)
                date.SetUserAttribute(GX_IDS_UA_CUSTOMFORMAT, CString("yyyy/MM/dd HH:mm"));
            money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY));
            money.SetValue(amounts[r - 1]);
            grid.ApplyStyleToRange(CGXRange(r, 1, r, 1), &date, gxOverride, 0, nullptr, 0, gxDo);
            grid.ApplyStyleToRange(CGXRange(r, 2, r, 2), &money, gxOverride, 0, nullptr, 0, gxDo);
        }
        // The last row holds, as plain text, what the first row must show.
        grid.SetValueRange(CGXRange(6, 1, 6, 1), "1/1/2000", gxOverride, 0, 0);
        grid.SetValueRange(CGXRange(6, 2, 6, 2), "($1,234.50)", gxOverride, 0, 0);
        grid.Redraw(GX_INVALIDATE, FALSE);
        ASSERT_TRUE(Settle()) << "the windows never settled";
        auto* cell = dynamic_cast<CGXCurrencyEdit*>(grid.GetControlById(static_cast<WORD>(GX_IDS_CTRL_CURRENCY)));
        ASSERT_NE(cell, nullptr);
        CGXStyle composed;
        grid.ComposeCellStyle(1, 2, composed);
        CString text;
        cell->GetControlText(text, 1, 2, nullptr, composed);
        EXPECT_STREQ(text, "($1,234.50)");
        // The date and currency cells of the first row draw exactly what the plain cells below
        // them draw: the values in their formats, text pixel for text pixel.
        auto cellPixels = [&](cairo_surface_t* s, ROWCOL r, ROWCOL c) {
            CRect rc = grid.CalcCellRect(r, c);
            grid.ClientToScreen(&rc);
            rc.DeflateRect(2, 2);
            std::vector<uint32_t> pixels;
            for (int y = rc.top; y < rc.bottom; ++y)
                for (int x = rc.left; x < rc.right; ++x)
                    pixels.push_back(PixelAt(s, POINT{x, y}));
            return pixels;
        };
        auto inked = [](const std::vector<uint32_t>& pixels) {
            return std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return (p & 0xFF) < 0x60; });
        };
        cairo_surface_t* shot = nullptr;
        const bool drawn = PumpUntil(
            [&] {
                if (shot)
                    cairo_surface_destroy(shot);
                backend->Sync();
                shot = Screenshot(server->DisplayName());
                return shot != nullptr && inked(cellPixels(shot, 1, 1)) > 0 && inked(cellPixels(shot, 6, 2)) > 0;
            },
            60000);
        ASSERT_TRUE(drawn) << "the cells were drawn";
        if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
            cairo_surface_write_to_png(shot, (std::string(keep) + "/cells.png").c_str());
        for (ROWCOL c : {ROWCOL(1), ROWCOL(2)}) {
            const std::vector<uint32_t> shown = cellPixels(shot, 1, c);
            EXPECT_GT(inked(shown), 20) << "text in column " << c;
            EXPECT_TRUE(shown == cellPixels(shot, 6, c)) << "column " << c << " shows its value formatted";
        }
        cairo_surface_destroy(shot);
        grid.DestroyWindow();
        frame.DestroyWindow();
    }
    TerminateGridLibrary();
    DTSetCurrentTimeForTesting(nullptr);
}

// Page Down and Page Up move the highlighted day a month on and back, keeping its number, cut
// to the month's last day, as Ctrl+Page Down keeps it a year on; the dotted frame of the keys
// goes with the day, and the day it left is drawn without it.
TEST_F(X11DateTimeTest, PageDownAndPageUpKeepTheDayAndTheFrameGoesWithIt)
{
    RegisterStandardControls();
    // Screenshots kept for a person to look at are drawn in the real fonts.
    if (std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        SetTestFontMode(false);
    DateDialog dialog;
    dialog.font.CreatePointFont(80, "MS Shell Dlg");
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "Date", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | WS_CLIPCHILDREN, 60, 60, 300,
                                260, nullptr, nullptr));
    SECCalendar calendar;
    calendar.SetBehavior(0x39C000);
    calendar.SetDrawStyle(0x1000017F);
    calendar.SelectDate(COleDateTime(2024, 1, 31, 0, 0, 0), FALSE);
    ASSERT_TRUE(calendar.Create(WS_VISIBLE | WS_BORDER, CRect(12, 12, 282, 222), &dialog, 1001));
    calendar.HighlightDate(COleDateTime(2024, 1, 31, 0, 0, 0), TRUE);
    calendar.SetFocus();
    ASSERT_TRUE(WaitForFocus(calendar.m_hWnd)) << "the calendar never had the keys";
    CRect client;
    calendar.GetClientRect(&client);
    // How many of the calendar's pixels the screen shows otherwise than a whole repaint does.
    const auto stalePixels = [&] {
        cairo_surface_t* before = Screenshot(server->DisplayName());
        calendar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Settle();
        cairo_surface_t* after = Screenshot(server->DisplayName());
        int nStale = -1;
        if (before != nullptr && after != nullptr) {
            nStale = 0;
            for (int y = client.top; y < client.bottom; ++y)
                for (int x = client.left; x < client.right; ++x) {
                    POINT pt{x, y};
                    ::ClientToScreen(calendar.m_hWnd, &pt);
                    nStale += PixelAt(before, pt) != PixelAt(after, pt);
                }
        }
        if (before != nullptr)
            cairo_surface_destroy(before);
        if (after != nullptr)
            cairo_surface_destroy(after);
        return nStale;
    };
    const auto highlighted = [&](int nYear, int nMonth, int nDay) {
        return PumpUntil([&] {
            return calendar.GetHighlightedDayBox() != nullptr &&
                   calendar.GetHighlightedDate() == COleDateTime(nYear, nMonth, nDay, 12, 0, 0);
        }, 10000) && Settle();
    };
    const HWND top = dialog.m_hWnd;
    struct Step {
        KeySym key;
        unsigned int state;
        int nYear, nMonth, nDay;
    };
    // The 31st of January, a month on: the 29th of February (a leap year), then the 29th of
    // March, back to February and January; Ctrl+Page Down keeps it a year on.
    for (const Step& step : {Step{XK_Next, 0, 2024, 2, 29}, Step{XK_Next, 0, 2024, 3, 29}, Step{XK_Prior, 0, 2024, 2, 29},
                             Step{XK_Prior, 0, 2024, 1, 29}, Step{XK_Next, ControlMask, 2025, 1, 29}}) {
        SCOPED_TRACE(std::to_string(step.nYear) + "-" + std::to_string(step.nMonth) + "-" + std::to_string(step.nDay));
        if (step.state & ControlMask)
            SendCtrlKey(top, step.key);
        else
            SendKey(top, step.key);
        ASSERT_TRUE(highlighted(step.nYear, step.nMonth, step.nDay))
            << "the day highlighted is " << calendar.GetHighlightedDate().Format("%Y-%m-%d").GetString();
        EXPECT_EQ(calendar.m_displayDate.GetMonth(), step.nMonth) << "the month shown is not the day's";
        EXPECT_EQ(stalePixels(), 0) << "a frame is left where the keys were";
    }
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        if (cairo_surface_t* shot = Screenshot(server->DisplayName())) {
            cairo_surface_write_to_png(shot, (std::string(keep) + "/calendar-page-keys.png").c_str());
            cairo_surface_destroy(shot);
        }
    calendar.DestroyWindow();
    dialog.DestroyWindow();
}
