// What the program tells the user, as the user meets it on the X server: the boxes after Replace
// All, the Output Area's report of a save with many failures (every line kept, each page named by
// its path in the site, a scroll bar, the wheel), what a scan stopped early says and shows, and
// why New Project refuses a folder.
#include "app/dialogs/CNewProjectDlg.h"
#include "app/dialogs/CPreviewDlg.h"
#include "tests/app/ShownPreview.h"
#include "tests/app/UserStepsX11Fixture.h"

#include "app/panes/COutputAreaControlBar.h"
#include "engine/project/CParserEngine.h"
#include "grid/core/CGXFindReplaceState.h"
#include "tests/app/PartFetchBackend.h"
#include "platform/controls/CommonDialog.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/WithoutFileOverride.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>

namespace {

class MainWindowReportsX11Test : public MainWindowStepsX11Test {
protected:
    // The find or replace dialog holds the display's focus.
    bool FindDialogHasFocus()
    {
        const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return hDialog != nullptr && ::IsWindowVisible(hDialog) && focus == backend->XWindowOf(hDialog);
    }
    bool ClickDialogButton(int nId)
    {
        CRect rect;
        ::GetWindowRect(::GetDlgItem(GXGetFindReplaceState().m_hWndDialog, nId), &rect);
        return ClickAt(rect.CenterPoint());
    }
    // A fetch engine that reads part of each scan; it outlives the program the test runs.
    PartFetchBackend partial{5};

    static std::string ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The text of the dialog's label that starts so, "" when none does.
    static std::string StaticTextStartingWith(HWND hDialog, const std::string& start)
    {
        std::string found;
        for (HWND hChild = ::GetWindow(hDialog, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            char text[512] = {};
            ::GetWindowText(hChild, text, sizeof text);
            if (std::string(text).rfind(start, 0) == 0)
                found = text;
        }
        return found;
    }
    // How many pixels of a strip of the screen have the colour.
    static int PixelsOf(cairo_surface_t* shot, const CRect& strip, COLORREF color)
    {
        int n = 0;
        for (int y = strip.top; y < strip.bottom; ++y)
            for (int x = strip.left; x < strip.right; ++x)
                n += screen_capture::PixelAt(shot, x, y) == Rgb(color);
        return n;
    }
};

} // namespace

// A site of 432 read-only pages, two of them named index.htm in folders of their own. Replace
// All of the titles says how many cells it changed, and a second one that finds nothing left
// says so; Save Edited Files then fails every page, and the Output Area keeps the whole report,
// far past 32 KB, each page named by its path in the site, with a scroll bar, and the wheel
// turned over it scrolls it while the keyboard stays in the grid.
TEST_F(MainWindowReportsX11Test, ReplaceAllCountsAndTheOutputAreaKeepsAWholeSaveReport)
{
    site = dir.Path() + "/site";
    const std::string quarterly = site + "/reports/quarterly";
    std::filesystem::create_directories(quarterly);
    std::vector<std::string> pages;
    for (int i = 1; i <= 430; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/summary-of-the-quarterly-report-number-%03d.htm", i);
        pages.push_back(quarterly + name);
    }
    for (const char* folder : {"en", "fr"}) {
        std::filesystem::create_directories(site + "/" + folder);
        pages.push_back(site + "/" + folder + "/index.htm");
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        std::ofstream(pages[i]) << "<html><head><title>Report " << i << "</title></head><body>x</body></html>\n";
        ::chmod(pages[i].c_str(), 0444);
    }
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(static_cast<UINT>(pages.size())));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());

    // Replace All in the Title column, from the first row.
    ASSERT_TRUE(ClickCell(1, CGroupView::kTitleColumn));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, CGroupView::kTitleColumn); })) << "the click made no current cell";
    ASSERT_TRUE(Xdo("key ctrl+h"));
    ASSERT_TRUE(RunUntil([&] { return FindDialogHasFocus(); })) << "no Replace dialog";
    ASSERT_TRUE(XdoNow("key ctrl+a BackSpace"));
    ASSERT_TRUE(XdoNow("type --delay 20 Report"));
    ASSERT_TRUE(XdoNow("key Tab"));
    ASSERT_TRUE(XdoNow("type --delay 20 Summary"));
    ASSERT_TRUE(RunUntil([&] {
        CString strFind, strReplace;
        CWnd::FromHandle(GXGetFindReplaceState().m_hWndDialog)->GetDlgItemText(edt1, strFind);
        CWnd::FromHandle(GXGetFindReplaceState().m_hWndDialog)->GetDlgItemText(edt2, strReplace);
        return strFind == "Report" && strReplace == "Summary";
    })) << "the texts were not typed in";
    ASSERT_TRUE(ClickDialogButton(psh2));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && FindDialogHasFocus(); }))
        << "Replace All said nothing";
    EXPECT_EQ(boxes.Texts()[0], "'Report' was replaced with 'Summary' in 432 cells of the column 'Title'.");
    CString strTitle;
    view->GetCellText(432, CGroupView::kTitleColumn, strTitle);
    EXPECT_EQ(strTitle.Left(8), "Summary ");
    // Nothing is left to replace: now, and only now, it says that nothing was found.
    ASSERT_TRUE(ClickDialogButton(psh2));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && FindDialogHasFocus(); }))
        << "the second Replace All said nothing";
    // What to do next, for the mouse and for the keys of the dialog the search came from.
    EXPECT_EQ(boxes.Texts()[1], "'Report' was not found in the column 'Title' below the current cell.\n\nFind searches the "
                                "column of the current cell. To search another column, click a cell of it and choose "
                                "Find Next; or press Esc, move to that column with the arrow keys and press Ctrl+H again.");
    ASSERT_TRUE(XdoNow("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return !FindDialogHasFocus() && ProgramHasFocus(); })) << "the dialog stayed";

    // The save fails every page; its report ends with the closing count.
    ASSERT_TRUE(Xdo("key ctrl+t"));
    const std::string closing = "Save Edited Files: 0 of 432 pages written, 432 not written.";
    ASSERT_TRUE(RunUntil([&] {
        const std::vector<std::string> lines = OutputLines();
        return !lines.empty() && lines.back() == closing;
    })) << "the report never ended; its last line: " << (OutputLines().empty() ? "" : OutputLines().back());
    const std::vector<std::string> lines = OutputLines();
    ASSERT_EQ(lines.size(), pages.size() + 1);
    EXPECT_GT(OutputArea().GetText().GetLength(), 32 * 1024);
    const std::string denied = " : Denied Access: the page is read-only. The page was left as it was.";
    std::set<std::string> expected{"EN/INDEX.HTM" + denied, "FR/INDEX.HTM" + denied, closing};
    for (int i = 1; i <= 430; ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "REPORTS/QUARTERLY/SUMMARY-OF-THE-QUARTERLY-REPORT-NUMBER-%03d.HTM", i);
        expected.insert(line + denied);
    }
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), expected);

    // The lines scroll: a bar at the right, and the wheel over them.
    ASSERT_TRUE(Quiet());
    CWnd& output = OutputArea().GetOutputWnd();
    CRect rect;
    output.GetWindowRect(&rect);
    const CRect bar(rect.right - ::GetSystemMetrics(SM_CXVSCROLL), rect.top, rect.right, rect.bottom);
    cairo_surface_t* before = Shot("output-area-report");
    ASSERT_NE(before, nullptr);
    EXPECT_GT(PixelsOf(before, bar, ::GetSysColor(COLOR_BTNFACE)), bar.Width() * bar.Height() / 3)
        << "no scroll bar beside the lines";
    const HWND hGridFocus = ::GetFocus();
    const LRESULT nFirst = output.SendMessage(EM_GETFIRSTVISIBLELINE);
    ASSERT_GT(nFirst, 100) << "the last lines are in view";
    ASSERT_TRUE(MoveTo(rect.CenterPoint()));
    ASSERT_TRUE(XdoNow("click --repeat 3 --delay 50 4"));
    ASSERT_TRUE(RunUntil([&] { return output.SendMessage(EM_GETFIRSTVISIBLELINE) < nFirst; }))
        << "the wheel did not scroll the lines";
    ASSERT_TRUE(Quiet());
    cairo_surface_t* after = Shot("output-area-wheel");
    ASSERT_NE(after, nullptr);
    EXPECT_GT(DifferentPixels(before, after, output.GetSafeHwnd(), CRect(0, 0, rect.Width() - bar.Width(), rect.Height())), 100)
        << "the lines on the screen did not move";
    EXPECT_EQ(::GetFocus(), hGridFocus) << "the keyboard stays where it was";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    for (const std::string& page : pages)
        ::chmod(page.c_str(), 0644);
}

// A site scanned whole, then scanned again and stopped with Esc part-way: the pages the second
// scan did not read show the Not Scanned picture and grey names, not the look of pages without
// tags, and the user is told how many of how many pages were read.
TEST_F(MainWindowReportsX11Test, AStoppedScanSaysHowFarItCameAndMarksThePagesNotRead)
{
    constexpr UINT kPages = 1500;
    constexpr UINT kRead = 5;
    MakeSite(static_cast<int>(kPages));
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(kPages));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    EXPECT_TRUE(boxes.Texts().empty()) << "a scan that read every page says nothing of a stop";

    // The next scan reads the first pages, and is stopped while it waits for the others.
    CParserEngine::GetEngine().SetScanBackend(&partial);
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1 && Frame().GetFilesScanned() == kRead; }))
        << "the second scan did not read its pages: " << Frame().GetFilesScanned();
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1 && ProgramHasFocus(); }))
        << "the stopped scan said nothing";
    char expected[128];
    std::snprintf(expected, sizeof expected, "The scan was stopped: %u of %u pages were read.", kRead, kPages);
    EXPECT_EQ(boxes.Texts()[0].rfind(expected, 0), 0u) << boxes.Texts()[0];
    const ROWCOL nRead = kRead;

    // Rows on both sides of the last page read, on the screen as the scan left it (the pages
    // read come first, in the grid's order, which is the scan's): the picture before the name
    // tells them apart.
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("stopped-scan");
    ASSERT_NE(shot, nullptr);
    const auto picture = [&](ROWCOL nRow) {
        const CRect cell = view->CalcCellRect(nRow, CGroupView::kFileColumn);
        std::vector<uint32_t> pixels;
        for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
            for (int x = cell.left + 3; x < cell.left + 17; ++x)
                pixels.push_back(GridPixel(shot, x, y));
        return pixels;
    };
    const auto ink = [&](ROWCOL nRow) {
        const CRect cell = view->CalcCellRect(nRow, CGroupView::kFileColumn);
        return DarkPixels(shot, CRect(cell.left + 20, cell.top + 2, cell.right - 2, cell.bottom - 2), 0x40);
    };
    EXPECT_EQ(picture(nRead - 1), picture(nRead));
    EXPECT_EQ(picture(nRead + 1), picture(nRead + 2));
    EXPECT_NE(picture(nRead), picture(nRead + 1)) << "a page not read looks like one read";
    EXPECT_GT(ink(nRead), 20) << "the name of a page read is written in black";
    EXPECT_EQ(ink(nRead + 1), 0) << "the name of a page not read is greyed";
    cairo_surface_destroy(shot);
}

// A project whose settings file was cut short: started with it on the command line, and opened
// with File > Open, the one box says that the project could not be opened, and why, naming the
// file; a project file that is no project file is named in its one box as well.
TEST_F(MainWindowReportsX11Test, AProjectThatCannotBeOpenedSaysWhichFileAndWhy)
{
    MakeSite(2);
    WriteProject({"Description"});
    const std::string settings = SettingsPath();
    std::filesystem::resize_file(settings, std::filesystem::file_size(settings) / 2);
    const std::string bad = dir.Path() + "/bad.vsp";
    std::ofstream(bad) << "this is no project at all\n";
    const std::string notOpened = "Project could NOT be opened!\n\nThe project's metatag settings file '" + settings +
        "' is damaged or is not a Vostrel settings file.";

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Start({ProjectPath()}));
    ASSERT_EQ(boxes.Texts().size(), 1u) << "start-up said nothing of the project";
    EXPECT_EQ(boxes.Texts()[0], notOpened);
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u) << "no project is open";

    // File > Open, the project's path typed into the file dialog.
    const auto openByHand = [&](const std::string& path) {
        When("the Open Project dialog has the focus", [this] { return Matches(FocusedTitle(), "^Open Project$"); },
             [this, path] {
                 XdoNow("type --delay 10 '" + path + "'");
                 XdoNow("key Return");
             });
    };
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus(); })) << "the main window never had the focus";
    openByHand(ProjectPath());
    ASSERT_TRUE(XdoNow("key ctrl+o"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && ProgramHasFocus(); })) << "File > Open said nothing";
    EXPECT_EQ(boxes.Texts()[1], notOpened);

    openByHand(bad);
    ASSERT_TRUE(XdoNow("key ctrl+o"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 3 && ProgramHasFocus(); }))
        << boxes.Texts().size() << " boxes for a file that is no project";
    EXPECT_EQ(boxes.Texts()[2], "Project could NOT be opened!\n\nThis is not a Vostrel project file, or it is damaged: it "
                                "does not begin as a project file does.\n\n" + bad);
    ASSERT_TRUE(RunPastTimersDueWithin(500));
    EXPECT_EQ(boxes.Texts().size(), 3u) << "a second box: " << boxes.Texts().back();
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u);
}

// Save Project on a disk that is full: the box says so, naming the project's file, and the file
// keeps what it held.
TEST_F(MainWindowReportsX11Test, AProjectThatCannotBeSavedSaysWhy)
{
    const std::filesystem::path disk = dir.Path() + "/disk";
    std::filesystem::create_directories(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        VOSTREL_REQUIRE("the right to mount a small file system");
    }
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk.string()};
    MakeSite(2);
    WriteProject({"Description"});
    const std::string project = (disk / "site.vsp").string();
    std::filesystem::copy_file(ProjectPath(), project);
    const std::string before = ReadAll(project);
    ASSERT_TRUE(Start({project}));
    ASSERT_TRUE(RunUntil([&] { return Frame().GetFilesScanned() == 2 && app->GetRunState() == 0 && Settled(); }))
        << "the project was not opened and scanned";
    {
        // The rest of the disk is taken.
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Xdo("key ctrl+s"));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && ProgramHasFocus(); })) << "the save said nothing";
    EXPECT_EQ(boxes.Texts()[0], "Project could NOT be saved!\n\nThe disk is full while accessing " + project + ".");
    EXPECT_EQ(ReadAll(project), before);
}

// New Project refuses a folder that will not do and says which folder and why: one that does
// not exist, a file, and a folder that cannot be read, named in other scripts as the user typed
// them; the dialog stays open for another try.
TEST_F(MainWindowReportsX11Test, NewProjectSaysWhichFolderWillNotDoAndWhy)
{
    ASSERT_TRUE(Start());
    const std::string base = dir.Path() + "/Ωμέγα 日本 straße";
    const std::string missing = base + "/gone é";
    const std::string file = base + "/café.htm";
    const std::string locked = base + "/geschützt";
    std::filesystem::create_directories(locked);
    std::ofstream(file) << "<html><head><title>x</title></head><body>x</body></html>\n";
    std::filesystem::permissions(locked, std::filesystem::perms::none);

    const std::vector<std::string> tried{missing, file, locked};
    std::string hint;
    const X11KeyboardLetters letters(other, missing + file + locked);
    ASSERT_TRUE(letters.Ready()) << "no free keys for the letters of the paths";
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    Type("the main window", "^Vostrel", "ctrl+n");
    for (size_t nTry = 0; nTry < tried.size(); ++nTry) {
        When("New Project has the keys after " + std::to_string(nTry) + " boxes",
             [&, nTry] { return Matches(FocusedTitle(), "^New Project$") && boxes.Texts().size() == nTry; },
             [&, nTry] {
                 if (nTry == 0) {
                     hint = StaticTextStartingWith(::GetActiveWindow(), "This is");
                     if (cairo_surface_t* shot = Shot("new-project"))
                         cairo_surface_destroy(shot);
                 }
                 ClickAt(CentreOnScreen(::GetDlgItem(::GetActiveWindow(), CNewProjectDlg::kIdDirectory)), 1, 1);
                 XdoNow("key ctrl+a");
                 XdoNow("type --delay 10 '" + tried[nTry] + "'");
                 XdoNow("key Return");
             });
    }
    When("New Project has the keys after the last box",
         [&] { return Matches(FocusedTitle(), "^New Project$") && boxes.Texts().size() == tried.size(); },
         [&] { XdoNow("key Escape"); });
    When("the main window has the keys again", [&] { return ProgramHasFocus() && !ViewableWindowTitled("New Project"); },
         [] {});
    {
        // The folder of mode 000 is closed to the program as to any user.
        WithoutFileOverride plainUser;
        ASSERT_TRUE(plainUser.Holds()) << "the folder of mode 000 stays open to this process";
        EXPECT_TRUE(StepsTaken());
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_EQ(hint, "This is the path to the directory where your Web documents are located.");
    const std::string headline = "The specified project directory is invalid!\n\n";
    ASSERT_EQ(boxes.Texts().size(), 3u);
    EXPECT_EQ(boxes.Texts()[0], headline + "The folder '" + missing + "' does not exist.");
    EXPECT_EQ(boxes.Texts()[1], headline + "'" + file + "' is not a folder.");
    EXPECT_EQ(boxes.Texts()[2], headline + "The folder '" + locked + "' cannot be read: Permission denied.");
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u) << "a project was made";
}

// Messages fit the screen. A catalogue that holds two settings of one name is told as the project
// opens, naming the setting. New Project given a folder of 10,000 characters, pasted from another
// program, says why in a box that stays on the screen with its OK, the folder named by its start
// and its end.
TEST_F(MainWindowReportsX11Test, MessagesFitTheScreenAndNameWhatIsWrong)
{
    MakeSite(2);
    WriteProject({"Description", "Author"}, 1, [](CMetaSettingList& list) {
        auto pAgain = std::make_unique<CMetaEditSetting>();
        pAgain->SetName("AUTHOR");
        pAgain->SetShow(1);
        list.AddTail(pAgain.release());
    });
    {
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
        ASSERT_TRUE(StartWithProject(2));
        ASSERT_EQ(boxes.Texts().size(), 1u) << "the repeated setting was not told";
        EXPECT_EQ(boxes.Texts()[0], "The metatag settings file 'site.vsl' holds more than one setting of the same name:\n\n"
                                    "'Author': 2 settings\n\nA page's tag of that name belongs to one of them only: the "
                                    "others show nothing of it, and the grid may show the tag in a column of its own. "
                                    "Delete or rename all but one of each in Options > Metatag Settings.");
    }

    const std::string folder = [&] {
        std::string path = dir.Path();
        while (Utf8CodePoints(path).size() < 10000)
            path += "/Verzeichnis ß Ωμέγα 東京";
        return path;
    }();
    ForeignClipboardOwner copied(server->DisplayName(), folder, ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(copied.Ready());
    RECT box{}, ok{};
    std::string text;
    Type("the main window", "^Vostrel", "ctrl+n");
    When("New Project has the keys", [&] { return Matches(FocusedTitle(), "^New Project$"); }, [&] {
        ClickAt(CentreOnScreen(::GetDlgItem(::GetActiveWindow(), CNewProjectDlg::kIdDirectory)), 1, 1);
        XdoNow("key --delay 60 ctrl+a ctrl+v Return");
    });
    When("a box tells why", [&] {
             const HWND hActive = ::GetActiveWindow();
             return ::GetDlgItem(hActive, kMessageBoxTextId) != nullptr && ::GetFocus() == ::GetDlgItem(hActive, IDOK) &&
                    ShowsNow();
         },
         [&] {
             const HWND hBox = ::GetActiveWindow();
             ::GetWindowRect(hBox, &box);
             ::GetWindowRect(::GetDlgItem(hBox, IDOK), &ok);
             char buffer[4096] = {};
             ::GetDlgItemText(hBox, kMessageBoxTextId, buffer, sizeof buffer);
             text = buffer;
             if (cairo_surface_t* shot = Shot("new-project-long-folder"))
                 cairo_surface_destroy(shot);
             XdoNow("key Return");
         });
    When("New Project has the keys again", [&] { return Matches(FocusedTitle(), "^New Project$"); },
         [&] { XdoNow("key Escape"); });
    When("the main window has the keys again", [&] { return ProgramHasFocus() && !ViewableWindowTitled("New Project"); },
         [] {});
    ASSERT_TRUE(StepsTaken());
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= cx && box.bottom <= cy)
        << "the box is " << box.right - box.left << " by " << box.bottom - box.top << " at " << box.left << "," << box.top;
    EXPECT_TRUE(ok.left >= box.left && ok.right <= box.right && ok.top >= box.top && ok.bottom <= box.bottom)
        << "OK is out of the box";
    const std::string start = "The specified project directory is invalid!\n\nThe folder '" + folder.substr(0, 40);
    const std::string end = "東京' cannot be read: File name too long.";
    EXPECT_EQ(text.rfind(start, 0), 0u) << text;
    EXPECT_TRUE(text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0) << text;
    EXPECT_NE(text.find("..."), std::string::npos) << "the folder is named whole";
    EXPECT_LT(text.size(), 1000u);
}

// A damaged registry file is told at start-up in a box that names the copy kept aside; the
// program starts with its defaults and keeps its options in a fresh file, which the next start
// reads without a word.
TEST_F(MainWindowReportsX11Test, ADamagedRegistryFileIsToldAtStartUpWithTheCopyKeptAside)
{
    const std::string folder = dir.Path() + "/config/vostrel";
    std::filesystem::create_directories(folder);
    const std::string damaged = "VOSTREL-REGISTRY 1\n[HKEY_CURRENT_USER\\Software]\n\"Warn After Scan\"=dword:zz\n";
    std::ofstream(folder + "/registry.txt") << damaged;

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Start());
    ASSERT_EQ(boxes.Texts().size(), 1u) << "start-up said nothing of the damaged file";
    EXPECT_EQ(boxes.Texts()[0], "The file in which Vostrel keeps its options and window layout, '" + folder +
                                    "/registry.txt', is damaged (bad value line on line 3).\n\nVostrel starts with its "
                                    "default options. The damaged file was kept as '" +
                                    folder + "/registry.txt.damaged'.");
    EXPECT_EQ(ReadAll(folder + "/registry.txt.damaged"), damaged);

    Stop();
    ASSERT_TRUE(Start());
    EXPECT_EQ(boxes.Texts().size(), 1u) << "the fresh file was taken for a damaged one";
    EXPECT_EQ(ReadAll(folder + "/registry.txt").rfind("VOSTREL-REGISTRY 1\n", 0), 0u);
}

namespace {

// The lines of text a caption bar shows on the screen: for each band of rows with ink, its
// leftmost and rightmost dark pixel and its last row.
struct InkLine {
    int nLeft = INT_MAX, nRight = INT_MIN, nBottom = 0;
};
std::vector<InkLine> InkLinesIn(cairo_surface_t* shot, const CRect& rect)
{
    std::vector<InkLine> lines;
    for (int y = rect.top, nLastInk = INT_MIN; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) {
            const uint32_t pixel = screen_capture::PixelAt(shot, x, y);
            if (((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) >= 3 * 0x60)
                continue;
            if (nLastInk < y - 1)
                lines.emplace_back();
            lines.back() = InkLine{std::min(lines.back().nLeft, x), std::max(lines.back().nRight, x), y};
            nLastInk = y;
        }
    return lines;
}

// A page whose text the scan finds key phrases in.
std::string EnglishPage(int n)
{
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "The apple trees of the village orchard grow by the river mill near the old bridge. ";
    return "<html><head><title>Page " + std::to_string(n) + "</title>\n<meta name=\"KEYWORDS\" content=\"mine\">\n"
           "</head><body><p>" + text + "</p></body></html>\n";
}

} // namespace

// What the user reads, by the keys alone: a project file cut short, named on the command line,
// is told as damaged; the Preview of a deep page given another charset shows the whole of its
// long caption; the keywords group action says how many pages it left as they were for want of
// suggestions; and the save names the cause of a read-only page's refusal.
TEST_F(MainWindowReportsX11Test, TheDamagedProjectThePreviewsCaptionTheGroupActionAndTheReadOnlyPageAreToldWhole)
{
    site = dir.Path() + "/site";
    const std::string deep = site + "/the-annual-reports-of-the-regional-water-board-for-every-year/"
                                    "minutes-of-the-meetings-held-in-the-spring-and-summer-months/"
                                    "the-village-mill-and-the-bridge-over-the-river";
    std::filesystem::create_directories(deep);
    const std::string cyrillic = deep + "/privet.htm";
    std::ofstream(cyrillic) << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
                               "\n<title>\xCF\xF0\xE8\xE2\xE5\xF2</title>\n<meta name=\"KEYWORDS\" content=\"alpha\">\n"
                               "</head><body>\xEC\xE8\xF0</body></html>\n";
    ::chmod(cyrillic.c_str(), 0444);
    for (int n = 1; n <= 3; ++n)
        std::ofstream(site + "/en" + std::to_string(n) + ".htm") << EnglishPage(n);
    std::ofstream(site + "/bare.htm") << "<html><head><title>Bare</title>\n<meta name=\"KEYWORDS\" content=\"kept\">\n"
                                         "</head><body>x</body></html>\n";
    WriteProject({"Keywords"}, 1, AddShownContentType);
    // The project file cut short, as a copy cut off by a full disk leaves it.
    const std::string cut = dir.Path() + "/cut.vsp";
    std::filesystem::copy_file(ProjectPath(), cut);
    std::filesystem::resize_file(cut, std::filesystem::file_size(cut) / 2);

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Start({cut}));
    ASSERT_EQ(boxes.Texts().size(), 1u) << "start-up said nothing of the project";
    EXPECT_EQ(boxes.Texts()[0], "Project could NOT be opened!\n\nThis Vostrel project file is damaged: it ends before all "
                                "of the project's settings, or holds values no project has.\n\n" + cut);

    // File > Open, the good project's path typed into the file dialog.
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus(); })) << "the main window never had the focus";
    When("the Open Project dialog has the focus", [this] { return Matches(FocusedTitle(), "^Open Project$"); },
         [this] {
             XdoNow("type --delay 10 '" + ProjectPath() + "'");
             XdoNow("key Return");
         });
    ASSERT_TRUE(XdoNow("key ctrl+o"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return Frame().GetFilesScanned() == 5 && app->GetRunState() == 0 && View() != nullptr; }))
        << "the project was not opened and scanned";
    view = View();
    ASSERT_TRUE(RunUntil([&] { return view->GetRowCount() == 5 && Settled(); }));
    const ROWCOL nPage = RowOf("privet.htm"), nType = ColumnOf("Content-Type"), nKeywords = ColumnOf("Keywords");
    ASSERT_TRUE(nPage != 0 && nType != 0 && nKeywords != 0);

    // The deep page is given UTF-8: its Preview, opened by the keys, says that the save converts
    // it, in a caption far wider than its pane.
    const std::string value = "text/html; charset=UTF-8";
    ASSERT_TRUE(GoToByKeys(nPage, nType) && Xdo("type --delay 20 '" + value + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nPage, nType) == value.c_str(); }));
    ASSERT_TRUE(GoToByKeys(nPage, nType));
    std::string caption;
    CRect bar, otherBar, editor, dialog;
    int nOneLine = 0;
    std::vector<InkLine> ink;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the Preview holds the keys",
         [&] { return ShownPreview() != nullptr && ViewableWindowTitled("Preview Changes to HTML File") && ShowsNow(); },
         [&] {
             CPreviewDlg& dlg = *ShownPreview();
             CFileContentsWnd& pane = dlg.GetRightPane();
             caption = pane.GetCaption().GetString();
             pane.GetCaptionBar().GetWindowRect(&bar);
             dlg.GetLeftPane().GetCaptionBar().GetWindowRect(&otherBar);
             pane.GetEditor().GetWindowRect(&editor);
             dlg.GetWindowRect(&dialog);
             nOneLine = pane.CaptionWidthOnOneLine();
             if (cairo_surface_t* shot = Shot("preview-long-caption")) {
                 ink = InkLinesIn(shot, bar);
                 cairo_surface_destroy(shot);
             }
             XdoNow("key Escape");
         });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ShownPreview() == nullptr && ProgramHasFocus(); })) << "the Preview did not close";
    EXPECT_EQ(caption, "Converted from windows-1251, as declared, to UTF-8 - Modified '" + cyrillic + "'");
    // The dialog is as wide as the screen allows, and the caption takes as many lines as it
    // needs there, every one of them within the bar, above the text: its ink, line by line,
    // adds up to the width of the whole caption on one line.
    EXPECT_EQ(dialog.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(bar.bottom, editor.top);
    EXPECT_EQ(otherBar.Height(), bar.Height()) << "the panes' texts do not start side by side";
    ASSERT_GE(ink.size(), 2u) << "the caption is on one line, cut at the pane's edge";
    int nInk = 0;
    for (const InkLine& line : ink) {
        EXPECT_LT(line.nRight, bar.right - 2) << "a line of the caption runs into the bar's edge";
        EXPECT_LT(line.nBottom, bar.bottom - 1) << "the caption's last line is cut at the bar's bottom";
        nInk += line.nRight - line.nLeft + 1;
    }
    EXPECT_GE(nInk, nOneLine * 9 / 10) << ink.size() << " lines of ink for a caption " << nOneLine << " pixels wide";

    // The keywords group action, from the menu key on the chosen column: Replace, by its letter.
    ASSERT_TRUE(GoToByKeys(1, nKeywords) && Xdo("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(5, nKeywords, view->GetParam()->m_SelRects) != FALSE; }));
    Type("the main window", "^Vostrel -", "Menu");
    When("the grid's menu shows Group Actions", [] {
        RECT r{};
        return OpenMenuItem("Group Actions...", &r) != nullptr;
    }, [this] { XdoNow("key g"); });
    Type("the group keywords dialog", "^Keywords Metatag$", "alt+r Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && ProgramHasFocus(); })) << "the action told nothing";
    EXPECT_EQ(boxes.Texts()[1], "The keywords of 3 pages were replaced with their suggested keywords.\n\nLeft as they "
                                "were: 2 pages without suggested keywords.");
    EXPECT_EQ(view->GetCellValue(RowOf("bare.htm"), nKeywords), "kept");

    // The save writes the English pages and names the read-only page's cause.
    ASSERT_TRUE(Xdo("key ctrl+t"));
    std::string inSite = cyrillic.substr(site.size() + 1);
    std::transform(inSite.begin(), inSite.end(), inSite.begin(), [](char ch) { return static_cast<char>(std::toupper(ch)); });
    const std::string refused = inSite + " : Denied Access: the page is read-only. The page was left as it was.";
    ASSERT_TRUE(RunUntil([&] {
        const std::vector<std::string> lines = OutputLines();
        return !lines.empty() && lines.back().rfind("Save Edited Files:", 0) == 0;
    })) << "the save did not end";
    EXPECT_EQ(OutputLines(), (std::vector<std::string>{refused, "Save Edited Files: 3 of 4 pages written, 1 not written."}));
    if (cairo_surface_t* shot = Shot("read-only-refusal"))
        cairo_surface_destroy(shot);
}
