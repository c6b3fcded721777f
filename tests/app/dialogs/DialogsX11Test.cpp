// The program's dialogs on the X11 backend under Xvfb, run modally as the program runs them and
// driven from another X client as a user drives them: clicks and keys through the server, each
// step waiting for what the user would see before the next.
#include "app/values/CClassificationDlg.h"
#include "app/values/CDateTimeDlg.h"
#include "toolkit/datetime/OleDateFields.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "app/values/CListTypeAttribDlg.h"
#include "app/values/CMListSelOptionsDlg.h"
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CPreviewDlg.h"
#include "app/dialogs/CProjSettingsPages.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/sysinfo/CSysInfoDlg.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/controls/CommonDialog.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/ListBoxDefs.h"
#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/data/CGXRange.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/controls/StandardControls.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <cstdlib>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/MenuDriver.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11ModalDriver.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class DialogsX11Test : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
        // Screenshots kept for a person to look at are drawn in the real fonts.
        if (m_keep)
            SetTestFontMode(false);
        RegisterStandardControls();
        GXInstallGridFeatures();
        GXInitControlFactory();
        model.Install();
    }

    // The window is on the screen and holds the display's keyboard focus, so keys typed now go
    // to it.
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
        return focus == xid;
    }
    static POINT OnScreen(HWND hwnd, POINT pt)
    {
        ::ClientToScreen(hwnd, &pt);
        return pt;
    }
    static POINT CentreOf(CWnd* pWnd)
    {
        CRect rect;
        pWnd->GetWindowRect(&rect);
        return rect.CenterPoint();
    }
    // Keeps a screenshot of the screen as it is for a person to look at, when asked to.
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

    // Whether the screen shows the cell framed as the current cell: its left edge inverted
    // from the white of the cell to black.
    bool Framed(CGXGridWnd& grid, ROWCOL nRow, ROWCOL nCol)
    {
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (!shot)
            return false;
        const CRect cell = grid.CalcCellRect(nRow, nCol);
        const uint32_t edge = PixelAt(shot, OnScreen(grid.GetSafeHwnd(), POINT{cell.left + 1, cell.CenterPoint().y}));
        cairo_surface_destroy(shot);
        return ((edge >> 16) & 0xFF) < 0x40 && ((edge >> 8) & 0xFF) < 0x40 && (edge & 0xFF) < 0x40;
    }
    // Whether the screen shows a row's cell of an option list marked (not the white of an
    // unchosen cell), looked at away from its text and from the dotted frame of the keys.
    bool Marked(CGXGridWnd& grid, ROWCOL nRow)
    {
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (!shot)
            return false;
        const CRect cell = grid.CalcCellRect(nRow, 1);
        const uint32_t colour = PixelAt(shot, OnScreen(grid.GetSafeHwnd(), POINT{cell.right - 6, cell.CenterPoint().y}));
        cairo_surface_destroy(shot);
        return colour != 0xFFFFFFu;
    }
    // The Robots setting of the built-in catalogue: six options, which users may not change.
    static void MakeRobots(CMetaComboMultiSelSetting& setting)
    {
        setting.SetName("Robots");
        for (const char* option : {"all", "none", "index", "noindex", "follow", "nofollow"})
            setting.m_Options.AddTail(option);
        setting.m_bAllowModify = 0;
    }
    static bool HasFocus(CWnd* pWnd) { return pWnd != nullptr && ::GetFocus() == pWnd->GetSafeHwnd(); }
    // The Tab keys that take the focus from where it is to the control, in the dialog's order.
    static std::string TabsTo(CWnd& dlg, CWnd* pTarget)
    {
        std::string keys;
        for (HWND h = ::GetFocus(); h != nullptr && pTarget != nullptr && h != pTarget->GetSafeHwnd() && keys.size() < 100;
             h = ::GetNextDlgTabItem(dlg.GetSafeHwnd(), h, FALSE))
            keys += keys.empty() ? "Tab" : " Tab";
        return keys;
    }
    // The cell's control is being edited.
    static bool Editing(CGXGridWnd& grid, ROWCOL nRow, ROWCOL nCol)
    {
        ROWCOL r = 0, c = 0;
        CGXControl* pControl = grid.GetCurrentCellControl();
        return grid.GetCurrentCell(r, c) && r == nRow && c == nCol && pControl != nullptr && pControl->IsActive();
    }

    // How many pixels of a rectangle of the window's client area pass the test on the screen.
    int CountPixels(HWND hwnd, const CRect& area, const std::function<bool(uint32_t)>& test)
    {
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (!shot)
            return -1;
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += test(PixelAt(shot, OnScreen(hwnd, POINT{x, y})) & 0xFFFFFF) ? 1 : 0;
        cairo_surface_destroy(shot);
        return n;
    }
    // Whether the button wears the default button's black frame on the screen: its left edge and
    // the left half of its top are black where a button that is not the default shows the white
    // of its raised edge. (In the test font a button may lie under its neighbour's edge.)
    bool WearsDefaultFrame(CWnd* pButton)
    {
        CRect r;
        if (pButton == nullptr || !pButton->GetSafeHwnd())
            return false;
        pButton->GetClientRect(&r);
        const auto black = [](uint32_t pixel) { return pixel == 0; };
        return CountPixels(pButton->GetSafeHwnd(), CRect(0, 2, 1, r.bottom - 2), black) == r.bottom - 4 &&
               CountPixels(pButton->GetSafeHwnd(), CRect(2, 0, r.right / 2, 1), black) == r.right / 2 - 2;
    }
    // Whether a grid shows a dotted focus frame inside its border: dark dots along the top of
    // its white inside.
    bool ShowsFocusFrame(CWnd& grid)
    {
        CRect r;
        grid.GetClientRect(&r);
        const auto dark = [](uint32_t pixel) {
            return ((pixel >> 16) & 0xFF) < 0x80 && ((pixel >> 8) & 0xFF) < 0x80 && (pixel & 0xFF) < 0x80;
        };
        return CountPixels(grid.GetSafeHwnd(), CRect(r.left + 2, r.top + 1, r.right - 2, r.top + 2), dark) > r.Width() / 4;
    }
    static bool SameDayAs(const COleDateTime& date, int nYear, int nMonth, int nDay)
    {
        return date.GetStatus() == COleDateTime::valid && date.GetYear() == nYear && date.GetMonth() == nMonth &&
               date.GetDay() == nDay;
    }
    // Whether the calendar shows the day with the red frame of a marked day on the screen.
    bool MarksDay(SECCalendar& calendar, int nYear, int nMonth, int nDay)
    {
        for (int i = 0; i < 42; ++i)
            if (SameDayAs(calendar.GetDayBox(i).GetDate(), nYear, nMonth, nDay)) {
                const CRect r = calendar.GetDayBox(i).GetRect();
                return CountPixels(calendar.GetSafeHwnd(), CRect(r.left, r.top, r.right + 1, r.bottom + 1),
                                   [](uint32_t pixel) { return pixel == 0xFF0000; }) >= r.Width();
            }
        return false;
    }
    // New Project with a project's default settings and the built-in catalogue.
    static void FillNewProject(CNewProjectDlg& dlg)
    {
        CProjectSettings settings;
        CMetaSettingList list;
        list.SetDefaults();
        dlg.SetData(settings, list);
    }
    // The steps of a user who types a folder into New Project's field and opens Browse for
    // Folder from its "..." button; hBrowser is the browser once it is shown with the keys in its
    // tree, and then the user does what `act` says.
    void OpenTheBrowserOn(X11ModalDriver& user, CNewProjectDlg& dlg, const std::string& folder, HWND& hBrowser,
                          std::function<void()> act)
    {
        user.Then("New Project is shown with the focus", [this, &dlg] { return Ready(dlg.GetSafeHwnd()); },
                  [&user, &dlg, folder] {
                      user.ClickAt(CentreOf(dlg.GetDlgItem(CNewProjectDlg::kIdDirectory)));
                      user.Key("End shift+Home BackSpace");
                      user.Type(folder);
                  });
        user.Then("the folder is typed", [&dlg, folder] { return FieldOf(dlg) == folder; },
                  [&user, &dlg] { user.ClickAt(CentreOf(dlg.GetDlgItem(CNewProjectDlg::kIdBrowse))); });
        user.Then("the browser is shown with the keys in its tree",
                  [this, &dlg, &hBrowser] {
                      HWND hActive = ::GetActiveWindow();
                      if (!hActive || hActive == dlg.GetSafeHwnd() || !::GetDlgItem(hActive, lst2) || !Ready(hActive) ||
                          ::GetFocus() != ::GetDlgItem(hActive, lst2))
                          return false;
                      hBrowser = hActive;
                      return true;
                  },
                  std::move(act));
    }
    static std::string FieldOf(CNewProjectDlg& dlg)
    {
        CString text;
        dlg.GetDlgItemText(CNewProjectDlg::kIdDirectory, text);
        return std::string(text);
    }
    // The folder the browser shows chosen, on its line under the tree.
    static std::string ChosenIn(HWND hBrowser)
    {
        char text[512] = {};
        ::GetDlgItemText(hBrowser, stc1, text, sizeof text);
        return std::string(text);
    }

    CVostrelAppModel model;
    const char* m_keep = nullptr;
};

} // namespace

// The date dialog opens its calendar on the cell's date, not today's; a day clicked there is
// written in the setting's form, and a date nobody touched is written back as the page had it.
TEST_F(DialogsX11Test, TheDateDialogOpensOnTheCellsDateAndWritesAClickedDay)
{
    X11ModalDriver user(server->DisplayName());
    CDateTimeDlg dlg(user.Owner());
    dlg.SetValue("Date", "2023-02-11");
    COleDateTime shownMonth;
    user.Then("the dialog is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
              [&] {
                  shownMonth = dlg.GetCalendar().GetDisplayDate();
                  Keep("date-dialog");
                  // The user clicks the 15th in the calendar.
                  for (int i = 0; i < 42; ++i) {
                      auto& box = dlg.GetCalendar().GetDayBox(i);
                      if (!box.IsEmpty() && box.GetDate().GetMonth() == 2 && box.GetDate().GetDay() == 15)
                          user.ClickAt(OnScreen(dlg.GetCalendar().GetSafeHwnd(), box.GetRect().CenterPoint()));
                  }
              });
    user.Then("the date field shows the clicked day",
              [&] {
                  const COleDateTime shown = dlg.GetDateCtrl().GetDateTime();
                  return shown.GetYear() == 2023 && shown.GetMonth() == 2 && shown.GetDay() == 15;
              },
              [&] { user.ClickAt(CentreOf(dlg.GetDlgItem(IDOK))); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(shownMonth.GetYear(), 2023);
    EXPECT_EQ(shownMonth.GetMonth(), 2);
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "2023/02/15");

    // Opened and closed with OK alone: the page keeps its own text.
    X11ModalDriver again(server->DisplayName());
    CDateTimeDlg untouched(again.Owner());
    untouched.SetValue("Date", "2023-02-11");
    again.Then("the dialog is shown with the focus", [&] { return Ready(untouched.GetSafeHwnd()); },
               [&] { again.ClickAt(CentreOf(untouched.GetDlgItem(IDOK))); });
    EXPECT_EQ(untouched.DoModal(), IDOK);
    EXPECT_TRUE(again.AllDone()) << again.Missed();
    untouched.GetValue(value);
    EXPECT_STREQ(value, "2023-02-11");

    // The longest form of the catalogue, the Expires date with its weekday, time and zone,
    // shows whole in the field, beside its button.
    X11ModalDriver expires(server->DisplayName());
    CDateTimeDlg wide(expires.Owner());
    wide.SetValue("Expires", "Wed, 25 Dec 2030 23:59:58 GMT");
    wide.SetFormat("ddd, dd MMM yyyy HH:mm:ss 'GMT'");
    int nTextRight = 0, nButtonLeft = 0, nWidth = 0;
    expires.Then("the dialog is shown with the focus", [&] { return Ready(wide.GetSafeHwnd()); },
                 [&] {
                     Keep("date-dialog-expires");
                     SECDateTimeCtrl& field = wide.GetDateCtrl();
                     CRect client;
                     field.GetClientRect(&client);
                     nWidth = client.Width();
                     nButtonLeft = client.right;
                     for (int i = 0; i < field.GetGadgetCount(); ++i) {
                         const CRect& rect = field.GetGadget(i)->m_rect;
                         if (field.GetGadget(i)->IsRightAligned())
                             nButtonLeft = std::min<int>(nButtonLeft, rect.left);
                         else
                             nTextRight = std::max<int>(nTextRight, rect.right);
                     }
                     expires.ClickAt(CentreOf(wide.GetDlgItem(IDCANCEL)));
                 });
    EXPECT_EQ(wide.DoModal(), IDCANCEL);
    EXPECT_TRUE(expires.AllDone()) << expires.Missed();
    EXPECT_LE(nTextRight, nButtonLeft) << "the date runs under the field's button, " << nWidth << " pixels wide";
}

// The calendar of the date dialog is reached by Tab and marks the day the date holds: a weekday
// typed before the date gives way to the date's own as soon as its day, month and year are
// typed, the calendar turns to that month and marks the day, and its arrows move the day, which
// the date then holds. A date the dialog opens with is marked from the start.
TEST_F(DialogsX11Test, TheDateDialogsCalendarIsTabbedToAndMarksTheChosenDay)
{
    X11ModalDriver user(server->DisplayName());
    CDateTimeDlg dlg(user.Owner());
    dlg.SetValue("Expires", "");
    dlg.SetFormat("ddd, dd MMM yyyy HH:mm:ss 'GMT'");
    SECCalendar& calendar = dlg.GetCalendar();
    const auto weekday = [&] {
        CString text;
        for (int i = 0; i < dlg.GetDateCtrl().GetGadgetCount(); ++i)
            if (dlg.GetDateCtrl().GetGadget(i)->m_id == kDateFieldDayName &&
                !(dlg.GetDateCtrl().GetGadget(i)->m_flags & SECDateTimeCtrl::Gadget::ShowPrompt))
                dlg.GetDateCtrl().GetGadget(i)->GetText(text);
        return std::string(text);
    };
    user.Then("the dialog is shown with the keys in the empty date",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetDateCtrl()); },
              [&] { user.Key("t Right 1 6 d Right 2 0 2 6"); });
    user.Then("the weekday is the date's and the calendar marks 16 December 2026",
              [&] { return weekday() == "Wed" && MarksDay(calendar, 2026, 12, 16); },
              [&] {
                  Keep("date-typed-marked");
                  user.Key("Tab");
              });
    user.Then("Tab took the keys to the calendar", [&] { return HasFocus(&calendar); }, [&] { user.Key("Right"); });
    user.Then("Right moved on from the marked day: the date holds the 17th, which the calendar marks instead",
              [&] {
                  return SameDayAs(dlg.GetDateCtrl().GetDateTime(), 2026, 12, 17) && weekday() == "Thu" &&
                         MarksDay(calendar, 2026, 12, 17) && !MarksDay(calendar, 2026, 12, 16);
              },
              [&] {
                  Keep("date-calendar-keys");
                  user.Key("Tab");
              });
    user.Then("Tab went on to OK", [&] { return HasFocus(dlg.GetDlgItem(IDOK)); }, [&] { user.Key("Return"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "Thu, 17 Dec 2026 00:00:00 GMT");

    X11ModalDriver again(server->DisplayName());
    CDateTimeDlg dated(again.Owner());
    dated.SetValue("Date", "2023/02/11");
    again.Then("the dialog opens with the page's day marked",
               [&] { return Ready(dated.GetSafeHwnd()) && MarksDay(dated.GetCalendar(), 2023, 2, 11); },
               [&] { again.Key("Escape"); });
    EXPECT_EQ(dated.DoModal(), IDCANCEL);
    EXPECT_TRUE(again.AllDone()) << again.Missed();
}

// Metatag Settings comes up centred like the other dialogs. After Add, the new setting's name
// is typed and Enter ends that edit: the dialog stays open. Enter again, with no edit going on,
// presses the default button.
TEST_F(DialogsX11Test, EnterEndsACellEditInTheSettingsGridAndTheNextEnterPressesOk)
{
    X11ModalDriver user(server->DisplayName());
    CMetaSettingList list;
    list.SetDefaults();
    CMetaSettingDlg dlg(user.Owner());
    dlg.SetSettings(list);
    CRect placed;
    ROWCOL nNewRow = 0;
    user.Then("the dialog is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
              [&] {
                  dlg.GetWindowRect(&placed);
                  CRect button;
                  CToolBar& bar = dlg.GetToolbar();
                  bar.GetItemRect(bar.CommandToIndex(CMetaSettingDlg::kIdAdd), &button);
                  bar.ClientToScreen(&button);
                  user.ClickAt(button.CenterPoint());
              });
    user.Then("the new row's name is being edited",
              [&] {
                  ROWCOL nRow = 0, nCol = 0;
                  CGXControl* pControl = dlg.GetGrid().GetCurrentCellControl();
                  if (!dlg.GetGrid().GetCurrentCell(nRow, nCol) || nRow != dlg.GetGrid().GetRowCount() ||
                      pControl == nullptr || !pControl->IsActive())
                      return false;
                  nNewRow = nRow;
                  return true;
              },
              [&] {
                  user.Type("Reviewer");
              });
    user.Then("the typed name is in the cell's edit",
              [&] {
                  CString text;
                  CGXControl* pControl = dlg.GetGrid().GetCurrentCellControl();
                  return pControl != nullptr && pControl->GetCurrentText(text) && text == "Reviewer";
              },
              [&] { user.Key("Return"); });
    user.Then("the edit has ended with the name stored and the dialog still open",
              [&] {
                  CString text;
                  dlg.GetGrid().GetCellText(nNewRow, CMetaSettingGridCtrl::kColName, text);
                  CGXControl* pControl = dlg.GetGrid().GetCurrentCellControl();
                  return text == "Reviewer" && (pControl == nullptr || !pControl->GetModify());
              },
              [&] {
                  Keep("metatag-settings-after-enter");
                  user.Key("Return");
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CMetaSettingList result;
    dlg.GetSettings(result);
    ASSERT_EQ(result.GetCount(), list.GetCount() + 1);
    EXPECT_STREQ(result.GetTail()->Name(), "Reviewer");
    // Centred on the screen (the owner is not shown), not at its top-left corner.
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs(placed.CenterPoint().x - screenW / 2), 2) << placed.left << "," << placed.top;
    EXPECT_LE(std::abs(placed.CenterPoint().y - screenH / 2), 2) << placed.left << "," << placed.top;
}

// The option list of a multi-select cell marks what a click picks at once: a plain click
// replaces the choice, a Ctrl+click adds to it, and each row shows its state on the screen
// before the user presses OK.
TEST_F(DialogsX11Test, TheOptionListShowsEachClickedChoiceAtOnce)
{
    X11ModalDriver user(server->DisplayName());
    CMetaComboMultiSelSetting setting;
    MakeRobots(setting);
    CMetaContent content;
    content.SetContent("index");
    CMListSelOptionsDlg dlg(user.Owner());
    dlg.SetValue(setting, content);
    CGridWndWrapper& grid = dlg.GetGrid();
    const auto marked = [&](ROWCOL nRow) { return Marked(grid, nRow); };
    const auto rowPoint = [&](ROWCOL nRow) {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return OnScreen(grid.GetSafeHwnd(), POINT{cell.left + 20, cell.CenterPoint().y});
    };
    user.Then("the dialog is shown with the focus, the page's own choice marked",
              [&] { return Ready(dlg.GetSafeHwnd()) && marked(3); },
              [&] { user.ClickAt(rowPoint(2)); });
    user.Then("a plain click on \"none\" shows it alone as chosen",
              [&] { return marked(2) && !marked(3); },
              [&] { user.Xdotool("keydown ctrl"); user.ClickAt(rowPoint(5)); user.Xdotool("keyup ctrl"); });
    user.Then("a Ctrl+click on \"follow\" shows it chosen beside \"none\"",
              [&] { return marked(5) && marked(2) && !marked(4); },
              [&] {
                  Keep("option-list");
                  user.ClickAt(CentreOf(dlg.GetDlgItem(IDOK)));
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    BOOL changed = TRUE;
    CMetaComboMultiSelSetting back;
    dlg.GetValue(back, value, changed);
    EXPECT_STREQ(value, "none,follow");
    EXPECT_FALSE(changed);
}

// The keywords dialog shows a page's keywords without the blanks the page put after its
// separator, and OK joins them, and one the user added, with the project's separator.
TEST_F(DialogsX11Test, KeywordsAreTrimmedAndJoinedWithTheSeparator)
{
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent(" wind,  solar");
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Keywords", content);
    CKeywordsGridCtrl& grid = dlg.GetExistingGrid();
    const auto editing = [&](ROWCOL nRow) {
        ROWCOL nCur = 0, nCol = 0;
        CGXControl* pControl = grid.GetCurrentCellControl();
        return grid.GetCurrentCell(nCur, nCol) && nCur == nRow && pControl != nullptr && pControl->IsActive();
    };
    user.Then("the dialog is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
              [&] { user.ClickAt(CentreOf(dlg.GetDlgItem(CKeywordsDlg::kIdAdd))); });
    user.Then("a new third row is being edited", [&] { return editing(3); }, [&] { user.Type(" sun"); });
    user.Then("the typed keyword is in the edit",
              [&] {
                  CString text;
                  CGXControl* pControl = grid.GetCurrentCellControl();
                  return pControl != nullptr && pControl->GetCurrentText(text) && text == " sun";
              },
              [&] { user.Key("Return"); });
    user.Then("Enter stored the keyword and left the dialog open",
              [&] {
                  CString text;
                  grid.GetCellText(3, 1, text);
                  return text == " sun";
              },
              [&] {
                  Keep("keywords");
                  user.ClickAt(CentreOf(dlg.GetDlgItem(IDOK)));
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "wind,solar,sun");
}

namespace {

// The text of an edit control fits its client area whole, in the control's font.
bool TextFits(HWND hEdit)
{
    char text[64] = {};
    const int n = ::GetWindowText(hEdit, text, sizeof text);
    HDC dc = ::GetDC(hEdit);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessage(hEdit, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32(dc, text, n, &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(hEdit, dc);
    RECT client{};
    ::GetClientRect(hEdit, &client);
    // An edit keeps a pixel or two of margin on each side.
    return size.cx + 4 <= client.right - client.left;
}

} // namespace

// System Information: a tab keeps room between every name and its value.
TEST_F(DialogsX11Test, SystemInfoKeepsRoomBetweenEachNameAndItsValue)
{
    X11ModalDriver user(server->DisplayName());
    CSysInfoDlg dlg(user.Owner());
    int nNarrowest = INT_MAX;
    std::string narrowest;
    user.Then("the report is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
              [&] {
                  Keep("system-info");
                  CEdit& edit = dlg.GetReportEdit();
                  CString text;
                  edit.GetWindowText(text);
                  const std::string report(text.GetString());
                  // Each "name:<tab>value": the value starts well to the right of the colon.
                  for (size_t tab = report.find(":\t"); tab != std::string::npos; tab = report.find(":\t", tab + 2)) {
                      const LRESULT colon = edit.SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(tab), 0);
                      const LRESULT value = edit.SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(tab + 2), 0);
                      const int gap = static_cast<short>(LOWORD(value)) - static_cast<short>(LOWORD(colon));
                      if (gap < nNarrowest) {
                          nNarrowest = gap;
                          narrowest = report.substr(report.rfind('\n', tab) + 1, tab - report.rfind('\n', tab));
                      }
                  }
                  user.ClickAt(CentreOf(dlg.GetDlgItem(IDOK)));
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    ASSERT_NE(nNarrowest, INT_MAX);
    // The colon's own width and about two characters of room.
    EXPECT_GE(nNarrowest, 12) << "\"" << narrowest << "\" runs into its value";
}

// Print: the page fields show the largest page number whole.
TEST_F(DialogsX11Test, PrintShowsThePageNumbersWhole)
{
    X11ModalDriver user(server->DisplayName());
    CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE | PD_NOSELECTION, user.Owner());
    dlg.m_pd.nMinPage = 1;
    dlg.m_pd.nMaxPage = 65535;
    dlg.m_pd.nFromPage = 1;
    dlg.m_pd.nToPage = 65535;
    bool bFits = false;
    std::string shown;
    user.Then("the Print dialog is shown with the focus",
              [&] {
                  HWND hDlg = ::GetActiveWindow();
                  return hDlg && ::GetDlgItem(hDlg, edt2) && Ready(hDlg);
              },
              [&] {
                  Keep("print");
                  HWND hTo = ::GetDlgItem(::GetActiveWindow(), edt2);
                  char text[32] = {};
                  ::GetWindowText(hTo, text, sizeof text);
                  shown = text;
                  bFits = TextFits(hTo);
                  user.Key("Escape");
              });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(shown, "65535");
    EXPECT_TRUE(bFits) << "the \"to\" field cuts its number";
}

// Project Settings: on the Backups page the focus sits on the option that is chosen.
TEST_F(DialogsX11Test, TheBackupsPageFocusesTheChosenOption)
{
    X11ModalDriver user(server->DisplayName());
    CProjSettingsSheet sheet(63008, user.Owner());
    CProjectSettings settings;
    settings.m_nBackupScheme = 1;   // "Delete to Recycle Bin", the second of the three
    sheet.SetSettings(settings);
    int nFocus = 0;
    user.Then("the sheet is shown with the focus", [&] { return Ready(sheet.GetSafeHwnd()); },
              [&] {
                  // The Backups tab is the last.
                  CRect tab = sheet.GetTabRect(sheet.GetPageCount() - 1);
                  sheet.ClientToScreen(&tab);
                  user.ClickAt(tab.CenterPoint());
              });
    user.Then("the Backups page is shown",
              [&] { return sheet.GetActiveIndex() == sheet.GetPageCount() - 1 && sheet.GetBackupsPage().IsWindowVisible(); },
              [&] {
                  Keep("backups");
                  nFocus = ::GetDlgCtrlID(::GetFocus());
                  user.Key("Escape");
              });
    sheet.DoModal();
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(nFocus, 1067) << "the focus is on an option that is not chosen";
}

namespace {

std::vector<std::string> ListTexts(HWND list)
{
    std::vector<std::string> texts;
    const int n = static_cast<int>(::SendMessage(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[512] = {};
        ::SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

// Browse for Folder from New Project: it starts at the folder typed in the field, the tree
// stands at the top, folders that hold folders have expand buttons, Right and Left open and
// close them, the button opens them with a click, and no row is half in sight.
TEST_F(DialogsX11Test, TheFolderBrowserStartsAtTheFieldsFolderAndOpensFoldersInPlace)
{
    ScopedTempDir dir;
    const std::string site = dir.Path() + "/site";
    std::filesystem::create_directories(site + "/alpha/deep");
    std::filesystem::create_directories(site + "/beta");
    X11ModalDriver user(server->DisplayName());
    CNewProjectDlg dlg(user.Owner());
    FillNewProject(dlg);
    HWND hBrowser = nullptr;
    HWND hTree = nullptr;
    std::string startedAt;
    int nTopGap = -1;
    bool bWholeRows = false;
    const auto selected = [&] { return ChosenIn(hBrowser); };
    OpenTheBrowserOn(user, dlg, site, hBrowser, [&] {
        hTree = ::GetDlgItem(hBrowser, lst2);
        Keep("browse-for-folder");
        startedAt = selected();
        RECT tree{}, client{};
        ::GetWindowRect(hTree, &tree);
        ::GetClientRect(hBrowser, &client);
        ::ClientToScreen(hBrowser, reinterpret_cast<POINT*>(&client));
        nTopGap = tree.top - client.top;
        // Every row from the top one down to the bottom of the tree lies whole in it.
        RECT inside{};
        ::GetClientRect(hTree, &inside);
        bWholeRows = true;
        const int n = static_cast<int>(::SendMessage(hTree, LB_GETCOUNT, 0, 0));
        for (int i = static_cast<int>(::SendMessage(hTree, LB_GETTOPINDEX, 0, 0)); i < n; ++i) {
            RECT row{};
            ::SendMessage(hTree, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&row));
            if (row.top >= inside.bottom)
                break;
            bWholeRows = bWholeRows && row.bottom <= inside.bottom;
        }
        user.Key("Down");
    });
    user.Then("Down chose \"alpha\"", [&] { return selected() == site + "/alpha"; },
              [&] { user.Key("Right"); });
    user.Then("Right opened \"alpha\" in place", [&] { return Holds(ListTexts(hTree), "deep") && selected() == site + "/alpha"; },
              [&] {
                  Keep("browse-for-folder-open");
                  user.Key("Left");
              });
    user.Then("Left closed it again", [&] { return !Holds(ListTexts(hTree), "deep") && selected() == site + "/alpha"; },
              [&] {
                  // The expand button, before the folder's glyph.
                  const int index = static_cast<int>(::SendMessage(hTree, LB_GETCURSEL, 0, 0));
                  RECT row{};
                  ::SendMessage(hTree, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
                  // Indented 12 pixels a level: "alpha" is as deep as its path has parts.
                  const std::string alpha = site + "/alpha";
                  const int level = static_cast<int>(std::count(alpha.begin(), alpha.end(), '/'));
                  POINT pt{row.left + 2 + level * 12 + 4, (row.top + row.bottom) / 2};
                  ::ClientToScreen(hTree, &pt);
                  user.ClickAt(pt);
              });
    user.Then("a click on its button opened it", [&] { return Holds(ListTexts(hTree), "deep"); },
              [&] { user.Key("Escape"); });
    user.Then("the browser has gone", [&] { return !::IsWindow(hBrowser) && Ready(dlg.GetSafeHwnd()); },
              [&] { user.Key("Escape"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(startedAt, site);
    EXPECT_GE(nTopGap, 0);
    EXPECT_LE(nTopGap, 14) << "an empty band above the tree";
    EXPECT_TRUE(bWholeRows) << "a row half in sight";
}

// The Metatag Settings grid shows its current cell framed from the start and wherever the keys
// take it, also after its rows are loaded again. Tab from the last column, and Ctrl+Tab from
// any, move on to the dialog's buttons, Shift+Tab from the first column back; the grid frames
// its cell again when the keys come back.
TEST_F(DialogsX11Test, TheSettingsGridShowsItsCurrentCellAndTabLeavesIt)
{
    X11ModalDriver user(server->DisplayName());
    CMetaSettingList list;
    list.SetDefaults();
    CMetaSettingDlg dlg(user.Owner());
    dlg.SetSettings(list);
    CMetaSettingGridCtrl& grid = dlg.GetGrid();
    using Grid = CMetaSettingGridCtrl;
    user.Then("the dialog is shown with its first cell framed",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&grid) && Framed(grid, 1, Grid::kColName); },
              [&] {
                  Keep("settings-grid-opened");
                  user.Key("Down Right Right");
              });
    user.Then("the list of types in row 2 is framed, the first cell no more",
              [&] { return Framed(grid, 2, Grid::kColType) && !Framed(grid, 1, Grid::kColName); },
              [&] { user.Key("ctrl+Right Tab"); });
    user.Then("Tab from the last column went on to OK, the grid's frame with it",
              [&] { return HasFocus(dlg.GetDlgItem(IDOK)) && !Framed(grid, 2, Grid::kColDescription); },
              [&] {
                  Keep("settings-grid-tab-to-ok");
                  user.Key("shift+Tab");
              });
    user.Then("Shift+Tab came back to the grid, its cell framed again",
              [&] { return HasFocus(&grid) && Framed(grid, 2, Grid::kColDescription); },
              [&] {
                  // Disable All loads the rows again under the keys.
                  CRect button;
                  CToolBar& bar = dlg.GetToolbar();
                  bar.GetItemRect(bar.CommandToIndex(CMetaSettingDlg::kIdDisableAll), &button);
                  bar.ClientToScreen(&button);
                  user.ClickAt(button.CenterPoint());
              });
    user.Then("the rows loaded again show a current cell",
              [&] { return HasFocus(&grid) && Framed(grid, 1, Grid::kColName); },
              [&] { user.Key("shift+Tab"); });
    user.Then("Shift+Tab from the first column went back to the control before the grid",
              [&] { return ::GetFocus() != nullptr && !HasFocus(&grid) && ::IsChild(dlg.GetSafeHwnd(), ::GetFocus()); },
              [&] { user.Key("Tab"); });
    user.Then("Tab came back to the grid", [&] { return HasFocus(&grid); },
              [&] { user.Key("Down Right ctrl+Tab"); });
    user.Then("Ctrl+Tab went on to OK from the middle of a row",
              [&] { return HasFocus(dlg.GetDlgItem(IDOK)); }, [&] { user.Key("Escape"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
}

// The keywords dialog from the keyboard alone: Tab leaves the grid for Add, Space presses it,
// the new keyword typed is kept when Tab leaves its cell, Tab reaches the suggestions, where the
// arrows choose one for "Add to Existing Keywords", and on to OK.
TEST_F(DialogsX11Test, TheKeywordsDialogIsWorkedWithTheKeysAlone)
{
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("wind,solar");
    content.AddSuggestion("tide");
    content.AddSuggestion("rain");
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Keywords", content);
    CKeywordsGridCtrl& existing = dlg.GetExistingGrid();
    CKeywordsGridCtrl& suggested = dlg.GetSuggestedGrid();
    user.Then("the dialog is shown, the keys in the existing keywords",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&existing) && Framed(existing, 1, 1); },
              [&] { user.Key("Tab"); });
    user.Then("Tab went on to Add", [&] { return HasFocus(dlg.GetDlgItem(CKeywordsDlg::kIdAdd)); },
              [&] { user.Key("space"); });
    user.Then("Space pressed Add: a third row is edited", [&] { return Editing(existing, 3, 1); },
              [&] {
                  user.Type("sun");
                  user.Key("Tab");
              });
    user.Then("Tab kept the keyword and left the grid",
              [&] {
                  CString text;
                  existing.GetCellText(3, 1, text);
                  return text == "sun" && !existing.IsCurrentCellActive() && !HasFocus(&existing);
              },
              [&] { user.Key("Tab Tab"); });
    user.Then("the suggestions have the keys, their first framed",
              [&] { return HasFocus(&suggested) && Framed(suggested, 1, 1); },
              [&] { user.Key("Down Tab"); });
    user.Then("Tab went on to Add to Existing Keywords",
              [&] { return HasFocus(dlg.GetDlgItem(CKeywordsDlg::kIdAddToExisting)); },
              [&] { user.Key("space"); });
    user.Then("the suggestion the keys stood on was added",
              [&] {
                  CString text;
                  existing.GetCellText(4, 1, text);
                  return existing.GetRowCount() == 4 && text == "rain";
              },
              [&] {
                  Keep("keywords-by-keys");
                  user.Key("Tab");
              });
    user.Then("Tab went on to OK", [&] { return HasFocus(dlg.GetDlgItem(IDOK)); }, [&] { user.Key("space"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "wind,solar,sun,rain");
}

// The list of a single-choice setting's options: Ctrl+Tab leaves the grid from any cell, Add is
// reached and pressed from the keyboard, and the new option typed is kept by OK.
TEST_F(DialogsX11Test, TheOptionsListIsLeftWithCtrlTabAndAddedToFromTheKeys)
{
    X11ModalDriver user(server->DisplayName());
    CStringList options;
    options.AddTail("text");
    options.AddTail("image");
    CListTypeAttribDlg dlg(user.Owner());
    dlg.SetOptions(options);
    CKeywordsGridCtrl& grid = dlg.GetGrid();
    CWnd* pFocusAfterGrid = nullptr;
    user.Then("the dialog is shown, the keys in the options",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&grid) && Framed(grid, 1, 1); },
              [&] { user.Key("Down ctrl+Tab"); });
    user.Then("Ctrl+Tab left the grid",
              [&] {
                  pFocusAfterGrid = CWnd::FromHandle(::GetFocus());
                  return ::GetFocus() != nullptr && !HasFocus(&grid) && ::IsChild(dlg.GetSafeHwnd(), ::GetFocus());
              },
              [&] {
                  // On to Add, wherever it stands in the dialog's order.
                  const std::string tabs = TabsTo(dlg, dlg.GetDlgItem(CListTypeAttribDlg::kIdAdd));
                  user.Key(tabs.empty() ? "space" : tabs + " space");
              });
    user.Then("Add was pressed: a third row is edited", [&] { return Editing(grid, 3, 1); },
              [&] {
                  user.Type("sound");
                  user.Key("ctrl+Tab");
              });
    user.Then("Ctrl+Tab kept the option and left the grid",
              [&] {
                  CString text;
                  grid.GetCellText(3, 1, text);
                  return text == "sound" && !HasFocus(&grid);
              },
              [&] {
                  const std::string tabs = TabsTo(dlg, dlg.GetDlgItem(IDOK));
                  user.Key(tabs.empty() ? "space" : tabs + " space");
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CStringList back;
    dlg.GetOptions(back);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_STREQ(back.GetTail(), "sound");
    EXPECT_NE(pFocusAfterGrid, nullptr);
}

// The Robots option list from the keyboard: the arrows go through the options and leave the
// choice as it is, Space picks or drops the option the keys are on, shown at once, and a letter
// typed changes no option of a list that may not be changed.
TEST_F(DialogsX11Test, SpaceTogglesAnOptionsChoiceAndTheArrowsKeepTheChoices)
{
    X11ModalDriver user(server->DisplayName());
    CMetaComboMultiSelSetting setting;
    MakeRobots(setting);
    CMetaContent content;
    content.SetContent("index");
    CMListSelOptionsDlg dlg(user.Owner());
    dlg.SetValue(setting, content);
    CGridWndWrapper& grid = dlg.GetGrid();
    const auto marked = [&](ROWCOL nRow) { return Marked(grid, nRow); };
    const auto current = [&](ROWCOL nRow) {
        ROWCOL r = 0, c = 0;
        return grid.GetCurrentCell(r, c) && r == nRow;
    };
    user.Then("the dialog is shown, the page's own choice marked",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&grid) && marked(3); },
              [&] { user.Key("Down Down Down"); });
    user.Then("the keys are on noindex, index still chosen", [&] { return current(4) && marked(3) && !marked(4); },
              [&] { user.Key("space"); });
    user.Then("Space chose noindex", [&] { return marked(4) && marked(3); },
              [&] { user.Key("Up Up x space"); });
    user.Then("Space chose none, the letter changed nothing",
              [&] {
                  CString text;
                  grid.GetCellText(2, 1, text);
                  return current(2) && marked(2) && marked(3) && marked(4) && text == "none" && !grid.IsCurrentCellActive();
              },
              [&] { user.Key("Down space"); });
    user.Then("Space again dropped index", [&] { return !marked(3) && marked(2) && marked(4); },
              [&] {
                  Keep("option-list-by-keys");
                  user.Key("Return");
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    BOOL changed = TRUE;
    CMetaComboMultiSelSetting back;
    dlg.GetValue(back, value, changed);
    EXPECT_STREQ(value, "noindex,none");
    EXPECT_FALSE(changed) << "the options of a list that may not be changed were changed";
}

// Escape while a cell of a dialog's grid is edited ends that edit and gives the cell back its
// text; the dialog stays open with all done in it. Escape with no edit going on cancels.
TEST_F(DialogsX11Test, EscapeInAGridCellEndsTheEditAndKeepsTheDialog)
{
    {
        X11ModalDriver user(server->DisplayName());
        CMetaSettingList list;
        list.SetDefaults();
        CMetaSettingDlg dlg(user.Owner());
        dlg.SetSettings(list);
        CMetaSettingGridCtrl& grid = dlg.GetGrid();
        ROWCOL nNew = 0;
        user.Then("the dialog is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
                  [&] {
                      nNew = grid.GetRowCount() + 1;
                      CRect button;
                      CToolBar& bar = dlg.GetToolbar();
                      bar.GetItemRect(bar.CommandToIndex(CMetaSettingDlg::kIdAdd), &button);
                      bar.ClientToScreen(&button);
                      user.ClickAt(button.CenterPoint());
                  });
        user.Then("the new setting's name is edited", [&] { return Editing(grid, nNew, CMetaSettingGridCtrl::kColName); },
                  [&] {
                      user.Type("Mistake");
                      user.Key("Escape");
                  });
        user.Then("Escape ended the edit, the name is the new setting's own and the dialog is open",
                  [&] {
                      CString text;
                      grid.GetCellText(nNew, CMetaSettingGridCtrl::kColName, text);
                      return !grid.IsCurrentCellActive() && text == "NewTag" && dlg.IsWindowVisible();
                  },
                  [&] {
                      Keep("settings-escape-in-cell");
                      user.Key("Escape");
                  });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "Escape with no edit going on cancels";
        EXPECT_TRUE(user.AllDone()) << user.Missed();
    }
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("wind");
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Keywords", content);
    CKeywordsGridCtrl& grid = dlg.GetExistingGrid();
    CWnd* pAdd = nullptr;
    user.Then("the dialog is shown with the focus", [&] { return Ready(dlg.GetSafeHwnd()); },
              [&] {
                  pAdd = dlg.GetDlgItem(CKeywordsDlg::kIdAdd);
                  user.ClickAt(CentreOf(pAdd));
              });
    for (const char* keyword : {"sun", "rain", "tide", "hail"})
        user.Then(std::string("a new row is edited for ") + keyword,
                  [&grid] { return grid.IsCurrentCellActive() && grid.GetCurrentCellControl() != nullptr; },
                  [&user, &pAdd, keyword] {
                      user.Type(keyword);
                      user.Key("Return");
                      user.ClickAt(CentreOf(pAdd));
                  });
    user.Then("the sixth row is edited", [&] { return Editing(grid, 6, 1); },
              [&] {
                  user.Type("typo");
                  user.Key("Escape");
              });
    user.Then("Escape ended the edit and left the dialog open",
              [&] { return !grid.IsCurrentCellActive() && dlg.IsWindowVisible() && grid.GetRowCount() == 6; },
              [&] { user.Key("Return"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "wind,sun,rain,tide,hail") << "the keywords added before the Escape were lost";
}

// The preview of a page's changes takes the keys of a page of text: Page Down and Page Up turn
// its pages, Ctrl+End and Ctrl+Home go to its last and first lines, and Escape closes it.
TEST_F(DialogsX11Test, ThePreviewPagesWithTheKeysAndClosesWithEscape)
{
    ScopedTempDir files;
    const std::string disk = files.Path() + "/page.htm";
    const std::string rewritten = files.Path() + "/VOS1.tmp";
    for (const std::string& path : {disk, rewritten}) {
        std::ofstream out(path);
        for (int i = 1; i <= 300; ++i)
            out << "<p>Line " << i << "</p>\n";
    }
    X11ModalDriver user(server->DisplayName());
    CPreviewDlg dlg(user.Owner());
    dlg.SetFiles(disk.c_str(), rewritten.c_str());
    int nTopAfterPage = 0;
    const auto editor = [&]() -> SECEditCtrl& { return dlg.GetLeftPane().GetEditor(); };
    user.Then("the preview is shown, the keys in the page on disk",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&editor()) && editor().GetTopLineNo() == 1; },
              [&] { user.Key("Next"); });
    user.Then("Page Down turned a page",
              [&] {
                  nTopAfterPage = editor().GetTopLineNo();
                  return nTopAfterPage > 10;
              },
              [&] { user.Key("ctrl+End"); });
    user.Then("Ctrl+End went to the last lines", [&] { return editor().GetTopLineNo() > 250; },
              [&] {
                  Keep("preview-end");
                  user.Key("Prior");
              });
    user.Then("Page Up turned a page back", [&] { return editor().GetTopLineNo() < 250 && editor().GetTopLineNo() > 1; },
              [&] { user.Key("ctrl+Home"); });
    user.Then("Ctrl+Home went back to the first line", [&] { return editor().GetTopLineNo() == 1; },
              [&] { user.Key("Escape"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
}

// The repeated tags the rewrite takes out are shown where they stand in the page on disk: their
// lines' numbers white on red, and the pane's caption says so.
TEST_F(DialogsX11Test, ThePreviewShowsTheRepeatedTagsTakenOut)
{
    ScopedTempDir files;
    const std::string disk = files.Path() + "/référence.htm";
    const std::string rewritten = files.Path() + "/VOS1.tmp";
    const std::string head = "<html>\n<head>\n<title>Référence ß Ελληνικά 日本語</title>\n"
                             "<meta name=\"keywords\" content=\"a\">\n<meta name=\"author\" content=\"me\">\n";
    const std::string second = "<meta name=\"keywords\" content=\"b\">";
    const std::string third = "<meta name=\"KEYWORDS\"\n      content=\"c\">";
    const std::string rest = "\n</head>\n<body>text</body>\n</html>\n";
    {
        std::ofstream(disk) << head << second << "\n" << third << rest;
        std::ofstream(rewritten) << "<html>\n<head>\n<title>Référence ß Ελληνικά 日本語</title>\n"
                                 << "<meta name=\"keywords\" content=\"new\">\n<meta name=\"author\" content=\"me\">"
                                 << rest;
    }
    // Lines 6, 7 and 8 hold the two tags.
    const ULONGLONG nSecond = head.size();
    const ULONGLONG nThird = nSecond + second.size() + 1;
    X11ModalDriver user(server->DisplayName());
    CPreviewDlg dlg(user.Owner());
    dlg.SetFiles(disk.c_str(), rewritten.c_str());
    dlg.SetRemovedTags({{nSecond, nSecond + second.size()}, {nThird, nThird + third.size()}});
    // The colour of a line's margin on the screen, left of its number.
    const auto margin = [&](int nLine) {
        CEditCtrlWrapper& editor = dlg.GetLeftPane().GetEditor();
        const POINT at = OnScreen(editor.GetSafeHwnd(),
                                  POINT{1, (nLine - editor.GetTopLineNo()) * editor.GetLineHeight() + 2});
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        const uint32_t colour = shot != nullptr ? PixelAt(shot, at) : 0;
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        return colour & 0xFFFFFFu;
    };
    std::vector<uint32_t> colours;
    user.Then("the preview is shown",
              [&] { return Ready(dlg.GetSafeHwnd()) && dlg.GetLeftPane().GetEditor().GetTopLineNo() == 1; },
              [&] {
                  for (int nLine = 4; nLine <= 9; ++nLine)
                      colours.push_back(margin(nLine));
                  Keep("preview-repeats");
                  user.Key("Escape");
              });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(colours, (std::vector<uint32_t>{colours[0], colours[0], 0x800000u, 0x800000u, 0x800000u, colours[0]}));
    EXPECT_NE(colours[0], 0x800000u);
    EXPECT_STREQ(dlg.GetLeftPane().GetCaption(),
                 ("Repeated tags taken out: 2, numbered in red - Current '" + disk + "'").c_str());
    EXPECT_STREQ(dlg.GetRightPane().GetCaption(), ("Modified '" + disk + "'").c_str());
}

// Both panes of the preview are reached by the keys: Tab and Shift+Tab go round them, and so do
// Ctrl+Tab and F6 and Shift+F6; Page Down turns a page of the pane with the keys alone.
TEST_F(DialogsX11Test, ThePreviewsPanesAreReachedAndPagedByTheKeys)
{
    ScopedTempDir files;
    const std::string disk = files.Path() + "/page.htm";
    const std::string rewritten = files.Path() + "/VOS1.tmp";
    for (const std::string& path : {disk, rewritten}) {
        std::ofstream out(path);
        if (path == rewritten)
            out << "<meta name=\"description\" content=\"Café, Straße, Ελλάδα, 東京\">\n";
        for (int i = 1; i <= 300; ++i)
            out << "<p>Line " << i << "</p>\n";
    }
    X11ModalDriver user(server->DisplayName());
    CPreviewDlg dlg(user.Owner());
    dlg.SetFiles(disk.c_str(), rewritten.c_str());
    SECEditCtrl& left = dlg.GetLeftPane().GetEditor();
    SECEditCtrl& right = dlg.GetRightPane().GetEditor();
    user.Then("the preview is shown, the keys in the page on disk",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&left); }, [&] { user.Key("Tab"); });
    user.Then("Tab went on to the page as it would be written", [&] { return HasFocus(&right); },
              [&] { user.Key("Next"); });
    user.Then("Page Down turned a page of that pane alone",
              [&] { return right.GetTopLineNo() > 10 && left.GetTopLineNo() == 1; },
              [&] {
                  Keep("preview-modified");
                  user.Key("Tab");
              });
    user.Then("Tab came round to the page on disk", [&] { return HasFocus(&left); }, [&] { user.Key("shift+Tab"); });
    user.Then("Shift+Tab went back to the other pane", [&] { return HasFocus(&right); }, [&] { user.Key("F6"); });
    user.Then("F6 went on to the page on disk", [&] { return HasFocus(&left); }, [&] { user.Key("shift+F6"); });
    user.Then("Shift+F6 went back", [&] { return HasFocus(&right); }, [&] { user.Key("ctrl+Tab"); });
    user.Then("Ctrl+Tab went on", [&] { return HasFocus(&left); }, [&] { user.Key("Escape"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
}

// A date typed in part: its day, month and year, the time left out, are taken at midnight by
// OK, and the calendar shows the year typed as it is typed. Without its year OK says what is
// missing and keeps the dialog open on the date; the year typed then, OK takes the date.
TEST_F(DialogsX11Test, ADateTypedInPartIsCompletedOrRefusedNeverEmptied)
{
    const char* const kPicture = "ddd, dd MMM yyyy HH:mm:ss 'GMT'";
    {
        X11ModalDriver user(server->DisplayName());
        CDateTimeDlg dlg(user.Owner());
        dlg.SetValue("Expires", "");
        dlg.SetFormat(kPicture);
        user.Then("the dialog is shown with the keys in the empty date",
                  [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetDateCtrl()) && dlg.GetDateCtrl().IsNullEntry(); },
                  [&] { user.Key("w Right 1 5 m Right 2 0 3 1"); });
        user.Then("the calendar shows March 2031",
                  [&] {
                      const COleDateTime shown = dlg.GetCalendar().GetDisplayDate();
                      return shown.GetYear() == 2031 && shown.GetMonth() == 3;
                  },
                  [&] {
                      Keep("date-typed-in-part");
                      user.Key("Return");
                  });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(user.AllDone()) << user.Missed();
        CString value;
        dlg.GetValue(value);
        EXPECT_STREQ(value, "Sat, 15 Mar 2031 00:00:00 GMT");
    }
    X11ModalDriver user(server->DisplayName());
    CDateTimeDlg dlg(user.Owner());
    dlg.SetValue("Expires", "");
    dlg.SetFormat(kPicture);
    HWND hMessage = nullptr;
    user.Then("the dialog is shown with the keys in the empty date",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetDateCtrl()); },
              [&] { user.Key("Right 2 9 j Return"); });
    user.Then("a message says the year is missing",
              [&] {
                  hMessage = ::GetForegroundWindow();
                  char text[512] = {};
                  HWND hText = hMessage != nullptr && hMessage != dlg.GetSafeHwnd() ? ::FindWindowEx(hMessage, nullptr, "Static", nullptr) : nullptr;
                  for (; hText != nullptr; hText = ::FindWindowEx(hMessage, hText, "Static", nullptr)) {
                      ::GetWindowText(hText, text, sizeof text);
                      if (std::string(text).find("year") != std::string::npos)
                          return Ready(hMessage);
                  }
                  return false;
              },
              [&] {
                  Keep("date-missing-year");
                  user.Key("Return");
              });
    user.Then("the dialog is open again with the keys in the date",
              [&] { return !::IsWindow(hMessage) && dlg.IsWindowVisible() && HasFocus(&dlg.GetDateCtrl()); },
              [&] { user.Key("2 0 3 0 Return"); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "Tue, 29 Jan 2030 00:00:00 GMT");
}

// A classification tree being defined gives its menus to the keyboard too: the menu key opens
// the chosen node's menu at that node, and Create Child Node is chosen there by its letter.
TEST_F(DialogsX11Test, TheMenuKeyOpensTheChosenNodesMenuInTheClassificationTree)
{
    X11ModalDriver user(server->DisplayName());
    CDoubleLinkNodeCol start;
    start.AddNew("Products");
    start.AddNew("Services");
    CClassificationDlg dlg(user.Owner());
    dlg.SetTreeToDefine(start);
    CClassificationTreeCtrl& tree = dlg.GetTreeCtrl();
    CRect menu;
    CRect label;
    user.Then("the dialog is shown with the keys in the tree",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&tree); }, [&] { user.Key("Home"); });
    user.Then("the first node is chosen", [&] { return tree.GetSelectedItem() == tree.GetRootItem(); },
              [&] {
                  tree.GetLabelRect(tree.GetItemRow(tree.GetRootItem()), label, 2);
                  tree.ClientToScreen(&label);
                  user.Key("Menu");
              });
    user.Then("the node's menu is open",
              [&] {
                  for (HWND popup : MenuDriver::OpenMenus())
                      if (MenuDriver::FindItem(MenuDriver::MenuOf(popup), "Create Child Node") >= 0) {
                          ::GetWindowRect(popup, &menu);
                          return true;
                      }
                  return false;
              },
              [&] {
                  Keep("classification-menu-key");
                  user.Key("c");
              });
    user.Then("a child is being named", [&] { return tree.IsEditingLabel(); },
              [&] {
                  user.Type("Tools");
                  user.Key("Return");
              });
    user.Then("the child is named and the menu gone", [&] { return !tree.IsEditingLabel() && MenuDriver::OpenMenus().empty(); },
              [&] {
                  // Tab goes on to OK, which Space presses.
                  const std::string tabs = TabsTo(dlg, dlg.GetDlgItem(IDOK));
                  user.Key(tabs.empty() ? "space" : tabs + " space");
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_LE(std::abs(menu.top - label.bottom), 6) << "the menu opened at " << menu.left << "," << menu.top;
    EXPECT_TRUE(menu.left >= label.left - 2 && menu.left <= label.right) << "the menu opened at " << menu.left << "," << menu.top;
    CDoubleLinkNodeCol result;
    dlg.GetTree(result);
    ASSERT_EQ(result.GetCount(), 2);
    ASSERT_EQ(result.GetHead()->m_Children.GetCount(), 1);
    EXPECT_STREQ(result.GetHead()->m_Children.GetHead()->m_strName, "Tools");
}

// A node of the classification tree being defined, renamed by the keys alone: F2 opens its
// label, the name typed in other scripts and Enter give the node the name, and the tree shows
// it at once, as wide as it is; OK hands it on.
TEST_F(DialogsX11Test, ANodeRenamedByTheKeysShowsItsNewName)
{
    const std::string name = "Grüße Ωμέγα 日本";
    X11KeyboardLetters letters(other, name);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    X11ModalDriver user(server->DisplayName());
    CDoubleLinkNodeCol start;
    start.AddNew("Ab");
    start.AddNew("Services");
    CClassificationDlg dlg(user.Owner());
    dlg.SetTreeToDefine(start);
    CClassificationTreeCtrl& tree = dlg.GetTreeCtrl();
    // Where the first node's label ends on the screen: the last pixel of its row, left of the
    // tree's right edge, that is not the tree's background.
    const auto labelEnd = [&] {
        backend->Sync();
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        if (shot == nullptr)
            return -1;
        CRect label, client;
        tree.GetLabelRect(tree.GetItemRow(tree.GetRootItem()), label, 0);
        tree.GetClientRect(&client);
        const uint32_t background = PixelAt(shot, OnScreen(tree.GetSafeHwnd(), POINT{client.right - 4, label.CenterPoint().y}));
        int nEnd = -1;
        for (int x = label.left; x < client.right - 4; ++x)
            for (int y = label.top + 1; y < label.bottom - 1; ++y)
                if (PixelAt(shot, OnScreen(tree.GetSafeHwnd(), POINT{x, y})) != background)
                    nEnd = std::max(nEnd, x);
        cairo_surface_destroy(shot);
        return nEnd;
    };
    int nEndBefore = -1, nEndAfter = -1;
    std::string shown;
    user.Then("the dialog is shown with the keys in the tree",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&tree); }, [&] { user.Key("Home"); });
    user.Then("the first node is chosen", [&] { return tree.GetSelectedItem() == tree.GetRootItem(); },
              [&] {
                  nEndBefore = labelEnd();
                  user.Key("F2");
              });
    user.Then("its label is being edited", [&] { return tree.IsEditingLabel(); },
              [&] {
                  user.Type(name);
                  user.Key("Return");
              });
    user.Then("the edit ended with the keys back in the tree", [&] { return !tree.IsEditingLabel() && HasFocus(&tree); },
              [&] {
                  nEndAfter = labelEnd();
                  shown = tree.GetItemText(tree.GetRootItem()).GetString();
                  Keep("classification-renamed");
                  const std::string tabs = TabsTo(dlg, dlg.GetDlgItem(IDOK));
                  user.Key(tabs.empty() ? "space" : tabs + " space");
              });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(shown, name) << "the tree's item keeps its old name";
    EXPECT_GT(nEndAfter, nEndBefore + 40) << "the screen shows the old name: its label ends at " << nEndAfter
                                           << ", the old one at " << nEndBefore;
    CDoubleLinkNodeCol result;
    dlg.GetTree(result);
    ASSERT_EQ(result.GetCount(), 2);
    EXPECT_EQ(std::string(result.GetHead()->m_strName.GetString()), name);
}

// Enter with the keys in a tree presses the dialog's default button, as it does from any other
// control: in Classification the keypad's Enter too, giving the node the keys chose; in Browse
// for Folder it chooses the folder the keys stand on, which then stands in New Project's field.
TEST_F(DialogsX11Test, EnterInATreePressesTheDefaultButton)
{
    CMetaClassificationSetting setting;
    setting.SetName("Région");
    setting.m_Tree.DeleteAll();
    setting.m_Tree.AddNew("Café");
    setting.m_Tree.AddNew("Straße");
    setting.m_Tree.AddNew("Ελλάδα");
    for (const char* key : {"Return", "KP_Enter"}) {
        SCOPED_TRACE(key);
        X11ModalDriver user(server->DisplayName());
        CClassificationDlg dlg(user.Owner());
        dlg.SetValue(0, setting, "café");
        CClassificationTreeCtrl& tree = dlg.GetTreeCtrl();
        user.Then("the dialog is shown with the keys in the tree, on the page's node",
                  [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&tree) && tree.GetSelectedItem() == tree.GetRootItem(); },
                  [&] { user.Key("End"); });
        user.Then("the keys chose the last node", [&] { return tree.GetSelectedItem() != tree.GetRootItem(); },
                  [&] { user.Key(key); });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(user.AllDone()) << user.Missed();
        CString value;
        dlg.GetValue(value);
        EXPECT_STREQ(value, "Ελλάδα");
    }

    ScopedTempDir dir;
    const std::string site = dir.Path() + "/site";
    std::filesystem::create_directories(site + "/ωμέγα/deep");
    X11ModalDriver user(server->DisplayName());
    CNewProjectDlg dlg(user.Owner());
    FillNewProject(dlg);
    HWND hBrowser = nullptr;
    OpenTheBrowserOn(user, dlg, site, hBrowser, [&] { user.Key("Down"); });
    user.Then("Down chose the closed folder", [&] { return ChosenIn(hBrowser) == site + "/ωμέγα"; },
              [&] { user.Key("Return"); });
    user.Then("the browser has gone and the field names the folder chosen",
              [&] { return !::IsWindow(hBrowser) && Ready(dlg.GetSafeHwnd()) && FieldOf(dlg) == site + "/ωμέγα"; },
              [&] { user.Key("Escape"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();
}

// Keywords and New Project show from their first paint where the keys are and which button
// Enter presses: an empty keyword list wears a dotted focus frame, and OK the default button's
// black frame. The keys taken on to Cancel take the frame with them, and Enter presses Cancel.
TEST_F(DialogsX11Test, TheFirstPaintShowsTheFocusAndTheDefaultButton)
{
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("");
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Schlüsselwörter", content);
    user.Then("the dialog is shown, the empty list framed as having the keys and OK as the default",
              [&] {
                  return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetExistingGrid()) &&
                         ShowsFocusFrame(dlg.GetExistingGrid()) && WearsDefaultFrame(dlg.GetDlgItem(IDOK));
              },
              [&] {
                  Keep("keywords-empty");
                  user.Key(TabsTo(dlg, dlg.GetDlgItem(IDCANCEL)));
              });
    user.Then("Cancel has the keys and the default frame, OK and the list have neither",
              [&] {
                  return HasFocus(dlg.GetDlgItem(IDCANCEL)) && WearsDefaultFrame(dlg.GetDlgItem(IDCANCEL)) &&
                         !WearsDefaultFrame(dlg.GetDlgItem(IDOK)) && !ShowsFocusFrame(dlg.GetExistingGrid());
              },
              [&] { user.Key("Return"); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllDone()) << user.Missed();

    X11ModalDriver again(server->DisplayName());
    CNewProjectDlg project(again.Owner());
    FillNewProject(project);
    again.Then("New Project is shown, the keys in the folder's field and OK as the default",
               [&] {
                   return Ready(project.GetSafeHwnd()) && HasFocus(project.GetDlgItem(CNewProjectDlg::kIdDirectory)) &&
                          WearsDefaultFrame(project.GetDlgItem(IDOK));
               },
               [&] {
                   Keep("new-project");
                   again.Key("Escape");
               });
    EXPECT_EQ(project.DoModal(), IDCANCEL);
    EXPECT_TRUE(again.AllDone()) << again.Missed();
}

// The existing keywords' current row keeps a mark when Tab takes the keys to Add; Add's new row
// is framed as the place typing goes; a Shift range of suggestions is lit to its last row.
TEST_F(DialogsX11Test, TheKeywordListsShowTheCurrentRowAndTheWholeRange)
{
    const auto dark = [](uint32_t pixel) {
        return ((pixel >> 16) & 0xFF) < 0x40 && ((pixel >> 8) & 0xFF) < 0x40 && (pixel & 0xFF) < 0x40;
    };
    const auto pixel = [&](CGXGridWnd& grid, int x, int y) {
        uint32_t seen = 0xFFFFFFFFu;
        CountPixels(grid.GetSafeHwnd(), CRect(x, y, x + 1, y + 1), [&](uint32_t p) { seen = p; return true; });
        return seen;
    };
    const auto current = [](CGXGridWnd& grid, ROWCOL nRow) {
        ROWCOL r = 0, c = 0;
        return grid.GetCurrentCell(r, c) && r == nRow;
    };
    // A row out of the keys keeps a mark by its left edge, where another row shows the white
    // of the cell; a chosen row is dark away from its text; a row being edited shows the black
    // top edge of the keys' frame above its edit.
    const auto marked = [&](CGXGridWnd& grid, ROWCOL nRow) {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return pixel(grid, cell.left + 1, cell.CenterPoint().y) != 0xFFFFFFu;
    };
    const auto lit = [&](CGXGridWnd& grid, ROWCOL nRow) {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return dark(pixel(grid, cell.right - 8, cell.CenterPoint().y));
    };
    const auto editFramed = [&](CGXGridWnd& grid, ROWCOL nRow) {
        const CRect cell = grid.CalcCellRect(nRow, 1);
        return dark(pixel(grid, cell.CenterPoint().x, cell.top));
    };
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
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&existing) && NothingToPaint(); }, [&] { user.Key("Down"); });
    user.Then("Down made the second row current", [&] { return current(existing, 2) && Framed(existing, 2, 1); },
              [&] { user.Key("Tab"); });
    user.Then("Tab took the keys to Add", [&] { return HasFocus(dlg.GetDlgItem(CKeywordsDlg::kIdAdd)) && NothingToPaint(); },
              [&] {
                  Keep("keywords-list-left");
                  bMarkedAway = marked(existing, 2);
                  bOtherMarked = marked(existing, 3);
                  user.Key("space");
              });
    user.Then("Add made a fourth row, being edited",
              [&] {
                  CGXControl* pControl = existing.GetCurrentCellControl();
                  return current(existing, 4) && pControl != nullptr && pControl->IsActive() && NothingToPaint();
              },
              [&] {
                  Keep("keywords-row-added");
                  bNewFramed = editFramed(existing, 4);
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
    user.Then("the suggestions have the keys", [&] { return HasFocus(&suggested) && current(suggested, 1); },
              [&] { user.Key("shift+Down shift+Down"); });
    user.Then("Shift took in three rows", [&] { return current(suggested, 3) && NothingToPaint(); },
              [&] {
                  Keep("keywords-shift-range");
                  bFirstLit = lit(suggested, 1);
                  bLastLit = lit(suggested, 3);
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
TEST_F(DialogsX11Test, TheCalendarShowsItsFocusOnceTabReachesIt)
{
    const auto pixels = [&](HWND hwnd, const CRect& area) {
        std::vector<uint32_t> out;
        CountPixels(hwnd, area, [&](uint32_t p) { out.push_back(p); return true; });
        return out;
    };
    X11ModalDriver user(server->DisplayName());
    CDateTimeDlg dlg(user.Owner());
    dlg.SetValue("Date", "2023/02/11");
    SECCalendar& calendar = dlg.GetCalendar();
    CRect area;
    std::vector<uint32_t> before, focused, after;
    user.Then("the dialog is shown with the keys in the date",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&dlg.GetDateCtrl()) && NothingToPaint(); },
              [&] {
                  calendar.GetClientRect(&area);
                  before = pixels(calendar.GetSafeHwnd(), area);
                  user.Key("Tab");
              });
    user.Then("Tab took the keys to the calendar", [&] { return HasFocus(&calendar) && NothingToPaint(); },
              [&] {
                  Keep("calendar-focused");
                  focused = pixels(calendar.GetSafeHwnd(), area);
                  user.Key("Tab");
              });
    user.Then("Tab went on to OK", [&] { return HasFocus(dlg.GetDlgItem(IDOK)) && NothingToPaint(); },
              [&] {
                  after = pixels(calendar.GetSafeHwnd(), area);
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

// Down in the keywords list moves the frame to the next row and leaves no dots behind: the
// row it left is drawn again without the dotted frame of a list that has no current row.
TEST_F(DialogsX11Test, TheKeywordListLeavesNoFocusFrameBehindItsCurrentRow)
{
    const auto dark = [](uint32_t pixel) {
        return ((pixel >> 16) & 0xFF) < 0x80 && ((pixel >> 8) & 0xFF) < 0x80 && (pixel & 0xFF) < 0x80;
    };
    const auto current = [](CGXGridWnd& grid, ROWCOL nRow) {
        ROWCOL r = 0, c = 0;
        return grid.GetCurrentCell(r, c) && r == nRow;
    };
    X11ModalDriver user(server->DisplayName());
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("Wind,Straße,ωμέγα");
    CKeywordsDlg dlg(user.Owner());
    dlg.SetContent("Keywords", content);
    CKeywordsGridCtrl& existing = dlg.GetExistingGrid();
    int nTopDots = -1, nLeftDots = -1;
    user.Then("the dialog is shown with the keys in the existing keywords",
              [&] { return Ready(dlg.GetSafeHwnd()) && HasFocus(&existing) && current(existing, 1) && NothingToPaint(); },
              [&] { user.Key("Down"); });
    user.Then("Down made the second row current", [&] { return current(existing, 2) && NothingToPaint(); },
              [&] {
                  Keep("keywords-down");
                  CRect client;
                  existing.GetClientRect(&client);
                  const CRect first = existing.CalcCellRect(1, 1);
                  // Along the top of the list and down the left of the row the keys left, inside
                  // the row's own grey lines: white where nothing is framed.
                  nTopDots = CountPixels(existing.GetSafeHwnd(), CRect(client.left + 2, 1, client.right - 2, 2), dark);
                  nLeftDots = CountPixels(existing.GetSafeHwnd(), CRect(1, first.top + 2, 2, first.bottom - 2), dark);
                  user.Key("Escape");
              });
    dlg.DoModal();
    EXPECT_TRUE(user.AllDone()) << user.Missed();
    EXPECT_EQ(nTopDots, 0) << "dots of a focus frame stay along the top of the list";
    EXPECT_EQ(nLeftDots, 0) << "dots of a focus frame stay down the left of the first row";
}
