// SECToolBar over the toolbar control: wrapping and both fittings against a brute-force search,
// buttons written back only when they change, the separator gap by control version, layouts
// per dock side, images, and command-UI updates.
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/wnd/MessageMap.h"
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/toolbars/SECToolBar.h"

#include <algorithm>
#include <random>

namespace {

TBBUTTON Btn(int id, BYTE style = TBSTYLE_BUTTON, int image = 0)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = style;
    return b;
}

TBBUTTON Sep(int width, int id = 0)
{
    return Btn(id, TBSTYLE_SEP, width);
}

std::string Wraps(const std::vector<TBBUTTON>& buttons)
{
    std::string text;
    for (const TBBUTTON& b : buttons) {
        text += (b.fsStyle & TBSTYLE_SEP) ? (b.idCommand ? 'c' : '-') : 'b';
        if (b.fsState & TBSTATE_WRAP)
            text += '|';
    }
    return text;
}

// A bar that counts the deletions and insertions reaching its control, and can pretend to
// run over another control version.
class CountingToolBar : public SECToolBar {
public:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == TB_DELETEBUTTON)
            ++deletes;
        if (message == TB_INSERTBUTTON)
            ++inserts;
        return SECToolBar::DefWindowProc(message, wParam, lParam);
    }
    static void PretendVersion(DWORD version) { s_dwComCtlVersion = version; }
    // The bar answers for command 13 itself: checked and enabled, whatever the frame says.
    void OnUpdateOwn(CCmdUI* pCmdUI)
    {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetCheck(1);
    }
    int deletes = 0;
    int inserts = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingToolBar, SECToolBar)
    ON_UPDATE_COMMAND_UI(13, &CountingToolBar::OnUpdateOwn)
END_MESSAGE_MAP()

} // namespace

class SECToolBarTest : public ToolkitDockingTest {
protected:
    void SetUp() override
    {
        ToolkitDockingTest::SetUp();
        bar = std::make_unique<CountingToolBar>();
        ASSERT_TRUE(bar->Create(frame, "Tools", WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, 0, 0xE801));
    }
    void TearDown() override
    {
        CountingToolBar::PretendVersion(0);
        bar.reset();
        ToolkitDockingTest::TearDown();
    }
    void Add(const std::vector<TBBUTTON>& buttons)
    {
        ASSERT_TRUE(bar->SendMessage(TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
    }
    std::vector<TBBUTTON> ControlButtons()
    {
        std::vector<TBBUTTON> out(static_cast<size_t>(bar->SendMessage(TB_BUTTONCOUNT)));
        for (size_t i = 0; i < out.size(); ++i)
            bar->SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&out[i]));
        return out;
    }
    std::unique_ptr<CountingToolBar> bar;
};

TEST_F(SECToolBarTest, WrapsAtPlainSeparatorsAndBothFittingsMatchABruteForceSearch)
{
    // Buttons of 23 in 100: the third row-breaker wraps back to the separator before it; the
    // next row passes over the separator that hosts a control and breaks after a button.
    std::vector<TBBUTTON> row = {Btn(1), Btn(2), Sep(8), Btn(3), Btn(4), Sep(40, 77), Btn(5)};
    EXPECT_EQ(bar->WrapToolBar(row.data(), static_cast<int>(row.size()), 100), 3);
    EXPECT_EQ(Wraps(row), "bb-|bb|cb");
    EXPECT_EQ(bar->WrapToolBar(row.data(), static_cast<int>(row.size()), 32767), 1);
    EXPECT_EQ(Wraps(row), "bb-bbcb") << "wrap bits cleared first";
    std::vector<TBBUTTON> plain = {Btn(1), Btn(2), Btn(3)};
    EXPECT_EQ(bar->WrapToolBar(plain.data(), 3, 50), 2);
    EXPECT_EQ(Wraps(plain), "bb|b") << "no separator: the last button before wraps";
    EXPECT_EQ(bar->WrapToolBar(plain.data(), 3, 0), 3);

    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<TBBUTTON> buttons;
        const int n = 2 + static_cast<int>(random() % 14);
        for (int i = 0; i < n; ++i) {
            const unsigned kind = random() % 6;
            buttons.push_back(kind == 0 ? Sep(6 + static_cast<int>(random() % 10))
                              : kind == 1 && i % 5 == 0 ? Sep(30, 900 + i)
                                                        : Btn(100 + i));
        }
        const int count = n;
        auto rows = [&](int w) {
            std::vector<TBBUTTON> copy = buttons;
            return bar->WrapToolBar(copy.data(), count, w);
        };

        // Across: the narrowest width keeping the rows that a given length gives.
        const int length = 20 + static_cast<int>(random() % 300);
        std::vector<TBBUTTON> fitted = buttons;
        bar->SizeToolBar(fitted.data(), count, length, FALSE);
        int best = 0;
        while (rows(best) > rows(length))
            ++best;
        std::vector<TBBUTTON> expected = buttons;
        bar->WrapToolBar(expected.data(), count, best);
        bar->WrapToolBar(expected.data(), count, bar->CalcSize(expected.data(), count).cx);
        EXPECT_EQ(Wraps(fitted), Wraps(expected)) << "round " << round << " length " << length;

        // Down: the narrowest width whose height stays within the length.
        const int tall = 22 + static_cast<int>(random() % 250);
        std::vector<TBBUTTON> vert = buttons;
        bar->SizeToolBar(vert.data(), count, tall, TRUE);
        std::vector<TBBUTTON> widest = buttons;
        bar->WrapToolBar(widest.data(), count, 32767);
        const int maxWidth = bar->CalcSize(widest.data(), count).cx;
        // The narrowest bar over every wrap width that keeps within the height; the single
        // row when none does.
        int narrowest = maxWidth;
        bool any = false;
        for (int w = 0; w <= maxWidth; ++w) {
            std::vector<TBBUTTON> copy = buttons;
            bar->WrapToolBar(copy.data(), count, w);
            const CSize size = bar->CalcSize(copy.data(), count);
            if (size.cy <= tall) {
                any = true;
                narrowest = std::min<int>(narrowest, size.cx);
            }
        }
        const CSize got = bar->CalcSize(vert.data(), count);
        EXPECT_EQ(got.cx, narrowest) << "round " << round << " height " << tall << " " << Wraps(vert);
        if (any)
            EXPECT_LE(got.cy, tall) << "round " << round;
        else
        {
            const std::string wraps = Wraps(vert);
            EXPECT_EQ(rows(32767), 1 + static_cast<int>(std::count(wraps.begin(), wraps.end(), '|')));
        }
    }
    std::vector<TBBUTTON> none;
    bar->SizeToolBar(none.data(), 0, 100, TRUE); // nothing to fit, nothing touched
}

TEST_F(SECToolBarTest, WrappingSeparatorGapIsTwoThirdsExceptAtVersionFourSeventyOne)
{
    std::vector<TBBUTTON> two = {Btn(1), Sep(9), Btn(2)};
    two[1].fsState |= TBSTATE_WRAP;
    EXPECT_EQ(bar->CalcSize(two.data(), 3), CSize(23, 22 + 6 + 22));
    CountingToolBar::PretendVersion(0x40047);
    EXPECT_EQ(bar->CalcSize(two.data(), 3), CSize(23, 22 + 9 + 22)) << "that version's own gap";
    CountingToolBar::PretendVersion(0x40048);
    EXPECT_EQ(bar->CalcSize(two.data(), 3).cy, 22 + 6 + 22);
    bar->ModifyStyle(0, TBSTYLE_FLAT);
    EXPECT_EQ(bar->CalcSize(two.data(), 3).cy, 22 + 9 + 22) << "a flat bar keeps the whole width";
    // A drop-down button with drawn arrows is wider by the arrow.
    std::vector<TBBUTTON> drop = {Btn(1, TBSTYLE_DROPDOWN)};
    EXPECT_EQ(bar->CalcSize(drop.data(), 1).cx, 23);
    bar->SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    EXPECT_EQ(bar->CalcSize(drop.data(), 1).cx, 23 + SECToolBar::GetDropDownWidth());
}

TEST_F(SECToolBarTest, ButtonStyleWritesBackOnlyAChangeAndCommandUiMapsOntoStates)
{
    Add({Btn(11), Sep(8), Btn(12), Btn(13)});
    EXPECT_EQ(bar->GetButtonStyle(0), 0u) << "enabled reads as no disabled bit";
    EXPECT_EQ(bar->GetItemID(2), 12u);
    EXPECT_EQ(bar->GetItemID(9), 0u);
    bar->m_bDelayedButtonLayout = FALSE;
    bar->SetButtonStyle(0, 0);
    bar->SetButtonStyle(1, TBSTYLE_SEP);
    EXPECT_EQ(bar->deletes + bar->inserts, 0) << "an unchanged button is not re-inserted";
    EXPECT_FALSE(bar->m_bDelayedButtonLayout);

    bar->SetButtonStyle(2, TBBS_DISABLED);
    EXPECT_EQ(bar->deletes, 1);
    EXPECT_EQ(bar->inserts, 1);
    EXPECT_TRUE(bar->m_bDelayedButtonLayout);
    EXPECT_FALSE(bar->SendMessage(TB_ISBUTTONENABLED, 12));
    EXPECT_EQ(bar->GetButtonStyle(2), static_cast<UINT>(TBBS_DISABLED));
    EXPECT_EQ(bar->SendMessage(TB_BUTTONCOUNT), 4) << "deleted and inserted in place";
    EXPECT_EQ(bar->GetItemID(2), 12u);
    EXPECT_TRUE(bar->GetStyle() & WS_VISIBLE) << "visibility restored";

    SECToolCmdUI ui;
    ui.m_pOther = bar.get();
    ui.m_nIndex = 3;
    ui.m_nID = 13;
    ui.SetCheck(1);
    EXPECT_EQ(bar->GetButtonStyle(3), static_cast<UINT>(TBBS_CHECKED | TBBS_CHECKBOX));
    ui.SetCheck(2);
    EXPECT_EQ(bar->GetButtonStyle(3), static_cast<UINT>(TBBS_INDETERMINATE | TBBS_CHECKBOX));
    ui.SetCheck(0);
    EXPECT_EQ(bar->GetButtonStyle(3), static_cast<UINT>(TBBS_CHECKBOX));
    ui.Enable(FALSE);
    EXPECT_FALSE(bar->SendMessage(TB_ISBUTTONENABLED, 13));
    const int writes = bar->inserts;
    ui.Enable(FALSE);
    EXPECT_EQ(bar->inserts, writes) << "the same state again changes nothing";
    ui.Enable(TRUE);
    EXPECT_TRUE(bar->SendMessage(TB_ISBUTTONENABLED, 13));

    // Idle updates: the frame handles none of the commands, so with auto-disable they gray,
    // except the one the bar answers for itself; the separator is left alone.
    frame->m_bAutoMenuEnable = TRUE;
    bar->OnUpdateCmdUI(frame, TRUE);
    EXPECT_FALSE(bar->SendMessage(TB_ISBUTTONENABLED, 11));
    EXPECT_TRUE(bar->SendMessage(TB_ISBUTTONENABLED, 13));
    EXPECT_TRUE(bar->SendMessage(TB_ISBUTTONCHECKED, 13));
    EXPECT_EQ(bar->GetButtonStyle(1), static_cast<UINT>(TBSTYLE_SEP));
}

TEST_F(SECToolBarTest, LayoutsPerSideImagesSizesAndTips)
{
    Add({Btn(21, TBSTYLE_BUTTON, 0), Btn(22, TBSTYLE_BUTTON, 1), Sep(8), Btn(23, TBSTYLE_BUTTON, 2)});
    CRect inside(0, 0, 0, 0);
    bar->CalcInsideRect(inside, TRUE);
    const CSize horz = bar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    EXPECT_EQ(horz, CSize(23 * 3 + 8 - inside.Width(), 22 - inside.Height()));
    EXPECT_FALSE(bar->m_bDirtyHorz);
    EXPECT_EQ(bar->m_szHorz, horz);
    CRect vInside(0, 0, 0, 0);
    bar->CalcInsideRect(vInside, FALSE);
    const CSize vert = bar->CalcDynamicLayout(-1, LM_VERTDOCK);
    EXPECT_EQ(vert, CSize(23 - vInside.Width(), 22 * 3 + 8 * 2 / 3 - vInside.Height()))
        << "a button per row, the separator a row gap";
    EXPECT_EQ(Wraps(ControlButtons()), "b|b-|b") << "the control holds the vertical wrap";
    EXPECT_EQ(bar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), horz) << "kept while clean";
    // Floating, the bar lies in one row at the remembered width, two pixels lower: the mini
    // frame's border stands in for its own.
    const CSize floating = bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    EXPECT_EQ(floating, CSize(horz.cx, horz.cy - 2));
    EXPECT_FALSE(bar->m_bDirtyFloat);
    EXPECT_EQ(bar->m_szFloat, floating);

    // Sizes sent to the bar reach the control, are remembered, and leave the style as it was.
    const DWORD style = bar->GetStyle();
    EXPECT_TRUE(bar->SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(30, 28)));
    EXPECT_EQ(bar->m_sizeButton, CSize(30, 28));
    EXPECT_EQ(bar->GetStyle(), style);
    EXPECT_TRUE(bar->m_bDirtyHorz);
    bar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    CRect item;
    bar->GetItemRect(3, &item);
    EXPECT_EQ(item, CRect(68, 0, 98, 28));
    bar->GetItemRect(7, &item);
    EXPECT_TRUE(item.IsRectEmpty());

    TOOLINFO ti{};
    EXPECT_EQ(bar->OnToolHitTest(CPoint(45, 5), &ti), 22);
    EXPECT_EQ(ti.lpszText, LPSTR_TEXTCALLBACK);
    EXPECT_EQ(bar->OnToolHitTest(CPoint(64, 5), nullptr), -1) << "a separator gives no tip";

    // The first strip is added, the next replaces it and the old one is deleted.
    HDC screen = ::GetDC(nullptr);
    HBITMAP first = ::CreateCompatibleBitmap(screen, 48, 15);
    HBITMAP second = ::CreateCompatibleBitmap(screen, 48, 15);
    ::ReleaseDC(nullptr, screen);
    EXPECT_FALSE(bar->SetImageBitmap(nullptr));
    ASSERT_TRUE(bar->SetImageBitmap(first));
    ASSERT_TRUE(bar->SetImageBitmap(second));
    EXPECT_EQ(bar->m_hbmImageWell, second);
    BITMAP info{};
    EXPECT_EQ(::GetObject(first, sizeof(info), &info), 0) << "the replaced strip is freed";
}

TEST_F(SECToolBarTest, AControlOnASeparatorMovesWithItsSeparatorWhenTheRowsChange)
{
    Add({Btn(31), Sep(40, 77), Btn(32)});
    bar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    CRect sep;
    bar->GetItemRect(1, &sep);
    ASSERT_EQ(sep, CRect(23, 0, 63, 22));
    HWND child = ::CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE, sep.left + 2, sep.top + 1, 36, 20, bar->m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(77)), nullptr, nullptr);
    ASSERT_TRUE(child);
    // Along a side the buttons stack; the separator hosting the control never breaks a row,
    // so it leads the second row, and the control keeps its offset inside it and its size.
    bar->CalcDynamicLayout(-1, LM_VERTDOCK);
    EXPECT_EQ(Wraps(ControlButtons()), "b|cb");
    bar->GetItemRect(1, &sep);
    EXPECT_EQ(sep.TopLeft(), CPoint(0, 22));
    CRect placed;
    ::GetWindowRect(child, &placed);
    bar->ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(2, 23, 38, 43));
}
