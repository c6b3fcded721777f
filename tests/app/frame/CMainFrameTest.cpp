// The main frame run as the program runs it: the enabling rule, closing during a scan, the
// project file written and read back, and a start-up whose pane cannot be made.
#include "tests/app/VostrelAppFixture.h"
#include "tests/support/DeleteCounter.h"
#include "tests/toolkit/RefusedCreation.h"

#include "app/res/AppRes.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "platform/afx/app/CRecentFileList.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

BOOL Enabled(CMainFrame& frame, UINT nID)
{
    CTestCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(&frame, TRUE);
    return ui.m_bEnabled;
}

} // namespace

TEST_F(VostrelAppTest, EveryCommandFollowsTheRunStateProjectAndSelection)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    const UINT projectIds[] = {ID_CLOSE_PROJECT, ID_SAVE_PROJECT, ID_SAVE_PROJECT_AS, ID_METATAG_SETTINGS,
                               ID_PROJECT_SETTINGS};
    // No project.
    EXPECT_TRUE(Enabled(frame, ID_NEW_PROJECT));
    EXPECT_TRUE(Enabled(frame, ID_OPEN_PROJECT));
    for (UINT id : projectIds)
        EXPECT_FALSE(Enabled(frame, id)) << id;
    EXPECT_FALSE(Enabled(frame, ID_START_SCAN));
    EXPECT_FALSE(Enabled(frame, ID_STOP_SCAN));
    EXPECT_FALSE(Enabled(frame, ID_SAVE_EDITED_FILES));

    // A project with one selected page and unsaved edits.
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    auto* pRoot = new CPageNode;
    app->GetPageNodes().InitRootNode(CString(config.Path().c_str()), pRoot);
    app->GetPageNodes().AddTail(pRoot);
    app->GetSelectedNodes().AddTail(pRoot);
    app->SetEditState(1);
    for (UINT id : projectIds)
        EXPECT_TRUE(Enabled(frame, id)) << id;
    EXPECT_TRUE(Enabled(frame, ID_START_SCAN));
    EXPECT_TRUE(Enabled(frame, ID_SAVE_EDITED_FILES));
    EXPECT_FALSE(Enabled(frame, ID_STOP_SCAN));

    // Scanning: Stop Scan alone; stopping: nothing of the table.
    const UINT all[] = {ID_NEW_PROJECT,  ID_OPEN_PROJECT,      ID_CLOSE_PROJECT, ID_SAVE_PROJECT, ID_SAVE_PROJECT_AS,
                        ID_START_SCAN,   ID_SAVE_EDITED_FILES, ID_METATAG_SETTINGS, ID_PROJECT_SETTINGS};
    app->SetRunState(1);
    for (UINT id : all)
        EXPECT_FALSE(Enabled(frame, id)) << id;
    EXPECT_TRUE(Enabled(frame, ID_STOP_SCAN));
    app->SetRunState(2);
    for (UINT id : all)
        EXPECT_FALSE(Enabled(frame, id)) << id;
    EXPECT_FALSE(Enabled(frame, ID_STOP_SCAN));

    // A close while busy is refused with its message, and nothing of the project goes.
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    frame.SendMessage(WM_CLOSE);
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "You may not exit while performing a scan.  Please cancel the scan first.");
    EXPECT_TRUE(::IsWindow(frame.m_hWnd));
    EXPECT_EQ(app->GetProjectSettings(pSettings), 0u);
    EXPECT_EQ(frame.CloseProject(), 0u) << "a project in use by a scan stays open";
    EXPECT_EQ(frame.OpenProjectFile(CString((config.Path() + "/x.vsp").c_str())), CMainFrame::kOpenCancelled);
    app->SetRunState(0);
    app->SetEditState(0);
}

TEST_F(VostrelAppTest, TheProjectFileIsWrittenWholeReadBackAndMarksTheProjectSaved)
{
    ASSERT_TRUE(Start());
    CProjectSettings* pSettings = nullptr;
    app->NewProjectSettings(pSettings);
    pSettings->SetSettingsFilePath(CString(SettingsPath().c_str()));
    pSettings->m_strProjectDirectory = config.Path().c_str();
    pSettings->SetModified(1);
    const std::string path = config.Path() + "/site.vsp";

    ASSERT_EQ(Frame().WriteProjectFile(CString(path.c_str())), 0u);
    EXPECT_EQ(pSettings->IsModified(), 0u) << "a saved project is not offered for saving again";
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(std::string((*app->m_pRecentFileList)[0]), path);
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        std::unique_ptr<CObject> pObject(ar.ReadObject(RUNTIME_CLASS(CProjectSettings)));
        auto* pRead = dynamic_cast<CProjectSettings*>(pObject.get());
        ASSERT_NE(pRead, nullptr);
        CString strSettings;
        pRead->GetSettingsFilePath(strSettings);
        EXPECT_EQ(std::string(static_cast<LPCTSTR>(strSettings)), SettingsPath());
        EXPECT_EQ(std::string(static_cast<LPCTSTR>(pRead->m_strProjectDirectory)), config.Path());
    }
    const std::string saved = ReadFile(path);

    // A file that cannot be written leaves the project as it was and writes nothing.
    const std::string bad = config.Path() + "/no/such/folder/site.vsp";
    pSettings->SetModified(1);
    EXPECT_EQ(Frame().WriteProjectFile(CString(bad.c_str())), 1u);
    EXPECT_EQ(pSettings->IsModified(), 1u);
    CString strPath;
    pSettings->GetProjectFilePath(strPath);
    EXPECT_EQ(std::string(static_cast<LPCTSTR>(strPath)), path) << "the project keeps its file";
    EXPECT_EQ(ReadFile(path), saved);

    // A settings file that is gone: message 62522 and no file.
    pSettings->SetSettingsFilePath(CString((config.Path() + "/gone.vsl").c_str()));
    SeenMessageBox seen;
    AnswerBox(*backend, IDOK, &seen);
    EXPECT_EQ(Frame().WriteProjectFile(CString((config.Path() + "/other.vsp").c_str())), 1u);
    EXPECT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("could not be found"), std::string::npos) << seen.text;
    EXPECT_FALSE(std::filesystem::exists(config.Path() + "/other.vsp"));
}

TEST_F(VostrelAppTest, APaneWhoseWindowCannotBeMadeEndsTheStartAndGoesOnce)
{
    for (const char* pane : {"Project Area", "Output Area"}) {
        SCOPED_TRACE(pane);
        program_in_process::Make(app, {});
        RefusedCreation::Refused() = 0;
        bool started = true;
        int repeated = -1;
        {
            delete_counter::Count count;
            RefusedCreation refuse(RefusedCreation::Titled(pane));
            ASSERT_TRUE(refuse.IsInstalled());
            started = app->InitApplication() && app->InitInstance();
            repeated = count.Repeated();
        }
        EXPECT_FALSE(started) << "the program does not run without its pane";
        EXPECT_EQ(RefusedCreation::Refused(), 1);
        EXPECT_EQ(repeated, 0) << "blocks deleted twice";
        EXPECT_EQ(app->m_pMainWnd, nullptr);
        Stop();
    }
}
