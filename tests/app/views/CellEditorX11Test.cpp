// A cell's editor as the user meets it on a real X server: a click into the current cell puts
// the caret under the pointer with the text where the cell showed it, and so does a
// double-click; the text chosen in the editor is drawn chosen and the rest is not, a paste of
// several lines gives the cell, the copy and the saved page the same one line, Cut with nothing
// chosen cuts the cell, a copy of an empty cell leaves another program nothing to paste, and a
// drop-down list opens as wide as its longest choice.
#include "grid/core/CGXComboBox.h"
#include "grid/core/CGXControl.h"
#include "grid/core/CGXEditControl.h"
#include "grid/core/GXGdiRecords.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Caret.h"

#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/X11KeyboardLetters.h"

#include <algorithm>

class CellEditorX11Test : public MainWindowX11Test {
protected:
    // The grid shows the pages' Description in column 2.
    static constexpr ROWCOL kDesc = 2;

    // A site of pages written as a generator writes them, each on one line: a UTF-8 charset,
    // a title and a Description, one page for each value, in that order of rows.
    void MakePages(const std::vector<std::string>& descriptions)
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (size_t i = 0; i < descriptions.size(); ++i)
            std::ofstream(PagePath(i + 1)) << "<html><head><meta charset=\"utf-8\"><title>Page " << i + 1
                                           << "</title><meta name=\"description\" content=\"" << descriptions[i]
                                           << "\"></head><body>x</body></html>\n";
    }
    std::string PagePath(size_t nRow) const
    {
        char name[32];
        std::snprintf(name, sizeof name, "/p%02zu.htm", nRow);
        return site + name;
    }
    // Whether a page on disk holds the Description, its characters beyond ASCII written as
    // they are or as numeric references.
    ::testing::AssertionResult HoldsDescription(size_t nRow, const std::string& value)
    {
        const std::string content = TagContent(ReadFile(PagePath(nRow)), "description");
        if (content == value || content == NumericReferences(value))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "page " << nRow << " holds '" << content << "'";
    }

    CGXControl* CurrentControl()
    {
        ROWCOL nRow = 0, nCol = 0;
        return View()->GetCurrentCell(nRow, nCol) ? View()->GetControl(nRow, nCol) : nullptr;
    }
    CEdit* Editor()
    {
        auto* pEdit = dynamic_cast<CGXEditControl*>(CurrentControl());
        return pEdit != nullptr ? pEdit->GetEditWnd() : nullptr;
    }
    // What a cell shows: its editor's text while one is open, else its value.
    std::string Shown(ROWCOL nRow, ROWCOL nCol)
    {
        CString strText;
        View()->GetCellText(nRow, nCol, strText);
        return std::string(strText);
    }
    // The cell's rectangle less its grid lines, in the grid's client area.
    CRect Inside(ROWCOL nRow, ROWCOL nCol)
    {
        CRect rect = View()->CalcCellRect(nRow, nCol);
        rect.DeflateRect(1, 1, 2, 2);
        return rect;
    }
    // Which columns of a cell show its text: those of a band through the middle of its
    // letters with a pixel near the text's colour.
    std::vector<bool> InkColumns(cairo_surface_t* shot, const CRect& cell, uint32_t nText)
    {
        const auto near = [](uint32_t a, uint32_t b) {
            for (int shift : {0, 8, 16})
                if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 40)
                    return false;
            return true;
        };
        std::vector<bool> columns;
        for (int x = cell.left; x < cell.right; ++x) {
            bool bInk = false;
            for (int y = cell.CenterPoint().y - 3; y < cell.CenterPoint().y + 3; ++y)
                bInk = bInk || near(GridPixel(shot, x, y), nText);
            columns.push_back(bInk);
        }
        return columns;
    }
    // Where the text of a cell starts on the screen; -1 when it shows none.
    int InkStart(cairo_surface_t* shot, const CRect& cell, uint32_t nText)
    {
        const std::vector<bool> columns = InkColumns(shot, cell, nText);
        const auto first = std::find(columns.begin(), columns.end(), true);
        return first != columns.end() ? cell.left + static_cast<int>(first - columns.begin()) : -1;
    }
    // How many pixels of a rectangle of the grid's client area pass the test.
    int CountPixels(cairo_surface_t* shot, const CRect& rect, const std::function<bool(uint32_t)>& test)
    {
        int nCount = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                nCount += test(GridPixel(shot, x, y)) ? 1 : 0;
        return nCount;
    }
    int PixelsOf(cairo_surface_t* shot, const CRect& rect, uint32_t nColour)
    {
        return CountPixels(shot, rect, [&](uint32_t pixel) { return pixel == nColour; });
    }
    // The near black of text drawn as not chosen.
    int InkPixels(cairo_surface_t* shot, const CRect& rect)
    {
        return CountPixels(shot, rect, [](uint32_t pixel) {
            return ((pixel >> 16) & 0xFF) < 80 && ((pixel >> 8) & 0xFF) < 80 && (pixel & 0xFF) < 80;
        });
    }
    // The columns of a rectangle of the grid's client area that hold the colour, as [first, last].
    std::pair<int, int> ColumnsOf(cairo_surface_t* shot, const CRect& rect, uint32_t nColour)
    {
        std::pair<int, int> span{-1, -1};
        for (int x = rect.left; x < rect.right; ++x)
            if (PixelsOf(shot, CRect(x, rect.top, x + 1, rect.bottom), nColour) > 0) {
                if (span.first < 0)
                    span.first = x;
                span.second = x;
            }
        return span;
    }
    // The width of a text in the cell's font, as the grid draws it.
    int TextWidth(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        const CGXStyle* pStyle = View()->LookupStyleRowCol(nRow, nCol);
        LOGFONT lf = GXGetLogFont(pStyle->GetFont(), View()->GetZoom());
        CFont font;
        font.CreateFontIndirect(&lf);
        CClientDC dc(View());
        CFont* pOld = dc.SelectObject(&font);
        const int cx = dc.GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx;
        dc.SelectObject(pOld);
        return cx;
    }
    // The editor's caret in the grid's client area.
    CPoint CaretInGrid()
    {
        POINT pt{};
        ::GetCaretPos(&pt);
        ::ClientToScreen(Editor()->GetSafeHwnd(), &pt);
        ::ScreenToClient(View()->GetSafeHwnd(), &pt);
        return pt;
    }
    // While it lives: the screen as it stood when the program took the first key pressed, before
    // it handled the key, the caret held on (not blinking) meanwhile.
    struct ScreenAtFirstKey {
        explicit ScreenAtFirstKey(CellEditorX11Test& test)
            : hook(::SetWindowsHookEx(WH_KEYBOARD, &Take, nullptr, ::GetCurrentThreadId())), nBlink(::GetCaretBlinkTime())
        {
            s_pTest = &test;
            ::SetCaretBlinkTime(600000);
        }
        ~ScreenAtFirstKey()
        {
            ::UnhookWindowsHookEx(hook);
            ::SetCaretBlinkTime(nBlink);
            if (s_pShot != nullptr)
                cairo_surface_destroy(s_pShot);
            s_pShot = nullptr;
            s_pTest = nullptr;
        }
        ScreenAtFirstKey(const ScreenAtFirstKey&) = delete;
        ScreenAtFirstKey& operator=(const ScreenAtFirstKey&) = delete;
        static LRESULT CALLBACK Take(int code, WPARAM wParam, LPARAM lParam)
        {
            // Bit 31 of lParam marks a key's release.
            if (code >= 0 && s_pTest != nullptr && s_pShot == nullptr && (lParam & 0x80000000) == 0)
                s_pShot = s_pTest->Shot("cell-at-the-first-key");
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        }
        cairo_surface_t* Screen() const { return s_pShot; }
        HHOOK hook;
        UINT nBlink;
        static inline CellEditorX11Test* s_pTest = nullptr;
        static inline cairo_surface_t* s_pShot = nullptr;
    };
    bool Save()
    {
        const UINT nEdited = app->IsEdited();
        return nEdited != 0 && Xdo("key ctrl+t") && RunUntil([&] { return app->IsEdited() != nEdited; }, 60000);
    }
};

// A click into the current cell starts the edit with the text where the cell showed it and
// the caret under the pointer, nothing chosen: what is typed then goes there, and the cell,
// its copy and the saved page hold it. F2 chooses the whole value and shows it chosen; a word
// chosen by the keys is drawn chosen and the rest is not.
TEST_F(CellEditorX11Test, AClickPutsTheCaretUnderThePointerAndTheChosenTextShowsChosen)
{
    const std::string value = "Vim documentation: autocmd, the events Ωμέγα and élan of Straße that start commands of their own";
    const std::string second = "Zweite Straße: Ωμέγα, ξένος and many more words than the column can show";
    MakePages({value, second});
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(2));
    ASSERT_STREQ(View()->GetCellValue(0, kDesc), "Description");
    const uint32_t nHighlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_GT(TextWidth(1, kDesc, value), Inside(1, kDesc).Width()) << "the value fits its cell and never scrolls";

    // The pointer over the left quarter of the "m" of "Vim" in the cell as it is shown.
    ASSERT_TRUE(GoToByKeys(1, kDesc) && Quiet());
    const CRect inside = Inside(1, kDesc);
    cairo_surface_t* before = Shot("cell-before-click");
    const uint32_t nChosenText = Rgb(::GetSysColor(COLOR_HIGHLIGHTTEXT)), nText = Rgb(::GetSysColor(COLOR_WINDOWTEXT));
    const int nInk = InkStart(before, inside, nChosenText);
    const std::vector<bool> shown = InkColumns(before, inside, nChosenText);
    cairo_surface_destroy(before);
    ASSERT_GE(nInk, inside.left);
    const int nM = TextWidth(1, kDesc, "m");
    const int x = nInk + TextWidth(1, kDesc, "Vi") + nM / 4;
    ASSERT_TRUE(ClickAt(ScreenPoint(View()->GetSafeHwnd(), x, inside.CenterPoint().y)));
    ASSERT_TRUE(RunUntil([&] { return EditorOpen() && Settled(); }, 60000)) << "the click did not open the editor";

    cairo_surface_t* clicked = Shot("cell-after-click");
    // The same columns show text, but for the caret and the edges of letters drawn on another
    // background.
    const std::vector<bool> editing = InkColumns(clicked, inside, nText);
    int nMoved = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        nMoved += shown[i] != editing[i] ? 1 : 0;
    EXPECT_LE(std::abs(InkStart(clicked, inside, nText) - nInk), 1) << "the text moved under the pointer";
    EXPECT_LE(nMoved, 4) << "the text moved under the pointer";
    EXPECT_EQ(PixelsOf(clicked, inside, nHighlight), 0) << "the cell looks chosen with only the caret in it";
    cairo_surface_destroy(clicked);
    int nStart = -1, nEnd = -1;
    Editor()->GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, nEnd) << "text is chosen after the click";
    EXPECT_LE(std::abs(CaretInGrid().x - x), nM) << "the caret is not under the pointer";

    ASSERT_TRUE(Xdo("type XYZ") && Xdo("key Return"));
    std::string typed = value;
    typed.insert(std::string("Vi").size(), "XYZ");
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(1, kDesc) == typed.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(1, kDesc).GetString() << "'";
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), typed);
    ASSERT_TRUE(Save()) << "the save wrote nothing";
    EXPECT_TRUE(HoldsDescription(1, typed));

    // F2 on the other page's cell: the whole value chosen, and all of it that shows drawn so.
    ASSERT_TRUE(GoToByKeys(2, kDesc));
    ASSERT_TRUE(Xdo("key F2") && RunUntil([&] { return EditorOpen() && Settled(); }, 60000)) << "F2 did not open the editor";
    CRect editor;
    Editor()->GetWindowRect(&editor);
    View()->ScreenToClient(&editor);
    const CRect inside2 = Inside(2, kDesc);
    const CRect band(editor.left + 3, inside2.top, editor.right - 3, inside2.bottom);
    cairo_surface_t* all = Shot("cell-f2");
    const std::pair<int, int> chosen = ColumnsOf(all, band, nHighlight);
    EXPECT_EQ(chosen.first, band.left) << "the chosen value does not show chosen from the editor's left";
    EXPECT_GT(chosen.second, band.CenterPoint().x) << "the chosen value does not show chosen";
    // The caret at the value's end stands in the editor, some room after it: not chosen.
    EXPECT_LT(chosen.second, band.right - 4) << "the editor past the chosen value shows chosen";
    // Only the caret, at the chosen text's end, is drawn in the text's colour.
    const int nCaret = CaretInGrid().x;
    EXPECT_EQ(InkPixels(all, band) - InkPixels(all, CRect(nCaret, band.top, nCaret + 1, band.bottom)), 0)
        << "text of the chosen value shows as not chosen";
    cairo_surface_destroy(all);

    // Home, then Ctrl+Shift+Right chooses the first word: drawn chosen, the rest not.
    ASSERT_TRUE(Xdo("key Home ctrl+shift+Right") && RunUntil([&] {
        int a = 0, b = 0;
        Editor()->GetSel(a, b);
        return a == 0 && b == 7 && Settled();
    }, 60000)) << "the keys did not choose the first word";
    cairo_surface_t* word = Shot("cell-word-chosen");
    const std::pair<int, int> wordColumns = ColumnsOf(word, band, nHighlight);
    const int nWordEnd = nInk + TextWidth(2, kDesc, "Zweite ");
    EXPECT_LE(std::abs(wordColumns.first - nInk), 2) << "the chosen word starts elsewhere";
    EXPECT_LE(std::abs(wordColumns.second - nWordEnd), 2) << "the chosen word ends elsewhere";
    EXPECT_EQ(InkPixels(word, CRect(band.left, band.top, wordColumns.first, band.bottom)), 0);
    EXPECT_GT(InkPixels(word, CRect(wordColumns.second + 2, band.top, band.right, band.bottom)), 0)
        << "the text after the chosen word does not show as not chosen";
    cairo_surface_destroy(word);
    ASSERT_TRUE(Xdo("type 'Dritte '") && Xdo("key Return"));
    const std::string replaced = "Dritte " + second.substr(7);
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(2, kDesc) == replaced.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(2, kDesc).GetString() << "'";
}

// A double-click at a letter opens the editor with the caret there and nothing chosen, on a
// cell that was not current, on the current one, and in an editor a click opened, shown with its
// frame and caret before the next key is taken: what is typed goes in at that letter, and the
// cell, its copy and the saved page hold it.
TEST_F(CellEditorX11Test, ADoubleClickPutsTheCaretAtTheLetterAndChoosesNothing)
{
    const std::string first = "Wombat doc three";
    const std::string second = "Mammoth jam and more";
    const std::string third = "Mammal jam and more";
    MakePages({first, second, third});
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(3));
    const std::string typed = "Zé Ω日";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    const uint32_t nText = Rgb(::GetSysColor(COLOR_WINDOWTEXT)), nChosenText = Rgb(::GetSysColor(COLOR_HIGHLIGHTTEXT));

    // Double-clicks the cell at the left quarter of the letter after the prefix, as the cell
    // shows its text, Shift pressed right after; checks that the editor opened with only the
    // caret there, and was shown so by the time the program took the key, and types.
    const auto doubleClickAndType = [&](ROWCOL nRow, const std::string& prefix, char cLetter, uint32_t nInk) {
        ASSERT_TRUE(Quiet());
        const CRect inside = Inside(nRow, kDesc);
        cairo_surface_t* shot = Shot();
        ASSERT_NE(shot, nullptr);
        const int nStart = InkStart(shot, inside, nInk);
        cairo_surface_destroy(shot);
        ASSERT_GE(nStart, inside.left) << "the cell shows no text";
        const int nLetter = TextWidth(nRow, kDesc, prefix + cLetter) - TextWidth(nRow, kDesc, prefix);
        const int x = nStart + TextWidth(nRow, kDesc, prefix) + nLetter / 4;
        const POINT pt = ScreenPoint(View()->GetSafeHwnd(), x, inside.CenterPoint().y);
        const ScreenAtFirstKey atFirstKey(*this);
        // Sent whole before the program looks at its input again: the key stands in its queue
        // behind the clicks, ahead of any paint the queue would bring.
        ASSERT_TRUE(Xdo("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " click --repeat 2 --delay 60 1 key shift"));
        ASSERT_TRUE(RunUntil([&] { return EditorOpen() && IsCurrent(nRow, kDesc) && atFirstKey.Screen() != nullptr && Settled(); }, 60000))
            << "the double-click opened no editor";
        // The second press may still be on its way to the editor: the caret settles once it came.
        ASSERT_TRUE(RunPastTimersDueWithin(100));
        int a = -1, b = -1;
        Editor()->GetSel(a, b);
        EXPECT_EQ(a, b) << "the double-click chose text";
        EXPECT_EQ(b, static_cast<int>(prefix.size())) << "the caret is not at the letter under the pointer";
        EXPECT_LE(std::abs(CaretInGrid().x - x), nLetter) << "the caret is not under the pointer";
        cairo_surface_t* open = Shot("cell-double-clicked");
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(PixelsOf(open, inside, Rgb(::GetSysColor(COLOR_HIGHLIGHT))), 0) << "the cell shows text chosen";
        // The key typed right after the double-click met the editor as it stands now, its frame
        // and caret drawn: not the cell it replaced, which looked chosen.
        CRect cell = View()->CalcCellRect(nRow, kDesc);
        cell.InflateRect(1, 1);
        int nDiffer = 0;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x0 = cell.left; x0 < cell.right; ++x0)
                nDiffer += GridPixel(atFirstKey.Screen(), x0, y) != GridPixel(open, x0, y) ? 1 : 0;
        EXPECT_EQ(nDiffer, 0) << "the editor was not shown when the next key came";
        cairo_surface_destroy(open);
        ASSERT_TRUE(Xdo("type --delay 30 '" + typed + "'") && Xdo("key Return"));
    };

    // Another cell is current; the pointer at the "m" of "Wombat".
    ASSERT_TRUE(GoToByKeys(3, kDesc));
    doubleClickAndType(1, "Wo", 'm', nText);
    const std::string firstTyped = "Wo" + typed + "mbat doc three";
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(1, kDesc) == firstTyped.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(1, kDesc).GetString() << "'";

    // The current cell; the pointer at the second "m" of "Mammoth".
    ASSERT_TRUE(GoToByKeys(2, kDesc));
    doubleClickAndType(2, "Mam", 'm', nChosenText);
    const std::string secondTyped = "Mam" + typed + "moth jam and more";
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(2, kDesc) == secondTyped.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(2, kDesc).GetString() << "'";

    // An editor a click opened; the pointer at the second "m" of "Mammal".
    ASSERT_TRUE(GoToByKeys(3, kDesc));
    ASSERT_TRUE(ClickCell(3, kDesc) && RunUntil([&] { return EditorOpen() && Settled(); }, 60000)) << "the click opened no editor";
    doubleClickAndType(3, "Mam", 'm', nText);
    const std::string thirdTyped = "Mam" + typed + "mal jam and more";
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(3, kDesc) == thirdTyped.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(3, kDesc).GetString() << "'";

    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), firstTyped);
    ASSERT_TRUE(Save()) << "the save wrote nothing";
    EXPECT_TRUE(HoldsDescription(1, firstTyped));
    EXPECT_TRUE(HoldsDescription(2, secondTyped));
    EXPECT_TRUE(HoldsDescription(3, thirdTyped));
}

// Ctrl+C on an empty cell puts empty text on the clipboard, whether the cell's editor is open
// or not: another program then pastes nothing, not what an earlier copy left there.
TEST_F(CellEditorX11Test, ACopyOfAnEmptyCellLeavesAnotherProgramNothingToPaste)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xclip"}));
    const std::string value = "Straße Ωμέγα 日本語";
    MakePages({value, "", ""});
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(3));

    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), value);
    EXPECT_EQ(OtherProgramPastes(), value);
    ASSERT_TRUE(GoToByKeys(2, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), "");
    EXPECT_EQ(OtherProgramPastes(), "");

    // The copy again, then an empty cell whose editor a click opened.
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), value);
    ASSERT_TRUE(GoToByKeys(3, kDesc));
    ASSERT_TRUE(ClickCell(3, kDesc) && RunUntil([&] { return EditorOpen() && Settled(); }, 60000)) << "the click opened no editor";
    EXPECT_EQ(CopyByKeys("ctrl+c"), "");
    EXPECT_EQ(OtherProgramPastes(), "");
}

// Text of several lines pasted into an open editor, from another program: the cell takes it
// whole, each line break and tab a blank, and shows, copies and saves that one line. Cut in an
// editor with nothing chosen in it cuts the cell's value, which Undo gives back.
TEST_F(CellEditorX11Test, APasteOfSeveralLinesIsOneLineInTheCellTheCopyAndThePage)
{
    const std::string first = "Straße Ωμέγα";
    const std::string cutValue = "ξένος élan, cut whole";
    MakePages({first, cutValue, "third"});
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(3));

    ForeignClipboardOwner other(server->DisplayName(), "\tline one é\r\nΔεύτερη\tgrammi\nthird\rend\r\n",
                                ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(other.Ready());
    const std::string lines = " line one é Δεύτερη grammi third end";
    const std::string pasted = first + lines;
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    ASSERT_TRUE(Xdo("key F2 End") && RunUntil([&] {
        int a = 0, b = 0;
        if (!EditorOpen())
            return false;
        Editor()->GetSel(a, b);
        return a == b && b == static_cast<int>(first.size());
    }, 60000)) << "F2 and End did not put the caret at the value's end";
    ASSERT_TRUE(Xdo("key ctrl+v"));
    EXPECT_TRUE(RunUntil([&] { return Shown(1, kDesc) == pasted; }, 60000)) << "the editor shows '" << Shown(1, kDesc) << "'";
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("cell-pasted"));
    ASSERT_TRUE(Xdo("key Return"));
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(1, kDesc) == pasted.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(1, kDesc).GetString() << "'";

    // Shift+Insert over the whole value F2 chose: the same one line in its place.
    ASSERT_TRUE(GoToByKeys(3, kDesc));
    ASSERT_TRUE(Xdo("key F2") && RunUntil([&] { return EditorOpen(); }, 60000)) << "F2 opened no editor";
    ASSERT_TRUE(Xdo("key shift+Insert Return"));
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && View()->GetCellValue(3, kDesc) == lines.c_str(); }, 60000))
        << "the cell holds '" << View()->GetCellValue(3, kDesc).GetString() << "'";
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(CopyByKeys("ctrl+c"), pasted);

    // The second page's value: a click into the cell leaves only the caret in its editor.
    ASSERT_TRUE(GoToByKeys(2, kDesc));
    ASSERT_TRUE(ClickCell(2, kDesc) && RunUntil([&] { return EditorOpen() && Settled(); }, 60000)) << "the click opened no editor";
    EXPECT_EQ(CopyByKeys("ctrl+x"), cutValue);
    EXPECT_TRUE(RunUntil([&] { return Shown(2, kDesc).empty() && View()->GetCellValue(2, kDesc).IsEmpty(); }, 60000))
        << "the cell shows '" << Shown(2, kDesc) << "' and holds '" << View()->GetCellValue(2, kDesc).GetString() << "'";
    ASSERT_TRUE(Xdo("key ctrl+z"));
    EXPECT_TRUE(RunUntil([&] { return View()->GetCellValue(2, kDesc) == cutValue.c_str(); }, 60000))
        << "Undo did not give the cut value back";

    ASSERT_TRUE(Save()) << "the save wrote nothing";
    EXPECT_TRUE(HoldsDescription(1, pasted));
    EXPECT_TRUE(HoldsDescription(2, cutValue));
    EXPECT_TRUE(HoldsDescription(3, lines));
}

// A drop-down list opens as wide as its longest choice, whose text shows whole, and within the
// screen: a choice wider than the screen gives a list as wide as the screen.
TEST_F(CellEditorX11Test, ADropDownListIsAsWideAsItsLongestChoiceWithinTheScreen)
{
    const std::string longest = "multi-jurisdictional Ωμέγα agreement";
    const std::string wider = std::string(300, 'W');
    const std::string scrolled = "unavailable_after: 25 Jun 2030 Ωμέγα";
    MakePages({"one"});
    WriteProject({"Description"}, 0, [&](CMetaSettingList& list) {
        MakeDropDownList(list, "Rating", {"General", longest.c_str(), "日本語"});
        MakeDropDownList(list, "Language", {"en", wider.c_str()});
        // More choices than the list shows: it scrolls.
        MakeDropDownList(list, "Robots", {"all", "none", "index", "noindex", scrolled.c_str(), "follow", "nofollow",
                                          "noarchive", "nosnippet"});
    });
    ASSERT_TRUE(StartWithProject(1));
    const ROWCOL nRating = 3, nLanguage = 4;
    ASSERT_STREQ(View()->GetCellValue(0, nRating), "Rating");
    ASSERT_STREQ(View()->GetCellValue(0, nLanguage), "Language");
    const auto listShown = [] { return dynamic_cast<CGXComboListBox*>(CWnd::FromHandlePermanent(::GetFocus())); };
    const int nScreen = ::GetSystemMetrics(SM_CXSCREEN);

    ASSERT_TRUE(GoToByKeys(1, nRating));
    ASSERT_TRUE(Xdo("key F4") && RunUntil([&] { return listShown() != nullptr && Settled(); }, 60000)) << "F4 opened no list";
    CGXComboListBox* pList = listShown();
    CRect list, client, cell = View()->CalcCellRect(1, nRating);
    pList->GetWindowRect(&list);
    pList->GetClientRect(&client);
    View()->ClientToScreen(&cell);
    EXPECT_EQ(list.left, cell.left);
    EXPECT_EQ(list.top, cell.bottom);
    // Each choice's text shows whole, with room to its right.
    {
        CClientDC dc(pList);
        auto hFont = reinterpret_cast<HFONT>(pList->SendMessage(WM_GETFONT));
        HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hFont != nullptr ? hFont : ::GetStockObject(DEFAULT_GUI_FONT));
        SIZE size{};
        ::GetTextExtentPoint32(dc.GetSafeHdc(), longest.c_str(), static_cast<int>(longest.size()), &size);
        ::SelectObject(dc.GetSafeHdc(), hOld);
        EXPECT_GE(client.Width(), size.cx + 4) << "the longest choice is cut";
        EXPECT_LT(client.Width(), size.cx + 20) << "the list is wider than its choices need";
    }
    cairo_surface_t* shot = Shot("list-wide");
    if (shot != nullptr) {
        // The choices' ink ends inside the list, away from its right edge.
        int nLastInk = -1;
        for (int x = list.left; x < list.right - 1; ++x)
            for (int y = list.top + 1; y < list.bottom - 1; ++y) {
                const uint32_t pixel = screen_capture::PixelAt(shot, x, y);
                if (((pixel >> 16) & 0xFF) < 80 && ((pixel >> 8) & 0xFF) < 80 && (pixel & 0xFF) < 80)
                    nLastInk = std::max(nLastInk, x);
            }
        EXPECT_GT(nLastInk, cell.right) << "no choice shows past the cell's width";
        cairo_surface_destroy(shot);
    }
    ASSERT_TRUE(Xdo("key Escape") && RunUntil([&] { return listShown() == nullptr; }, 60000));

    // A list of more choices than it shows scrolls: its bar stands beside the choices, and the
    // longest one ends before it. Nine choices: the list is first made taller than it ends up,
    // so that its bar comes up only once it is cut to the eight it shows.
    const ROWCOL nRobots = 5;
    ASSERT_STREQ(View()->GetCellValue(0, nRobots), "Robots");
    ASSERT_TRUE(GoToByKeys(1, nRobots));
    ASSERT_TRUE(Xdo("key F4") && RunUntil([&] { return listShown() != nullptr && Settled(); }, 60000)) << "F4 opened no list";
    pList = listShown();
    // The last choice chosen, the list scrolled to it: the longest one is drawn unchosen.
    ASSERT_TRUE(Xdo("key End") && RunUntil([&] { return pList->GetCurSel() == pList->GetCount() - 1 && Settled(); }, 60000));
    ASSERT_TRUE((pList->GetStyle() & WS_VSCROLL) != 0) << "the list of nine choices does not scroll";
    pList->GetWindowRect(&list);
    shot = Shot("list-scrolled");
    ASSERT_NE(shot, nullptr);
    {
        CRect item;
        const int nLongest = pList->FindStringExact(-1, scrolled.c_str());
        ASSERT_GE(nLongest, 0);
        pList->GetItemRect(nLongest, &item);
        CRect inside;
        pList->GetClientRect(&inside);
        const POINT top = ScreenPoint(pList->GetSafeHwnd(), item.left, item.top);
        // The bar begins where the list's client area ends.
        const int nBarLeft = ScreenPoint(pList->GetSafeHwnd(), inside.right, 0).x;
        int nLastInk = -1;
        for (int x = list.left; x < nBarLeft; ++x)
            for (int y = top.y; y < top.y + item.Height(); ++y) {
                const uint32_t pixel = screen_capture::PixelAt(shot, x, y);
                if (((pixel >> 16) & 0xFF) < 80 && ((pixel >> 8) & 0xFF) < 80 && (pixel & 0xFF) < 80)
                    nLastInk = std::max(nLastInk, x);
            }
        EXPECT_GT(nLastInk, list.left) << "the longest choice shows no text";
        EXPECT_LT(nLastInk, nBarLeft - 2) << "the longest choice runs under the scroll bar";
    }
    cairo_surface_destroy(shot);
    ASSERT_TRUE(Xdo("key Escape") && RunUntil([&] { return listShown() == nullptr; }, 60000));

    ASSERT_TRUE(GoToByKeys(1, nLanguage));
    ASSERT_TRUE(Xdo("key F4") && RunUntil([&] { return listShown() != nullptr && Settled(); }, 60000)) << "F4 opened no list";
    listShown()->GetWindowRect(&list);
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.right, nScreen);
    // A choice picked from the wide list is the cell's value.
    ASSERT_TRUE(Xdo("key Down Return"));
    EXPECT_TRUE(RunUntil([&] { return listShown() == nullptr && EditorOpen() && Shown(1, nLanguage) == wider; }, 60000));
    // Its text is never typed, nor pasted.
    ForeignClipboardOwner other(server->DisplayName(), "pasted\r\ntext", ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(other.Ready());
    ASSERT_TRUE(Xdo("key ctrl+v Return"));
    EXPECT_TRUE(RunUntil([&] { return !EditorOpen() && IsCurrent(1, nLanguage) && Settled(); }, 60000));
    EXPECT_STREQ(View()->GetCellValue(1, nLanguage), wider.c_str());
}

// With the main window against the screen's bottom, a drop-down list of a cell in its lowest
// row has no room below the cell: opened by a click on the cell's button and by Alt+Down, it
// opens above the cell, whole on the screen, and its lowest and highest choices take a click.
TEST_F(CellEditorX11Test, ADropDownListWithoutRoomBelowItsCellOpensAboveIt)
{
    const std::initializer_list<const char*> choices = {"General", "Mature", "Restricted", "14 years",
                                                        "Ωμέγα", "日本語", "Straße", "café"};
    // More pages than the grid shows rows, so that its lowest row shown stands at its bottom.
    MakePages(std::vector<std::string>(30, "x"));
    WriteProject({"Description"}, 0, [&](CMetaSettingList& list) { MakeDropDownList(list, "Rating", choices); });
    ASSERT_TRUE(StartWithProject(30));
    const ROWCOL nRating = 3;
    ASSERT_STREQ(View()->GetCellValue(0, nRating), "Rating");
    const int nScreen = ::GetSystemMetrics(SM_CYSCREEN);
    CRect frame;
    Frame().GetWindowRect(&frame);
    Frame().SetWindowPos(nullptr, frame.left, nScreen - frame.Height(), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(RunUntil([&] {
        Frame().GetWindowRect(&frame);
        return frame.bottom == nScreen && Settled();
    }, 60000)) << "the main window did not move to the screen's bottom";

    // The lowest row the grid shows whole, once the column is in sight.
    ASSERT_TRUE(GoToByKeys(1, nRating));
    CRect client;
    View()->GetClientRect(&client);
    ROWCOL nRow = 1;
    while (nRow < 30 && View()->CalcCellRect(nRow + 1, nRating).bottom <= client.bottom)
        ++nRow;
    ASSERT_TRUE(GoToByKeys(nRow, nRating));
    CRect cell = View()->CalcCellRect(nRow, nRating);
    View()->ClientToScreen(&cell);
    const auto listShown = [] { return dynamic_cast<CGXComboListBox*>(CWnd::FromHandlePermanent(::GetFocus())); };
    // The list's rectangle once it is open, and the screen point of a choice in it.
    const auto openList = [&](CRect& list) {
        CGXComboListBox* pList = listShown();
        if (pList == nullptr)
            return false;
        pList->GetWindowRect(&list);
        return true;
    };
    const auto choicePoint = [&](int nIndex) {
        CRect item;
        listShown()->GetItemRect(nIndex, &item);
        return ScreenPoint(listShown()->GetSafeHwnd(), item.CenterPoint().x, item.CenterPoint().y);
    };

    // By the mouse: a click on the current cell's button.
    ASSERT_TRUE(ClickAt({cell.right - 6, cell.CenterPoint().y}));
    CRect list;
    ASSERT_TRUE(RunUntil([&] { return openList(list) && Settled(); }, 60000)) << "the button opened no list";
    ASSERT_GT(cell.bottom + list.Height(), nScreen)
        << "the cell leaves room below it for the list: the window is not low enough";
    cairo_surface_t* shot = Shot("list-above-cell");
    if (shot != nullptr)
        cairo_surface_destroy(shot);
    EXPECT_EQ(list.bottom, cell.top) << "the list does not open above the cell";
    EXPECT_GE(list.top, 0);
    EXPECT_EQ(listShown()->GetCount(), static_cast<int>(choices.size()));
    ASSERT_TRUE(ClickAt(choicePoint(static_cast<int>(choices.size()) - 1)));
    EXPECT_TRUE(RunUntil([&] { return listShown() == nullptr && Shown(nRow, nRating) == *(choices.end() - 1); }, 60000))
        << "the lowest choice was not picked: '" << Shown(nRow, nRating) << "'";

    // By the keys: Alt+Down.
    ASSERT_TRUE(Xdo("key alt+Down"));
    ASSERT_TRUE(RunUntil([&] { return openList(list) && Settled(); }, 60000)) << "Alt+Down opened no list";
    EXPECT_EQ(list.bottom, cell.top);
    EXPECT_GE(list.top, 0);
    ASSERT_TRUE(ClickAt(choicePoint(0)));
    EXPECT_TRUE(RunUntil([&] { return listShown() == nullptr && Shown(nRow, nRating) == *choices.begin(); }, 60000))
        << "the highest choice was not picked: '" << Shown(nRow, nRating) << "'";
}
