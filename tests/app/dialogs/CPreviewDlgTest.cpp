// View > Changes on a generated site: the page on disk beside its rewritten copy, the copy's
// temporary file gone afterwards, the page's edits kept for Save, and the failures told.
#include "tests/app/GroupViewFixture.h"

#include "app/dialogs/CPreviewDlg.h"
#include "engine/meta/CMetaEditSetting.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/LegacySitePages.h"
#include "toolkit/editor/SECEditDoc.h"

#include <filesystem>
#include <functional>
#include <iconv.h>

namespace {

class PreviewTest : public GroupViewTest {
protected:
    void SetUp() override
    {
        GroupViewTest::SetUp();
        temp = config.Path() + "/tmp";
        std::filesystem::create_directories(temp);
        tmpdir.emplace("TMPDIR", temp);
    }
    bool Enabled(UINT nID)
    {
        CTestCmdUI ui;
        ui.m_nID = nID;
        ui.DoUpdate(view, TRUE);
        return ui.m_bEnabled;
    }
    static std::string TextOf(CFileContentsWnd& pane)
    {
        SECEditDoc* pDoc = pane.GetEditor().GetDocument();
        std::string text;
        for (SECEditLine* pLine = pDoc->GetFirstLine(); pLine != nullptr; pLine = pLine->pNext)
            text.append(pLine->pText, static_cast<size_t>(pLine->nLength));
        return text;
    }
    // The lines up to the count that the pane shows marked as taken out.
    static std::vector<int> MarkedLines(CFileContentsWnd& pane, int nLines)
    {
        std::vector<int> marked;
        for (int nLine = 1; nLine <= nLines; ++nLine) {
            if (pane.GetEditor().IsRemovedLine(nLine))
                marked.push_back(nLine);
        }
        return marked;
    }
    // Runs View > Changes: look sees the preview, which is then closed; opened says whether it came.
    void ViewChanges(std::function<void(CPreviewDlg&)> look)
    {
        opened = false;
        dialog_automation::WhenWindowOpens(
            *backend,
            &PreviewShown,
            [this, look](HWND hDlg) {
                auto* pDlg = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(hDlg));
                opened = pDlg != nullptr;
                if (pDlg != nullptr) {
                    look(*pDlg);
                    pDlg->EndDialog(IDCANCEL);
                }
            },
            nullptr);
        view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    }
    std::vector<std::string> TempFiles()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(temp))
            names.push_back(entry.path().filename().string());
        return names;
    }

    // The preview dialog when it is shown.
    static HWND PreviewShown()
    {
        for (HWND d : dialog_automation::ShownDialogs())
            if (reinterpret_cast<uintptr_t>(GetProp(d, DIALOG_TEMPLATE_ID_PROP)) == IDD_PREVIEW_CHANGES)
                return d;
        return HWND{};
    }

    std::string temp;
    std::optional<ScopedEnv> tmpdir;
    bool opened = false;
};

} // namespace

TEST_F(PreviewTest, ThePageOnDiskBesideItsRewrittenCopyAndTheCopyGoesAfterwards)
{
    OpenSite(true);
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    const ROWCOL nAuthor = ColumnOf("Author");
    ASSERT_TRUE(view->SetCurrentCell(nA, nAuthor));
    EXPECT_FALSE(Enabled(ID_VIEW_CHANGES)) << "an unedited row has nothing to preview";
    ASSERT_EQ(view->SetCellValue(nA, nAuthor, "Jane Roe"), 0u);
    ASSERT_TRUE(view->SetCurrentCell(nA, nAuthor));
    EXPECT_TRUE(Enabled(ID_VIEW_CHANGES));
    ASSERT_TRUE(view->SetCurrentCell(nB, nAuthor));
    EXPECT_FALSE(Enabled(ID_VIEW_CHANGES));
    ASSERT_TRUE(view->SetCurrentCell(nA, nAuthor));

    const std::string path = site + "/a.htm";
    const std::string onDisk = ReadFile(path);
    bool opened = false;
    std::vector<std::string> tempDuring;
    std::string left, right, leftCaption, rightCaption;
    CRect captionRect, editorRect, paneRect;
    int marginWidth = 0, baseMargin = 0;
    dialog_automation::WhenWindowOpens(
        *backend,
        &PreviewShown,
        [&](HWND hDlg) {
            opened = true;
            tempDuring = TempFiles();
            auto* pDlg = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(hDlg));
            ASSERT_NE(pDlg, nullptr);
            left = TextOf(pDlg->GetLeftPane());
            right = TextOf(pDlg->GetRightPane());
            leftCaption = pDlg->GetLeftPane().GetCaption();
            rightCaption = pDlg->GetRightPane().GetCaption();
            pDlg->GetRightPane().GetClientRect(&paneRect);
            pDlg->GetRightPane().GetCaptionBar().GetWindowRect(&captionRect);
            pDlg->GetRightPane().ScreenToClient(&captionRect);
            pDlg->GetRightPane().GetEditor().GetWindowRect(&editorRect);
            pDlg->GetRightPane().ScreenToClient(&editorRect);
            marginWidth = pDlg->GetRightPane().GetEditor().GetMarginWidth();
            // A plain editor made the same way has the margin the preview widens.
            SECEditCtrl plain;
            if (plain.Create(WS_CHILD, CRect(0, 0, 100, 100), pDlg, 3000)) {
                baseMargin = plain.GetMarginWidth();
                plain.DestroyWindow();
            }
            pDlg->EndDialog(IDCANCEL);
        },
        [] { ADD_FAILURE() << "the preview never opened"; });
    view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    ASSERT_TRUE(opened);

    ASSERT_EQ(tempDuring.size(), 1u);
    EXPECT_EQ(tempDuring[0].rfind("VOS", 0), 0u) << tempDuring[0];
    EXPECT_TRUE(TempFiles().empty()) << "the rewritten copy is gone once the preview closes";
    EXPECT_EQ(left, onDisk);
    EXPECT_NE(right.find("content=\"Jane Roe\""), std::string::npos) << right;
    EXPECT_NE(right.find("The first page"), std::string::npos);
    EXPECT_EQ(leftCaption, "Current '" + path + "'");
    EXPECT_EQ(rightCaption, "Modified '" + path + "'");
    EXPECT_EQ(captionRect, CRect(2, 0, paneRect.Width(), CFileContentsWnd::kCaptionHeight));
    EXPECT_EQ(editorRect, CRect(0, CFileContentsWnd::kEditorTop, paneRect.Width(), paneRect.Height()));
    ASSERT_GT(baseMargin, 0);
    EXPECT_EQ(marginWidth, baseMargin / 2 + baseMargin * 2);

    // The page and its file are untouched: the edit still waits for Save.
    EXPECT_EQ(ReadFile(path), onDisk);
    ASSERT_NE(ContentOf("a.htm", "Author"), nullptr);
    EXPECT_EQ(ContentOf("a.htm", "Author")->GetModified(), 1u);
    EXPECT_EQ(PageOf("a.htm")->GetEditState(), 2u);
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));
}

TEST_F(PreviewTest, AnUnwritableTemporaryFolderAndAnUnreadablePageAreTold)
{
    OpenSite(true);
    const ROWCOL nA = RowOf("a.htm");
    const ROWCOL nAuthor = ColumnOf("Author");
    ASSERT_EQ(view->SetCellValue(nA, nAuthor, "Jane Roe"), 0u);
    ASSERT_TRUE(view->SetCurrentCell(nA, nAuthor));

    ScopedEnv missing("TMPDIR", temp + "/missing");
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "Error while creating a temporary file: '" + temp + "/missing/VOS'");

    std::filesystem::remove(site + "/a.htm");
    SeenMessageBox fileError;
    AnswerBox(*backend, IDOK, &fileError);
    view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    EXPECT_TRUE(fileError.seen);
    EXPECT_NE(fileError.text.find("a.htm"), std::string::npos) << fileError.text;
    EXPECT_EQ(PageOf("a.htm")->GetEditState(), 2u);
}

// A page with its keywords twice: the preview of an edit of them marks the line of the second,
// which the rewrite takes out, and says so.
TEST_F(PreviewTest, TheRepeatedTagTheRewriteTakesOutIsMarkedInThePageOnDisk)
{
    OpenSite(true);
    const std::string path = site + "/a.htm";
    WriteFile(path, "<html><head><title>Alpha</title>\n"
                    "<meta name=\"KEYWORDS\" content=\"red, green\">\n"
                    "<meta name=\"DESCRIPTION\" content=\"The first page\">\n"
                    "<meta name=\"keywords\" content=\"blue\">\n"
                    "</head><body>Alpha page</body></html>\n");
    const ROWCOL nA = RowOf("a.htm");
    const ROWCOL nKeywords = ColumnOf("Keywords");
    ASSERT_EQ(view->SetCellValue(nA, nKeywords, "café, 日本"), 0u);
    ASSERT_TRUE(view->SetCurrentCell(nA, nKeywords));
    std::string leftCaption, right;
    std::vector<int> marked;
    ViewChanges([&](CPreviewDlg& dlg) {
        leftCaption = dlg.GetLeftPane().GetCaption();
        right = TextOf(dlg.GetRightPane());
        marked = MarkedLines(dlg.GetLeftPane(), 6);
    });
    ASSERT_TRUE(opened) << "the preview never opened";
    EXPECT_EQ(marked, std::vector<int>{4});
    EXPECT_EQ(leftCaption, "Repeated tags taken out: 1, numbered in red - Current '" + path + "'");
    EXPECT_EQ(right.find("blue"), std::string::npos) << right;
}

namespace {

// The preview of pages whose Content-Type cell names another charset.
class PreviewCharsetTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        extendCatalogue = [](CMetaSettingList& list) {
            auto pSetting = std::make_unique<CMetaEditSetting>();
            pSetting->SetName("Content-Type");
            pSetting->SetHttpEquiv(1);
            pSetting->SetShow(1);
            list.AddTail(pSetting.release());
        };
    }
    // Gives a.htm the bytes, its keywords and Content-Type the values (the Content-Type left as
    // it is when empty), and runs View > Changes.
    void Preview(const std::string& page, const std::string& keywords, const std::string& contentType)
    {
        WriteFile(site + "/a.htm", page);
        const ROWCOL nA = RowOf("a.htm");
        ASSERT_EQ(view->SetCellValue(nA, ColumnOf("Keywords"), keywords.c_str()), 0u);
        if (!contentType.empty()) {
            ASSERT_EQ(view->SetCellValue(nA, ColumnOf("Content-Type"), contentType.c_str()), 0u);
        }
        ASSERT_TRUE(view->SetCurrentCell(nA, ColumnOf("Keywords")));
        ViewChanges([this](CPreviewDlg& dlg) {
            left = TextOf(dlg.GetLeftPane());
            right = TextOf(dlg.GetRightPane());
            leftCaption = dlg.GetLeftPane().GetCaption();
            rightCaption = dlg.GetRightPane().GetCaption();
            marked = MarkedLines(dlg.GetLeftPane(), 8);
        });
    }

    // UTF-8 text in another charset, as an editor set to it would save it.
    static std::string InCharset(const std::string& utf8, const char* pszCharset)
    {
        iconv_t cd = iconv_open(pszCharset, "UTF-8");
        EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << pszCharset;
        std::string out(utf8.size() * 4, '\0');
        char* in = const_cast<char*>(utf8.data());
        size_t inLeft = utf8.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1)) << pszCharset;
        iconv_close(cd);
        out.resize(out.size() - outLeft);
        return out;
    }

    std::string left, right;
    std::string leftCaption, rightCaption;
    std::vector<int> marked;
};

} // namespace

// A page in a one-byte charset with accented or Greek text before its repeated keywords, given
// UTF-8: the line marked is the repeat's own, although each of those letters takes two bytes in
// the page as it will be written.
TEST_F(PreviewCharsetTest, TheRepeatTakenOutOfAPageGivenANewCharsetIsMarkedOnItsOwnLine)
{
    OpenSite(true);
    ASSERT_NE(ColumnOf("Content-Type"), 0u);
    const struct {
        const char* pszCharset;
        std::string title;
    } pages[] = {
        {"ISO-8859-1", "Caf\xC3\xA9 \xC3\xA9t\xC3\xA9 \xC3\x9F \xC3\xA0 la cr\xC3\xA8me " + std::string(41 * 2, ' ')},
        {"ISO-8859-7", "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 \xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xB5 "
                       "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8\xCE\xB9\xCE\xBA\xCE\xBB\xCE\xBC\xCE\xBD\xCE\xBE"
                       "\xCE\xBF\xCF\x80\xCF\x81\xCF\x83\xCF\x84\xCF\x85\xCF\x86\xCF\x87\xCF\x88\xCF\x89"},
    };
    for (auto page : pages) {
        SCOPED_TRACE(page.pszCharset);
        for (size_t at = page.title.find("  "); at != std::string::npos; at = page.title.find("  ", at))
            page.title.replace(at, 2, "\xC3\xA9");
        const std::string text = std::string("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
                                 page.pszCharset + "\">\n<title>" + page.title + "</title>\n"
                                 "<meta name=\"KEYWORDS\" content=\"rouge, vert\">\n"
                                 "<meta name=\"keywords\" content=\"bleu\">\n"
                                 "</head><body>x</body></html>\n"
                                 "<!-- end -->\n";
        Preview(InCharset(text, page.pszCharset), "caf\xC3\xA9, \xCE\xB1", "text/html; charset=UTF-8");
        ASSERT_TRUE(opened);
        // The page on disk is shown in its characters.
        EXPECT_EQ(left, text);
        EXPECT_NE(right.find("<title>" + page.title + "</title>"), std::string::npos) << "the page is not written in UTF-8: " << right;
        EXPECT_EQ(right.find("bleu"), std::string::npos) << right;
        EXPECT_EQ(marked, std::vector<int>{4});
    }
}

// Pages in the charsets of other scripts show their characters in both panes, and the right
// pane's caption says whether the save converts the page or keeps its bytes under a new
// declaration.
TEST_F(PreviewCharsetTest, BothPanesShowThePagesCharactersAndTheCaptionTellsWhatTheSaveDoes)
{
    OpenSite(true);
    const std::string path = site + "/a.htm";
    const std::string japanese = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
                                 "<title>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</title>\n</head><body>\xE3\x81\x82</body></html>\n";
    Preview(InCharset(japanese, "CP932"), "\xE6\x9D\xB1\xE4\xBA\xAC", "");
    ASSERT_TRUE(opened);
    EXPECT_EQ(left, japanese);
    EXPECT_NE(right.find("<title>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</title>"), std::string::npos) << right;
    EXPECT_NE(right.find("content=\"\xE6\x9D\xB1\xE4\xBA\xAC\""), std::string::npos) << right;
    EXPECT_EQ(rightCaption, "Modified '" + path + "'");

    const std::string russian = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
                                "<title>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</title>\n</head><body>x</body></html>\n";
    Preview(InCharset(russian, "CP1251"), "\xD0\xBC\xD0\xB8\xD1\x80", "text/html; charset=UTF-8");
    ASSERT_TRUE(opened);
    EXPECT_EQ(left, russian);
    EXPECT_NE(right.find("charset=UTF-8\">\n<title>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</title>"), std::string::npos)
        << right;
    EXPECT_EQ(leftCaption, "Current '" + path + "'");
    EXPECT_EQ(rightCaption, "Converted from windows-1251, as declared, to UTF-8 - Modified '" + path + "'");

    // A page labelled ISO-8859-1 whose bytes are UTF-8 keeps them: on disk it reads as its label
    // says, as browsers show it now; rewritten, as what it is.
    const std::string mislabelled = legacy_site::Page(legacy_site::kGroesse, legacy_site::ContentType("ISO-8859-1"));
    Preview(mislabelled, "caf\xC3\xA9", "text/html; charset=UTF-8");
    ASSERT_TRUE(opened);
    EXPECT_NE(left.find("<title>Gr\xC3\x83\xC2\xB6\xC3\x83\xC5\xB8" "e der Partition</title>"), std::string::npos) << left;
    EXPECT_NE(right.find("<title>Gr\xC3\xB6\xC3\x9F" "e der Partition</title>"), std::string::npos) << right;
    // Its letters read otherwise now: the caption says so, with the first of them.
    EXPECT_EQ(rightCaption.rfind("Declared UTF-8, its bytes kept, which read as other text: ", 0), 0u) << rightCaption;
    EXPECT_NE(rightCaption.find(", the first \"\xC3\x83\xC2\xB6\" now \"\xC3\xB6\" (before: ISO-8859-1, as declared) - "
                                "Modified '" + path + "'"), std::string::npos) << rightCaption;

    // A page that declares nothing, whose only Latin letter and sign read as a UTF-8 character
    // too, given UTF-8: the save will not say which is meant, and the panes show the page on disk
    // read both ways.
    const std::string nestle = InCharset(legacy_site::Page(legacy_site::kNestle), "ISO-8859-1");
    Preview(nestle, "caf\xC3\xA9", "text/html; charset=UTF-8");
    ASSERT_TRUE(opened);
    EXPECT_EQ(left, legacy_site::Page(legacy_site::kNestle));
    EXPECT_EQ(right, nestle);
    EXPECT_EQ(leftCaption, "Read as windows-1252, as guessed from too little text to be sure - Current '" + path + "'");
    EXPECT_EQ(rightCaption, "In doubt, not saved: or read as UTF-8, by its bytes - Current '" + path + "'");
}

// A charset no converter knows: the preview tells what it cannot show and why, naming the page
// and the charset, instead of showing a page that will not be written.
TEST_F(PreviewCharsetTest, ACharsetThatCannotBeWrittenIsToldInsteadOfTheRewrittenPage)
{
    OpenSite(true);
    const std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">"
                             "<title>Caf\xE9</title></head><body>x</body></html>\n";
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    Preview(page, "rouge", "text/html; charset=x-nosuch");
    EXPECT_FALSE(opened) << "the preview showed a page the save will not write";
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "The Preview cannot show a.htm with its edits: its Content-Type declares the charset "
                         "\"x-nosuch\", which this program cannot write the page in.");
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(ReadFile(site + "/a.htm"), page);
    EXPECT_EQ(PageOf("a.htm")->GetEditState(), 2u);
}
