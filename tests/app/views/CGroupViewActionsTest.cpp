// The setting-driven parts of the project grid: the keywords group action over many pages and
// its Undo All, the cell button opening the setting's dialog, both refused for pages not read,
// and the page-status pictures' place in the file cells.
#include "tests/app/GroupViewFixture.h"

#include "app/values/CGroupKeywordsDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/views/CPageStatusCell.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/support/DialogAutomation.h"

namespace {

void Select(CGroupView& view, const CGXRange& range)
{
    view.ClearSelection(FALSE);
    view.SetCurrentCell(range.IsCols() ? 1 : range.top, range.left);
    view.SelectRange(range, TRUE, FALSE);
}

// Gives the page a KEYWORDS content (unmarked, as a scan leaves it) with suggestions.
CMetaContent* GiveKeywords(CPageNode* pPage, const char* pszText, std::initializer_list<const char*> suggestions)
{
    CMetaContentList* pList = nullptr;
    if (pPage->GetContentList(pList) != 0)
        pPage->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    if (pList->FindByName("KEYWORDS", pContent) != 0)
        pList->AddContent("KEYWORDS", pszText, 0, pContent);
    pContent->SetContent(pszText);
    for (const char* pszSuggestion : suggestions)
        pContent->AddSuggestion(pszSuggestion);
    return pContent;
}

} // namespace

TEST_F(GroupViewTest, TheKeywordsGroupActionReplacesOverManyPagesAndUndoAllTakesItBack)
{
    extraPages = {"c.htm", "d.htm", "e.htm"};
    OpenSite(true);
    CMetaContent* pA = GiveKeywords(PageOf("a.htm"), "red, green", {"alpha", "page"});
    CMetaContent* pC = GiveKeywords(PageOf("c.htm"), "old", {"extra"});
    GiveKeywords(PageOf("d.htm"), "kept", {});
    const ROWCOL nKeywords = ColumnOf("Keywords");

    // One cell is no group: the command does nothing and no dialog opens.
    Select(*view, CGXRange(RowOf("a.htm"), nKeywords, RowOf("a.htm"), nKeywords));
    bool opened = false;
    FillDialog(*backend, CGroupKeywordsDlg::IDD, DialogFill{{}, {{CGroupKeywordsDlg::kIdReplaceAction, BST_CHECKED}}, IDOK, {}}, &opened);
    view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
    backend->ProcessMessages();
    EXPECT_FALSE(opened);
    EXPECT_EQ(std::string(pA->GetContent()), "red, green");

    // The whole column: every page with suggestions takes them; a page without any keeps its
    // keywords, pages without the tag are left alone, and the box that ends the action says
    // how many pages that was.
    Select(*view, CGXRange().SetCols(nKeywords, nKeywords));
    SeenMessageBox report;
    AnswerBox(*backend, IDOK, &report);
    view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
    EXPECT_TRUE(opened);
    EXPECT_EQ(report.text, "The keywords of 2 pages were replaced with their suggested keywords.\n\nLeft as they were: "
                           "3 pages without suggested keywords.");
    EXPECT_EQ(std::string(pA->GetContent()), "alpha,page");
    EXPECT_EQ(std::string(pC->GetContent()), "extra");
    EXPECT_EQ(pA->GetModified(), 1u);
    EXPECT_EQ(std::string(ContentOf("d.htm", "Keywords")->GetContent()), "kept");
    EXPECT_EQ(ContentOf("d.htm", "Keywords")->GetModified(), 0u);
    EXPECT_EQ(ContentOf("e.htm", "Keywords"), nullptr);
    EXPECT_EQ(std::string(view->GetCellValue(RowOf("c.htm"), nKeywords)), "extra");
    EXPECT_EQ(app->IsEdited(), 2u);

    // Undo All gives every page its keywords and its mark back, though the setting changed the
    // contents itself before the grid saw them.
    AnswerBox(*backend, IDOK);
    view->SendMessage(WM_COMMAND, ID_UNDO_ALL);
    EXPECT_EQ(std::string(pA->GetContent()), "red, green");
    EXPECT_EQ(std::string(pC->GetContent()), "old");
    EXPECT_EQ(pA->GetModified(), 0u);
    EXPECT_EQ(pC->GetModified(), 0u);
    EXPECT_EQ(app->IsEdited(), 3u);
}

TEST_F(GroupViewTest, TheCellButtonOpensTheSettingsDialogOnlyWhileIdle)
{
    OpenSite(true);
    const ROWCOL nKeywords = ColumnOf("Keywords");
    const ROWCOL nB = RowOf("b.htm");
    ASSERT_EQ(ContentOf("b.htm", "Keywords"), nullptr);

    // During a scan: a beep, no dialog, nothing made.
    bool opened = false;
    FillDialog(*backend, CKeywordsDlg::IDD, DialogFill{{}, {}, IDCANCEL, {}}, &opened);
    app->SetRunState(1);
    view->OnClickedButtonRowCol(nB, nKeywords);
    app->SetRunState(0);
    backend->ProcessMessages();
    EXPECT_FALSE(opened);
    EXPECT_EQ(ContentOf("b.htm", "Keywords"), nullptr);

    // Idle: the setting's dialog opens on the page's content, made empty and unmarked for it.
    view->OnClickedButtonRowCol(nB, nKeywords);
    EXPECT_TRUE(opened);
    ASSERT_NE(ContentOf("b.htm", "Keywords"), nullptr);
    EXPECT_EQ(ContentOf("b.htm", "Keywords")->GetModified(), 0u);
    EXPECT_EQ(PageOf("b.htm")->GetEditState(), 3u) << "a cancelled dialog edits nothing";
}

// A page a stopped scan cut off (its values partly read) and a file the scan could not read are
// left out of a group action, whose other pages take it; their cell buttons open no dialog, and
// Replace All leaves them; each command tells once, in the status bar, which pages it left and
// why.
TEST_F(GroupViewTest, PagesNotReadAreLeftOutOfGroupActionsAndTheirDialogs)
{
    extraPages = {"c.htm"};
    OpenSite(true);
    CMetaContent* pA = GiveKeywords(PageOf("a.htm"), "red", {"alpha"});
    CMetaContent* pC = GiveKeywords(PageOf("c.htm"), "old", {"extra"});
    PageOf("c.htm")->SetScanState(1);
    PageOf("b.htm")->SetReadFailure("The file holds binary data, not the text of an HTML page.");
    const ROWCOL nKeywords = ColumnOf("Keywords");
    const auto status = [&] {
        backend->ProcessMessages();
        return std::string(Frame().GetStatusBar().GetPaneText(0));
    };

    Select(*view, CGXRange().SetCols(nKeywords, nKeywords));
    bool opened = false;
    FillDialog(*backend, CGroupKeywordsDlg::IDD, DialogFill{{}, {{CGroupKeywordsDlg::kIdReplaceAction, BST_CHECKED}}, IDOK, {}}, &opened);
    AnswerBox(*backend, IDOK);
    view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
    EXPECT_TRUE(opened);
    EXPECT_EQ(std::string(pA->GetContent()), "alpha");
    EXPECT_EQ(std::string(pC->GetContent()), "old");
    EXPECT_EQ(pC->GetModified(), 0u);
    EXPECT_EQ(ContentOf("b.htm", "Keywords"), nullptr);
    EXPECT_EQ(status(), "Pages not read are not edited: c.htm was not read by the scan. Start Scan reads it. Pages "
                        "that cannot be read are not edited: sub/b.htm: The file holds binary data, not the text of an "
                        "HTML page.");

    opened = false;
    FillDialog(*backend, CKeywordsDlg::IDD, DialogFill{{}, {}, IDOK, {}}, &opened);
    view->OnClickedButtonRowCol(RowOf("b.htm"), nKeywords);
    backend->ProcessMessages();
    EXPECT_FALSE(opened);
    EXPECT_EQ(ContentOf("b.htm", "Keywords"), nullptr) << "the refused dialog made the tag";
    EXPECT_EQ(status(), "Pages that cannot be read are not edited: sub/b.htm: The file holds binary data, not the text of "
                        "an HTML page.");

    // The old keywords are only in the page not read, whose row shows none of its values:
    // Replace All finds nothing the grid shows, replaces nothing, and says so.
    bool boxShown = false;
    dialog_automation::WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : dialog_automation::ShownDialogs())
                if (GetDlgItem(dlg, kMessageBoxTextId))
                    return dlg;
            return static_cast<HWND>(nullptr);
        },
        [&](HWND box) {
            boxShown = true;
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(box, IDOK)));
        },
        nullptr, 100);
    ASSERT_TRUE(view->SetCurrentCell(1, nKeywords));
    view->ReplaceAll("old", "new", FALSE);
    EXPECT_EQ(std::string(pC->GetContent()), "old");
    EXPECT_TRUE(boxShown) << "Replace All of text no row shows said nothing";
    EXPECT_EQ(app->IsEdited(), 2u) << "a's keywords are edited";
    EXPECT_EQ(PageOf("c.htm")->GetEditState(), 3u);

    // A page the scan left unread for its size is not one Start Scan reads: the user is told why.
    PageOf("c.htm")->SetLeftUnread(true);
    view->OnClickedButtonRowCol(RowOf("c.htm"), nKeywords);
    EXPECT_EQ(status(), "Pages not read are not edited: the scan left c.htm unread for its size.");
}

TEST_F(GroupViewTest, StatusPicturesSitLeftCentredAndClippedWithTheTextAfterThem)
{
    OpenSite(false);
    CScannedCell cell(view);
    // A row of common height: 3 pixels in, centred.
    cell.LayoutChildren(1, 1, CRect(10, 20, 110, 40), CGXStyle());
    EXPECT_EQ(cell.GetPictureRect(), CRect(13, 22, 27, 38));
    // A row lower than the picture: its top at the cell's top, cut at the bottom.
    cell.LayoutChildren(1, 1, CRect(10, 20, 110, 32), CGXStyle());
    EXPECT_EQ(cell.GetPictureRect(), CRect(13, 20, 27, 32));
    // A narrow column: cut at the right.
    cell.LayoutChildren(1, 1, CRect(10, 20, 20, 40), CGXStyle());
    EXPECT_EQ(cell.GetPictureRect(), CRect(13, 22, 20, 38));
    // The text starts after the picture and never left of its own right edge.
    CGXStyle style;
    view->ComposeCellStyle(1, CGroupView::kFileColumn, style);
    CRect wide(0, 0, 200, 20);
    const CRect text = cell.GetCellRect(1, CGroupView::kFileColumn, &wide, &style);
    CGXStatic plain(view);
    const CRect plainText = plain.GetCellRect(1, CGroupView::kFileColumn, &wide, &style);
    EXPECT_EQ(text.left, plainText.left + 17);
    CRect narrow(0, 0, 10, 20);
    const CRect cut = cell.GetCellRect(1, CGroupView::kFileColumn, &narrow, &style);
    EXPECT_LE(cut.left, cut.right);
}

TEST_F(GroupViewTest, AGroupActionCancelledByEscLeavesEveryPageAndCellAsItWas)
{
    for (int n = 0; n < 70; ++n)
        extraPages.push_back("p" + std::to_string(n) + ".htm");
    OpenSite(true);
    std::vector<CMetaContent*> contents;
    for (const std::string& name : extraPages)
        contents.push_back(GiveKeywords(PageOf(name.c_str()), "Stra\xC3\x9F\x65", {"caf\xC3\xA9", "\xCE\xB1\xCE\xB2"}));
    const ROWCOL nKeywords = ColumnOf("Keywords");
    Select(*view, CGXRange().SetCols(nKeywords, nKeywords));

    // The action looks for Esc from its start; the user presses it right after the dialog's OK
    // and agrees to abort.
    CGXLongOperationState& longOp = GXGetLongOperationState();
    struct Restore {
        CGXLongOperationState& state;
        DWORD nFirstWait = state.m_nFirstWait, nUpdate = state.m_nUpdateInterval;
        ~Restore()
        {
            state.m_nFirstWait = nFirstWait;
            state.m_nUpdateInterval = nUpdate;
        }
    } restore{longOp};
    longOp.m_nFirstWait = 0;
    longOp.m_nUpdateInterval = 0;
    SeenMessageBox question;
    bool opened = false;
    dialog_automation::WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : dialog_automation::ShownDialogs())
                if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == CGroupKeywordsDlg::IDD)
                    return dlg;
            return static_cast<HWND>(nullptr);
        },
        [&](HWND dlg) {
            opened = true;
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, IDOK)));
            backend->KeyDown(VK_ESCAPE);
            AnswerMessageBox(*backend, IDYES, &question);
        },
        nullptr);
    view->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
    backend->ProcessMessages();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(question.seen);
    EXPECT_EQ(question.text, "Do you want to abort the operation?");
    // A question under the program's name, not an error.
    EXPECT_EQ(question.caption, "Vostrel");

    for (size_t n = 0; n < contents.size(); ++n) {
        EXPECT_EQ(std::string(contents[n]->GetContent()), "Stra\xC3\x9F\x65") << extraPages[n];
        EXPECT_EQ(contents[n]->GetModified(), 0u) << extraPages[n];
        EXPECT_EQ(std::string(view->GetCellValue(RowOf(extraPages[n].c_str()), nKeywords)), "Stra\xC3\x9F\x65");
    }
    EXPECT_TRUE(view->GetParam()->m_UndoList.IsEmpty());
    EXPECT_EQ(app->IsEdited(), 3u);
}
