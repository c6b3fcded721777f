// Projects made, saved, opened from the command line, scanned and closed, on a generated site.
#include "tests/app/VostrelAppFixture.h"

#include "app/panes/CFileViewControlBar.h"
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/res/AppRes.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/app/CRecentFileList.h"
#include "toolkit/controls/SECProgressCtrl.h"

#include <algorithm>

namespace {

// A project of the folder, saved to the path, with the user's settings file.
void SaveProjectOf(VostrelAppTest& test, CVostrelApp& app, CMainFrame& frame, const std::string& folder,
                   const std::string& path, const std::string& settingsFile, UINT bAutoScan = 0)
{
    CProjectSettings* pSettings = nullptr;
    app.NewProjectSettings(pSettings);
    pSettings->m_strProjectDirectory = folder.c_str();
    pSettings->m_bAutoScan = bAutoScan;
    pSettings->SetSettingsFilePath(CString(settingsFile.c_str()));
    ASSERT_EQ(frame.WriteProjectFile(CString(path.c_str())), 0u);
    (void)test;
}

std::vector<std::string> SelectedNames(CVostrelApp& app)
{
    std::vector<std::string> names;
    CSelNodesCol& pages = app.GetSelectedNodes();
    for (POSITION pos = pages.GetHeadPosition(); pos;)
        names.push_back(static_cast<LPCTSTR>(pages.GetNext(pos)->GetName()));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(VostrelAppTest, AProjectOnTheCommandLineOpensWithItsPagesAndScans)
{
    const std::string site = config.Path() + "/site";
    const std::string project = config.Path() + "/site.vsp";
    MakeSite(site);
    ASSERT_TRUE(Start());
    SaveProjectOf(*this, *app, Frame(), site, project, SettingsPath(), 1);
    ASSERT_EQ(app->GetPageNodes().GetCount(), 0) << "saving walks nothing";
    Stop();

    ASSERT_TRUE(Start({project}));
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u) << "the project opened after the window was shown";
    EXPECT_EQ(pSettings->IsModified(), 0u);
    EXPECT_EQ(SelectedNames(*app), (std::vector<std::string>{"a.htm", "b.htm"})) << "pages only, from every folder";
    ASSERT_NE(app->GetSelectedNodes().GetCurrentFolder(), nullptr);
    EXPECT_EQ(app->GetSelectedNodes().GetCurrentFolder()->GetKind(), static_cast<UINT>(CPageNode::kindRoot));
    ASSERT_NE(Frame().GetProjectAreaBar(), nullptr);
    EXPECT_TRUE(Frame().GetProjectAreaBar()->IsWindowVisible());

    // The project scans itself when it opens: the meter counts every page, the run state goes
    // back to idle, and the pages get what the files hold.
    ASSERT_TRUE(PumpUntil(*backend, [&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2; }))
        << "run state " << app->GetRunState() << ", files " << Frame().GetFilesScanned();
    std::vector<std::string> titles;
    CSelNodesCol& pages = app->GetSelectedNodes();
    for (POSITION pos = pages.GetHeadPosition(); pos;)
        titles.push_back(static_cast<LPCTSTR>(pages.GetNext(pos)->GetTitle()));
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(Frame().GetStatusBar().GetProgressCtrl() == nullptr ||
                  !Frame().GetStatusBar().GetProgressCtrl()->IsWindowVisible(),
              true)
        << "the meter is gone after the scan";
}

TEST_F(VostrelAppTest, AScanThatCannotStartSaysSoAndLeavesTheProgramIdle)
{
    const std::string site = config.Path() + "/site";
    const std::string project = config.Path() + "/site.vsp";
    MakeSite(site);
    ASSERT_TRUE(Start());
    SaveProjectOf(*this, *app, Frame(), site, project, SettingsPath());
    ASSERT_EQ(Frame().OpenProjectFile(CString(project.c_str())), CMainFrame::kOpenDone);
    ASSERT_FALSE(app->GetSelectedNodes().IsEmpty());

    // Without a fetch engine the engine refuses the scan.
    CParserEngine::GetEngine().SetScanBackend(nullptr);
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    EXPECT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("could not be started"), std::string::npos) << seen.text;
    EXPECT_EQ(app->GetRunState(), 0u) << "a refused scan must not leave the program scanning";
    EXPECT_TRUE(Frame().IsCommandEnabled(ID_CLOSE_PROJECT));
}

TEST_F(VostrelAppTest, FilesThatAreNoProjectsOpenNothingAndSayWhy)
{
    ASSERT_TRUE(Start());
    // The settings file read as a project: the format message, naming the file, in the one box
    // that says the project was not opened.
    SeenMessageBox format;
    AnswerBox(*backend, IDOK, &format);
    EXPECT_EQ(Frame().OpenProjectFile(CString(SettingsPath().c_str())), CMainFrame::kOpenFailed);
    EXPECT_FALSE(format.seen) << format.text;
    Frame().TellProjectNotOpened();
    EXPECT_EQ(format.text, "Project could NOT be opened!\n\nThis is not a Vostrel project file, or it is damaged: it "
                           "does not begin as a project file does.\n\n" + SettingsPath());
    CProjectSettings* pSettings = nullptr;
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u);

    // A project whose site folder is gone: one box, naming the folder, and no project.
    const std::string project = config.Path() + "/gone-site.vsp";
    SaveProjectOf(*this, *app, Frame(), config.Path() + "/no-such-site", project, SettingsPath());
    app->DeleteProjectSettings();
    SeenMessageBox gone;
    AnswerBox(*backend, IDOK, &gone);
    EXPECT_EQ(Frame().OpenProjectFile(CString(project.c_str())), CMainFrame::kOpenFailed);
    EXPECT_FALSE(gone.seen) << gone.text;
    Frame().TellProjectNotOpened();
    EXPECT_EQ(gone.text, "Project could NOT be opened!\n\nThe project's folder '" + config.Path() +
                             "/no-such-site' does not exist any more: it was moved, renamed or deleted.");
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u);
    EXPECT_EQ(app->GetPageNodes().GetCount(), 0);

    // A path of 10,000 characters: the cause, and the path's start and end around an ellipsis.
    std::string longPath = config.Path();
    while (longPath.size() < 10000)
        longPath += "/" + std::string(99, 'd');
    longPath += "/site.vsp";
    SeenMessageBox tooLong;
    AnswerBox(*backend, IDOK, &tooLong);
    EXPECT_EQ(Frame().OpenProjectFile(CString(longPath.c_str())), CMainFrame::kOpenFailed);
    Frame().TellProjectNotOpened();
    const std::string cause = "Project could NOT be opened!\n\nThe project file could not be opened: its path, or a "
                              "name in it, is longer than the file system allows.\n\n";
    EXPECT_EQ(tooLong.text, cause + longPath.substr(0, 80) + "..." + longPath.substr(longPath.size() - 80));
}

TEST_F(VostrelAppTest, ANeverSavedProjectIsOfferedForSavingOnClose)
{
    ASSERT_TRUE(Start());
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    ASSERT_EQ(pSettings->IsModified(), 0u);
    SeenMessageBox seen;
    AnswerBox(*backend, IDCANCEL, &seen);
    EXPECT_EQ(Frame().CloseProject(), 0u);
    EXPECT_EQ(seen.text, "Do you want to save the project before closing?");
    EXPECT_EQ(app->GetProjectSettings(pSettings), 0u) << "Cancel keeps it open";

    AnswerBox(*backend, IDNO);
    EXPECT_EQ(Frame().CloseProject(), 1u);
    EXPECT_EQ(app->GetProjectSettings(pSettings), 1u);
}

// Metatag Settings from the frame leaves the project naming the file its catalogue lives in,
// so that the next Save Project names that file and not the one the project named before.
TEST_F(VostrelAppTest, MetatagSettingsFromTheFrameGiveTheProjectTheCataloguesFile)
{
    ASSERT_TRUE(Start());
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    pSettings->SetSettingsFilePath(CString((config.Path() + "/elsewhere.vsl").c_str()));
    CMetaSettingList* pList = nullptr;
    app->GetMetaSettingList(pList);
    ASSERT_EQ(std::string(pList->GetFilePath()), SettingsPath());

    bool shown = false;
    FillDialog(*backend, CMetaSettingDlg::IDD, DialogFill{{}, {}, IDOK, {}}, &shown);
    Frame().SendMessage(WM_COMMAND, ID_METATAG_SETTINGS);
    ASSERT_TRUE(shown);
    CString strPath;
    pSettings->GetSettingsFilePath(strPath);
    EXPECT_EQ(std::string(strPath), SettingsPath());
}
