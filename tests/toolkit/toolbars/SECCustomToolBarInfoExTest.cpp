// A custom toolbar's saved part of a layout: the fixed "Buttons" layout, the profile keys, the
// archive form against hand-written bytes, and damaged or hostile values.
#include "tests/toolkit/toolbars/ToolbarFixture.h"

#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/CMemFile.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECPersistentTreeNode.h"
#include "toolkit/toolbars/SECCustomToolBarInfoEx.h"

namespace {

class SECCustomToolBarInfoExTest : public ToolbarTest {};

TEST_F(SECCustomToolBarInfoExTest, SavedButtonsKeepTheirFixedLayoutAndStopAtDamage)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, 0, ID_TB_FOUR});
    SECControlBarInfo info;
    bar->GetBarInfoExtra(&info);
    auto* ex = dynamic_cast<SECCustomToolBarInfoEx*>(info.m_pBarInfoEx);
    ASSERT_TRUE(ex);
    EXPECT_EQ(ex->m_strTitle, "bar");
    const std::vector<BYTE> bytes = ex->EncodeButtons();
    const std::vector<BYTE> expected = {0x21, 0x1C, 0, 0, 0, 0, 0, 0, 0, 0, 0x24, 0x1C, 0, 0, 0};
    EXPECT_EQ(bytes, expected) << "command (4 bytes, little-endian), length 0, per button";

    // Into the profile and back, exactly "Title" and "Buttons".
    ASSERT_TRUE(ex->SaveState("Layout-Bar3"));
    EXPECT_EQ(app->GetProfileString("Layout-Bar3", "Title", "?"), "bar");
    BYTE* raw = nullptr;
    UINT size = 0;
    ASSERT_TRUE(app->GetProfileBinary("Layout-Bar3", "Buttons", &raw, &size));
    EXPECT_EQ(std::vector<BYTE>(raw, raw + size), expected);
    delete[] raw;
    SECCustomToolBarInfoEx loaded;
    ASSERT_TRUE(loaded.LoadState("Layout-Bar3", nullptr));
    SECCustomToolBar* other = MakeToolBar(0xE805, {ID_TB_TWO});
    SECControlBarInfo carrier;
    carrier.SetInfoEx(new SECCustomToolBarInfoEx);
    static_cast<SECCustomToolBarInfoEx*>(carrier.m_pBarInfoEx)->DecodeButtons(expected.data(), expected.size());
    static_cast<SECCustomToolBarInfoEx*>(carrier.m_pBarInfoEx)->m_strTitle = "Restored";
    other->SetBarInfoExtra(&carrier, frame);
    EXPECT_EQ(Rows(*other), "1-4");
    CString title;
    other->GetWindowText(title);
    EXPECT_EQ(title, "Restored");

    // A record running past the end ends the list; an empty value gives no buttons.
    std::vector<BYTE> damaged = expected;
    damaged.push_back(0x22);
    damaged.insert(damaged.end(), {0x1C, 0, 0, 9, 1, 2}); // length 9, two bytes left
    ex->DecodeButtons(damaged.data(), damaged.size());
    EXPECT_EQ(ex->m_btnInfo.size(), 3u);
    ex->DecodeButtons(damaged.data(), 4);
    EXPECT_TRUE(ex->m_btnInfo.empty());
    ex->DecodeButtons(nullptr, 0);
    EXPECT_TRUE(ex->m_btnInfo.empty());

    // The archive form: title, count, then command, length and bytes per button.
    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        SECCustomToolBarInfoEx two;
        two.m_strTitle = "T";
        two.m_btnInfo.push_back({ID_TB_ONE, {}});
        two.m_btnInfo.push_back({0, {7, 8}});
        two.Serialize(ar, nullptr);
    }
    const ULONGLONG length = mem.GetLength();
    std::vector<BYTE> stored(static_cast<size_t>(length));
    mem.SeekToBegin();
    mem.Read(stored.data(), static_cast<UINT>(stored.size()));
    const std::vector<BYTE> archive = {1, 'T', 2, 0, 0, 0, 0x21, 0x1C, 0, 0, 0, 0, 0, 0, 0, 2, 7, 8};
    EXPECT_EQ(stored, archive);
    // A count far beyond the bytes there ends in the archive's error, not a huge allocation.
    std::vector<BYTE> hostile = {1, 'T', 0xFF, 0xFF, 0xFF, 0x7F, 0x21, 0x1C, 0, 0, 0};
    CMemFile bad;
    bad.Write(hostile.data(), static_cast<UINT>(hostile.size()));
    bad.SeekToBegin();
    CArchive in(&bad, CArchive::load);
    SECCustomToolBarInfoEx victim;
    bool threw = false;
    try {
        victim.Serialize(in, nullptr);
    } catch (CException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
}

} // namespace

namespace {

TEST_F(SECCustomToolBarInfoExTest, TheTreeFormKeepsTitleButtonsAndSwitches)
{
    SECPTNFactory factory;
    SECPersistentTreeNode* root = factory.CreateNode("Layout", nullptr);
    ASSERT_TRUE(root);
    SECCustomToolBarInfoEx saved;
    saved.m_btnInfo.push_back({ID_TB_ONE, {}});
    saved.m_btnInfo.push_back({0, {}});
    ASSERT_TRUE(saved.SaveToNode(factory, root));
    SECPersistentTreeNode* child = root->FindChild("ToolBarInfoEx");
    ASSERT_TRUE(child);
    ASSERT_TRUE(child->FindPair("Title")) << "written even when empty";
    SECCustomToolBarInfoEx loaded;
    loaded.m_strTitle = "old";
    ASSERT_TRUE(loaded.LoadFromNode(root));
    EXPECT_EQ(loaded.m_strTitle, "");
    EXPECT_EQ(loaded.EncodeButtons(), saved.EncodeButtons());
    SECPersistentTreeNode* bare = factory.CreateNode("Bare", nullptr);
    EXPECT_FALSE(loaded.LoadFromNode(bare)) << "no ToolBarInfoEx child";
    EXPECT_FALSE(loaded.LoadFromNode(nullptr));

    // The manager's switches: saved as booleans, and the first-start values without a child.
    manager->EnableLargeButtons(TRUE);
    manager->EnableToolTips(FALSE);
    SECPersistentTreeNode* mgrRoot = factory.CreateNode("Frame", nullptr);
    ASSERT_TRUE(manager->SaveToNode(factory, mgrRoot));
    EXPECT_FALSE(manager->SaveToNode(factory, nullptr));
    SECPersistentTreeNode* node = mgrRoot->FindChild("ToolBarMgr");
    ASSERT_TRUE(node);
    BOOL value = -1;
    node->GetBoolValue("LargeButtons", &value, FALSE);
    EXPECT_TRUE(value);
    node->GetBoolValue("ToolTips", &value, TRUE);
    EXPECT_FALSE(value);
    manager->EnableLargeButtons(FALSE);
    manager->EnableToolTips(TRUE);
    ASSERT_TRUE(manager->LoadFromNode(mgrRoot));
    EXPECT_TRUE(manager->IsLargeButtons());
    EXPECT_FALSE(manager->IsToolTips());
    ASSERT_TRUE(manager->LoadFromNode(bare));
    EXPECT_TRUE(manager->IsToolTips());
    EXPECT_TRUE(manager->IsCoolLook());
    EXPECT_FALSE(manager->IsLargeButtons());
    EXPECT_FALSE(manager->LoadFromNode(nullptr));
}

} // namespace
namespace {

// The frame's layout saved with its toolbars and loaded into a frame that has none: the bars come
// back through the manager with their ids, titles and buttons, under the exact profile keys.
TEST_F(SECCustomToolBarInfoExTest, ToolbarsComeBackFromASavedLayout)
{
    const UINT mainIds[] = {ID_TB_ONE, ID_TB_TWO, 0, ID_TB_THREE};
    manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 4, mainIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    manager->InitToolBars();
    SECCustomToolBar* user = manager->CreateUserToolBar();
    ASSERT_TRUE(user);
    user->InsertButton(0, ID_TB_FOUR, FALSE, TRUE);
    frame->DockControlBar(user, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    manager->ToolBarFromID(0xE800)->RemoveButton(1);
    {
        SECDockState state(manager.get());
        state.GetState(frame);
        state.SaveState("Main Toolbar");
    }
    manager->SaveState("Main Toolbar");
    // The toolbar's section: its kind, title and buttons under their names.
    CString mainSection, userSection;
    for (int i = 0; i < 12; ++i) {
        CString section;
        section.Format("Main Toolbar-Bar%d", i);
        const UINT id = app->GetProfileInt(section, "BarID", 0);
        if (id == 0xE800)
            mainSection = section;
        if (id == 0xE820)
            userSection = section;
    }
    ASSERT_FALSE(mainSection.IsEmpty());
    ASSERT_FALSE(userSection.IsEmpty());
    EXPECT_EQ(app->GetProfileInt(mainSection, "TypeID", 0), UINT(SEC_BARTYPE_CUSTOMTOOLBAR));
    EXPECT_EQ(app->GetProfileString(mainSection, "Title", "?"), "Main Toolbar");
    BYTE* raw = nullptr;
    UINT size = 0;
    ASSERT_TRUE(app->GetProfileBinary(mainSection, "Buttons", &raw, &size));
    const std::vector<BYTE> buttons(raw, raw + size);
    delete[] raw;
    EXPECT_EQ(buttons, (std::vector<BYTE>{0x21, 0x1C, 0, 0, 0, 0, 0, 0, 0, 0, 0x23, 0x1C, 0, 0, 0}));

    // Every toolbar gone; the layout makes them again, the manager finds them there.
    for (SECCustomToolBar* bar : manager->GetToolBars())
        bar->DestroyWindow();
    backend->ProcessMessages();
    ASSERT_TRUE(manager->GetToolBars().empty());
    {
        SECDockState state(manager.get());
        state.LoadState("Main Toolbar");
        state.SetState(frame);
    }
    manager->LoadState("Main Toolbar");
    SECCustomToolBar* main = manager->ToolBarFromID(0xE800);
    SECCustomToolBar* back = manager->ToolBarFromID(0xE820);
    ASSERT_TRUE(main && back);
    EXPECT_EQ(Rows(*main), "1-3");
    EXPECT_EQ(Rows(*back), "4");
    CString title;
    back->GetWindowText(title);
    EXPECT_EQ(title, "ToolBar1");
    EXPECT_EQ(main->m_pDockBar, Top());
    EXPECT_EQ(back->m_pDockBar, Bottom());
    EXPECT_EQ(main->GetManager(), manager.get());
}

} // namespace
