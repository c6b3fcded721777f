// A frame with the toolkit's four dock bars, a profile in a private folder, and a toolbar
// manager with the test strips and a map that makes text buttons of the test commands.
#pragma once

#include "platform/afx/app/CWinApp.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/toolbars/SECBmpMgr.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <optional>
#include <string>

// ID_TB_ONE and ID_TB_TWO are text buttons; ID_TB_THREE is a check box.
inline const SECBtnMapEntry kTestButtonMap[] = {
    {&SECTBTextButton::classSECTBTextButton, ID_TB_ONE, 0, {0, 0, 0, 0, 0}},
    {&SECTBTextButton::classSECTBTextButton, ID_TB_TWO, 0, {0, 0, 0, 0, 0}},
    {&SECStdBtn::classSECStdBtn, ID_TB_THREE, SEC_TBBS_CHECKBOX, {0, 0, 0, 0, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}},
};

class ToolbarTest : public ToolkitDockingTest {
protected:
    void SetUp() override
    {
        env.emplace("XDG_CONFIG_HOME", config.Path());
        app.emplace("ToolbarTest");
        // A key of the test's own: the profile store outlives one application object.
        const std::string key = std::string("Wexmoor\\ToolbarTest\\")
            + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        app->SetRegistryKey(key.c_str());
        ToolkitDockingTest::SetUp();
        manager = std::make_unique<SECToolBarManager>(frame);
        ASSERT_TRUE(manager->LoadToolBarResource(IDR_TB_SMALL, IDR_TB_BIG));
        ASSERT_TRUE(manager->LoadToolBarResource(IDR_TB_SECOND));
        // The test frame handles no commands: its buttons stay enabled.
        frame->m_bAutoMenuEnable = FALSE;
        manager->SetButtonMap(kTestButtonMap);
    }
    void TearDown() override
    {
        for (SECCustomToolBar* bar : manager->GetToolBars())
            if (bar->m_hWnd)
                bar->DestroyWindow();
        backend->ProcessMessages();
        manager.reset();
        ToolkitDockingTest::TearDown();
        app.reset();
        env.reset();
    }
    // A toolbar of the manager with the given buttons (0: a separator), floating nowhere: laid
    // out by the calls of each test.
    SECCustomToolBar* MakeToolBar(UINT id, std::initializer_list<UINT> ids)
    {
        auto* bar = new SECCustomToolBar;
        bar->SetManager(manager.get());
        EXPECT_TRUE(bar->CreateEx(0, frame, manager->GetToolBarStyle(), id, "bar"));
        manager->AttachToolBar(bar);
        bar->m_bAutoDelete = TRUE;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        std::vector<UINT> list(ids);
        bar->SetButtons(list.data(), static_cast<int>(list.size()));
        return bar;
    }
    // The rows of the last layout as text: button ids' last digit, separators '-', rows by '|'.
    static std::string Rows(const SECCustomToolBar& bar)
    {
        std::string text;
        for (int i = 0; i < bar.GetBtnCount(); ++i) {
            const SECStdBtn* b = bar.GetBtn(i);
            text += b->IsSeparator() ? std::string("-") : std::to_string(b->m_nID % 10);
            if (b->m_nStyle & SEC_TBBS_WRAPPED)
                text += "|";
        }
        return text;
    }

    ScopedTempDir config;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
    std::unique_ptr<SECToolBarManager> manager;
};
