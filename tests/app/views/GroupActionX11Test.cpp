// A group action over a large site on the X server, by the mouse and the keys: the Keywords
// column chosen by Ctrl+Space, Group Actions... from the right-click menu, the dialog's OK by
// Return. The status bar shows the action's progress while it works, and Ctrl+Z and Ctrl+Y undo
// and redo it whole, as the grid's copied text shows.
#include "grid/data/CGXLongOperation.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kPages = 10000;

class GroupActionX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        GXGetLongOperationState().m_nFirstWait = m_nFirstWait;
        GXGetLongOperationState().m_nUpdateInterval = m_nUpdateInterval;
        MainWindowStepsX11Test::TearDown();
    }

    // Pages of English text, which the scan finds key phrases in, with keywords of their own
    // in other scripts.
    void WriteSite()
    {
        static const char* const kWords[] = {"the",     "garden", "of",     "our",    "village", "and",    "its",
                                             "orchard", "apple",  "trees",  "grow",   "in",      "spring", "with",
                                             "fresh",   "water",  "from",   "river",  "where",   "children",
                                             "play",    "summer", "market", "bridge", "mill",    "harvest"};
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (int n = 0; n < kPages; ++n) {
            std::string text;
            for (int w = 0; w < 120; ++w)
                text += std::string(kWords[(w * 7 + n + w / 13) % std::size(kWords)]) + (w % 12 == 11 ? ". " : " ");
            std::ofstream(site + "/page" + std::to_string(n) + ".htm")
                << "<html><head><title>Page " << n << "</title>\n"
                << "<meta name=\"KEYWORDS\" content=\"Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3\">\n"
                << "</head><body><p>" << text << "</p></body></html>\n";
        }
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        CMetaSetting* pSetting = nullptr;
        ASSERT_EQ(pList->FindByName("Keywords", pSetting), 0u);
        pSetting->SetShow(1);
        std::filesystem::create_directories(dir.Path() + "/config");
        ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    }
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The whole Keywords column as Ctrl+C copies it, with the column chosen.
    std::string CopiedColumn() { return CopyByKeys("ctrl+c"); }

    DWORD m_nFirstWait = GXGetLongOperationState().m_nFirstWait;
    DWORD m_nUpdateInterval = GXGetLongOperationState().m_nUpdateInterval;
};

} // namespace

TEST_F(GroupActionX11Test, AKeywordsGroupActionShowsItsProgressAndIsOneStepOfUndoAndRedo)
{
    ASSERT_TRUE(Start());
    WriteSite();
    OpenSiteProject(0);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == kPages; }, 300000))
        << "the scan of the site did not end";
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(Quiet()) << "the project's windows never showed";
    ASSERT_EQ(view->GetRowCount(), static_cast<ROWCOL>(kPages));
    const ROWCOL nCol = ColumnOf("Keywords");
    ASSERT_NE(nCol, 0u);

    // The user chooses the Keywords column by the keys and copies it as it is.
    ASSERT_TRUE(GoToByKeys(1, nCol));
    ASSERT_TRUE(Xdo("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(kPages, nCol, view->GetParam()->m_SelRects) != FALSE; }));
    const std::string before = CopiedColumn();
    ASSERT_EQ(before.find("(nothing copied)"), std::string::npos);
    ASSERT_EQ(before.rfind("Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3\r\n", 0), 0u) << before.substr(0, 200);

    // The progress is shown from the start and at every turn, so that a test machine of any
    // speed sees it.
    GXGetLongOperationState().m_nFirstWait = 0;
    GXGetLongOperationState().m_nUpdateInterval = 0;
    std::string seenWhileWorking;
    // The box that ends the action, answered by Return.
    X11MessageBoxAnswerer report(*backend, server->DisplayName());
    ASSERT_TRUE(ClickAt(CellOnScreen(2, nCol), 3));
    Choose("Group Actions...");
    Type("the group keywords dialog", "^Keywords Metatag", "Return");
    // A step of the user's own, run by the program's timer: it comes while the action works
    // only when the window still answers then.
    When("the status bar shows the group action's progress",
         [&] {
             const std::string text = StatusText();
             return text.rfind("Group action on the Keywords column:", 0) == 0 && text.find('%') != std::string::npos;
         },
         [&] {
             seenWhileWorking = StatusText();
             if (cairo_surface_t* shot = Shot("group-action-progress"))
                 cairo_surface_destroy(shot);
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return !view->GetParam()->m_UndoList.IsEmpty() && CGXLongOperation::GetLevel() == 0; }));
    EXPECT_NE(seenWhileWorking.find('%'), std::string::npos) << seenWhileWorking;
    ASSERT_TRUE(RunUntil([&] { return report.Texts().size() == 1 && ProgramHasFocus(); })) << "the action told nothing";
    EXPECT_EQ(report.Texts()[0].rfind("The suggested keywords were added to the keywords of ", 0), 0u) << report.Texts()[0];

    // Every page got its suggestions added: one step of undo holds them all.
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    const std::string after = CopiedColumn();
    ASSERT_NE(after, before);
    EXPECT_EQ(after.rfind("Stra\xC3\x9F\x65,caf\xC3\xA9,\xCE\xB1\xCE\xB2\xCE\xB3,", 0), 0u) << after.substr(0, 200);
    EXPECT_EQ(view->GetParam()->m_UndoList.GetCount(), 1);

    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_UndoList.IsEmpty(); })) << "Ctrl+Z undid nothing";
    EXPECT_EQ(CopiedColumn(), before) << "one Ctrl+Z did not undo the whole action";
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 3u) << "a page is still edited after the undo";

    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view->GetParam()->m_RedoList.IsEmpty(); })) << "Ctrl+Y redid nothing";
    EXPECT_EQ(CopiedColumn(), after) << "one Ctrl+Y did not redo the whole action";
    EXPECT_EQ(app->GetPageNodes().HasEdits(), 2u);
}
