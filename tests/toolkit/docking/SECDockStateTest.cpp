// Saved docking layouts: the profile form with its exact sections, keys and types, values a
// damaged profile gives (negative sizes and shares, counts beyond the sections, placements of
// the wrong size), bars that are gone or must be made again, the tree form, the archive form
// against bytes written by hand, and stale bar references cleaned before saving.
#include "platform/afx/app/CWinApp.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/docking/SECDialogBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECPersistentTreeNode.h"
#include "toolkit/frames/SECFrameWnd.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr UINT kDialogTemplate = 30700;

class DockStateTest : public AfxTest {
protected:
    void SetUp() override
    {
        env.emplace("XDG_CONFIG_HOME", config.Path());
        app.emplace("ToolkitDockingTest");
        app->SetRegistryKey("Wexmoor\\ToolkitDockingTest");
        AfxTest::SetUp();
        ASSERT_TRUE(frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 400)));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        a = Pane(0xE901, CBRS_ALIGN_TOP);
        b = Pane(0xE902, CBRS_ALIGN_TOP);
        frame->DockControlBarEx(a, SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_TOP, SECDockSize{0.5f, 80, 0});
        frame->DockControlBarEx(b, SECDockPos{0, 5, 0}, AFX_IDW_DOCKBAR_TOP, SECDockSize{0.5f, 80, 0});
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (frame->m_hWnd)
            frame->DestroyWindow();
        AfxTest::TearDown();
        app.reset();
        env.reset();
    }
    SECControlBar* Pane(UINT id, DWORD align)
    {
        auto* bar = new SECControlBar;
        bar->m_bAutoDelete = TRUE;
        EXPECT_TRUE(bar->Create(frame, "pane", WS_VISIBLE | align | CBRS_SIZE_DYNAMIC, 0xF10, id));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        return bar;
    }
    int Int(LPCTSTR section, LPCTSTR key) { return static_cast<int>(app->GetProfileInt(section, key, 12345)); }
    CString Str(LPCTSTR section, LPCTSTR key) { return app->GetProfileString(section, key, "<none>"); }
    CString SectionOf(LPCTSTR name, UINT id)
    {
        CString summary;
        summary.Format("%s-Summary", name);
        for (int i = 0; i < Int(summary, "Bars"); ++i) {
            CString section;
            section.Format("%s-Bar%d", name, i);
            if (Int(section, "BarID") == static_cast<int>(id))
                return section;
        }
        return CString();
    }

    ScopedTempDir config;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
    SECFrameWnd* frame = new SECFrameWnd;
    SECControlBar* a = nullptr;
    SECControlBar* b = nullptr;
};

} // namespace

TEST_F(DockStateTest, TheProfileFormHasTheToolkitKeysInTheirTypesAndSkipsEmptySides)
{
    a->m_szFloat = CSize(210, 120);
    frame->SaveBarState("Main Toolbar");
    // The top side and its two bars; the three empty sides are not written.
    EXPECT_EQ(Int("Main Toolbar-Summary", "Bars"), 3);
    EXPECT_EQ(SectionOf("Main Toolbar", AFX_IDW_DOCKBAR_LEFT), CString());
    const CString section = SectionOf("Main Toolbar", 0xE901);
    ASSERT_NE(section, CString());
    EXPECT_EQ(Str(section, "PctWidth"), CString("500000")) << "the share in millionths, as text";
    EXPECT_EQ(Int(section, "ExStyle"), 0xF10);
    EXPECT_EQ(Int(section, "Style") & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);
    EXPECT_EQ(Int(section, "MRUFloatCX"), 210);
    EXPECT_EQ(Int(section, "MRUFloatCY"), 120);
    EXPECT_EQ(Int(section, "MRUHorzDockCY"), 80);
    EXPECT_EQ(Int(section, "DockingStyle"), CBRS_ALIGN_ANY);
    EXPECT_EQ(Int(section, "MDIChild"), 0);
    EXPECT_EQ(Int(section, "MDIChildWindowPlacement"), 12345) << "no placement without the MDI-child flag";
    EXPECT_EQ(Str(section, "ClassName"), CString("SECControlBar"));
    EXPECT_EQ(Str(section, "WindowName"), CString("pane"));
    EXPECT_EQ(Int(section, "TypeID"), 0);

    // Read back into a new state object: the same values.
    SECDockState state;
    state.LoadState("Main Toolbar");
    ASSERT_EQ(state.m_arrBarInfo.GetSize(), 3);
    SECControlBarInfo* info = nullptr;
    for (INT_PTR i = 0; i < 3; ++i)
        if (state.GetInfo(i)->m_nBarID == 0xE901)
            info = state.GetInfo(i);
    ASSERT_NE(info, nullptr);
    EXPECT_FLOAT_EQ(info->m_fPctWidth, 0.5f);
    EXPECT_EQ(info->m_szFloat, CSize(210, 120));
    EXPECT_EQ(info->m_strClassName, CString("SECControlBar"));
}

TEST_F(DockStateTest, DamagedValuesAreReadSafely)
{
    // Two sections, a summary that claims a billion bars.
    app->WriteProfileInt("Bad-Summary", "Bars", 1000000000);
    for (int i = 0; i < 2; ++i) {
        CString section;
        section.Format("Bad-Bar%d", i);
        app->WriteProfileInt(section, "BarID", 0xE901 + i);
        app->WriteProfileInt(section, "Bars", 2000000000);   // a row list that long is not there
        app->WriteProfileInt(section, "Bar#0", 0);
        app->WriteProfileString(section, "PctWidth", "-3");
        app->WriteProfileInt(section, "MRUFloatCX", -5);
        app->WriteProfileInt(section, "MDIChild", 1);
    }
    // A placement 20 bytes long, and one of the right size whose length field is wrong.
    BYTE shortPlacement[20] = {44};
    app->WriteProfileBinary("Bad-Bar0", "MDIChildWindowPlacement", shortPlacement, sizeof shortPlacement);
    SECWindowPlacement44 wrong{};
    wrong.length = 12;
    wrong.rcNormalPosition = RECT{1, 2, 3, 4};
    app->WriteProfileBinary("Bad-Bar1", "MDIChildWindowPlacement", reinterpret_cast<LPBYTE>(&wrong), sizeof wrong);

    SECDockState state;
    state.LoadState("Bad");
    ASSERT_EQ(state.m_arrBarInfo.GetSize(), 2) << "no more records than sections";
    for (INT_PTR i = 0; i < 2; ++i) {
        SECControlBarInfo* info = state.GetInfo(i);
        EXPECT_EQ(info->m_fPctWidth, 0.0f) << "a negative share is read as 0";
        EXPECT_EQ(info->m_szFloat.cx, 0) << "a negative size is read as 0";
        EXPECT_EQ(info->m_arrBarID.GetSize(), 1) << "only the ids the section holds";
        EXPECT_EQ(info->m_wp.length, 0u) << "a placement is taken whole and exact or not at all";
        EXPECT_EQ(info->m_wp.rcNormalPosition.right, 0);
    }

    // A profile without any summary: an empty layout and a screen of 0 x 0.
    SECDockState none;
    none.LoadState("Nothing");
    EXPECT_EQ(none.m_arrBarInfo.GetSize(), 0);
    EXPECT_EQ(none.GetScreenSize(), CSize(0, 0));
}

TEST_F(DockStateTest, AMissingBarIsDroppedAndADialogBarIsMadeAgainFromItsTemplate)
{
    auto* dialogBar = new SECDialogBar;
    dialogBar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(dialogBar->Create(frame, kDialogTemplate, CBRS_LEFT, 0, 0xE903));
    EXPECT_FALSE(dialogBar->GetStyle() & WS_CAPTION) << "the template's caption is gone";
    EXPECT_FALSE(dialogBar->GetStyle() & WS_VISIBLE) << "made without WS_VISIBLE it stays hidden";
    EXPECT_EQ(dialogBar->m_szHorz, dialogBar->m_sizeDefault);
    EXPECT_EQ(dialogBar->m_szFloat, dialogBar->m_sizeDefault);
    ASSERT_NE(dialogBar->GetChildLayout(), nullptr) << "the controls keep their proportions from the start";
    dialogBar->SetWindowText("Dialog");
    dialogBar->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(dialogBar, AFX_IDW_DOCKBAR_LEFT);
    frame->ShowControlBar(dialogBar, TRUE, FALSE);
    frame->RecalcLayout();
    frame->SaveBarState("Layout");
    // A bar of a class nobody knows, in the same layout.
    const int bars = Int("Layout-Summary", "Bars");
    CString stranger;
    stranger.Format("Layout-Bar%d", bars);
    app->WriteProfileInt(stranger, "BarID", 0xE950);
    app->WriteProfileString(stranger, "ClassName", "NoSuchBarClass");
    app->WriteProfileInt("Layout-Summary", "Bars", bars + 1);

    dialogBar->DestroyWindow();
    ASSERT_EQ(frame->GetControlBar(0xE903), nullptr);
    SECDockState state;
    state.LoadState("Layout");
    const INT_PTR loaded = state.m_arrBarInfo.GetSize();
    state.SetState(frame);
    EXPECT_EQ(state.m_arrBarInfo.GetSize(), loaded - 1) << "the unknown bar leaves the layout";
    CControlBar* again = frame->GetControlBar(0xE903);
    ASSERT_NE(again, nullptr) << "the dialog bar is made again";
    EXPECT_TRUE(again->IsKindOf(RUNTIME_CLASS(SECDialogBar)));
    CString text;
    again->GetWindowText(text);
    EXPECT_EQ(text, CString("Dialog"));
    EXPECT_EQ(again->m_dwDockStyle, static_cast<DWORD>(CBRS_ALIGN_ANY));
    EXPECT_NE(::GetDlgItem(again->m_hWnd, 30701), nullptr) << "with the template's controls";
    EXPECT_EQ(frame->m_listCreatedBars.GetCount(), 1);
}

TEST_F(DockStateTest, TheTreeFormWritesOnlyWhatDiffersFromTheDefaults)
{
    SECDockState state;
    ASSERT_TRUE(state.GetState(frame));
    SECPTNFactory factory;
    SECPersistentTreeNode* root = factory.CreateNode("Frame", nullptr);
    EXPECT_FALSE(state.SaveToNode(factory, nullptr));
    ASSERT_TRUE(state.SaveToNode(factory, root));
    SECPersistentTreeNode* dock = root->FindChild("DockState");
    ASSERT_NE(dock, nullptr);
    int bars = 0;
    dock->GetValue("Bars", &bars, 0);
    EXPECT_EQ(bars, 3) << "empty sides are not saved";
    // The top side: docked, visible, at (-1, -1) with the default width.
    SECPersistentTreeNode* side = dock->FindChild("Bar-0");
    ASSERT_NE(side, nullptr);
    CString text;
    EXPECT_EQ(side->GetValue("XPos", text), SEC_PTN_KEY_NOT_FOUND);
    EXPECT_EQ(side->GetValue("YPos", text), SEC_PTN_KEY_NOT_FOUND);
    EXPECT_EQ(side->GetValue("MRUWidth", text), SEC_PTN_KEY_NOT_FOUND);
    EXPECT_EQ(side->GetValue("Visible", text), SEC_PTN_KEY_NOT_FOUND);
    EXPECT_EQ(side->GetValue("MDIChild", text), 0);
    EXPECT_EQ(text, CString("False"));

    SECDockState back;
    ASSERT_TRUE(back.LoadFromNode(root));
    ASSERT_EQ(back.m_arrBarInfo.GetSize(), 3);
    EXPECT_EQ(back.GetInfo(0)->m_nBarID, static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(back.GetInfo(0)->m_arrBarID.GetSize(), state.GetInfo(0)->m_arrBarID.GetSize());
    // Without its "DockState" node the tree gives nothing.
    SECPersistentTreeNode* bare = factory.CreateNode("Bare", nullptr);
    EXPECT_FALSE(back.LoadFromNode(bare));
}

TEST(SECDockStateArchiveTest, OneBarMatchesBytesWrittenByHand)
{
    SECDockState state;
    auto* info = new SECControlBarInfo;
    info->m_nBarID = 0xE901;
    info->m_bVisible = TRUE;
    info->m_pointPos = CPoint(5, 6);
    info->m_bDocking = FALSE;
    info->m_dwStyle = 0x2204;
    info->m_dwExStyle = 0xF10;
    info->m_fPctWidth = 0.25f;
    info->m_szFloat = CSize(1, 2);
    info->m_szHorz = CSize(3, 4);
    info->m_szVert = CSize(5, 6);
    info->m_dwDockStyle = 0xF000;
    info->m_arrBarID.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(0x10007)));
    state.m_arrBarInfo.Add(info);

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        state.Serialize(ar);
    }
    std::vector<BYTE> expected;
    const auto dword = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            expected.push_back(static_cast<BYTE>(v >> (8 * i)));
    };
    const auto word = [&](std::uint16_t v) {
        expected.push_back(static_cast<BYTE>(v));
        expected.push_back(static_cast<BYTE>(v >> 8));
    };
    dword(2);                                  // version
    dword(static_cast<std::uint32_t>(::GetSystemMetrics(SM_CXSCREEN)));
    dword(static_cast<std::uint32_t>(::GetSystemMetrics(SM_CYSCREEN)));
    word(1);                                   // one bar
    for (std::uint32_t v : {0xE901u, 1u, 0u, 1u, 5u, 6u, 32767u, 0u})
        dword(v);                              // id, visible, floating, horizontal, x, y, MRU width, docking
    for (std::uint32_t v : {0x2204u, 0xF10u, 0u, 0u})
        dword(v);                              // style, extended style, previous floating, MDI child
    expected.push_back(6);                     // the share as a string: "250000"
    for (char c : std::string("250000"))
        expected.push_back(static_cast<BYTE>(c));
    for (std::uint32_t v : {1u, 2u, 3u, 4u, 5u, 6u, 0u, 0xF000u, 0u})
        dword(v);                              // sizes, MRU docking state, docking style, type id
    word(1);
    dword(0x10007);
    const ULONGLONG length = file.GetLength();
    BYTE* bytes = file.Detach();
    ASSERT_EQ(length, expected.size());
    EXPECT_EQ(std::memcmp(bytes, expected.data(), expected.size()), 0);

    // Loading the same bytes gives the bar back; a truncated archive throws and loses nothing
    // of a state that is not read into.
    CMemFile in(bytes, static_cast<UINT>(length));
    SECDockState loaded;
    {
        CArchive ar(&in, CArchive::load);
        loaded.Serialize(ar);
    }
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 1);
    EXPECT_EQ(loaded.GetInfo(0)->m_nBarID, 0xE901u);
    EXPECT_FLOAT_EQ(loaded.GetInfo(0)->m_fPctWidth, 0.25f);
    EXPECT_EQ(loaded.GetInfo(0)->m_szVert, CSize(5, 6));
    EXPECT_EQ(loaded.GetInfo(0)->m_arrBarID.GetSize(), 1);

    CMemFile cut(bytes, static_cast<UINT>(length - 3));
    SECDockState partial;
    bool threw = false;
    try {
        CArchive ar(&cut, CArchive::load);
        partial.Serialize(ar);
    } catch (CException* e) {
        threw = true;
        e->Delete();
    }
    EXPECT_TRUE(threw);
    free(bytes);
}

TEST(SECDockStateArchiveTest, CleanBarIdsDropsStaleAndRepeatedPlaces)
{
    SECDockState state;
    auto* side = new SECControlBarInfo;   // a side whose rows name bar 7 twice, a stale place of bar 8
    side->m_nBarID = AFX_IDW_DOCKBAR_TOP;
    for (UINT_PTR id : {0, 7, 0x10008, 0, 7, 0, 0})
        side->m_arrBarID.Add(reinterpret_cast<void*>(id));
    auto* bar8 = new SECControlBarInfo;   // bar 8 remembers another side
    bar8->m_nBarID = 8;
    bar8->m_uMRUDockID = AFX_IDW_DOCKBAR_BOTTOM;
    state.m_arrBarInfo.Add(side);
    state.m_arrBarInfo.Add(bar8);
    state.CleanBarIDs();
    std::vector<UINT_PTR> ids;
    for (INT_PTR i = 0; i < side->m_arrBarID.GetSize(); ++i)
        ids.push_back(reinterpret_cast<UINT_PTR>(side->m_arrBarID[i]));
    EXPECT_EQ(ids, (std::vector<UINT_PTR>{0, 7, 0})) << "the ids, then one closing 0";
}
