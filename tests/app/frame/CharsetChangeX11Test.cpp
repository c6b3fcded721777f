// Pages as sites have them given another charset in the Content-Type cell by keys: what the
// Preview shows of them, and what the save writes, byte for byte, and refuses.
#include "app/dialogs/CPreviewDlg.h"
#include "tests/app/ShownPreview.h"
#include "app/panes/COutputAreaControlBar.h"
#include "toolkit/editor/SECEditDoc.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/EncodingIndexes.h"
#include "tests/support/IconvProgram.h"
#include "tests/support/LegacySitePages.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

namespace {

const std::string kMark = "\xEF\xBB\xBF";
std::string Head(const std::string& charset)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">";
}
// A page labelled ISO-8859-1 whose bytes are UTF-8, one line and one LF, as a generator wrote it.
const std::string kMislabelled = Head("ISO-8859-1") + "<title>Caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC</title>"
                                 "</head><body><p>\xC3\xA9t\xC3\xA9</p></body></html>\n";
// The same page with a chapter of more than a megabyte in its body, one more letter after it: the
// Preview compares the two readings of the whole page, not of its first piece.
const std::string kMislabelledLong = [] {
    std::string chapter;
    for (int i = 0; chapter.size() < (3u << 19); ++i)
        chapter += "Kapitel " + std::to_string(i) + ": das Netz der Schule\n";
    std::string page = kMislabelled;
    page.insert(page.find("</body>"), "<pre>" + chapter + "</pre><p>Stra\xC3\x9F" "e</p>");
    return page;
}();
// An XHTML page in UTF-8 whose declaration names no encoding, with a script and a style sheet.
const std::string kXhtmlRest = "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                               "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\n"
                               "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
                               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />";
const std::string kXhtml = "<?xml version=\"1.0\"?>\n" + kXhtmlRest +
                           "<title>Caf\xC3\xA9</title><style>li:before{content:\"\xE2\x80\xA2\"}</style>"
                           "<script>var s=\"\xE2\x86\x92\";</script></head><body><p>\xE2\x86\x92 \xC3\xA9</p></body></html>\n";
// A Shift_JIS page with a stray byte, a lead byte without its second.
const std::string kStray = Head("Shift_JIS") + "<title>\x93\xFA\x96\x7B</title></head><body>\x82\xA0 \x82 \x82\xA2"
                           "</body></html>\n";
// Hello, world, in windows-1251 and in UTF-8, its title on a line of its own.
const std::string kCyrillic = Head("windows-1251") + "\n<title>\xCF\xF0\xE8\xE2\xE5\xF2</title></head><body>\xEC\xE8\xF0"
                              "</body></html>\n";
const std::string kCyrillicInUtf8 = Head("UTF-8") + "\n<title>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</title></head>"
                                    "<body>\xD0\xBC\xD0\xB8\xD1\x80</body></html>\n";
const std::string kLatin = Head("ISO-8859-1") + "<title>Caf\xE9</title></head><body>\xE9t\xE9</body></html>\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class CharsetChangeX11Test : public MainWindowStepsX11Test {
protected:
    std::string Page(const char* pszName) { return ReadFile(site + "/" + pszName); }

    // The program started on a site of the pages, with a Content-Type column; the pages stand in
    // the grid in their order. The column, 0 when the start failed.
    ROWCOL StartOnSite(const std::vector<std::pair<const char*, std::string>>& pages)
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (const auto& [pszName, bytes] : pages)
            std::ofstream(site + "/" + pszName, std::ios::binary) << bytes;
        WriteProject({}, 1, AddShownContentType);
        if (!StartWithProject(static_cast<UINT>(pages.size())) || (view = View()) == nullptr)
            return 0;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (RowOf(pages[i].first) != i + 1)
                return 0;
        }
        return ColumnOf("Content-Type");
    }

    // What the Preview showed: its panes' text and captions; of a page in doubt, whether each
    // pane's take button is offered, the word beside it, and the line each pane's caret is on and
    // starts with.
    struct PreviewSeen {
        bool seen = false;
        std::string left, right, rightCaption, leftCaption;
        bool bOffered[2] = {false, false};
        std::string notes[2];
        int nCaretLine[2] = {0, 0};
        int nTopLine[2] = {0, 0};
        int nLeftColumn[2] = {0, 0};
        // The character at the caret is drawn whole inside the pane's text, clear of its
        // margin and scroll bars.
        bool bCaretInSight[2] = {false, false};
        // The text from the caret on, a few bytes of it.
        std::string atCaret[2];
    };
    static std::string TextOf(CFileContentsWnd& pane)
    {
        std::string text;
        for (SECEditLine* pLine = pane.GetEditor().GetDocument()->GetFirstLine(); pLine != nullptr; pLine = pLine->pNext)
            text.append(pLine->pText, static_cast<size_t>(pLine->nLength));
        return text;
    }
    // Whether the character at the editor's caret is drawn whole inside its text area: its cell
    // lies within the client area, right of the margin, and holds ink on the screen.
    static bool CaretInSight(CEditCtrlWrapper& editor, cairo_surface_t* shot)
    {
        CRect client;
        editor.GetClientRect(&client);
        const int nWidth = editor.GetCharWidth(), nHeight = editor.GetLineHeight();
        const int x = editor.GetMarginWidth() + (editor.GetCaretColumn() - editor.GetLeftColumn()) * nWidth;
        const int y = (editor.GetCaretLineNo() - editor.GetTopLineNo()) * nHeight;
        if (shot == nullptr || x < editor.GetMarginWidth() || y < 0 || x + nWidth > client.right || y + nHeight > client.bottom)
            return false;
        POINT origin{x, y};
        ::ClientToScreen(editor.GetSafeHwnd(), &origin);
        const uint32_t paper = screen_capture::PixelAt(shot, origin.x, origin.y);
        int nInk = 0;
        for (int dy = 0; dy < nHeight; ++dy)
            for (int dx = 0; dx < nWidth; ++dx)
                nInk += screen_capture::PixelAt(shot, origin.x + dx, origin.y + dy) != paper;
        return nInk > 0;
    }
    // The text from the editor's caret on, as far as its line goes and 8 bytes at most.
    static std::string AtCaret(CEditCtrlWrapper& editor)
    {
        SECEditDoc* pDoc = editor.GetDocument();
        SECEditLine* pLine = pDoc != nullptr ? pDoc->GetLine(editor.GetCaretLineNo()) : nullptr;
        if (pLine == nullptr)
            return std::string();
        const int nAt = std::min(pDoc->OffsetFromColumn(pLine, editor.GetCaretColumn()), pLine->nLength);
        return std::string(pLine->pText + nAt, static_cast<size_t>(std::min(8, pLine->nLength - nAt)));
    }
    // What the Preview shows now, its screen kept as the shot's name says.
    PreviewSeen Seen(CPreviewDlg& dlg, const char* pszShot = nullptr)
    {
        cairo_surface_t* shot = Shot(pszShot);
        PreviewSeen seen;
        seen.seen = true;
        seen.left = TextOf(dlg.GetLeftPane());
        seen.right = TextOf(dlg.GetRightPane());
        seen.rightCaption = dlg.GetRightPane().GetCaption();
        seen.leftCaption = dlg.GetLeftPane().GetCaption();
        int i = 0;
        for (CFileContentsWnd* pPane : {&dlg.GetLeftPane(), &dlg.GetRightPane()}) {
            seen.bOffered[i] = pPane->GetTakeButton().GetSafeHwnd() != nullptr && pPane->GetTakeButton().IsWindowEnabled();
            CString strNote;
            if (pPane->GetTakeNote().GetSafeHwnd() != nullptr)
                pPane->GetTakeNote().GetWindowText(strNote);
            seen.notes[i] = strNote.GetString();
            seen.nCaretLine[i] = pPane->GetEditor().GetCaretLineNo();
            seen.nLeftColumn[i] = pPane->GetEditor().GetLeftColumn();
            seen.bCaretInSight[i] = CaretInSight(pPane->GetEditor(), shot);
            seen.atCaret[i] = AtCaret(pPane->GetEditor());
            seen.nTopLine[i++] = pPane->GetEditor().GetTopLineNo();
        }
        if (shot != nullptr)
            cairo_surface_destroy(shot);
        return seen;
    }
    bool PreviewShows() { return ShownPreview() != nullptr && ViewableWindowTitled("Preview Changes to HTML File") && ShowsNow(); }
    enum class By { Keys, Mouse };
    // The steps that open View > Changes on the row: to its cell by the arrows and the menu by its
    // keys, or a click on the cell and on the menu's items.
    ::testing::AssertionResult OpenPreview(ROWCOL nRow, ROWCOL nType, By by)
    {
        if (by == By::Keys) {
            if (!GoToByKeys(nRow, nType))
                return ::testing::AssertionFailure() << "the arrows did not reach row " << nRow;
            Type("the main window", "^Vostrel -", "alt+v c");
            return ::testing::AssertionSuccess();
        }
        if (!ClickCell(nRow, nType) || !RunUntil([&] { return IsCurrent(nRow, nType) && Settled(); }))
            return ::testing::AssertionFailure() << "the click did not reach row " << nRow;
        if (!ClickAt(MenuBarItemOnScreen("View"), 1, 1))
            return ::testing::AssertionFailure() << "the View menu was not clicked";
        Choose("Changes");
        return ::testing::AssertionSuccess();
    }
    // Waits until the steps are taken and the Preview has closed.
    ::testing::AssertionResult PreviewClosed()
    {
        if (::testing::AssertionResult taken = StepsTaken(); !taken)
            return taken;
        if (!RunUntil([] { return ShownPreview() == nullptr; }))
            return ::testing::AssertionFailure() << "the Preview did not close";
        return ::testing::AssertionSuccess();
    }
    // The user opens the Preview of the row; once it holds the keys, it is read off and kept on
    // the screen's picture, and Escape closes it.
    ::testing::AssertionResult Preview(ROWCOL nRow, ROWCOL nType, const char* pszShot, PreviewSeen& seen,
                                       By by = By::Keys)
    {
        if (::testing::AssertionResult opened = OpenPreview(nRow, nType, by); !opened)
            return opened;
        When("the Preview holds the keys", [this] { return PreviewShows(); }, [this, pszShot, &seen] {
            seen = Seen(*ShownPreview(), pszShot);
            XdoNow("key Escape");
        });
        return PreviewClosed();
    }
};

} // namespace

TEST_F(CharsetChangeX11Test, APageGivenAnotherCharsetIsConvertedOrRelabelledOrRefusedAndThePreviewShowsWhich)
{
    const ROWCOL nType = StartOnSite({{"p1.htm", kMislabelledLong}, {"p2.htm", kMark + kMislabelled}, {"p3.htm", kXhtml},
                                      {"p4.htm", kStray}, {"p5.htm", kCyrillic}, {"p6.htm", kLatin}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const ROWCOL nTitle = CGroupView::kTitleColumn;

    // The scan reads the page behind a byte order mark as UTF-8, whatever it declares, and the
    // one without as its label says, as browsers show them.
    EXPECT_EQ(CopiedCells(1, nTitle, 2, nTitle),
              (std::vector<std::string>{"Caf\xC3\x83\xC2\xA9 \xC3\xA2\xE2\x82\xAC\xE2\x80\x9D \xC3\xA6\xE2\x80\x94\xC2\xA5"
                                        "\xC3\xA6\xC5\x93\xC2\xAC",
                                        "Caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC"}));

    // The user types each page's new charset into its Content-Type cell.
    const char* charsets[] = {"UTF-8", "UTF-8", "ISO-8859-1", "UTF-8", "UTF-8", "UTF-32"};
    for (ROWCOL nRow = 1; nRow <= 6; ++nRow) {
        const std::string value = std::string("text/html; charset=") + charsets[nRow - 1];
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 '" + value + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nRow, nType) == value.c_str(); }, 60000))
            << "row " << nRow << " did not take the value: '" << view->GetCellValue(nRow, nType).GetString() << "'";
    }

    // The Preview shows the Cyrillic page's characters on both sides and says it is converted;
    // the mislabelled page keeps its bytes under the new declaration.
    PreviewSeen cyrillic, mislabelled;
    ASSERT_TRUE(Preview(5, nType, "charset-preview-converted", cyrillic));
    ASSERT_TRUE(cyrillic.seen);
    EXPECT_EQ(cyrillic.left, Replaced(kCyrillicInUtf8, "UTF-8", "windows-1251"));
    EXPECT_EQ(cyrillic.right, kCyrillicInUtf8);
    EXPECT_EQ(cyrillic.rightCaption, "Converted from windows-1251, as declared, to UTF-8 - Modified '" + site + "/p5.htm'");
    ASSERT_TRUE(Preview(1, nType, "charset-preview-relabelled", mislabelled));
    EXPECT_TRUE(mislabelled.right == Replaced(kMislabelledLong, "ISO-8859-1", "UTF-8"));
    // Its letters read otherwise, the last of them past its first megabyte: the caption says so,
    // counting them all, with the first of them.
    EXPECT_EQ(mislabelled.rightCaption, "Declared UTF-8, its bytes kept, which read as other text: 7 characters, the first "
                                        "\"\xC3\x83\xC2\xA9\" now \"\xC3\xA9\" (before: ISO-8859-1, as declared) - Modified '" +
                                        site + "/p1.htm'");

    // Saved: the pages that can be written in their new charsets are; the others are told by
    // name and left as they were.
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    const std::string strayRefused = "P4.HTM : Not saved: its bytes do not all read as Shift_JIS, the charset it is in "
                                     "(the first that does not is byte " + std::to_string(kStray.find("\x82 \x82")) +
                                     ", 0x82), so it cannot be converted to UTF-8.";
    const std::string utf32Refused = "P6.HTM : Not saved: its Content-Type declares the charset \"UTF-32\"";
    ASSERT_TRUE(RunUntil([&] {
        const std::string text(pOutput->GetText());
        return Page("p5.htm") != kCyrillic && text.find(strayRefused) != std::string::npos
            && text.find(utf32Refused) != std::string::npos;
    }, 60000)) << "the save did not write the pages or tell of the refused ones: " << pOutput->GetText().GetString();
    // The pages read again show what they hold now, and that is no news of another program's.
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nTitle) == "Caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC"; },
                         60000)) << view->GetCellValue(1, nTitle).GetString();
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(std::string(pOutput->GetText()).find("Read again"), std::string::npos) << pOutput->GetText().GetString();
    if (cairo_surface_t* shot = Shot("charset-saved"))
        cairo_surface_destroy(shot);

    EXPECT_TRUE(Page("p1.htm") == Replaced(kMislabelledLong, "ISO-8859-1", "UTF-8"));
    EXPECT_EQ(Page("p2.htm"), kMark + Replaced(kMislabelled, "ISO-8859-1", "UTF-8"));
    EXPECT_EQ(Page("p3.htm"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" +
                                  Replaced(kXhtmlRest, "utf-8", "ISO-8859-1") +
                                  "<title>Caf\xE9</title><style>li:before{content:\"\\2022\"}</style>"
                                  "<script>var s=\"\\u2192\";</script></head><body><p>&#8594; \xE9</p></body></html>\n");
    EXPECT_EQ(Page("p4.htm"), kStray);
    EXPECT_EQ(Page("p5.htm"), kCyrillicInUtf8);
    EXPECT_EQ(Page("p6.htm"), kLatin);
    // The refused pages keep their edits for another try.
    EXPECT_EQ(view->GetCellValue(4, nType), "text/html; charset=UTF-8");
    EXPECT_EQ(view->GetCellValue(6, nType), "text/html; charset=UTF-32");
}

namespace {

// A page of a web server's Korean manual, in EUC-KR: the bytes of its Hangul make pairs that read
// as UTF-8.
const std::string kKorean = Head("EUC-KR") + "\n<title>Apache HTTP 서버 버전 2.4 문서 - 한국어</title>\n</head>"
                            "<body><p>이 문서는 아파치 웹서버의 설치와 설정을 설명합니다.</p></body></html>\n";
// A page written today, declaring its charset by "<meta charset>".
const std::string kGreek = "<!DOCTYPE html>\n<html lang=\"el\"><head>\n<meta charset=\"utf-8\">\n<title>Καλημέρα κόσμε</title>\n"
                           "</head><body><p>Ελληνικά</p></body></html>\n";

} // namespace

// A Korean manual page given UTF-8 by the mouse is converted from the EUC-KR it declares; a page
// declaring its charset by "<meta charset>" shows it in the Content-Type column and, given another
// charset by the keys, keeps that one declaration; a page whose only declaration the keys delete is
// previewed as browsers will guess it, and after the save its row shows what it showed, without
// news of another program's change.
TEST_F(CharsetChangeX11Test, AKoreanManualPageAndAMetaCharsetPageAreConvertedAndADeletedDeclarationIsPreviewed)
{
    const auto iconv = [&](const std::string& bytes, const std::string& from, const std::string& to) {
        return iconv_program::Convert(bytes, from, to, dir.Path() + "/iconv-input");
    };
    const std::string korean = iconv(kKorean, "UTF-8", "EUC-KR");
    ASSERT_NE(korean.find("\xD1\xB1"), std::string::npos) << "no Hangul pair of the page reads as UTF-8";
    const ROWCOL nType = StartOnSite({{"a.htm", korean}, {"b.htm", kGreek}, {"c.htm", kCyrillic}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    EXPECT_EQ(CopiedCells(1, nType, 3, nType),
              (std::vector<std::string>{"text/html; charset=EUC-KR", "text/html; charset=utf-8",
                                        "text/html; charset=windows-1251"}));

    // The Korean page by the mouse, the Greek one by the keys; the Cyrillic page's declaration
    // deleted.
    ASSERT_TRUE(ClickCell(1, nType) && RunUntil([&] { return IsCurrent(1, nType) && Settled(); }));
    ASSERT_TRUE(Xdo("type --delay 20 'text/html; charset=UTF-8'") && Xdo("key Return"));
    ASSERT_TRUE(GoToByKeys(2, nType) && Xdo("type --delay 20 'text/html; charset=ISO-8859-7'") && Xdo("key Return"));
    ASSERT_TRUE(GoToByKeys(3, nType) && Xdo("key Delete"));
    ASSERT_TRUE(RunUntil([&] {
        return view->GetCellValue(1, nType) == "text/html; charset=UTF-8"
            && view->GetCellValue(2, nType) == "text/html; charset=ISO-8859-7" && view->GetCellValue(3, nType).IsEmpty();
    })) << "the cells did not take the values";

    PreviewSeen seenKorean, seenGreek, seenCyrillic;
    ASSERT_TRUE(Preview(1, nType, "charset-preview-korean", seenKorean, By::Mouse));
    EXPECT_EQ(seenKorean.right, Replaced(kKorean, "EUC-KR", "UTF-8"));
    EXPECT_EQ(seenKorean.rightCaption, "Converted from EUC-KR, as declared, to UTF-8 - Modified '" + site + "/a.htm'");
    ASSERT_TRUE(Preview(2, nType, "charset-preview-meta", seenGreek));
    EXPECT_EQ(seenGreek.right, Replaced(kGreek, "utf-8", "ISO-8859-7"));
    EXPECT_EQ(seenGreek.rightCaption, "Converted from UTF-8, as declared, to ISO-8859-7 - Modified '" + site + "/b.htm'");
    ASSERT_TRUE(Preview(3, nType, "charset-preview-undeclared", seenCyrillic));
    const std::string undeclared = Replaced(kCyrillic, Head("windows-1251"), "<html><head>");
    EXPECT_EQ(seenCyrillic.right, iconv(undeclared, "windows-1251", "UTF-8"));
    EXPECT_EQ(seenCyrillic.rightCaption, "No declaration: browsers will guess, here windows-1251 (before: windows-1251, "
                                         "as declared) - Modified '" + site + "/c.htm'");

    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return Page("c.htm") == undeclared && !view->GetCellValue(1, nTitle).IsEmpty(); }, 60000));
    ASSERT_TRUE(Quiet());
    // Each page reads in its new charset as it read in its old one, but for its one declaration.
    EXPECT_EQ(Page("a.htm"), Replaced(iconv(korean, "EUC-KR", "UTF-8"), "EUC-KR", "UTF-8"));
    EXPECT_EQ(iconv(Page("b.htm"), "ISO-8859-7", "UTF-8"), Replaced(kGreek, "utf-8", "ISO-8859-7"));
    // The rows show what they showed, and nothing tells of another program's change.
    EXPECT_EQ(CopiedCells(1, nTitle, 3, nTitle),
              (std::vector<std::string>{"Apache HTTP 서버 버전 2.4 문서 - 한국어", "Καλημέρα κόσμε", "Привет"}));
    EXPECT_EQ(std::string(pOutput->GetText()).find("Read again"), std::string::npos) << pOutput->GetText().GetString();
}

namespace {

// A chapter of a system administration guide in GBK and one in Big5, each on one line.
const std::string kGbkTitle = "<title>\xD6\xD0\xCE\xC4\xCA\xD6\xB2\xE1</title>";
const std::string kGbk = Head("GBK") + kGbkTitle + "</head><body><p>\xCF\xB5\xCD\xB3\xB9\xDC\xC0\xED &mdash; "
                         "\xD6\xD0\xCE\xC4</p></body></html>\n";
const std::string kBig5Title = "<title>\xA4\xA4\xA4\xE5\xA4\xE2\xA5\x55</title>";
const std::string kBig5 = Head("Big5") + kBig5Title + "</head><body><p>\xA8\x74\xB2\xCE\xBA\xDE\xB2\x7A &mdash; "
                          "\xA4\xA4\xA4\xE5</p></body></html>\n";

} // namespace

// A euro sign typed into a GBK page's title and an accented letter into a Big5 page's are saved
// as what reads back as them: the grid shows the titles as typed once the pages are read again,
// and the pages then move to UTF-8 with all of their text.
TEST_F(CharsetChangeX11Test, CharactersTypedIntoGbkAndBig5PagesReadBackAsTypedAndMoveToUtf8)
{
    const ROWCOL nType = StartOnSite({{"big5.htm", kBig5}, {"gbk.htm", kGbk}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    ASSERT_EQ(CopiedCells(1, nTitle, 2, nTitle), (std::vector<std::string>{"中文手冊", "中文手册"}));

    const std::string gbkTitle = "中文手册 €5", big5Title = "Café 中文手冊";
    X11KeyboardLetters letters(other, gbkTitle + big5Title);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(GoToByKeys(1, nTitle) && Xdo("type --delay 30 '" + big5Title + "'") && Xdo("key Return"));
    ASSERT_TRUE(GoToByKeys(2, nTitle) && Xdo("type --delay 30 '" + gbkTitle + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] {
        return view->GetCellValue(1, nTitle) == big5Title.c_str() && view->GetCellValue(2, nTitle) == gbkTitle.c_str();
    })) << "the titles were not typed: '" << view->GetCellValue(1, nTitle).GetString() << "', '"
        << view->GetCellValue(2, nTitle).GetString() << "'";

    // Saved: the euro sign as GBK's own byte for it, the letter Big5 lacks as a reference.
    COutputAreaControlBar* pOutput = nullptr;
    ASSERT_EQ(Frame().GetOutputAreaBar(pOutput), 0u);
    const auto saved = [&] {
        return RunUntil([&] { return std::string(pOutput->GetText()).find("Save Edited Files:") != std::string::npos; }, 60000)
            && Quiet();
    };
    ASSERT_TRUE(Xdo("key ctrl+t") && saved()) << "the save did not end";
    const std::string gbkSaved = Replaced(kGbk, kGbkTitle, "<title>\xD6\xD0\xCE\xC4\xCA\xD6\xB2\xE1 \x80" "5</title>");
    const std::string big5Saved = Replaced(kBig5, kBig5Title, "<title>Caf&#233; \xA4\xA4\xA4\xE5\xA4\xE2\xA5\x55</title>");
    EXPECT_EQ(Page("gbk.htm"), gbkSaved);
    EXPECT_EQ(Page("big5.htm"), big5Saved);

    // Scanned again, the rows show the titles as they were typed.
    const std::string saveTold(pOutput->GetText());
    ASSERT_NE(saveTold.find("2 of 2 pages written"), std::string::npos) << saveTold;
    // A scan begins by clearing the Output Area of what the save told.
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] {
        return std::string(pOutput->GetText()) != saveTold && app->GetRunState() == 0 && Frame().GetFilesScanned() == 2;
    }, 60000)) << "the pages were not scanned again";
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(CopiedCells(1, nTitle, 2, nTitle), (std::vector<std::string>{big5Title, gbkTitle}));
    if (cairo_surface_t* shot = Shot("charset-typed-titles"))
        cairo_surface_destroy(shot);

    // Both pages given UTF-8 by the keys are converted whole, the euro sign and all.
    for (ROWCOL nRow = 1; nRow <= 2; ++nRow)
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 'text/html; charset=UTF-8'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] {
        return view->GetCellValue(1, nType) == "text/html; charset=UTF-8" && view->GetCellValue(2, nType) == "text/html; charset=UTF-8";
    })) << "the cells did not take the charset";
    ASSERT_TRUE(Xdo("key ctrl+t") && saved()) << "the save did not end";
    EXPECT_NE(std::string(pOutput->GetText()).find("2 of 2 pages written"), std::string::npos) << pOutput->GetText().GetString();
    EXPECT_EQ(Page("gbk.htm"), Head("UTF-8") + "<title>" + gbkTitle + "</title></head><body><p>系统管理 &mdash; 中文</p>"
                                   "</body></html>\n");
    EXPECT_EQ(Page("big5.htm"), Head("UTF-8") + "<title>Caf&#233; 中文手冊</title></head><body><p>系統管理 &mdash; 中文</p>"
                                    "</body></html>\n");
    EXPECT_EQ(CopiedCells(1, nTitle, 2, nTitle), (std::vector<std::string>{big5Title, gbkTitle}));
}

// An old site's translations as users hold them: pages that declare no charset, one whose label
// its Shift_JIS bytes contradict, Latin pages whose few letters happen to read as UTF-8 too, a
// page declaring "<meta charset>" given its charset again in capitals, a Romanian page in
// ISO-8859-16 under a windows-1250 label given ISO-8859-16, a Czech page written on a Mac under an
// ISO-8859-2 label given UTF-8. The grid shows each title in its
// characters; given charsets by the keys, each page is converted, kept under the new
// declaration or left byte for byte as it was with the reason in the Output Area; the Preview says
// which, and shows a page whose bytes read two ways both ways.
TEST_F(CharsetChangeX11Test, PagesThatDoNotSayOrSayWrongWhatTheyAreInAreNeverGarbledBySaving)
{
    using legacy_site::ContentType, legacy_site::kFrench, legacy_site::kRussian, legacy_site::kChinese,
        legacy_site::kJapanese, legacy_site::kNestle, legacy_site::kGroesse;
    const auto guide = [](const legacy_site::GuidePage& page, const std::string& declaration = std::string()) {
        return legacy_site::Page(page, declaration);
    };
    const auto iconv = [&](const std::string& bytes, const std::string& from, const std::string& to) {
        return iconv_program::Convert(bytes, from, to, dir.Path() + "/iconv-input");
    };
    const std::string meta = "<!DOCTYPE html>\n<html><head>\n<meta charset=\"utf-8\">\n<title>" +
                             std::string(kGroesse.pszTitle) + "</title>\n</head><body>\n" + kGroesse.pszBody +
                             "</body></html>\n";
    // Its s and t with a comma below read in windows-1250 as the s and t with a cedilla.
    const legacy_site::GuidePage romanian{
        "Capitolul 7. Serverul de poștă",
        "<h1>Capitolul 7. Serverul de poștă</h1>\n<p>Înainte de a instala serverul, verificați că numele stației "
        "este scris corect și că rețeaua ajunge la ea. Mesajele trimise de la distanță trec prin acest server, iar "
        "ținerea lor în ordine cere o configurație îngrijită.</p>\n"};
    // Written on a Mac: ISO-8859-2 reads its í, á and Č as control characters inside words.
    const legacy_site::GuidePage czech{
        "Kapitola 6. Síťové aplikace",
        "<h1>Kapitola 6. Síťové aplikace</h1>\n<p>Vítejte na našich stránkách. Najdete zde informace o výrobcích, "
        "otevírací době a cenách. Těšíme se na vaši návštěvu.</p>\n"};
    const std::vector<std::pair<const char*, std::string>> pages = {
        {"a.htm", iconv(guide(kFrench), "UTF-8", "WINDOWS-1252")},
        {"b.htm", iconv(guide(kRussian), "UTF-8", "WINDOWS-1251")},
        {"c.htm", iconv(guide(kChinese), "UTF-8", "GBK")},
        {"d.htm", iconv(guide(kJapanese, ContentType("ISO-8859-1")), "UTF-8", "SHIFT_JIS")},
        {"e.htm", iconv(guide(kNestle, ContentType("ISO-8859-1")), "UTF-8", "ISO-8859-1")},
        {"f.htm", meta},
        {"g.htm", guide(kGroesse, ContentType("ISO-8859-1"))},
        {"h.htm", iconv(guide(kNestle), "UTF-8", "ISO-8859-1")},
        {"i.htm", iconv(guide(romanian, ContentType("windows-1250")), "UTF-8", "ISO-8859-16")},
        {"j.htm", iconv(guide(czech, ContentType("ISO-8859-2")), "UTF-8", "MAC-CENTRALEUROPE")},
    };
    const ROWCOL nType = StartOnSite(pages);
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const ROWCOL nTitle = CGroupView::kTitleColumn;
    // Declaring nothing, each translation is read in what its text is in.
    EXPECT_EQ(CopiedCells(1, nTitle, 3, nTitle),
              (std::vector<std::string>{kFrench.pszTitle, kRussian.pszTitle, kChinese.pszTitle}));

    const char* given[] = {"UTF-8", "windows-1251", nullptr, "UTF-8", "UTF-8", "UTF-8", "UTF-8", "UTF-8", "ISO-8859-16",
                           "UTF-8"};
    for (ROWCOL nRow = 1; nRow <= 10; ++nRow) {
        if (given[nRow - 1] == nullptr)
            continue;
        const std::string value = std::string("text/html; charset=") + given[nRow - 1];
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 '" + value + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nRow, nType) == value.c_str(); }, 60000))
            << "row " << nRow << " did not take the value: '" << view->GetCellValue(nRow, nType).GetString() << "'";
    }

    PreviewSeen russian, nestle, doubt, contradicted;
    ASSERT_TRUE(Preview(2, nType, "charset-preview-guess-declared", russian));
    EXPECT_EQ(russian.left, guide(kRussian));
    EXPECT_EQ(russian.rightCaption, "Declared windows-1251, its bytes kept as they are (before: windows-1251, as "
                                    "guessed) - Modified '" + site + "/b.htm'");
    ASSERT_TRUE(Preview(5, nType, "charset-preview-latin-converted", nestle));
    EXPECT_EQ(nestle.right, guide(kNestle, ContentType("UTF-8")));
    EXPECT_EQ(nestle.rightCaption, "Converted from ISO-8859-1, as declared, to UTF-8 - Modified '" + site + "/e.htm'");
    ASSERT_TRUE(Preview(8, nType, "charset-preview-in-doubt", doubt));
    EXPECT_EQ(doubt.left, guide(kNestle));
    EXPECT_EQ(doubt.right, pages[7].second);
    EXPECT_EQ(doubt.leftCaption, "Read as windows-1252, as guessed from too little text to be sure - Current '" + site +
                                     "/h.htm'");
    EXPECT_EQ(doubt.rightCaption, "In doubt, not saved: or read as UTF-8, by its bytes - Current '" + site + "/h.htm'");
    // The label and the charset given read the Romanian page's letters otherwise: both are shown,
    // each named.
    ASSERT_TRUE(Preview(9, nType, "charset-preview-label-given", contradicted));
    EXPECT_EQ(contradicted.left, iconv(pages[8].second, "WINDOWS-1250", "UTF-8"));
    EXPECT_EQ(contradicted.right, iconv(pages[8].second, "ISO-8859-16", "UTF-8"));
    EXPECT_EQ(contradicted.leftCaption, "Read as windows-1250, as declared - Current '" + site + "/i.htm'");
    EXPECT_EQ(contradicted.rightCaption, "In doubt, not saved: or read as ISO-8859-16, the charset given - Current '" + site +
                                             "/i.htm'");
    // Its bytes kept under the charset given, the letters that read otherwise are named.
    EXPECT_EQ(contradicted.notes[1], "9 characters read otherwise: \u015F \u2192 \u0219, \u0163 \u2192 \u021B.");

    ASSERT_TRUE(Xdo("key ctrl+t"));
    const std::string closing = "Save Edited Files: 3 of 9 pages written, 1 held their edits already, 5 not written.";
    ASSERT_TRUE(RunUntil([&] { return std::string(OutputArea().GetText()).find(closing) != std::string::npos; }, 60000))
        << OutputArea().GetText().GetString();
    ASSERT_TRUE(Quiet());
    const std::vector<std::string> lines = OutputLines();
    const auto told = [&](const std::string& start) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    };
    EXPECT_TRUE(told("A.HTM : Not saved: it declares no charset, and its bytes, neither ASCII nor UTF-8, do not read as "
                     "UTF-8 text: they look like windows-1252, but that is only a guess from its text. View > Changes "
                     "shows how each way reads: take there the one meant (converted from windows-1252), and save again"));
    EXPECT_TRUE(told("D.HTM : Not saved: its bytes are not the ISO-8859-1 text it declares: ISO-8859-1 reads them as "
                     "control characters or bytes it leaves undefined"));
    // A label refused is shown the word its reading makes odd, and what the likelier reading makes
    // of it; a guess is never its reason.
    for (const std::string& line : lines) {
        if (line.rfind("D.HTM", 0) == 0) {
            EXPECT_NE(line.find(", and ISO-8859-1 reads byte "), std::string::npos) << line;
        }
        EXPECT_TRUE(line.find("declares:") == std::string::npos || line.find("only a guess") == std::string::npos) << line;
    }
    EXPECT_TRUE(told("F.HTM : Nothing to write: the page holds its edits already, byte for byte."));
    EXPECT_TRUE(told("H.HTM : Not saved: its bytes read as UTF-8 and also as windows-1252"));
    EXPECT_TRUE(told("I.HTM : Not saved: its label, windows-1250, and ISO-8859-16, the charset given, read its letters "
                     "differently: byte "));
    // The Czech page's label reads no charset's text better, and is not converted from all the same:
    // the first control it reads is named, with its word.
    EXPECT_TRUE(told("J.HTM : Not saved: its bytes are not the ISO-8859-2 text it declares: ISO-8859-2 reads them as "
                     "control characters or bytes it leaves undefined (the first is byte " +
                     std::to_string(pages[9].second.find('\x92')) + ", 0x92, in the word \"S<U+0092>\u00E9ov<U+008E>\")"));
    if (cairo_surface_t* shot = Shot("charset-guessed-saved"))
        cairo_surface_destroy(shot);

    // On disk: the refused pages and the one without a change as they were, the others reading in
    // their new charset as they read before.
    for (const size_t i : {0, 3, 5, 7, 8, 9})
        EXPECT_EQ(Page(pages[i].first), pages[i].second) << pages[i].first;
    EXPECT_FALSE(std::filesystem::exists(site + "/f.htm.old"));
    std::string russianDeclared = guide(kRussian);
    russianDeclared.insert(russianDeclared.find("</head>"), ContentType("windows-1251"));
    EXPECT_EQ(iconv(Page("b.htm"), "WINDOWS-1251", "UTF-8"), russianDeclared);
    EXPECT_EQ(Page("e.htm"), guide(kNestle, ContentType("UTF-8")));
    EXPECT_EQ(Page("g.htm"), guide(kGroesse, ContentType("UTF-8")));
    EXPECT_EQ(CopiedCells(1, nTitle, 3, nTitle),
              (std::vector<std::string>{kFrench.pszTitle, kRussian.pszTitle, kChinese.pszTitle}));
}

namespace {

// Pages in doubt as sites have them. A page that declares nothing, whose registered sign far down
// reads as a UTF-8 letter too: either way can be written; so can a price list like it, whose sign
// stands far right in a long line. Pages whose generator wrote their title in UTF-8 over text in
// the charset they declare: converting a Latin one would write its title's letters twice
// encoded, and its bytes are no UTF-8 to keep; a Hebrew one in ISO-8859-8 neither, for that has
// no letter of the UTF-8 title's bytes. A Korean title labelled GBK reads as Chinese letters in
// it, and as the detector's Korean too, and its bytes are no UTF-8.
std::string CatalogueLines()
{
    std::string lines;
    for (int i = 1; i <= 40; ++i)
        lines += "<p>Line " + std::to_string(i) + " of the catalogue, in plain letters.</p>\n";
    return lines;
}
const std::string kNestle = "<html><head>\n<title>Brands</title>\n</head><body>\n" + CatalogueLines() +
                            "<p>NESTL\xC9\xAE coffee.</p>\n</body></html>\n";
std::string PriceList()
{
    std::string prices = "<html><head>\n<title>Prices</title>\n</head><body>\n" + CatalogueLines() + "<p>";
    for (int i = 1; i <= 30; ++i)
        prices += "Item " + std::to_string(i) + " 3.50; ";
    return prices + "NESTL\xC9\xAE coffee 4.20.</p>\n</body></html>\n";
}
const std::string kPrices = PriceList();
const std::string kStock = Replaced(kNestle, "Brands", "Stock");
const std::string kNino = Head("windows-1252") + "\n<title>Ni\xC3\xB1o</title>\n</head><body>\n<p>Ni\xF1os.</p>\n"
                          "</body></html>\n";
const std::string kHebrew = Head("ISO-8859-8") + "\n<title>שלום עולם</title>\n</head><body>\n<p>\xF9\xEC\xE5\xED "
                            "\xF2\xE5\xEC\xED, \xE6\xE4\xE5 \xE3\xF3 \xE1\xF2\xE1\xF8\xE9\xFA.</p>\n</body></html>\n";
const std::string kKoreanTitle = Head("GBK") + "\n<title>\xC7\xD1\xB1\xB9\xBE\xEE \xBC\xB3\xB8\xED\xBC\xAD</title>\n"
                                 "</head><body>\n<p>See the next chapter.</p>\n</body></html>\n";
const std::string kUtf8Declared = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n</head>";

} // namespace

// Pages in doubt given UTF-8: the Preview shows where their readings differ, in sight however its
// window is sized, and offers only the ways the save can carry out, a greyed one saying why; the
// user takes a way by the mouse and by the keys, and sees what the save will now write. Undone and
// done again, an edit comes back with the way taken for it. A page another program changes after
// a way was taken is asked of again. The save leaves the pages in doubt alone, each line naming
// the ways on, and writes each page as taken, nothing else of it changed.
TEST_F(CharsetChangeX11Test, ThePreviewOffersTheWaysAPageInDoubtCanBeWrittenByMouseAndByKeysAndTheSaveWritesIt)
{
    const ROWCOL nType = StartOnSite({{"brands.htm", kNestle}, {"hebrew.htm", kHebrew}, {"nino.htm", kNino},
                                      {"polish.htm", kKoreanTitle}, {"prices.htm", kPrices}, {"stock.htm", kStock}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const CString strUtf8 = "text/html; charset=UTF-8";
    // The price list's edit last, to be undone.
    for (const ROWCOL nRow : {1, 2, 3, 4, 6, 5})
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 '" + std::string(strUtf8) + "'") && Xdo("key Return"));
    const ROWCOL rows[] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(RunUntil([&] {
        return std::all_of(std::begin(rows), std::end(rows), [&](ROWCOL nRow) { return view->GetCellValue(nRow, nType) == strUtf8; });
    }));

    // The Preview shows the page as its own charset reads it beside its bytes read as UTF-8, with
    // a button below each; the one taken, the Preview comes again with what the save now writes,
    // the way taken no longer offered, at the same place of the page. Before the way is taken,
    // the window is made a third as high, as a window manager fits it to a small screen: the
    // Preview comes again as high.
    struct Taken {
        PreviewSeen doubt, lower, after;
        // Where the display showed the lower Preview, and the one that came again.
        RECT lowerRect{}, afterRect{};
    };
    enum class Way { Convert, Keep };
    const auto take = [&](ROWCOL nRow, By by, Way way, Taken& taken) -> ::testing::AssertionResult {
        if (::testing::AssertionResult opened = OpenPreview(nRow, nType, by); !opened)
            return opened;
        int nHeight = 0;
        When("the Preview shows the page in doubt", [this] { return PreviewShows(); }, [&] {
            CPreviewDlg& dlg = *ShownPreview();
            taken.doubt = Seen(dlg, by == By::Mouse ? "charset-doubt-mouse" : "charset-doubt-keys");
            CRect window;
            dlg.GetWindowRect(&window);
            nHeight = window.Height();
            XdoNow("windowsize " + std::to_string(backend->XWindowOf(dlg.GetSafeHwnd())) + " " +
                   std::to_string(window.Width()) + " " + std::to_string(nHeight / 3));
        });
        When("the Preview is lower", [&] {
            CRect window;
            if (ShownPreview() != nullptr)
                ShownPreview()->GetWindowRect(&window);
            return window.Height() < nHeight;
        }, [&, by, way] {
            CPreviewDlg& dlg = *ShownPreview();
            taken.lower = Seen(dlg, by == By::Mouse ? "charset-doubt-mouse-lower" : "charset-doubt-keys-lower");
            taken.lowerRect = OnScreen(dlg.GetSafeHwnd());
            CFileContentsWnd& pane = way == Way::Convert ? dlg.GetLeftPane() : dlg.GetRightPane();
            if (by == By::Mouse)
                ClickAt(CentreOnScreen(pane.GetTakeButton().GetSafeHwnd()), 1, 1);
            else
                XdoNow("key Tab");
        });
        // Tab goes from the text to the button below it; its letter takes it.
        if (by == By::Keys)
            When("the button below the page's own reading has the keys", [] {
                return ShownPreview() != nullptr && ::GetFocus() == ShownPreview()->GetLeftPane().GetTakeButton().GetSafeHwnd();
            }, [this] { XdoNow("key alt+c"); });
        When("the Preview comes again with what the save writes", [this, &taken] {
            return PreviewShows() && ShownPreview()->GetRightPane().GetCaption() != taken.doubt.rightCaption.c_str();
        }, [&] {
            taken.after = Seen(*ShownPreview(), by == By::Mouse ? "charset-taken-mouse" : "charset-taken-keys");
            taken.afterRect = OnScreen(ShownPreview()->GetSafeHwnd());
            XdoNow("key Escape");
        });
        if (::testing::AssertionResult closed = PreviewClosed(); !closed)
            return closed;
        if (IsRectEmpty(&taken.afterRect) || !EqualRect(&taken.lowerRect, &taken.afterRect))
            return ::testing::AssertionFailure()
                << "the Preview came again " << taken.afterRect.right - taken.afterRect.left << "x"
                << taken.afterRect.bottom - taken.afterRect.top << " at " << taken.afterRect.left << ","
                << taken.afterRect.top << ", not as the user left it";
        return ::testing::AssertionSuccess();
    };
    // Either way can be written: both panes start at the registered sign, which reads as a UTF-8
    // letter on the right, a third down, and keep it in sight lower; the mouse keeps the bytes,
    // and the sign stays in sight, on the line after the declaration put in on the right.
    Taken nestle, prices, stock;
    ASSERT_TRUE(take(1, By::Mouse, Way::Keep, nestle));
    EXPECT_EQ(nestle.doubt.right, kNestle);
    EXPECT_TRUE(nestle.doubt.bOffered[0] && nestle.doubt.bOffered[1]);
    EXPECT_EQ(nestle.doubt.notes[0], "");
    EXPECT_EQ(nestle.doubt.notes[1], "1 character reads otherwise: \xC3\x89\xC2\xAE \u2192 \xC9\xAE.");
    for (const PreviewSeen* pSeen : {&nestle.doubt, &nestle.lower, &nestle.after}) {
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(pSeen->nCaretLine[i], pSeen == &nestle.after && i == 1 ? 45 : 44);
            EXPECT_EQ(pSeen->atCaret[i].rfind(i == 0 ? "\xC3\x89\xC2\xAE" : "\xC9\xAE", 0), 0u) << pSeen->atCaret[i];
            EXPECT_TRUE(pSeen->bCaretInSight[i]) << "pane " << i << ", top line " << pSeen->nTopLine[i];
        }
    }
    EXPECT_EQ(nestle.doubt.nTopLine[0], nestle.doubt.nTopLine[1]);
    EXPECT_TRUE(nestle.doubt.nTopLine[0] > 1 && nestle.doubt.nTopLine[0] < 44) << nestle.doubt.nTopLine[0];
    EXPECT_EQ(nestle.after.rightCaption, "Declared UTF-8, its bytes kept, which read as other text: 1 character, the "
                                         "first \"\xC3\x89\xC2\xAE\" now \"\xC9\xAE\" (before: windows-1252, as guessed "
                                         "from too little text to be sure) - Modified '" + site + "/brands.htm'");
    // The way taken is taken back by its button; the other stays offered.
    EXPECT_TRUE(nestle.after.bOffered[0] && nestle.after.bOffered[1]);
    // The price list's sign stands far right: the panes show it with what leads to it, and show
    // it again once the keys have converted the page, whose declaration now stands on a line of
    // its own before it.
    ASSERT_TRUE(take(5, By::Keys, Way::Convert, prices));
    for (const PreviewSeen* pSeen : {&prices.doubt, &prices.lower, &prices.after}) {
        for (int i = 0; i < 2; ++i) {
            const int nLine = pSeen == &prices.after && i == 1 ? 45 : 44;
            EXPECT_TRUE(pSeen->nCaretLine[i] == nLine && pSeen->bCaretInSight[i] && pSeen->nLeftColumn[i] > 0)
                << "pane " << i << ", line " << pSeen->nCaretLine[i] << " from " << pSeen->nTopLine[i] << ", column "
                << pSeen->nLeftColumn[i];
        }
    }
    const std::string converted = "Converted from windows-1252, as guessed from too little text to be sure, to UTF-8 - "
                                  "Modified '" + site + "/prices.htm'";
    EXPECT_EQ(prices.after.rightCaption, converted);
    EXPECT_TRUE(prices.after.bOffered[0] && prices.after.bOffered[1]);
    // The mouse converts the stock list, which another program then changes.
    ASSERT_TRUE(take(6, By::Mouse, Way::Convert, stock));
    EXPECT_TRUE(stock.after.bOffered[0] && stock.after.bOffered[1]);
    const std::string changed = Replaced(kStock, "Line 7 ", "Line 8 ");
    std::ofstream(site + "/stock.htm", std::ios::binary | std::ios::trunc) << changed;

    // No way keeps all of the text of the Latin page with its UTF-8 title nor of the Hebrew one,
    // and each says why; the Korean title is shown as the detector reads it, and converted from
    // that.
    const std::string noUtf8 = "UTF-8 does not read byte " + std::to_string(kNino.find('\xF1')) + " (0xF1)";
    const std::string twice = "windows-1252 reads the bytes of its UTF-8 characters as other letters, \"\xC3\xB1\" as "
                              "\"\xC3\x83\xC2\xB1\"";
    const std::string hebrewNoUtf8 = "UTF-8 does not read byte " + std::to_string(kHebrew.find('\xF9')) + " (0xF9)";
    const std::string hebrewUnread = "ISO-8859-8 does not read byte " + std::to_string(kHebrew.find('\xD7')) + " (0xD7)";
    const std::string neither = "In doubt, not saved, and no way keeps all of its text: correct its bytes in an "
                                "editor first; or read as UTF-8, by its bytes - Current '";
    PreviewSeen nino, hebrew, polish;
    ASSERT_TRUE(Preview(3, nType, "charset-doubt-twice", nino));
    EXPECT_EQ(nino.left, Replaced(Replaced(kNino, "Ni\xC3\xB1o", "Ni\xC3\x83\xC2\xB1o"), "Ni\xF1os", "Ni\xC3\xB1os"));
    EXPECT_EQ(nino.rightCaption, neither + site + "/nino.htm'");
    EXPECT_TRUE(!nino.bOffered[0] && !nino.bOffered[1]);
    EXPECT_EQ(nino.notes[0], "Would lose text: " + twice + ".");
    EXPECT_EQ(nino.notes[1], "Would lose text: " + noUtf8 + ".");
    EXPECT_EQ(nino.nCaretLine[0], 2);
    ASSERT_TRUE(Preview(2, nType, "charset-doubt-neither", hebrew));
    EXPECT_EQ(hebrew.rightCaption, neither + site + "/hebrew.htm'");
    EXPECT_TRUE(!hebrew.bOffered[0] && !hebrew.bOffered[1]);
    EXPECT_EQ(hebrew.notes[0], "Would lose text: " + hebrewUnread + ".");
    EXPECT_EQ(hebrew.notes[1], "Would lose text: " + hebrewNoUtf8 + ".");
    const std::string korean = "\xC7\xD1\xB1\xB9\xBE\xEE \xBC\xB3\xB8\xED\xBC\xAD";
    ASSERT_TRUE(Preview(4, nType, "charset-doubt-label-guess", polish));
    EXPECT_EQ(polish.left, Replaced(kKoreanTitle, korean, "\u8304\u60EB\u7EE2 \u6C72\u7599\u8F91"));
    EXPECT_EQ(polish.right, Replaced(kKoreanTitle, korean, "\uD55C\uAD6D\uC5B4 \uC124\uBA85\uC11C"));
    EXPECT_EQ(polish.rightCaption, "In doubt, not saved: or read as EUC-KR, as guessed from too little text to be "
                                   "sure - Current '" + site + "/polish.htm'");
    EXPECT_TRUE(polish.bOffered[0] && polish.bOffered[1]);
    const std::string koreanRead = "6 characters read otherwise: \u8304 \u2192 \uD55C, \u60EB \u2192 \uAD6D, \u7EE2 \u2192 "
                                   "\uC5B4, \u6C72 \u2192 \uC124, and others";
    EXPECT_EQ(polish.notes[1], koreanRead + ".");

    // Undone and done again, the price list's edit comes back with the way taken for it.
    ASSERT_TRUE(Xdo("key ctrl+z") && RunUntil([&] { return view->GetCellValue(5, nType) != strUtf8; }));
    ASSERT_TRUE(Xdo("key ctrl+y") && RunUntil([&] { return view->GetCellValue(5, nType) == strUtf8; }));
    PreviewSeen redone;
    ASSERT_TRUE(Preview(5, nType, "charset-way-redone", redone));
    EXPECT_EQ(redone.rightCaption, converted);
    EXPECT_TRUE(redone.bOffered[0] && redone.bOffered[1]);

    const auto save = [&](const char* pszClosing) {
        return Xdo("key ctrl+t")
            && RunUntil([&] { return std::string(OutputArea().GetText()).find(pszClosing) != std::string::npos; }, 60000)
            && Quiet();
    };
    ASSERT_TRUE(save("2 of 6 pages written")) << OutputArea().GetText().GetString();
    const std::vector<std::string> lines = OutputLines();
    const auto told = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    const std::string mixed = "it holds UTF-8 characters and also bytes that are no UTF-8 (the first is byte ";
    const std::string left = " The page was left as it was, and its edits are kept.";
    EXPECT_TRUE(told("NINO.HTM : Not saved: " + mixed + std::to_string(kNino.find('\xF1')) + ", 0xF1), so it is neither "
                     "converted to UTF-8 nor declared UTF-8 as it is. No way keeps all of its text: it cannot be converted "
                     "from windows-1252, for " + twice + ", and its bytes cannot be kept, declared UTF-8, for " + noUtf8 +
                     ". Correct its bytes in an editor first (View > Changes shows how it reads), and save again." + left))
        << OutputArea().GetText().GetString();
    EXPECT_TRUE(told("HEBREW.HTM : Not saved: " + mixed + std::to_string(kHebrew.find('\xF9')) + ", 0xF9), so it is "
                     "neither converted to UTF-8 nor declared UTF-8 as it is. No way keeps all of its text: it cannot be "
                     "converted from ISO-8859-8, for " + hebrewUnread + ", and its bytes cannot be kept, declared UTF-8, "
                     "for " + hebrewNoUtf8 + ". Correct its bytes in an editor first (View > Changes shows how it reads), "
                     "and save again." + left)) << OutputArea().GetText().GetString();
    EXPECT_NE(OutputArea().GetText().Find(("take there the one meant (converted from GBK or converted from EUC-KR), and "
                                           "save again. Converted from EUC-KR, " + koreanRead + "." + left).c_str()), -1)
        << OutputArea().GetText().GetString();
    EXPECT_NE(OutputArea().GetText().Find(("STOCK.HTM : Not saved: its bytes read as UTF-8 and also as windows-1252 (a guess "
                                           "from too little text to be sure), and its text does not tell which is meant, so "
                                           "it is neither converted to UTF-8 nor declared UTF-8 as it is. It was to be "
                                           "converted from windows-1252, as taken in View > Changes, but the page has "
                                           "changed since. View > Changes shows how each way reads: take there the one "
                                           "meant (converted from windows-1252 or its bytes kept, declared UTF-8), and "
                                           "save again. Its bytes kept, declared UTF-8, 1 character reads otherwise: "
                                           "\xC3\x89\xC2\xAE \u2192 \xC9\xAE." + left).c_str()), -1)
        << OutputArea().GetText().GetString();
    // On disk, only what the user changed: the declaration, and the price list's sign in UTF-8.
    EXPECT_EQ(Page("brands.htm"), Replaced(kNestle, "</head>", kUtf8Declared));
    EXPECT_EQ(Page("prices.htm"), Replaced(Replaced(kPrices, "</head>", kUtf8Declared), "NESTL\xC9\xAE", "NESTL\xC3\x89\xC2\xAE"));
    EXPECT_EQ(Page("nino.htm"), kNino);
    EXPECT_EQ(Page("hebrew.htm"), kHebrew);
    EXPECT_EQ(Page("polish.htm"), kKoreanTitle);
    EXPECT_EQ(Page("stock.htm"), changed);

    // The changed page is asked of again; taken on its bytes now, it is written so.
    ASSERT_TRUE(take(6, By::Mouse, Way::Convert, stock));
    EXPECT_TRUE(stock.doubt.bOffered[0] && stock.doubt.bOffered[1]);
    EXPECT_EQ(stock.after.rightCaption, "Converted from windows-1252, as guessed from too little text to be sure, to UTF-8 - "
                                        "Modified '" + site + "/stock.htm'");
    ASSERT_TRUE(save("1 of 4 pages written")) << OutputArea().GetText().GetString();
    EXPECT_EQ(Page("stock.htm"), Replaced(Replaced(changed, "</head>", kUtf8Declared), "NESTL\xC9\xAE", "NESTL\xC3\x89\xC2\xAE"));
}

namespace {

// A Vietnamese page whose text came through a tool that writes the tone marks apart from their
// letters, one paragraph so and the same one with its letters whole; below them a script of one
// line longer than the Preview's lines.
const std::string kWarning = "<p>Ca\xCC\x89nh ba\xCC\x81o tho\xCC\x9B\xCC\x80i tie\xCC\x82\xCC\x81t</p>";
const std::string kWarningWhole = "<p>C\xE1\xBA\xA3nh b\xC3\xA1o th\xE1\xBB\x9Di ti\xE1\xBA\xBFt</p>";
const std::string kVietnamese = "<html><head><meta charset=\"utf-8\">\n<title>Th\xE1\xBB\x9Di ti\xE1\xBA\xBFt</title>\n"
                                "</head><body>\n" + kWarning + "\n" + kWarningWhole + "\n<script>var d=\"" +
                                std::string(20000, 'x') + "\";</script>\n</body></html>\n";

} // namespace

// The Preview of a Vietnamese page draws each tone mark on its letter; the note that a line is
// too long for it comes once, before it opens.
TEST_F(CharsetChangeX11Test, ThePreviewDrawsToneMarksOnTheirLettersAndTellsOfLongLinesOnce)
{
    const ROWCOL nType = StartOnSite({{"vi.htm", kVietnamese}});
    ASSERT_NE(nType, 0u) << "the page was not shown with a Content-Type column";
    ASSERT_TRUE(GoToByKeys(1, nType) && Xdo("type --delay 20 'text/html; charset=UTF-8'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nType) == "text/html; charset=UTF-8"; }));

    X11MessageBoxAnswerer notes(*backend, server->DisplayName(), "Return");
    ASSERT_TRUE(OpenPreview(1, nType, By::Keys));
    // The paragraph written apart (line 4) and the one written whole (line 5) show alike, pixel
    // for pixel, right of the line numbers.
    std::vector<std::string> notesBefore;
    int nDiffering = -1, nInk = 0;
    When("the Preview shows the page", [this] { return PreviewShows(); }, [&] {
        notesBefore = notes.Texts();
        CEditCtrlWrapper& editor = ShownPreview()->GetLeftPane().GetEditor();
        CRect client;
        editor.GetClientRect(&client);
        const auto row = [&](int nLine) {
            POINT pt{editor.GetMarginWidth(), (nLine - editor.GetTopLineNo()) * editor.GetLineHeight()};
            ::ClientToScreen(editor.GetSafeHwnd(), &pt);
            return pt;
        };
        const POINT apart = row(4), whole = row(5);
        if (cairo_surface_t* shot = Shot("preview-vietnamese")) {
            nDiffering = 0;
            const int nWidth = client.Width() - editor.GetMarginWidth();
            for (int y = 0; y < editor.GetLineHeight(); ++y)
                for (int x = 0; x < nWidth; ++x) {
                    const uint32_t pixel = screen_capture::PixelAt(shot, whole.x + x, whole.y + y);
                    nDiffering += screen_capture::PixelAt(shot, apart.x + x, apart.y + y) != pixel;
                    nInk += pixel != screen_capture::PixelAt(shot, whole.x + nWidth - 1, whole.y);
                }
            cairo_surface_destroy(shot);
        }
        XdoNow("key Escape");
    });
    ASSERT_TRUE(PreviewClosed());
    EXPECT_GT(nInk, 0) << "the paragraph is not in sight";
    EXPECT_EQ(nDiffering, 0) << "the paragraph written apart is drawn otherwise";
    const std::vector<std::string> note{"This file contains lines longer than the 16384 character maximum.\r\nThe lines "
                                        "will be wrapped."};
    EXPECT_EQ(notesBefore, note);
    EXPECT_EQ(notes.Texts(), note);
}

namespace {

// A short Japanese page that declares nothing, in Shift_JIS, and a Vietnamese one in windows-1258
// under a Latin label: the save cannot tell what either is in.
const std::string kShortJapanese = "<html><head>\n<title>\x82\xCD\x82\xB6\x82\xDF\x82\xC9</title>\n</head><body>\n"
                                   "</body></html>\n";
const std::string kVietnameseHome = Head("ISO-8859-1") + "\n<title>Trang chủ</title>\n</head><body>\n<p>Chào mừng các bạn "
                                "đến với trang của chúng tôi. Chúng tôi cung cấp các sản phẩm tốt nhất với giá cả hợp lý cho "
                                "mọi người.</p>\n</body></html>\n";
// A Portuguese page written on a Mac under a Latin label, which reads its ã and á as "‹" and "‡".
const std::string kPortugueseMac = Head("ISO-8859-1") + "\n<title>Gestão da página</title>\n</head><body>\n<p>Gestão de "
                                   "conteúdo: cada página tem um título e uma descrição.</p>\n</body></html>\n";
// One of the Preview's take steps: keys typed while the caret is in the page's text, or a click
// on the take button below the pane (0 left, 1 right).
struct TakeStep {
    std::string keys;
    int nPane = -1;
};

} // namespace

// Pages the save leaves alone given UTF-8, a Korean title under a Chinese label, a short Japanese
// page that declares nothing, a Vietnamese one and one written on a Mac under a Latin label, open
// in the Preview with
// each reading a way gives; the ways are taken by their letters while the caret is in a pane's text
// and by the mouse, taken back and taken again. Undone and done again, an edit keeps its way. The
// save writes each page as taken, its text whole in UTF-8.
TEST_F(CharsetChangeX11Test, ThePreviewOfARefusedPageTakesEachWayByItsLetterFromTheTextAndByTheMouse)
{
    const std::string vietnamese = iconv_program::Convert(kVietnameseHome, "UTF-8", "CP1258", dir.Path() + "/scratch");
    const std::string mac = iconv_program::Convert(kPortugueseMac, "UTF-8", "MACINTOSH", dir.Path() + "/scratch");
    const ROWCOL nType = StartOnSite({{"brands.htm", kNestle}, {"japanese.htm", kShortJapanese},
                                      {"korean.htm", kKoreanTitle}, {"vietnam.htm", vietnamese}, {"z-mac.htm", mac}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const CString strUtf8 = "text/html; charset=UTF-8";
    // The Vietnamese page's edit last, to be undone.
    for (const ROWCOL nRow : {5, 1, 2, 3, 4})
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 '" + std::string(strUtf8) + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] {
        return view->GetCellValue(5, nType) == strUtf8 && view->GetCellValue(4, nType) == strUtf8;
    }));

    // Each step is taken once the Preview shows anew, the caret in the left pane's text.
    const auto walk = [&](ROWCOL nRow, By by, const std::vector<TakeStep>& steps, const char* pszShot,
                          std::vector<PreviewSeen>& seen) -> ::testing::AssertionResult {
        if (::testing::AssertionResult opened = OpenPreview(nRow, nType, by); !opened)
            return opened;
        seen.assign(steps.size() + 1, PreviewSeen());
        for (size_t i = 0; i <= steps.size(); ++i) {
            When("the Preview shows anew for step " + std::to_string(i), [this, &seen, i] {
                return PreviewShows() && (i == 0 || ShownPreview()->GetRightPane().GetCaption() != seen[i - 1].rightCaption.c_str())
                    && ::GetFocus() == ShownPreview()->GetLeftPane().GetEditor().GetSafeHwnd();
            }, [&, i] {
                CPreviewDlg& dlg = *ShownPreview();
                seen[i] = Seen(dlg, (std::string(pszShot) + "-" + std::to_string(i)).c_str());
                if (i == steps.size())
                    XdoNow("key Escape");
                else if (steps[i].nPane < 0)
                    XdoNow("key " + steps[i].keys);
                else
                    ClickAt(CentreOnScreen((steps[i].nPane == 0 ? dlg.GetLeftPane() : dlg.GetRightPane())
                                               .GetTakeButton().GetSafeHwnd()), 1, 1);
            });
        }
        return PreviewClosed();
    };
    const auto button = [](const PreviewSeen& seen, int nPane) { return seen.bOffered[nPane]; };

    // The Korean title: its label's reading on the left, the one its bytes look like on the right,
    // each with a way; Alt+O converts from EUC-KR, Alt+B takes it back, Alt+O again.
    std::vector<PreviewSeen> korean;
    ASSERT_TRUE(walk(3, By::Keys, {{"alt+o"}, {"alt+b"}, {"alt+o"}}, "ways-korean", korean));
    const std::string hangul = "\uD55C\uAD6D\uC5B4 \uC124\uBA85\uC11C";
    const std::string koreanBytes = "\xC7\xD1\xB1\xB9\xBE\xEE \xBC\xB3\xB8\xED\xBC\xAD";
    EXPECT_EQ(korean[0].right, Replaced(kKoreanTitle, koreanBytes, hangul));
    EXPECT_TRUE(button(korean[0], 0) && button(korean[0], 1));
    EXPECT_EQ(korean[0].rightCaption, "In doubt, not saved: or read as EUC-KR, as guessed from too little text to be sure - "
                                      "Current '" + site + "/korean.htm'");
    const std::string convertedKorean = "Converted from EUC-KR, as guessed from too little text to be sure, to UTF-8 - "
                                        "Modified '" + site + "/korean.htm'";
    EXPECT_EQ(korean[1].rightCaption, convertedKorean);
    EXPECT_EQ(korean[1].right, Replaced(Replaced(kKoreanTitle, koreanBytes, hangul), "GBK", "UTF-8"));
    EXPECT_EQ(korean[2].rightCaption, korean[0].rightCaption);
    EXPECT_EQ(korean[3].rightCaption, convertedKorean);

    // The short Japanese page: the mouse takes the conversion from Shift_JIS, takes it back and
    // takes it again.
    std::vector<PreviewSeen> japanese;
    ASSERT_TRUE(walk(2, By::Mouse, {{"", 1}, {"", 1}, {"", 1}}, "ways-japanese", japanese));
    const std::string hajimeni = "\u306F\u3058\u3081\u306B";
    EXPECT_TRUE(button(japanese[0], 1)) << japanese[0].notes[1];
    EXPECT_NE(japanese[0].right.find(hajimeni), std::string::npos) << japanese[0].right;
    EXPECT_NE(japanese[1].right.find(hajimeni), std::string::npos) << japanese[1].right;
    EXPECT_EQ(japanese[1].rightCaption.rfind("Converted from Shift_JIS", 0), 0u) << japanese[1].rightCaption;
    EXPECT_EQ(japanese[2].rightCaption, japanese[0].rightCaption);

    // The Vietnamese page by its letters, the catalogue's sign by Alt+K, both from the text.
    std::vector<PreviewSeen> vietnam, brands;
    ASSERT_TRUE(walk(4, By::Keys, {{"alt+o"}}, "ways-vietnam", vietnam));
    // Its tone marks stand apart from their letters in windows-1258, and so they are read.
    const std::string vietnameseRead = encoding_indexes::ReadOneByteAsUtf8("windows-1258", vietnamese);
    EXPECT_EQ(vietnam[0].right, vietnameseRead);
    // Beside the label's way, the first word it reads odder than the other reading does; beside the
    // other, the letters it reads otherwise.
    const size_t nOdd = vietnamese.find('\xD2');
    EXPECT_EQ(vietnam[0].notes[0], "Byte " + std::to_string(nOdd) + " (0xD2) reads \"chu\u00D2\" here, \"chu\u0309\" in the "
                                   "other reading.");
    EXPECT_EQ(vietnam[0].notes[1].rfind("24 characters read otherwise: \u00D2 \u2192 \u25CC\u0309, ", 0), 0u)
        << vietnam[0].notes[1];
    EXPECT_EQ(vietnam[1].rightCaption.rfind("Converted from windows-1258", 0), 0u) << vietnam[1].rightCaption;
    ASSERT_TRUE(walk(1, By::Keys, {{"alt+k"}}, "ways-brands", brands));
    EXPECT_EQ(brands[1].rightCaption.rfind("Declared UTF-8, its bytes kept", 0), 0u) << brands[1].rightCaption;

    // The page written on a Mac: beside its label's "Gest‹o", the other reading is its own words,
    // read in Mac OS Roman, and the mouse converts from that.
    std::vector<PreviewSeen> portuguese;
    ASSERT_TRUE(walk(5, By::Mouse, {{"", 1}}, "ways-mac", portuguese));
    EXPECT_EQ(portuguese[0].right, kPortugueseMac);
    EXPECT_NE(portuguese[0].left.find("Gest\u2039o"), std::string::npos) << portuguese[0].left;
    EXPECT_TRUE(button(portuguese[0], 0) && button(portuguese[0], 1));
    EXPECT_EQ(portuguese[0].rightCaption.rfind("In doubt, not saved: or read as macintosh", 0), 0u) << portuguese[0].rightCaption;
    EXPECT_EQ(portuguese[1].rightCaption.rfind("Converted from macintosh", 0), 0u) << portuguese[1].rightCaption;

    // Undone and done again, the Vietnamese edit comes back with its way.
    ASSERT_TRUE(Xdo("key ctrl+z") && RunUntil([&] { return view->GetCellValue(4, nType) != strUtf8; }));
    ASSERT_TRUE(Xdo("key ctrl+y") && RunUntil([&] { return view->GetCellValue(4, nType) == strUtf8; }));
    PreviewSeen redone;
    ASSERT_TRUE(Preview(4, nType, "ways-redone", redone));
    EXPECT_EQ(redone.rightCaption, vietnam[1].rightCaption);

    ASSERT_TRUE(Xdo("key ctrl+t")
                && RunUntil([&] { return std::string(OutputArea().GetText()).find("5 of 5 pages written") != std::string::npos; },
                            60000) && Quiet()) << OutputArea().GetText().GetString();
    EXPECT_EQ(Page("brands.htm"), Replaced(kNestle, "</head>", kUtf8Declared));
    EXPECT_EQ(Page("korean.htm"), Replaced(Replaced(kKoreanTitle, koreanBytes, hangul), "GBK", "UTF-8"));
    EXPECT_EQ(Page("japanese.htm"), Replaced(Replaced(kShortJapanese, "\x82\xCD\x82\xB6\x82\xDF\x82\xC9", hajimeni),
                                             "</head>", kUtf8Declared));
    EXPECT_EQ(Page("vietnam.htm"), Replaced(vietnameseRead, "ISO-8859-1", "UTF-8"));
    EXPECT_EQ(Page("z-mac.htm"), Replaced(kPortugueseMac, "ISO-8859-1", "UTF-8"));
}

namespace {

// One-line pages in doubt, as generators write them: the catalogue's sign 5,000 columns along, and
// past a megabyte of prices.
std::string OneLinePage(const char* pszTitle, size_t nBefore)
{
    std::string page = "<html><head><title>" + std::string(pszTitle) + "</title></head><body><p>";
    for (int i = 1; page.size() < nBefore; ++i)
        page += "Item " + std::to_string(i) + " 3.50; ";
    return page + "NESTL\xC9\xAE coffee 4.20.</p></body></html>";
}
const std::string kFarSign = OneLinePage("Far", 5000);
const std::string kMegabyteLine = OneLinePage("Long", (1u << 20) + 10000);

// The Preview's pages on a display run by a window manager, as on the user's desktop.
class CharsetChangeUnderWindowManagerX11Test : public UnderWindowManager<CharsetChangeX11Test> {};

} // namespace

// A one-line page whose only doubt lies far along its line opens in the Preview with the sign in
// sight in both panes. The user sizes the Preview through the window manager or maximises it by
// its caption's box, then takes a way and takes it back, by the mouse and by the keys: each
// Preview that comes again stands as large as the user left it, on the same place of the screen,
// the sign still in sight; a maximised one comes again maximised, and its size before stays its
// size to restore to.
TEST_F(CharsetChangeUnderWindowManagerX11Test, ThePreviewKeepsItsSizeAndTheFarSignInSightAsWaysAreTaken)
{
    const ROWCOL nType = StartOnSite({{"far.htm", kFarSign}, {"long.htm", kMegabyteLine}});
    ASSERT_NE(nType, 0u) << "the pages were not shown in their order with a Content-Type column";
    const std::string strUtf8 = "text/html; charset=UTF-8";
    for (const ROWCOL nRow : {1, 2})
        ASSERT_TRUE(GoToByKeys(nRow, nType) && Xdo("type --delay 20 '" + strUtf8 + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] {
        return view->GetCellValue(1, nType) == strUtf8.c_str() && view->GetCellValue(2, nType) == strUtf8.c_str();
    }));
    // The megabyte's line is longer than the Preview's lines: each Preview of it says so first.
    X11MessageBoxAnswerer notes(*backend, server->DisplayName(), "Return");

    // What each Preview showed and where the display showed it.
    struct Stage {
        PreviewSeen seen;
        RECT rect{};
        bool bZoomed = false;
        RECT normal{};
    };
    const auto stage = [this](const char* pszShot) {
        Stage shown;
        CPreviewDlg& dlg = *ShownPreview();
        shown.seen = Seen(dlg, pszShot);
        shown.rect = OnScreen(dlg.GetSafeHwnd());
        shown.bZoomed = ::IsZoomed(dlg.GetSafeHwnd()) != FALSE;
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (::GetWindowPlacement(dlg.GetSafeHwnd(), &placement))
            shown.normal = placement.rcNormalPosition;
        return shown;
    };
    // Once the display shows the Preview where the program put it: a window manager answers the
    // program's moves in its own time.
    const auto placed = [this] {
        CRect window;
        ShownPreview()->GetWindowRect(&window);
        const RECT shown = OnScreen(ShownPreview()->GetSafeHwnd());
        return EqualRect(&window, &shown) != FALSE;
    };
    const auto comesAgain = [this, placed](const Stage& before) {
        return [this, placed, &before] {
            return PreviewShows() && ShownPreview()->GetRightPane().GetCaption() != before.seen.rightCaption.c_str()
                && placed();
        };
    };
    const auto press = [this](HWND hButton) { ClickAt(CentreOnScreen(hButton), 1, 1); };

    // The far sign: sized by the window manager to a wide, low window; its bytes kept by a click,
    // taken back by Alt+B.
    Stage opened, sized, kept, back;
    const int nWidth = 980, nHeight = 380;
    ASSERT_TRUE(OpenPreview(1, nType, By::Keys));
    When("the Preview shows the far sign", [&] { return PreviewShows() && placed(); }, [&] {
        opened = stage("far-opened");
        XdoNow("windowsize " + std::to_string(backend->XWindowOf(ShownPreview()->GetSafeHwnd())) + " " +
               std::to_string(nWidth) + " " + std::to_string(nHeight));
    });
    When("the window manager sized the Preview", [&] {
        CRect window;
        if (ShownPreview() != nullptr)
            ShownPreview()->GetWindowRect(&window);
        return PreviewShows() && window.Width() == nWidth && window.Height() == nHeight && placed();
    }, [&] {
        sized = stage("far-sized");
        press(ShownPreview()->GetRightPane().GetTakeButton().GetSafeHwnd());
    });
    When("the Preview comes again with the bytes kept", comesAgain(sized), [&] {
        kept = stage("far-kept");
        XdoNow("key alt+b");
    });
    When("the Preview comes again in doubt", comesAgain(kept), [&] {
        back = stage("far-taken-back");
        XdoNow("key Escape");
    });
    ASSERT_TRUE(PreviewClosed());
    // The sign reads "É®" on the left and "ɮ" on the right, in doubt and with the bytes kept.
    const std::string latin = "\xC3\x89\xC2\xAE", utf8 = "\xC9\xAE";
    for (const Stage* pStage : {&opened, &sized, &kept, &back}) {
        SCOPED_TRACE(pStage == &opened ? "opened" : pStage == &sized ? "sized" : pStage == &kept ? "kept" : "taken back");
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(pStage->seen.atCaret[i].rfind(i == 0 ? latin : utf8, 0), 0u)
                << "pane " << i << ": " << pStage->seen.atCaret[i];
            EXPECT_TRUE(pStage->seen.bCaretInSight[i] && pStage->seen.nLeftColumn[i] > 0)
                << "pane " << i << ", column " << pStage->seen.nLeftColumn[i];
        }
    }
    EXPECT_EQ(kept.seen.rightCaption.rfind("Declared UTF-8, its bytes kept", 0), 0u) << kept.seen.rightCaption;
    EXPECT_EQ(back.seen.rightCaption, opened.seen.rightCaption);
    EXPECT_EQ(sized.rect.right - sized.rect.left, nWidth);
    EXPECT_EQ(sized.rect.bottom - sized.rect.top, nHeight);
    for (const Stage* pStage : {&kept, &back})
        EXPECT_TRUE(EqualRect(&pStage->rect, &sized.rect))
            << "the Preview came again at " << pStage->rect.left << "," << pStage->rect.top << ", "
            << pStage->rect.right - pStage->rect.left << "x" << pStage->rect.bottom - pStage->rect.top << ", not at "
            << sized.rect.left << "," << sized.rect.top << ", " << nWidth << "x" << nHeight;

    // The megabyte's line: maximised by the caption's box, its bytes kept by Alt+K from the
    // text, taken back by a click.
    Stage large, maximised, keptLarge, backLarge;
    ASSERT_TRUE(OpenPreview(2, nType, By::Mouse));
    When("the Preview shows the sign past the megabyte", [&] { return PreviewShows() && placed(); }, [&] {
        large = stage("megabyte-opened");
        ClickAt(CaptionButton(ShownPreview()->GetSafeHwnd(), HTMAXBUTTON), 1, 1);
    });
    When("the Preview is maximised", [&] {
        return PreviewShows() && ::IsZoomed(ShownPreview()->GetSafeHwnd()) && placed();
    }, [&] {
        maximised = stage("megabyte-maximised");
        XdoNow("key alt+k");
    });
    When("the Preview comes again with the bytes kept", comesAgain(maximised), [&] {
        keptLarge = stage("megabyte-kept");
        press(ShownPreview()->GetRightPane().GetTakeButton().GetSafeHwnd());
    });
    When("the Preview comes again in doubt", comesAgain(keptLarge), [&] {
        backLarge = stage("megabyte-taken-back");
        XdoNow("key Escape");
    });
    ASSERT_TRUE(PreviewClosed());
    for (const Stage* pStage : {&large, &maximised, &keptLarge, &backLarge}) {
        SCOPED_TRACE(pStage == &large       ? "opened"
                     : pStage == &maximised ? "maximised"
                     : pStage == &keptLarge ? "kept"
                                            : "taken back");
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(pStage->seen.atCaret[i].rfind(i == 0 ? latin : utf8, 0), 0u)
                << "pane " << i << ": " << pStage->seen.atCaret[i];
            EXPECT_TRUE(pStage->seen.bCaretInSight[i] && pStage->seen.nCaretLine[i] > 1 && pStage->seen.nLeftColumn[i] > 0)
                << "pane " << i << ", line " << pStage->seen.nCaretLine[i] << " from " << pStage->seen.nTopLine[i]
                << ", column " << pStage->seen.nLeftColumn[i];
        }
    }
    EXPECT_EQ(keptLarge.seen.rightCaption.rfind("Declared UTF-8, its bytes kept", 0), 0u) << keptLarge.seen.rightCaption;
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_FALSE(EqualRect(&large.rect, &screen));
    for (const Stage* pStage : {&maximised, &keptLarge, &backLarge}) {
        EXPECT_TRUE(pStage->bZoomed);
        EXPECT_TRUE(EqualRect(&pStage->rect, &screen))
            << "the Preview stands at " << pStage->rect.left << "," << pStage->rect.top << ", "
            << pStage->rect.right - pStage->rect.left << "x" << pStage->rect.bottom - pStage->rect.top;
        EXPECT_TRUE(EqualRect(&pStage->normal, &large.rect)) << "its size to restore to is "
            << pStage->normal.right - pStage->normal.left << "x" << pStage->normal.bottom - pStage->normal.top;
    }
    EXPECT_EQ(notes.Texts().size(), 3u);
}
