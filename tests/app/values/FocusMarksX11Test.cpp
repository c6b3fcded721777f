// Where the keys are, seen on the screen of the X server while another client types: the
// current row of the keywords dialog's lists keeps a mark when the list loses the keys, the last
// row of a Shift range is lit like the others, a row just added is framed, and the date
// dialog's calendar shows its focus once Tab reaches it.
#include "app/values/CDateTimeDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "engine/meta/CMetaContent.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/controls/StandardControls.h"

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/X11ModalDriver.h"

#include <cstdlib>
#include <functional>
#include <string>

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class FocusMarksX11Test : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
        if (m_keep)
            SetTestFontMode(false);
        RegisterStandardControls();
        GXInstallGridFeatures();
        GXInitControlFactory();
        model.Install();
    }

    // The window is on the screen and holds the display's keyboard focus.
    bool Ready(HWND hwnd)
    {
        if (!hwnd || !::IsWindow(hwnd) || !::IsWindowVisible(hwnd))
            return false;
        XWindowAttributes attributes{};
        const unsigned long xid = backend->XWindowOf(hwnd);
        if (!xid || !XGetWindowAttributes(other, xid, &attributes) || attributes.map_state != IsViewable)
            return false;
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return focus == xid && NothingToPaint();
    }
    void Keep(const std::string& name)
    {
        if (!m_keep)
            return;
        backend->Sync();
        if (cairo_surface_t* shot = Screenshot(server->DisplayName())) {
            cairo_surface_write_to_png(shot, (std::string(m_keep) + "/" + name + ".png").c_str());
            cairo_surface_destroy(shot);
        }
    }
    // The screen's pixels of a rectangle of the window's client area, once all is painted.
    std::vector<uint32_t> Pixels(HWND hwnd, const CRect& area)
    {
        std::vector<uint32_t> pixels;
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (!shot)
            return pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                POINT pt{x, y};
                ::ClientToScreen(hwnd, &pt);
                pixels.push_back(PixelAt(shot, pt) & 0xFFFFFF);
            }
        cairo_surface_destroy(shot);
        return pixels;
    }
    uint32_t Pixel(HWND hwnd, POINT pt)
    {
        const std::vector<uint32_t> one = Pixels(hwnd, CRect(pt.x, pt.y, pt.x + 1, pt.y + 1));
        return one.empty() ? 0xFFFFFFFFu : one.front();
    }
    static bool Dark(uint32_t pixel)
    {
        return ((pixel >> 16) & 0xFF) < 0x40 && ((pixel >> 8) & 0xFF) < 0x40 && (pixel & 0xFF) < 0x40;
    }
    // A row of a list shows a mark by its left edge, inside the cell, where an unmarked row
    // shows the white of the cell.
    bool RowMarked(CGXGridWnd& grid, ROWCOL nRow)
    {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return Pixel(grid.GetSafeHwnd(), POINT{cell.left + 1, cell.CenterPoint().y}) != 0xFFFFFF;
    }
    // The current row framed as the keys' place: its left edge black.
    bool RowFramed(CGXGridWnd& grid, ROWCOL nRow)
    {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return Dark(Pixel(grid.GetSafeHwnd(), POINT{cell.left + 1, cell.CenterPoint().y}));
    }
    // A row lit as chosen: dark away from its text and its frame.
    bool RowLit(CGXGridWnd& grid, ROWCOL nRow)
    {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return Dark(Pixel(grid.GetSafeHwnd(), POINT{cell.right - 8, cell.CenterPoint().y}));
    }
    // A row being edited framed as the keys' place: the edit covers the cell's inside, the
    // frame's top edge shows black above it.
    bool EditFramed(CGXGridWnd& grid, ROWCOL nRow)
    {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return Dark(Pixel(grid.GetSafeHwnd(), POINT{cell.CenterPoint().x, cell.top}));
    }
    static bool HasFocus(CWnd* pWnd) { return pWnd != nullptr && ::GetFocus() == pWnd->GetSafeHwnd(); }
    static bool Current(CGXGridWnd& grid, ROWCOL nRow)
    {
        ROWCOL r = 0, c = 0;
        return grid.GetCurrentCell(r, c) && r == nRow;
    }

    CVostrelAppModel model;
    const char* m_keep = nullptr;
};

} // namespace

// The existing keywords' current row keeps a mark when Tab takes the keys to Add; Add's new row
// is framed as the place typing goes; a Shift range of suggestions is lit to its last row.
TEST_F(FocusMarksX11Test, TheKeywordListsShowTheCurrentRowAndTheWholeRange)
{
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("wind,solar,rain");
    for (const char* suggestion : {"sun", "tide", "Straße", "ωμέγα"})
        content.AddSuggestion(suggestion);
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Keywords", content);
    CKeywordsGridCtrl& existing = dlg.GetExistingGrid();
    CKeywordsGridCtrl& suggested = dlg.GetSuggestedGrid();
    bool bMarkedAway = false, bOtherMarked = true, bNewFramed = false, bLastLit = false, bFirstLit = false;
    user.Then("the dialog is shown with the keys in the existing keywords",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&existing); }, [&] { user.Key("Down"); });
    user.Then("Down made the second row current", [&] { return Current(existing, 2) && RowFramed(existing, 2); },
              [&] { user.Key("Tab"); });
    user.Then("Tab took the keys to Add", [&] { return HasFocus(dlg.GetDlgItem(CKeywordsDlg::kIdAdd)) && NothingToPaint(); },
              [&] {
                  Keep("keywords-list-left");
                  bMarkedAway = RowMarked(existing, 2);
                  bOtherMarked = RowMarked(existing, 3);
                  user.Key("space");
              });
    user.Then("Add made a fourth row, being edited",
              [&] {
                  CGXControl* pControl = existing.GetCurrentCellControl();
                  return Current(existing, 4) && pControl != nullptr && pControl->IsActive() && NothingToPaint();
              },
              [&] {
                  Keep("keywords-row-added");
                  bNewFramed = EditFramed(existing, 4);
                  user.Key("Escape");
              });
    // Escape ends the new row's edit; the suggestions are two Tabs on, past Delete.
    user.Then("the edit ended", [&] { CGXControl* p = existing.GetCurrentCellControl(); return p == nullptr || !p->IsActive(); },
              [&] { user.Key("ctrl+Tab"); });
    user.Then("the keys left the existing keywords", [&] { return !HasFocus(&existing); },
              [&] {
                  std::string keys;
                  for (HWND h = ::GetFocus(); h != nullptr && h != suggested.GetSafeHwnd() && keys.size() < 60;
                       h = ::GetNextDlgTabItem(dlg.GetSafeHwnd(), h, FALSE))
                      keys += " Tab";
                  user.Key(keys.empty() ? "Tab" : keys.substr(1));
              });
    user.Then("the suggestions have the keys", [&] { return HasFocus(&suggested) && Current(suggested, 1); },
              [&] { user.Key("shift+Down shift+Down"); });
    user.Then("Shift took in three rows", [&] { return Current(suggested, 3) && NothingToPaint(); },
              [&] {
                  Keep("keywords-shift-range");
                  bFirstLit = RowLit(suggested, 1);
                  bLastLit = RowLit(suggested, 3);
                  user.Key("Escape");
              });
    dlg.DoModal();
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_TRUE(bMarkedAway) << "the current row shows no mark once the list lost the keys";
    EXPECT_FALSE(bOtherMarked) << "a row that is not current shows a mark";
    EXPECT_TRUE(bNewFramed) << "the row just added is not framed";
    EXPECT_TRUE(bFirstLit);
    EXPECT_TRUE(bLastLit) << "the last row of the Shift range is not lit";
}

// Tab from the date field to the calendar shows the keys' day framed; Tab on to OK takes the
// frame away again.
TEST_F(FocusMarksX11Test, TheCalendarShowsItsFocusOnceTabReachesIt)
{
    X11ModalDriver user(server->DisplayName());
    CDateTimeDlg dlg(user.Owner());
    dlg.SetValue("Date", "2023/02/11");
    SECCalendar& calendar = dlg.GetCalendar();
    CRect area;
    std::vector<uint32_t> before, focused, after;
    user.Then("the dialog is shown with the keys in the date",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetDateCtrl()); },
              [&] {
                  calendar.GetClientRect(&area);
                  before = Pixels(calendar.GetSafeHwnd(), area);
                  user.Key("Tab");
              });
    user.Then("Tab took the keys to the calendar", [&] { return HasFocus(&calendar) && NothingToPaint(); },
              [&] {
                  Keep("calendar-focused");
                  focused = Pixels(calendar.GetSafeHwnd(), area);
                  user.Key("Tab");
              });
    user.Then("Tab went on to OK", [&] { return HasFocus(dlg.GetDlgItem(IDOK)) && NothingToPaint(); },
              [&] {
                  after = Pixels(calendar.GetSafeHwnd(), area);
                  user.Key("Escape");
              });
    dlg.DoModal();
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(focused.size(), before.size());
    size_t nChanged = 0;
    for (size_t i = 0; i < before.size(); ++i)
        nChanged += before[i] != focused[i] ? 1 : 0;
    // A dotted frame round a day: a good many pixels, far fewer than the calendar's.
    EXPECT_GT(nChanged, 20u) << "the calendar shows no focus";
    EXPECT_LT(nChanged, before.size() / 10);
    EXPECT_EQ(after, before) << "the focus frame stayed when the keys left";
}
