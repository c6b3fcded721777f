// What the grid shows of pages as generators write them (one line ending in LF, named character
// references, UTF-8 and ISO-8859-1), and what a save writes of the user's edits there: the page's
// own spelling of what the user did not change, the characters typed in the page's charset, with
// the page's own line end; a page whose
// Content-Type is given another charset is written in it; what the Preview and the save make of
// pages another program changed behind the program. Driven by keys from another client.
#include "app/dialogs/CPreviewDlg.h"
#include "app/panes/COutputAreaControlBar.h"
#include "platform/controls/MessageBox.h"
#include "tests/app/GroupViewLookup.h"
#include "tests/app/MainWindowX11Fixture.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"
#include "toolkit/editor/SECEditDoc.h"

#include <cctype>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// UTF-8: add_test — CMake 3.25 € Ω (the blank before 3.25 a no-break space).
constexpr const char* kUtf8Title = "add_test \xE2\x80\x94 CMake\xC2\xA0" "3.25 \xE2\x82\xAC \xCE\xA9";
// A page the user gives a charset no converter knows.
constexpr const char* kRefused = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                                 "<title>Caf\xE9</title></head><body>x</body></html>\n";

} // namespace

class SavedTextX11Test : public MainWindowX11Test {
protected:
    // Pages of one line and one LF each: a UTF-8 one, an ISO-8859-1 one, and two ISO-8859-1
    // ones whose charset the user changes, the first without a description.
    void MakeGeneratedSite()
    {
        NewSite();
        std::ofstream(site + "/p1.htm") << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
                                           "<title>add_test &mdash; CMake&nbsp;3.25 &euro; &Omega;</title>"
                                           "<meta name=\"description\" content=\"&alpha; &ndash; &nosuch; &hellip;\">"
                                           "</head><body>x</body></html>\n";
        std::ofstream(site + "/p2.htm") << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                                           "<title>Caf\xE9 &mdash; &Omega;&nbsp;&euro;</title>"
                                           "<meta name=\"description\" content=\"&mdash;&nbsp;&euro; &Omega;\">"
                                           "</head><body>\xE9t\xE9</body></html>\n";
        std::ofstream(site + "/p3.htm") << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                                           "<title>Gr\xFC\xDF" "e</title></head><body>\xE9t\xE9 \xA9</body></html>\n";
        std::ofstream(site + "/p4.htm") << kRefused;
    }

    // An empty folder for the site's pages.
    void NewSite()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
    }
    std::string Page(const char* pszName) { return ReadFile(site + "/" + pszName); }
    // F2 opens the cell's editor, End goes past its text, the text is typed and Enter stores it.
    bool Append(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        return GoToByKeys(nRow, nCol) && Xdo("key F2 End") && Xdo("type --delay 30 '" + text + "'") && Xdo("key Return");
    }
};

TEST_F(SavedTextX11Test, EditsOfPagesWithReferencesAndOtherCharsetsAreSavedAsTheGridShowedThem)
{
    X11KeyboardLetters letters(other, "\xCE\x96");
    ASSERT_TRUE(letters.Ready()) << "the display has no free key for the letter";
    MakeGeneratedSite();
    WriteProject({"Description"}, 1, AddShownContentType);
    ASSERT_TRUE(StartWithProject(4));
    CGroupView& view = *View();
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    const ROWCOL nDesc = group_view_lookup::ColumnOf(view, "Description");
    const ROWCOL nType = group_view_lookup::ColumnOf(view, "Content-Type");
    ASSERT_NE(nDesc, 0u);
    ASSERT_NE(nType, 0u);
    for (const char* pszName : {"p1.htm", "p2.htm", "p3.htm", "p4.htm"})
        ASSERT_EQ(group_view_lookup::RowOf(view, pszName), static_cast<ROWCOL>(pszName[1] - '0')) << pszName;

    // The grid shows every reference HTML names as its character, and an unknown one as it is.
    EXPECT_EQ(CopiedCells(1, nTitle, 2, nTitle),
              (std::vector<std::string>{kUtf8Title, "Caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9\xC2\xA0\xE2\x82\xAC"}));
    EXPECT_EQ(CopiedCells(1, nDesc, 2, nDesc), (std::vector<std::string>{"\xCE\xB1 \xE2\x80\x93 &nosuch; \xE2\x80\xA6",
                                                                     "\xE2\x80\x94\xC2\xA0\xE2\x82\xAC \xCE\xA9"}));

    // Appended to as the user does, and a description typed where the page has none.
    ASSERT_TRUE(Append(1, nTitle, " \xCE\x96"));
    ASSERT_TRUE(Append(1, nDesc, " \xCE\x96"));
    ASSERT_TRUE(Append(2, nTitle, " \xCE\x96"));
    ASSERT_TRUE(Append(2, nDesc, " \xCE\x96"));
    ASSERT_TRUE(GoToByKeys(3, nDesc) && Xdo("type --delay 30 'x \xCE\x96'") && Xdo("key Return"));
    // The third page is declared UTF-8 now.
    ASSERT_TRUE(GoToByKeys(3, nType) && Xdo("type --delay 30 'text/html; charset=UTF-8'") && Xdo("key Return"));
    ASSERT_TRUE(GoToByKeys(4, nType) && Xdo("type --delay 30 'text/html; charset=x-nosuch'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(4, nType) == "text/html; charset=x-nosuch"; }, 60000))
        << "the Content-Type was not stored: '" << view.GetCellValue(4, nType).GetString() << "'";
    EXPECT_EQ(view.GetCellValue(3, nType), "text/html; charset=UTF-8");
    EXPECT_EQ(CopiedCells(1, nTitle, 2, nDesc),
              (std::vector<std::string>{std::string(kUtf8Title) + " \xCE\x96\t\xCE\xB1 \xE2\x80\x93 &nosuch; \xE2\x80\xA6 \xCE\x96",
                                        "Caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9\xC2\xA0\xE2\x82\xAC \xCE\x96\t"
                                        "\xE2\x80\x94\xC2\xA0\xE2\x82\xAC \xCE\xA9 \xCE\x96"}));

    // The characters as the grid draws them.
    ASSERT_TRUE(GoToByKeys(1, nTitle) && Quiet());
    cairo_surface_destroy(Shot("references-in-the-grid"));

    const std::string before = Page("p3.htm");
    ASSERT_TRUE(Xdo("key ctrl+t"));
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    // The refused page is told by its name and the charset.
    const std::string refusal = "P4.HTM : Not saved: its Content-Type declares the charset \"x-nosuch\"";
    ASSERT_TRUE(RunUntil([&] { return Page("p3.htm") != before && std::string(pOutput->GetText()).find(refusal) != std::string::npos; }, 60000))
        << "the save did not write the pages or tell of the refused one: " << pOutput->GetText().GetString();
    // It keeps its text and its edit.
    EXPECT_EQ(Page("p4.htm"), kRefused);
    EXPECT_EQ(view.GetCellValue(4, nType), "text/html; charset=x-nosuch");
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("refused-charset"));
    const std::string p1 = Page("p1.htm"), p2 = Page("p2.htm"), p3 = Page("p3.htm");
    // Each page keeps its references, the typed letter added in its charset: the UTF-8 page holds
    // it, the ISO-8859-1 page, which lacks it, a reference.
    EXPECT_NE(p1.find("<title>add_test &mdash; CMake&nbsp;3.25 &euro; &Omega; \xCE\x96</title>"), std::string::npos) << p1;
    EXPECT_EQ(TagContent(p1, "description"), "&alpha; &ndash; &nosuch; &hellip; \xCE\x96") << p1;
    EXPECT_NE(p2.find("<title>Caf\xE9 &mdash; &Omega;&nbsp;&euro; &#918;</title>"), std::string::npos) << p2;
    EXPECT_EQ(TagContent(p2, "description"), "&mdash;&nbsp;&euro; &Omega; &#918;") << p2;
    for (const std::string* pPage : {&p1, &p2, &p3}) {
        EXPECT_EQ(pPage->find("&amp;"), std::string::npos) << *pPage;
        EXPECT_EQ(pPage->find('\r'), std::string::npos) << *pPage;
    }
    // The page given UTF-8 is in UTF-8 throughout, its new tag on a line ended as its own line is.
    EXPECT_EQ(p3, "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
                  "<title>Gr\xC3\xBC\xC3\x9F" "e</title>\n<meta name=\"Description\" content=\"x \xCE\x96\">\n"
                  "</head><body>\xC3\xA9t\xC3\xA9 \xC2\xA9</body></html>\n");
}

// A title and a description holding numeric and named references, typed on at their ends by
// keys, undone and redone, and saved: the page on disk differs from what it was only by the
// letters typed, and so it does after the title is typed on again and saved again.
TEST_F(SavedTextX11Test, TypingAtTheEndOfATitleWithReferencesChangesOnlyTheTypedLetters)
{
    const std::string typed = " \xCE\x96\xC3\xA9";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    NewSite();
    const std::string title = "&lt;no title&gt; &#8212; Python 3.11.2 documentation";
    const std::string description = "Built with &#8220;Sphinx&#8221; &amp; &eacute;l&egrave;ves";
    const auto page = [](const std::string& pageTitle, const std::string& pageDescription) {
        return "<!DOCTYPE html>\n<html lang=\"en\">\n  <head>\n    <meta charset=\"utf-8\" />\n    <title>" + pageTitle
            + "</title>\n    <meta name=\"description\" content=\"" + pageDescription
            + "\" />\n  </head>\n  <body>\n<p>&#8212;</p>\n  </body>\n</html>\n";
    };
    const std::string before = page(title, description);
    const std::string after = page(title + typed, description + typed);
    std::ofstream(site + "/library.html", std::ios::binary) << before;
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(1));
    CGroupView& view = *View();
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    const ROWCOL nDesc = group_view_lookup::ColumnOf(view, "Description");
    ASSERT_NE(nDesc, 0u);
    const std::vector<std::string> shown = {"<no title> \xE2\x80\x94 Python 3.11.2 documentation\t"
                                            "Built with \xE2\x80\x9CSphinx\xE2\x80\x9D & \xC3\xA9l\xC3\xA8ves"};
    const std::vector<std::string> edited = {"<no title> \xE2\x80\x94 Python 3.11.2 documentation" + typed + "\t"
                                             "Built with \xE2\x80\x9CSphinx\xE2\x80\x9D & \xC3\xA9l\xC3\xA8ves" + typed};
    ASSERT_EQ(CopiedCells(1, nTitle, 1, nDesc), shown);
    ASSERT_TRUE(Append(1, nTitle, typed));
    ASSERT_TRUE(Append(1, nDesc, typed));
    ASSERT_TRUE(RunUntil([&] { return CopiedCells(1, nTitle, 1, nDesc) == edited; }, 60000));
    // Saved by the keys, and the page on disk as the test expects it.
    const auto saved = [&](const std::string& expected) {
        return Xdo("key ctrl+t") && RunUntil([&] {
                   return app->IsEdited() == 3 && Page("library.html") == expected && ProgramHasFocus() && Settled();
               }, 60000);
    };
    ASSERT_TRUE(Xdo("key ctrl+z") && Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return CopiedCells(1, nTitle, 1, nDesc) == shown; }, 60000));
    ASSERT_TRUE(Xdo("key ctrl+y") && Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return CopiedCells(1, nTitle, 1, nDesc) == edited; }, 60000));
    EXPECT_TRUE(saved(after)) << Page("library.html");
    // Typed on again: the letters typed before are the page's own spelling now.
    ASSERT_TRUE(Append(1, nTitle, "!"));
    EXPECT_TRUE(saved(page(title + typed + "!", description + typed))) << Page("library.html");
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("a-title-with-references-typed-on"));
}

// Pages whose only title stands in the body, after an inline icon's own title or in a DIV, get a
// Description typed by keys and saved: each page on disk is its old self with only the
// description changed, no title added to its head. A description typed again with only its case
// changed is an edit too, and a tag added to a page whose lines end in a lone CR takes one line.
TEST_F(SavedTextX11Test, ADescriptionTypedIntoPagesTitledInTheirBodiesChangesOnlyTheDescription)
{
    const std::string typed = "Caf\xC3\xA9 Stra\xC3\x9F" "e \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    NewSite();
    struct Typed {
        const char* name;
        std::string bytes;
        std::string typed;
        std::string from, to;   // the change the typing makes
    };
    const std::vector<Typed> pages = {
        {"icon.htm",
         "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><meta name=\"description\" content=\"Old words\">"
         "</head><body><header><a href=\"/\"><svg viewBox=\"0 0 24 24\" role=\"img\"><title>Home</title>"
         "<path d=\"M3 12l9-9 9 9\"/></svg></a></header><title>Guide &mdash; Tools</title><main>x</main></body></html>\n",
         typed, "content=\"Old words\"", "content=\"" + typed + "\""},
        {"div.htm",
         "<html>\r\n<head>\r\n<meta name=\"description\" content=\"vim\">\r\n</head>\r\n<body>\r\n"
         "<div class=\"page\"><title>Editors</title>\r\n<p>x</p></div>\r\n</body>\r\n</html>\r\n",
         "Vim", "content=\"vim\"", "content=\"Vim\""},
        {"cr.htm",
         "<html>\r<head>\r<meta charset=\"utf-8\">\r</head>\r<body>\r<div><svg><title>Logo</title></svg>"
         "<title>Lone</title></div>\r</body>\r</html>\r",
         "Neu", "<meta charset=\"utf-8\">\r", "<meta charset=\"utf-8\">\r<meta name=\"Description\" content=\"Neu\">\r"},
    };
    for (const Typed& page : pages)
        std::ofstream(site + "/" + page.name, std::ios::binary) << page.bytes;
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    const ROWCOL nDesc = group_view_lookup::ColumnOf(view, "Description");
    ASSERT_NE(nDesc, 0u);
    // The scan showed each page's own title, not its icon's.
    const ROWCOL nIcon = group_view_lookup::RowOf(view, "icon.htm");
    EXPECT_EQ(CopiedCells(nIcon, CGroupView::kTitleColumn, nIcon, CGroupView::kTitleColumn),
              std::vector<std::string>{"Guide \xE2\x80\x94 Tools"});

    for (const Typed& page : pages) {
        const ROWCOL nRow = group_view_lookup::RowOf(view, page.name);
        ASSERT_NE(nRow, 0u) << page.name;
        ASSERT_TRUE(GoToByKeys(nRow, nDesc) && Xdo("type --delay 30 '" + page.typed + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(nRow, nDesc) == page.typed.c_str(); }, 60000))
            << page.name << " shows '" << view.GetCellValue(nRow, nDesc).GetString() << "'";
    }
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("descriptions-typed-into-pages-titled-in-their-bodies"));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return Page("icon.htm") != pages[0].bytes && app->IsEdited() == 3; }, 60000))
        << "the save did not write the pages";
    for (const Typed& page : pages) {
        std::string expected = page.bytes;
        expected.replace(expected.find(page.from), page.from.size(), page.to);
        EXPECT_EQ(Page(page.name), expected) << page.name;
    }
}

// A page whose only TITLE element is a form's sample text shows no title, a page with a title of
// its own after a NOSCRIPT's shows its own, and so does one whose style sheet ends at an end tag
// with an attribute before a picture's empty style; a title typed by keys for the first goes in
// its head, the sample text staying as it was, and one typed for the last takes its title's place.
TEST_F(SavedTextX11Test, ATitleTypedForAPageTitledOnlyInATextAreaGoesInItsHead)
{
    const std::string typed = "Gr\xC3\xBC\xC3\x9F" "e \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    NewSite();
    const std::string form = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><form>"
                             "<textarea name=\"html\">&lt;p&gt; <title>Sample</title></textarea></form></body></html>\n";
    const std::string styled = "<html><head><meta charset=\"utf-8\"><style>p { color: red }</style media=\"all\"><svg><style/></svg>"
                               "<title>Own</title></head><body>x</body></html>\n";
    std::ofstream(site + "/a.htm", std::ios::binary) << form;
    std::ofstream(site + "/b.htm", std::ios::binary)
        << "<html><head><noscript><title>Scripts off</title></noscript><title>Own</title></head><body>x</body></html>\n";
    std::ofstream(site + "/c.htm", std::ios::binary) << styled;
    WriteProject({});
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    ASSERT_EQ(group_view_lookup::RowOf(view, "a.htm"), 1u);
    ASSERT_EQ(group_view_lookup::RowOf(view, "c.htm"), 3u);
    EXPECT_EQ(CopiedCells(1, nTitle, 3, nTitle), (std::vector<std::string>{"", "Own", "Own"}));

    for (const ROWCOL nRow : {1u, 3u}) {
        ASSERT_TRUE(GoToByKeys(nRow, nTitle) && Xdo("type --delay 30 '" + typed + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(nRow, nTitle) == typed.c_str(); }, 60000))
            << "the title shows '" << view.GetCellValue(nRow, nTitle).GetString() << "'";
    }
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return Page("c.htm") != styled && app->IsEdited() == 3; }, 60000)) << "the save did not write the pages";
    std::string expected = form;
    expected.insert(expected.find("</head>"), "\n<title>" + typed + "</title>\n");
    EXPECT_EQ(Page("a.htm"), expected);
    expected = styled;
    expected.replace(expected.find(">Own<"), 5, ">" + typed + "<");
    EXPECT_EQ(Page("c.htm"), expected);
}

namespace {

// Pages another program changes behind the program, met by the user's keys.
class ChangedBehindX11Test : public MainWindowStepsX11Test {
protected:
    std::string Page(const char* pszName) { return ReadFile(site + "/" + pszName); }
    // An empty folder for the site's pages.
    void NewSite()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
    }
    // The text typed by keys into the page's cell of the column, and stored there.
    void TypeFor(const std::string& name, ROWCOL nCol, const std::string& text)
    {
        const ROWCOL nRow = RowOf(name.c_str());
        ASSERT_TRUE(GoToByKeys(nRow, nCol) && Xdo("type --delay 30 '" + text + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nRow, nCol) == text.c_str(); })) << name;
    }
    // The titles of the program's windows on the screen, and the text of each pane of a Preview
    // among them: everything of a page that the screen could show.
    std::string EverythingShown()
    {
        std::string shown;
        EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
            auto& text = *reinterpret_cast<std::string*>(lParam);
            if (!IsWindowVisible(top))
                return TRUE;
            char title[512] = {};
            GetWindowText(top, title, sizeof title);
            text += std::string(title) + "\n";
            if (HWND hText = GetDlgItem(top, kMessageBoxTextId)) {
                char box[2048] = {};
                GetWindowText(hText, box, sizeof box);
                text += std::string(box) + "\n";
            }
            if (auto* pDlg = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(top))) {
                for (CFileContentsWnd* pPane : {&pDlg->GetLeftPane(), &pDlg->GetRightPane()}) {
                    for (SECEditLine* pLine = pPane->GetEditor().GetDocument()->GetFirstLine(); pLine != nullptr;
                         pLine = pLine->pNext)
                        text.append(pLine->pText, static_cast<size_t>(pLine->nLength));
                }
            }
            return TRUE;
        }, reinterpret_cast<LPARAM>(&shown));
        return shown;
    }
    // The active window is a message box or the Preview, on the screen with the keys.
    bool BoxOrPreviewHasTheKeys()
    {
        const HWND hActive = ::GetActiveWindow();
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return hActive != nullptr && hActive != Frame().GetSafeHwnd() && focus == backend->XWindowOf(hActive) && ShowsNow();
    }
};

} // namespace

// A page another program makes a link to a file outside the site after the scan: View > Changes,
// by its keys, shows nothing of that file and says why, in the words of the save, and Ctrl+T does
// not write the Description typed for it through the link, but names it in the Output Area and
// keeps the edit. A page another program appended to is saved with the Description typed for it
// over what was added, and the Output Area says so.
TEST_F(ChangedBehindX11Test, ThePreviewOfAPageMadeALinkShowsNothingOfItsFileAndAnAppendedPageIsSavedAndTold)
{
    const std::string typed = "Stra\xC3\x9F" "e \xCE\xA9 \xE6\x97\xA5";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    NewSite();
    std::filesystem::create_directories(dir.Path() + "/outside");
    const auto page = [](const char* pszTitle) {
        return std::string("<html><head><meta charset=\"utf-8\"><title>") + pszTitle
            + "</title><meta name=\"description\" content=\"Old\"></head><body>x</body></html>\n";
    };
    for (const char* pszName : {"grown.htm", "notes.htm"})
        std::ofstream(site + "/" + pszName, std::ios::binary) << page(pszName);
    const std::string secret = "<html><head><title>SECRET NOTES outside the site</title></head>"
                               "<body>SECRET NOTES outside the site</body></html>\n";
    std::ofstream(dir.Path() + "/outside/secret.htm", std::ios::binary) << secret;
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(2));
    view = View();
    const ROWCOL nDesc = ColumnOf("Description");
    ASSERT_NE(nDesc, 0u);
    for (const char* pszName : {"grown.htm", "notes.htm"})
        ASSERT_NO_FATAL_FAILURE(TypeFor(pszName, nDesc, typed));
    // Behind the program.
    std::filesystem::remove(site + "/notes.htm");
    std::filesystem::create_symlink(dir.Path() + "/outside/secret.htm", site + "/notes.htm");
    const std::string added = "<!-- added by another program -->\n";
    std::ofstream(site + "/grown.htm", std::ios::binary | std::ios::app) << added;

    ASSERT_TRUE(GoToByKeys(RowOf("notes.htm"), nDesc));
    Type("the main window", "^Vostrel -", "alt+v c");
    std::string shown;
    When("a box or the Preview has the keys", [this] { return BoxOrPreviewHasTheKeys(); },
         [this, &shown] {
             shown = EverythingShown();
             if (cairo_surface_t* shot = Shot("preview-of-a-page-made-a-link"))
                 cairo_surface_destroy(shot);
             XdoNow("key Escape");
         });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ::GetActiveWindow() == Frame().GetSafeHwnd(); })) << "the box stayed";
    EXPECT_EQ(shown.find("SECRET"), std::string::npos) << shown;
    EXPECT_NE(shown.find("The Preview cannot show notes.htm with its edits: the page's name now leads to another file "
                         "than the one the scan read (a link or another file was put in its place). Start Scan reads "
                         "what it holds now."),
              std::string::npos)
        << shown;

    ASSERT_TRUE(Xdo("key ctrl+t"));
    const std::string told = "GROWN.HTM : Saved, but another program had changed the page since it was scanned: its "
                             "changes were kept, and the edits written over them.";
    const std::string refused = "NOTES.HTM : Not saved: the page's name now leads to another file than the one the "
                                "scan read (a link or another file was put in its place). The page was left as it is; "
                                "Start Scan reads what it holds now.";
    ASSERT_TRUE(RunUntil([&] {
        const std::vector<std::string> lines = OutputLines();
        return std::find(lines.begin(), lines.end(), told) != lines.end()
            && std::find(lines.begin(), lines.end(), refused) != lines.end();
    })) << OutputArea().GetText().GetString();
    std::string grown = page("grown.htm");
    grown.replace(grown.find("Old"), 3, typed);
    EXPECT_EQ(Page("grown.htm"), grown + added);
    EXPECT_EQ(Page("grown.htm.old"), page("grown.htm") + added);
    EXPECT_EQ(ReadFile(dir.Path() + "/outside/secret.htm"), secret);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/outside/secret.htm.old"));
    EXPECT_TRUE(std::filesystem::is_symlink(site + "/notes.htm"));
    EXPECT_FALSE(std::filesystem::exists(site + "/notes.htm.old"));
    // The refused page's edit stays, to be saved once the page is scanned again.
    EXPECT_EQ(app->IsEdited(), 2u);
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("an-appended-page-saved-and-told"));
}

namespace {

// Another program's change that keeps the page's size and time: one byte written over in place,
// then the times put back as they were.
void ChangeInPlaceKeepingSizeAndTime(const std::string& path, const std::string& from, const std::string& to)
{
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(from.size(), to.size());
    const size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << bytes;
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(at));
        file.write(to.data(), static_cast<std::streamsize>(to.size()));
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

} // namespace

// Descriptions typed for three pages, and behind the program one page changed in place with its
// size and time put back, one only touched, one copied out and moved back unchanged: the save
// tells of the changed page alone, writes the typed description over its change and keeps the
// change. What the save wrote is the page's own text to the next save, which again tells only of
// a page whose bytes another program changed.
TEST_F(ChangedBehindX11Test, OnlyAPageWhoseBytesChangedIsToldAsChangedByAnotherProgram)
{
    const std::string typed = "Stra\xC3\x9F" "e \xCE\xA9";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    NewSite();
    const auto page = [](const std::string& description, const char* pszBody) {
        return "<html><head><meta charset=\"utf-8\"><title>T</title><meta name=\"description\" content=\"" + description
            + "\"></head><body>" + pszBody + "</body></html>\n";
    };
    const std::vector<std::string> names = {"inplace.htm", "touched.htm", "moved.htm"};
    for (const std::string& name : names)
        std::ofstream(site + "/" + name, std::ios::binary) << page("Old", "words");
    WriteProject({"Description"}, 1);
    ASSERT_TRUE(StartWithProject(3));
    view = View();
    const ROWCOL nDesc = ColumnOf("Description");
    ASSERT_NE(nDesc, 0u);
    const auto told = [](std::string name) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
        return name + " : Saved, but another program had changed the page since it was scanned: its changes were "
                      "kept, and the edits written over them.";
    };
    const auto toldOfAnotherProgram = [](const std::vector<std::string>& lines) {
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.find("another program") != std::string::npos; });
    };
    // Saves by the keys; the lines of the Output Area once every page holds what was typed.
    const auto save = [&](const std::vector<std::pair<std::string, std::string>>& expected) {
        std::vector<std::string> lines;
        EXPECT_TRUE(Xdo("key ctrl+t"));
        EXPECT_TRUE(RunUntil([&] {
            return app->IsEdited() == 3 && std::all_of(expected.begin(), expected.end(), [&](const auto& one) {
                       return Page(one.first.c_str()) == one.second;
                   });
        })) << OutputArea().GetText().GetString();
        return OutputLines();
    };
    for (const std::string& name : names)
        ASSERT_NO_FATAL_FAILURE(TypeFor(name, nDesc, typed));

    // Behind the program.
    ASSERT_NO_FATAL_FAILURE(ChangeInPlaceKeepingSizeAndTime(site + "/inplace.htm", "words", "WORDS"));
    const auto later = std::filesystem::last_write_time(site + "/touched.htm") + std::chrono::seconds(5);
    std::filesystem::last_write_time(site + "/touched.htm", later);
    std::filesystem::copy_file(site + "/moved.htm", dir.Path() + "/moved.htm");
    std::filesystem::remove(site + "/moved.htm");
    std::filesystem::rename(dir.Path() + "/moved.htm", site + "/moved.htm");

    std::vector<std::string> lines = save({{"inplace.htm", page(typed, "WORDS")},
                                           {"touched.htm", page(typed, "words")},
                                           {"moved.htm", page(typed, "words")}});
    EXPECT_EQ(std::count(lines.begin(), lines.end(), told("inplace.htm")), 1) << OutputArea().GetText().GetString();
    EXPECT_EQ(toldOfAnotherProgram(lines), 1) << OutputArea().GetText().GetString();
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("only-a-page-whose-bytes-changed-told"));

    // The save's own pages, once another program changes one of them in place keeping its size
    // and time, and the user types again.
    ASSERT_NO_FATAL_FAILURE(ChangeInPlaceKeepingSizeAndTime(site + "/touched.htm", "words", "Words"));
    ASSERT_NO_FATAL_FAILURE(TypeFor("touched.htm", nDesc, "Neu"));
    ASSERT_NO_FATAL_FAILURE(TypeFor("moved.htm", nDesc, "Neu"));
    lines = save({{"touched.htm", page("Neu", "Words")}, {"moved.htm", page("Neu", "words")}});
    EXPECT_EQ(std::count(lines.begin(), lines.end(), told("touched.htm")), 1) << OutputArea().GetText().GetString();
    EXPECT_EQ(toldOfAnotherProgram(lines), 1) << OutputArea().GetText().GetString();
}
