// The sheet-tab window on the headless backend: sheets that may refuse a switch, renaming in
// place, the splitter's limits and its share of a resized window, stale tab messages, and a tab
// window made by class name from a template.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/features/CGXTabWnd.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/HeadlessFixture.h"

#include <memory>

namespace {

class TabWndTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new CGXControlFactory);
        hFrame = Make(WS_POPUP | WS_VISIBLE, 0, 0, 900, 400);
        frame.Attach(hFrame);
        tabs = std::make_unique<CGXTabWnd>();
        ASSERT_TRUE(tabs->Create(&frame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 100));
        tabs->MoveWindow(0, 0, 400, 300);
        for (int i = 0; i < 3; ++i) {
            HWND h = Make(WS_CHILD, 0, 0, 10, 10, tabs->GetSafeHwnd());
            sheets[i].Attach(h);
        }
        tabs->AttachWnd(&sheets[0], "A");
        tabs->AttachWnd(&sheets[1], "BB");
        tabs->AttachWnd(&sheets[2], "CCC");
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        tabs->DestroyWindow();
        tabs.reset();
        for (auto& s : sheets)
            s.Detach();
        frame.Detach();
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    // Answers a message to the sheets with a value of the test's choosing.
    void Answer(UINT nMessage, LRESULT value)
    {
        Handler() = [this, nMessage, value](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
            for (auto& s : sheets)
                if (s.GetSafeHwnd() == h && m == nMessage) {
                    r = value;
                    return true;
                }
            return false;
        };
    }
    HWND hFrame = nullptr;
    CWnd frame;
    CWnd sheets[3];
    std::unique_ptr<CGXTabWnd> tabs;
};

TEST_F(TabWndTest, SheetsShowOneAtATimeAndARefusalKeepsTheCurrentSheet)
{
    EXPECT_EQ(tabs->GetActivePane(), &sheets[0]);
    EXPECT_TRUE(sheets[0].IsWindowVisible());
    EXPECT_FALSE(sheets[1].IsWindowVisible());
    EXPECT_EQ(tabs->GetBeam().GetCount(), 3);
    EXPECT_EQ(Of(sheets[2].GetSafeHwnd(), GX_WM_TABATTACHED).at(0).wParam, 2u);
    // The sheet fills the area above the strip and left of the vertical bar, inset by a pixel.
    CRect rc;
    sheets[0].GetWindowRect(&rc);
    tabs->ScreenToClient(&rc);
    EXPECT_EQ(rc, CRect(1, 1, 400 - tabs->m_cxVScroll - 1, 300 - tabs->m_cyStrip - 1));

    Answer(GX_WM_TABCANACTIVATE, 1);
    EXPECT_FALSE(tabs->SwitchTo(&sheets[1]));
    EXPECT_EQ(tabs->GetActivePane(), &sheets[0]);
    EXPECT_TRUE(sheets[0].IsWindowVisible());
    EXPECT_EQ(tabs->GetBeam().GetCurSel(), 0);
    EXPECT_EQ(::GetFocus(), sheets[0].GetSafeHwnd());
    // Through a click on the beam: the beam asks first and the tab stays.
    tabs->GetBeam().SelectTabAt(tabs->GetBeam().GetTabLeft(2) + 9, 5);
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetBeam().GetCurSel(), 0);
    EXPECT_EQ(tabs->GetActivePane(), &sheets[0]);

    Answer(GX_WM_TABCANACTIVATE, 0);
    tabs->GetBeam().SelectTabAt(tabs->GetBeam().GetTabLeft(2) + 9, 5);
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetActivePane(), &sheets[2]);
    EXPECT_TRUE(sheets[2].IsWindowVisible());
    EXPECT_FALSE(sheets[0].IsWindowVisible());
    EXPECT_EQ(tabs->GetBeam().GetCurSel(), 2);
}

TEST_F(TabWndTest, TabMessagesForMissingTabsAreIgnored)
{
    tabs->SendMessage(GX_WM_TABSWITCH, static_cast<WPARAM>(-1), 0);
    tabs->SendMessage(GX_WM_TABSWITCH, 3, 0);
    tabs->SendMessage(GX_WM_TABRENAME, 7, 0);
    EXPECT_EQ(tabs->GetActivePane(), &sheets[0]);
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
    // A switch posted for a tab that is deleted before it arrives does nothing.
    tabs->PostMessage(GX_WM_TABSWITCH, 2, 0);
    tabs->GetBeam().DeleteTab(2);
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetActivePane(), &sheets[0]);
    EXPECT_EQ(tabs->GetBeam().GetCount(), 2);
}

TEST_F(TabWndTest, RenameInPlaceWithEnterEscapeAndFocusLoss)
{
    Answer(GX_WM_TABCANRENAME, 0);
    tabs->SendMessage(GX_WM_TABRENAME, 0, 0);
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);

    Answer(GX_WM_TABCANRENAME, 1);
    const int oldWidth = tabs->GetBeam().GetTab(0).nWidth;
    tabs->PostMessage(GX_WM_TABRENAME, 0, 0);
    backend->ProcessMessages();
    ASSERT_NE(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(::GetFocus(), tabs->GetRenamePopup()->GetSafeHwnd());
    CString text;
    tabs->GetRenamePopup()->GetWindowText(text);
    EXPECT_EQ(text, "A");
    tabs->GetRenamePopup()->SetWindowText("Prices");
    backend->Key(VK_RETURN);
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(tabs->GetTabName(&sheets[0]), "Prices");
    EXPECT_GT(tabs->GetBeam().GetTab(0).nWidth, oldWidth);
    auto renamed = Of(sheets[0].GetSafeHwnd(), GX_WM_TABRENAMED);
    ASSERT_EQ(renamed.size(), 1u);
    EXPECT_EQ(renamed[0].wParam, 0u);

    tabs->SendMessage(GX_WM_TABRENAME, 0, 0);
    ASSERT_NE(tabs->GetRenamePopup(), nullptr);
    tabs->GetRenamePopup()->SetWindowText("Lost");
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(tabs->GetTabName(&sheets[0]), "Prices");

    tabs->SendMessage(GX_WM_TABRENAME, 0, 0);
    ASSERT_NE(tabs->GetRenamePopup(), nullptr);
    tabs->GetRenamePopup()->SetWindowText("Lost too");
    sheets[1].SetFocus();
    backend->ProcessMessages();
    EXPECT_EQ(tabs->GetRenamePopup(), nullptr);
    EXPECT_EQ(tabs->GetTabName(&sheets[0]), "Prices");
    EXPECT_EQ(Of(sheets[0].GetSafeHwnd(), GX_WM_TABRENAMED).size(), 1u);
}

TEST_F(TabWndTest, SplitterKeepsClearOfTheButtonsAndScalesWithTheWindow)
{
    const int min = tabs->GetBeam().m_nButtonAreaWidth + 20;
    EXPECT_EQ(tabs->SplitterMin(), min);
    EXPECT_EQ(tabs->SplitterMax(), 400 - 2 * tabs->m_cyStrip);
    tabs->MoveSplitter(min - 1);
    EXPECT_EQ(tabs->m_nBeamWidth, 200);
    tabs->MoveSplitter(tabs->SplitterMax() + 1);
    EXPECT_EQ(tabs->m_nBeamWidth, 200);

    // Dragged with the mouse: press on the splitter, move, release.
    CPoint press(201, 300 - 5);
    tabs->ClientToScreen(&press);
    ASSERT_EQ(::WindowFromPoint(press), tabs->GetSafeHwnd());
    backend->MouseDown(1, press);
    backend->MouseMove(CPoint(press.x - 100, press.y));
    backend->MouseUp(1, CPoint(press.x - 100, press.y));
    backend->ProcessMessages();
    EXPECT_EQ(tabs->m_nBeamWidth, 101);
    CRect beam;
    tabs->GetBeam().GetWindowRect(&beam);
    EXPECT_EQ(beam.Width(), 103);

    // 400 to 800 pixels wide with a beam of 200 and 32 pixels of buttons: 12 + 188 x 2.
    tabs->MoveSplitter(200);
    ASSERT_EQ(tabs->GetBeam().m_nButtonAreaWidth, 32);
    tabs->MoveWindow(0, 0, 800, 300);
    EXPECT_EQ(tabs->m_nBeamWidth, 388);
    // A wide window does not overflow: beam 3000 of 8000 doubled.
    EXPECT_EQ(CGXTabWnd::ScaleBeamWidth(300000, 32, 8000, 16000), 598800);
}

TEST_F(TabWndTest, TabWindowMadeByClassNameGoesWithItsWindow)
{
    HWND h = ::CreateWindowEx(0, "CGXTabWnd", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, hFrame,
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(77)), nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(CGXTabWnd::GetSelfCreatedCount(), 1u);
    auto* pTabs = dynamic_cast<CGXTabWnd*>(CWnd::FromHandlePermanent(h));
    ASSERT_NE(pTabs, nullptr);
    EXPECT_TRUE(pTabs->m_bAutoDelete);
    pTabs->RecalcLayout();
    EXPECT_NE(pTabs->GetDlgItem(59905), nullptr);
    ::DestroyWindow(h);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(CGXTabWnd::GetSelfCreatedCount(), 0u);
}

} // namespace
