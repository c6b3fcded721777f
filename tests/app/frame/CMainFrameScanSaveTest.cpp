// The end of a scan and Save Edited Files, run as the program runs them on a generated site: the
// "Scan Completed" note until its box is ticked once, the column hand-shake answered with or
// without a view, and edited pages written back with their backups and warnings.
#include "tests/app/VostrelAppFixture.h"

#include "app/views/CGroupView.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "app/dialogs/CScanDoneDlg.h"
#include "app/res/AppRes.h"
#include "platform/afx/AfxMessages.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECStdBtn.h"
#include "toolkit/toolbars/SECToolBarManager.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/EngineMessages.h"
#include "platform/core/SyncApi.h"

namespace {

using namespace dialog_automation;
namespace fs = std::filesystem;

class ScanSaveTest : public VostrelAppTest {
protected:
    ScanSaveTest() { showScanNote = true; }

    // Starts the program and opens a project of a generated site.
    void OpenSite(UINT bShowAllFound)
    {
        site = config.Path() + "/site";
        if (!fs::exists(site))
            MakeSite(site);
        ASSERT_TRUE(Start());
        CProjectSettings* pSettings = nullptr;
        app->NewProjectSettings(pSettings);
        pSettings->m_strProjectDirectory = site.c_str();
        pSettings->m_bShowAllFound = bShowAllFound;
        pSettings->SetSettingsFilePath(CString(SettingsPath().c_str()));
        const std::string project = config.Path() + "/site.vsp";
        ASSERT_EQ(Frame().WriteProjectFile(CString(project.c_str())), 0u);
        ASSERT_EQ(Frame().OpenProjectFile(CString(project.c_str())), CMainFrame::kOpenDone);
        ASSERT_EQ(app->GetSelectedNodes().GetCount(), 2);
    }

    // Scans the selection; true when the note was shown (and answered with its box as given).
    // The note comes whenever the scan's end reaches the frame, so its watcher stays until the
    // scan is over rather than for a count of idle turns.
    bool Scan(UINT nTick)
    {
        auto watching = std::make_shared<bool>(true);
        bool noteShown = false;
        AnswerNote(nTick, watching, &noteShown);
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        EXPECT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2; }));
        *watching = false;
        backend->ProcessMessages();
        return noteShown;
    }

    void AnswerNote(UINT nTick, std::shared_ptr<bool> watching, bool* shown)
    {
        backend->WhenIdle([this, nTick, watching, shown] {
            if (!*watching)
                return;
            for (HWND dlg : ShownDialogs()) {
                if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) != CScanDoneDlg::IDD)
                    continue;
                *shown = true;
                *watching = false;
                HWND box = GetDlgItem(dlg, CScanDoneDlg::kIdDontShow);
                if (box && static_cast<UINT>(::SendMessage(box, BM_GETCHECK, 0, 0)) != nTick)
                    backend->Click(1, CentreOf(box));
                backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
                EnsureClosed(*backend, dlg);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            AnswerNote(nTick, watching, shown);
        });
    }

    CPageNode* Page(const char* name)
    {
        CSelNodesCol& pages = app->GetSelectedNodes();
        for (POSITION pos = pages.GetHeadPosition(); pos;)
            if (CPageNode* page = pages.GetNext(pos); page->GetName() == name)
                return page;
        return nullptr;
    }

    // Edits a page's META content as the grid does: through the page's content list.
    void Edit(const char* name, const char* tag, const char* text)
    {
        CPageNode* page = Page(name);
        ASSERT_NE(page, nullptr);
        CMetaContentList* pList = nullptr;
        if (page->GetContentList(pList) != 0)
            page->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        if (pList->FindByName(tag, pContent) == 0) {
            pContent->SetContent(text);
            pContent->SetModified(1);
        } else {
            pList->AddContent(tag, text, 1, pContent);
        }
        app->SetEditState(1);
    }

    std::string OutputText()
    {
        COutputAreaControlBar* pBar = nullptr;
        return Frame().GetOutputAreaBar(pBar) == 0 ? std::string(static_cast<LPCTSTR>(pBar->GetText())) : "";
    }

    std::string site;
};

} // namespace

TEST_F(ScanSaveTest, TheScanCompletedNoteComesAfterEveryScanUntilItsBoxIsTickedOnce)
{
    OpenSite(1);
    // Every tag found becomes a column through the hand-shake, which is answered each time.
    EXPECT_TRUE(Scan(BST_UNCHECKED));
    EXPECT_NE(app->GetProfileInt("", "Warn After Scan", 1), 0u);
    EXPECT_TRUE(Scan(BST_CHECKED)) << "shown again: its box was not ticked";
    EXPECT_EQ(app->GetProfileInt("", "Warn After Scan", 1), 0u);
    EXPECT_FALSE(Scan(BST_UNCHECKED)) << "ticked once: never again";
    EXPECT_EQ(app->GetRunState(), 0u);
}

// The hand-shake sets its event even when no view is open to take the column, or the worker
// waiting on it would wait for ever.
TEST_F(ScanSaveTest, TheColumnHandShakeIsAnsweredWithoutAView)
{
    ASSERT_TRUE(Start());
    CMetaSettingList* pList = nullptr;
    app->GetMetaSettingList(pList);
    ASSERT_FALSE(pList->IsEmpty());
    HANDLE event = ::CreateEvent(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    CGroupView* pView = nullptr;
    ASSERT_NE(app->ActivateGroupView(pView), 0u) << "no view is open";
    Frame().SendMessage(kMsgShowSetting, reinterpret_cast<WPARAM>(event), reinterpret_cast<LPARAM>(pList->GetHead()));
    EXPECT_EQ(::WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ::CloseHandle(event);
}

TEST_F(ScanSaveTest, EditedPagesAreWrittenWithBackupsAndWarningsAndNothingElseIsTouched)
{
    OpenSite(0);
    EXPECT_FALSE(Scan(BST_UNCHECKED)) << "without Show All Found no note";
    const std::string a = site + "/a.htm";
    const std::string original = ReadFile(a);
    const std::string text = ReadFile(site + "/c.txt");

    // First save: a.htm rewritten with a.htm.old holding what it was.
    Edit("a.htm", "KEYWORDS", "blue, yellow");
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));
    HWND saveDialog = nullptr;
    WhenWindowOpens(
        *backend, [] { return ShownDialogs().empty() ? HWND{} : ShownDialogs().front(); },
        [&](HWND dlg) { saveDialog = dlg; }, nullptr);
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    EXPECT_NE(ReadFile(a).find("content=\"blue, yellow\""), std::string::npos) << ReadFile(a);
    EXPECT_EQ(ReadFile(a + ".old"), original);
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 3u);
    EXPECT_FALSE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));

    // A stop that reaches the closed dialog late is dropped: nothing changes, nothing breaks.
    if (saveDialog) {
        EXPECT_FALSE(::IsWindow(saveDialog));
        ::PostMessage(saveDialog, kMsgSaveStopped, 0, 0);
        backend->ProcessMessages();
    }

    // Second save: the next backup name, and a page that cannot be written is a warning in the
    // Output Area, stays edited and keeps Save Edited Files on.
    const std::string firstSaved = ReadFile(a);
    Edit("a.htm", "DESCRIPTION", "Changed again");
    Edit("b.htm", "KEYWORDS", "beta");
    fs::remove(site + "/sub/b.htm");
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return OutputText().find("b.htm") != std::string::npos; }))
        << OutputText();
    EXPECT_EQ(ReadFile(a + ".old"), original) << "the first backup stays";
    EXPECT_EQ(ReadFile(a + ".old2"), firstSaved);
    EXPECT_NE(ReadFile(a).find("Changed again"), std::string::npos);
    EXPECT_FALSE(fs::exists(site + "/sub/b.htm")) << "a page that is gone is not made up";
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_SAVE_EDITED_FILES));
    EXPECT_EQ(ReadFile(site + "/c.txt"), text);
    EXPECT_FALSE(fs::exists(site + "/c.txt.old"));

    // The next save clears the Output Area first.
    std::ofstream(site + "/sub/b.htm") << "<html><head><title>Beta</title></head><body>Beta</body></html>\n";
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    backend->ProcessMessages();
    EXPECT_EQ(OutputText().find("b.htm"), std::string::npos) << OutputText();
    EXPECT_NE(ReadFile(site + "/sub/b.htm").find("beta"), std::string::npos);
    EXPECT_EQ(app->IsEdited(), 3u);
}

// "Yes" to saving the edits on closing, and a page that cannot be written: the project stays
// open with that page's edits and its warning, and says why.
TEST_F(ScanSaveTest, ClosingKeepsTheProjectWhenEditsCouldNotBeSaved)
{
    OpenSite(0);
    EXPECT_FALSE(Scan(BST_UNCHECKED));
    Edit("b.htm", "KEYWORDS", "beta");
    fs::remove(site + "/sub/b.htm");

    SeenMessageBox asked;
    SeenMessageBox told;
    WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (GetDlgItem(dlg, kMessageBoxTextId) && !GetProp(dlg, DIALOG_TEMPLATE_ID_PROP))
                    return dlg;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return static_cast<HWND>(nullptr);
        },
        [&](HWND box) {
            asked.seen = true;
            asked.text = TextOf(GetDlgItem(box, kMessageBoxTextId));
            backend->Click(1, CentreOf(GetDlgItem(box, IDYES)));
            EnsureClosed(*backend, box);
            AnswerBox(*backend, IDOK, &told);
        },
        nullptr, kAnswerBoxTurns);
    EXPECT_EQ(Frame().CloseProject(), 0u);
    EXPECT_EQ(asked.text, "Do you want to save your metatag changes to the appropriate HTML files?");
    EXPECT_TRUE(told.seen);
    EXPECT_NE(told.text.find("not saved"), std::string::npos) << told.text;
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 0u) << "the project stays open";
    EXPECT_EQ(app->IsEdited(), 2u);
    EXPECT_NE(Page("b.htm"), nullptr);
    EXPECT_NE(OutputText().find("b.htm"), std::string::npos) << "the warning stays: " << OutputText();
}

// The toolbars follow a scan at once, not at the next idle moment, which a scan of local pages
// may not leave: Start goes off as the scan starts and comes back when it has ended.
TEST_F(ScanSaveTest, TheToolbarsFollowTheScanWithoutWaitingForIdle)
{
    OpenSite(0);
    // The scan the project makes on opening runs out first.
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2; }));
    SECCustomToolBar* pMain = Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS);
    ASSERT_NE(pMain, nullptr);
    const int nStart = pMain->CommandToIndex(ID_START_SCAN);
    ASSERT_GE(nStart, 0);
    auto startEnabled = [&] { return !pMain->GetBtn(nStart)->HasStyle(SEC_TBBS_DISABLED); };
    Frame().SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    ASSERT_TRUE(startEnabled());

    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    EXPECT_FALSE(startEnabled()) << "still shown as startable while the scan runs";
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2; }));
    EXPECT_TRUE(startEnabled());
}

// The save ends with one line that counts the pages written and not written, after the lines of
// the pages that failed, each told once, by its cause.
TEST_F(ScanSaveTest, TheSaveEndsWithALineCountingPagesWrittenAndNot)
{
    OpenSite(0);
    EXPECT_FALSE(Scan(BST_UNCHECKED));
    Edit("a.htm", "KEYWORDS", "blue");
    Edit("b.htm", "KEYWORDS", "beta");
    ::chmod((site + "/sub/b.htm").c_str(), 0444);
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    const std::string closing = "Save Edited Files: 1 of 2 pages written, 1 not written.\n";
    ASSERT_TRUE(PumpUntil(*backend, [&] { return OutputText().find(closing) != std::string::npos; })) << OutputText();
    EXPECT_EQ(OutputText(), "SUB/B.HTM : Denied Access: the page is read-only. The page was left as it was.\n" + closing);

    // Everything written: the line says so.
    ::chmod((site + "/sub/b.htm").c_str(), 0644);
    Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    ASSERT_TRUE(PumpUntil(*backend, [&] { return OutputText().find("1 of 1 pages") != std::string::npos; }))
        << OutputText();
    EXPECT_EQ(OutputText(), "Save Edited Files: 1 of 1 pages written, 0 not written.\n");
}
