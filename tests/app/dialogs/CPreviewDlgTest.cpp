// View > Changes on a generated site: the page on disk beside its rewritten copy, the copy's
// temporary file gone afterwards, the page's edits kept for Save, and the failures told.
#include "tests/app/GroupViewFixture.h"

#include "app/dialogs/CPreviewDlg.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "tests/support/DialogAutomation.h"
#include "toolkit/editor/SECEditDoc.h"

#include <filesystem>

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
    bool opened = false;
    std::string leftCaption, right;
    std::vector<int> marked;
    dialog_automation::WhenWindowOpens(
        *backend,
        &PreviewShown,
        [&](HWND hDlg) {
            opened = true;
            auto* pDlg = dynamic_cast<CPreviewDlg*>(CWnd::FromHandlePermanent(hDlg));
            ASSERT_NE(pDlg, nullptr);
            leftCaption = pDlg->GetLeftPane().GetCaption();
            right = TextOf(pDlg->GetRightPane());
            for (int nLine = 1; nLine <= 6; ++nLine) {
                if (pDlg->GetLeftPane().GetEditor().IsRemovedLine(nLine))
                    marked.push_back(nLine);
            }
            pDlg->EndDialog(IDCANCEL);
        },
        [] { ADD_FAILURE() << "the preview never opened"; });
    view->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    ASSERT_TRUE(opened);
    EXPECT_EQ(marked, std::vector<int>{4});
    EXPECT_EQ(leftCaption, "Repeated tags taken out: 1, numbered in red - Current '" + path + "'");
    EXPECT_EQ(right.find("blue"), std::string::npos) << right;
}
