// The calculator window and its pop-up on the headless backend: keys and clicks through the
// buttons, the display text, the pop-up handing its result to its owner once and deleting
// itself once, whichever way it closes.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/datetime/DTTestSupport.h"
#include "toolkit/datetime/wnd/CGXBCalculator.h"

namespace {

class CGXBCalculatorTest : public DTTest {
protected:
    void Type(const std::string& keys)
    {
        for (char c : keys) {
            if (c == '\n')
                backend->Key(VK_RETURN, "\r");
            else
                backend->Key(static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))), std::string(1, c));
        }
        backend->ProcessMessages();
    }
    // Opens a pop-up under an anchor in the owner, as the currency edit does.
    CGXBPopupCalculator* Open(double value)
    {
        auto* pop = new CGXBPopupCalculator;
        pop->SetValue(value < 0 ? -value : value);
        pop->m_bAutoDelete = TRUE;
        CRect anchor(10, 10, 150, 30);
        owner.ClientToScreen(&anchor);
        if (!pop->Create(WS_POPUP | WS_VISIBLE | GXCALC_STYLE_SENDONEQUALS, anchor, &owner)) {
            delete pop;
            return nullptr;
        }
        pop->SetOwner(&owner);
        pop->SetValue(value);
        backend->ProcessMessages();
        return pop;
    }
    static bool Alive(HWND hwnd) { return ::IsWindow(hwnd) != FALSE; }
};

TEST_F(CGXBCalculatorTest, KeysPressTheButtonsAndTheDisplayFollows)
{
    CGXBCalculator calc;
    ASSERT_TRUE(calc.Create(0, WS_CHILD | WS_VISIBLE | GXCALC_STYLE_RAISED, 10, 10, &owner, 7));
    calc.SetFocus();
    ASSERT_EQ(calc.GetButtonCount(), 20);
    // The "0" is two units wide, "Enter" four, and Enter's row starts under "0".
    EXPECT_EQ(calc.FindButton(GXCALC_DIGIT0)->m_rect.Width(), 2 * calc.FindButton(GXCALC_POINT)->m_rect.Width());
    EXPECT_EQ(calc.FindButton(GXCALC_EQUALS)->m_rect.left, calc.FindButton(GXCALC_DIGIT0)->m_rect.left);
    EXPECT_STREQ(calc.FindButton(GXCALC_EQUALS)->m_strLabel, "Enter");
    EXPECT_EQ(calc.GetDisplayRect().right, calc.FindButton(GXCALC_PERCENT)->m_rect.right);

    Type("2+3*4\n");
    EXPECT_STREQ(calc.GetDisplayText(), "20.");
    Type("c200*10%");
    EXPECT_STREQ(calc.GetDisplayText(), "20.");
    EXPECT_EQ(calc.GetEngine().GetPendingOp(), 0u);
    Type("c0");
    EXPECT_STREQ(calc.GetDisplayText(), "0.");
    Type(".");
    EXPECT_STREQ(calc.GetEngine().GetEntry(), "0.");
    Type("c1/3=");
    const std::string third = static_cast<LPCTSTR>(calc.GetDisplayText());
    EXPECT_EQ(third.rfind("0.333", 0), 0u);
    EXPECT_NE(third.back(), '0');
    // Division by zero: "Error ", then only C and CE work.
    const size_t before = Beeps();
    Type("5/0=");
    EXPECT_STREQ(calc.GetDisplayText(), "Error ");
    Type("7");
    EXPECT_EQ(Beeps() - before, 1u);
    Type("e");
    EXPECT_STREQ(calc.GetDisplayText(), "0.");
    // Delete is the "<-" key.
    Type("123");
    backend->Key(VK_DELETE);
    backend->ProcessMessages();
    EXPECT_STREQ(calc.GetDisplayText(), "12.");

    // A click on a button runs it; a press moved off before the release runs nothing.
    const CRect seven = calc.FindButton(GXCALC_DIGIT0 + 7)->m_rect;
    backend->Click(1, At(calc.m_hWnd, seven.CenterPoint().x, seven.CenterPoint().y));
    backend->ProcessMessages();
    EXPECT_STREQ(calc.GetDisplayText(), "127.");
    backend->MouseDown(1, At(calc.m_hWnd, seven.CenterPoint().x, seven.CenterPoint().y));
    backend->MouseMove(At(calc.m_hWnd, 1, 1));
    backend->MouseUp(1, At(calc.m_hWnd, 1, 1));
    backend->ProcessMessages();
    EXPECT_STREQ(calc.GetDisplayText(), "127.");
    EXPECT_FALSE(calc.FindButton(GXCALC_DIGIT0 + 7)->IsPressed());
}

TEST_F(CGXBCalculatorTest, ThePopupHandsItsResultToItsOwnerAndDeletesItself)
{
    CGXBPopupCalculator* pop = Open(20.5);
    ASSERT_NE(pop, nullptr);
    const HWND hwnd = pop->m_hWnd;
    EXPECT_STREQ(pop->GetDisplayText(), "20.5");
    CRect rc, anchor(10, 10, 150, 30);
    owner.ClientToScreen(&anchor);
    pop->GetWindowRect(&rc);
    EXPECT_EQ(rc.TopLeft(), CPoint(anchor.left, anchor.bottom));
    Type("*2\n");
    EXPECT_FALSE(Alive(hwnd));
    ASSERT_EQ(owner.texts.size(), 1u);
    EXPECT_EQ(owner.texts[0], "41.");   // the entry as the display shows it

    // Escape: nothing sent, gone.
    pop = Open(3);
    ASSERT_NE(pop, nullptr);
    const HWND second = pop->m_hWnd;
    Type("+1");
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    EXPECT_FALSE(Alive(second));
    EXPECT_EQ(owner.texts.size(), 1u);

    // The focus going elsewhere (a click outside) closes it without a result.
    pop = Open(8);
    ASSERT_NE(pop, nullptr);
    const HWND third = pop->m_hWnd;
    owner.SetFocus();
    backend->ProcessMessages();
    EXPECT_FALSE(Alive(third));
    EXPECT_EQ(owner.texts.size(), 1u);

    // Equals while "Error " is shown sends nothing but still closes.
    pop = Open(1);
    ASSERT_NE(pop, nullptr);
    const HWND fourth = pop->m_hWnd;
    Type("/0=");
    EXPECT_FALSE(Alive(fourth));
    EXPECT_EQ(owner.texts.size(), 1u);

    // Alt+Down takes the value like Enter.
    pop = Open(-4);
    ASSERT_NE(pop, nullptr);
    backend->KeyDown(VK_MENU);
    backend->Key(VK_DOWN);
    backend->KeyUp(VK_MENU);
    backend->ProcessMessages();
    ASSERT_EQ(owner.texts.size(), 2u);
    EXPECT_EQ(owner.texts[1], "-4.");
}

TEST_F(CGXBCalculatorTest, ThePopupOpensAboveAnAnchorNearTheBottomOfTheScreen)
{
    const SIZE screen{1024, 768};
    const SIZE size{120, 140};
    EXPECT_EQ(CGXBPopupCalculator::PlaceBeside(CRect(100, 100, 200, 120), size, screen), CPoint(100, 120));
    EXPECT_EQ(CGXBPopupCalculator::PlaceBeside(CRect(100, 700, 200, 720), size, screen), CPoint(100, 560));
    EXPECT_EQ(CGXBPopupCalculator::PlaceBeside(CRect(950, 100, 1000, 120), size, screen), CPoint(880, 120));
}

}   // namespace
