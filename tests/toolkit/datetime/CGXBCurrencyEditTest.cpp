// The currency edit on the headless backend: digits typed into the formatted text with the
// caret kept beside them, Delete and Backspace, the sign, undo and redo, the selection
// messages, the clipboard, the context menu's graying and the drop-down calculator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/afx/AfxRes.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/EditDefs.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "tests/toolkit/RefusedCreation.h"
#include "tests/toolkit/datetime/DTTestSupport.h"
#include "toolkit/datetime/wnd/CGXBCalculator.h"
#include "toolkit/datetime/wnd/CGXBCurrencyEdit.h"
#include "toolkit/res/DateTimeRes.h"

namespace {

class CGXBCurrencyEditTest : public DTTest {
protected:
    void SetUp() override
    {
        DTTest::SetUp();
        ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 10, 190, 32), &owner, 21));
        edit.SetFocus();
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        edit.DestroyWindow();
        DTTest::TearDown();
    }
    void Type(const std::string& keys)
    {
        for (char c : keys)
            backend->Key(c == '-' ? VK_SUBTRACT : static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))),
                         std::string(1, c));
        backend->ProcessMessages();
    }
    void Press(UINT vk)
    {
        backend->Key(vk);
        backend->ProcessMessages();
    }
    std::string Text() { return static_cast<LPCTSTR>(edit.GetText()); }
    CGXBCurrencyEdit edit;
};

TEST_F(CGXBCurrencyEditTest, DigitsTypedIntoTheFormattedTextKeepTheCaretBesideThem)
{
    EXPECT_EQ(Text(), "$0.00");
    // Focus selected everything with the caret at the end, past the number's last digit:
    // a digit there has no place.
    edit.SetSel(-1, 0);
    Type("5");
    EXPECT_EQ(Text(), "$0.00");
    Press(VK_HOME);
    Type("5");
    EXPECT_EQ(Text(), "$5.00");
    EXPECT_EQ(edit.GetCaret(), 2);
    Type("1234");
    EXPECT_EQ(Text(), "$51,234.00");
    EXPECT_EQ(edit.GetCaret(), 7);
    // The decimal separator jumps into the fraction, whose digits are overwritten.
    Type(".7");
    EXPECT_EQ(Text(), "$51,234.70");
    EXPECT_EQ(edit.GetCaret(), 9);
    Type("99");   // the fraction keeps two digits: the second 9 has no place
    EXPECT_EQ(Text(), "$51,234.79");
    double value = 0;
    edit.GetValue(value);
    EXPECT_DOUBLE_EQ(value, 51234.79);
    int changes = 0;
    for (UINT code : owner.Codes())
        changes += code == GXCUR_EN_CHANGE;
    EXPECT_EQ(changes, 7);
}

TEST_F(CGXBCurrencyEditTest, DeleteBackspaceAndTheSignEditTheNumberOnly)
{
    edit.SetValue(1234.5);
    EXPECT_EQ(Text(), "$1,234.50");
    edit.SetSel(-1, 0);
    // Backspace before the number's first digit does nothing; after it, removes a digit.
    edit.SetCaretPosition(1, FALSE);
    Press(VK_BACK);
    EXPECT_EQ(Text(), "$1,234.50");
    edit.SetCaretPosition(3, FALSE);
    Press(VK_BACK);
    EXPECT_EQ(Text(), "$234.50");
    // Delete in the fraction zeroes the digit and steps over it.
    edit.SetCaretPosition(5, FALSE);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), "$234.00");
    // '-' twice gives the first text back; the negative pattern brackets the number.
    Type("-");
    EXPECT_EQ(Text(), "($234.00)");
    EXPECT_TRUE(edit.IsNegative());
    // Delete before ")" finds no digit at or after the caret: nothing happens.
    edit.SetCaretPosition(8, FALSE);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), "($234.00)");
    Type("-");
    EXPECT_EQ(Text(), "$234.00");
    // Deleting the only digit leaves "0", the caret before the decimal separator.
    edit.SetValue(7);
    edit.SetCaretPosition(1, FALSE);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), "$0.00");
    EXPECT_EQ(edit.GetCaret(), 2);
    // With everything selected and a symbol outside the number, '-' makes it negative.
    edit.SetValue(-3);
    edit.SelectAll();
    Type("-");
    EXPECT_TRUE(edit.IsNegative());
    EXPECT_TRUE(edit.HasSelection());
}

TEST_F(CGXBCurrencyEditTest, UndoRedoesAndTheSelectionMessagesAnswerAsAnEditDoes)
{
    edit.SetValue(12);
    edit.SetValue(12);   // the same value again records nothing new
    edit.SetValue(30);
    edit.SendMessage(EM_UNDO);
    EXPECT_EQ(Text(), "$12.00");
    edit.SendMessage(EM_UNDO);
    EXPECT_EQ(Text(), "$30.00");
    EXPECT_TRUE(edit.SendMessage(EM_CANUNDO));
    edit.SendMessage(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(edit.SendMessage(EM_CANUNDO));

    DWORD start = 7, end = 7;
    edit.SetSel(-1, 0);
    EXPECT_EQ(edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)),
              MAKELONG(0xFFFF, 0));
    EXPECT_EQ(start, static_cast<DWORD>(-1));
    EXPECT_EQ(end, 0u);
    edit.SelectAll();
    EXPECT_EQ(edit.SendMessage(EM_GETSEL), MAKELONG(0, 0xFFFF));
    EXPECT_FALSE(edit.SetSel(2, 40));
    EXPECT_TRUE(edit.SetSel(1, 3));
    EXPECT_EQ(edit.SendMessage(EM_GETSEL), MAKELONG(1, 3));

    // Read-only: typing and undo change nothing.
    edit.SendMessage(EM_SETREADONLY, TRUE);
    edit.SetSel(-1, 0);
    Type("9");
    EXPECT_EQ(Text(), "$30.00");
    // An unparsable text is not taken.
    edit.SendMessage(EM_SETREADONLY, FALSE);
    EXPECT_FALSE(edit.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1.2.3")));
    EXPECT_EQ(Text(), "$30.00");
    EXPECT_TRUE(edit.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("(1,234.5)")));
    EXPECT_EQ(Text(), "($1,234.50)");
}

TEST_F(CGXBCurrencyEditTest, TheClipboardTakesDigitsOnlyAndRefusesJunk)
{
    edit.SetValue(10);
    edit.SelectAll();
    edit.SendMessage(WM_COPY);
    EXPECT_EQ(Clipboard(), "$10.00");
    // A partial selection takes only the pasted text's digits.
    SetClipboard("$1,234.56");
    edit.SetSel(1, 3);
    edit.SendMessage(WM_PASTE);
    EXPECT_EQ(Text(), "$123,456.00");
    // A million digits or binary junk change nothing.
    SetClipboard(std::string(1 << 20, '7'));
    edit.SelectAll();
    edit.SendMessage(WM_PASTE);
    EXPECT_EQ(Text(), "$123,456.00");
    SetClipboard("\x01\x02\xff\xfe");
    edit.SelectAll();
    edit.SendMessage(WM_PASTE);
    EXPECT_EQ(Text(), "$123,456.00");
    // Cut copies the selection and deletes it.
    edit.SetSel(1, 4);
    edit.SendMessage(WM_CUT);
    EXPECT_EQ(Clipboard(), "123");
    EXPECT_EQ(Text(), "$456.00");
}

TEST_F(CGXBCurrencyEditTest, TheContextMenuGraysWhatCannotRun)
{
    edit.SetValue(5);
    edit.SetSel(-1, 0);
    edit.SendMessage(EM_EMPTYUNDOBUFFER);
    SetClipboard("abc");
    CMenu* menu = edit.CreateContextMenu();
    EXPECT_EQ(menu->GetMenuItemCount(), 8u);
    auto grayed = [&](UINT id) { return (menu->GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    EXPECT_TRUE(grayed(ID_EDIT_UNDO));
    EXPECT_TRUE(grayed(ID_EDIT_CUT));
    EXPECT_TRUE(grayed(ID_EDIT_COPY));
    EXPECT_TRUE(grayed(ID_EDIT_PASTE));
    EXPECT_FALSE(grayed(ID_EDIT_SELECT_ALL));
    edit.DestroyContextMenu(menu);
    SetClipboard("$2.50");
    edit.SelectAll();
    edit.SetValue(6);
    menu = edit.CreateContextMenu();
    EXPECT_FALSE(grayed(ID_EDIT_UNDO));
    EXPECT_FALSE(grayed(ID_EDIT_COPY));
    EXPECT_FALSE(grayed(ID_EDIT_PASTE));
    edit.DestroyContextMenu(menu);
}

TEST_F(CGXBCurrencyEditTest, TheButtonOpensTheCalculatorWithTheValue)
{
    // Without a bitmap there is no button, but F4 still asks for the calculator; F2 does not.
    EXPECT_EQ(edit.HasButton(), nullptr);
    edit.SetValue(-12.5);
    edit.SetFocus();
    Press(VK_F2);
    EXPECT_EQ(::GetFocus(), edit.m_hWnd) << "F2 opens the calculator only from a button";
    Press(VK_F4);
    HWND pop = ::GetFocus();
    ASSERT_NE(pop, edit.m_hWnd) << "F4 without a button";
    auto* calc = dynamic_cast<CGXBPopupCalculator*>(CWnd::FromHandlePermanent(pop));
    ASSERT_NE(calc, nullptr);
    EXPECT_STREQ(calc->GetDisplayText(), "-12.5");
    Press(VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(pop));
    EXPECT_EQ(edit.HasButton(), nullptr);

    // An id that cannot be loaded leaves no button; the calculator's bitmap gives one.
    EXPECT_TRUE(edit.SetButtonBitmap(54321));
    EXPECT_EQ(edit.GetButtonBitmapID(), 0u);
    edit.SetButtonBitmap(GX_IDB_CALCBUTTON);
    ASSERT_NE(edit.HasButton(), nullptr);
    CRect client, window;
    edit.GetClientRect(&client);
    edit.GetWindowRect(&window);
    EXPECT_LT(client.Width(), window.Width() - edit.ButtonWidth() + 1);
    edit.SetFocus();
    Press(VK_F2);
    pop = ::GetFocus();
    ASSERT_NE(pop, edit.m_hWnd) << "F2 with the button";
    calc = dynamic_cast<CGXBPopupCalculator*>(CWnd::FromHandlePermanent(pop));
    ASSERT_NE(calc, nullptr);
    EXPECT_STREQ(calc->GetDisplayText(), "-12.5");
    Press(VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(pop));
    double value = 0;
    edit.GetValue(value);
    EXPECT_DOUBLE_EQ(value, -12.5);
}

TEST_F(CGXBCurrencyEditTest, ACalculatorThatCannotBeMadeIsDeletedOnceAndTheEditGoesOn)
{
    edit.SetButtonBitmap(GX_IDB_CALCBUTTON);
    edit.SetValue(7.25);
    {
        RefusedCreation refuse(RefusedCreation::PopUps());
        ASSERT_TRUE(refuse.IsInstalled());
        RefusedCreation::Refused() = 0;
        EXPECT_FALSE(edit.ShowCalculator());
        EXPECT_EQ(RefusedCreation::Refused(), 1);
        // F4 asks again, with the same outcome.
        Press(VK_F4);
        EXPECT_EQ(RefusedCreation::Refused(), 2);
    }
    EXPECT_EQ(::GetFocus(), edit.m_hWnd);
    double value = 0;
    edit.GetValue(value);
    EXPECT_DOUBLE_EQ(value, 7.25);
    // And once windows can be made again the calculator opens as usual.
    ASSERT_TRUE(edit.ShowCalculator());
    auto* calc = dynamic_cast<CGXBPopupCalculator*>(CWnd::FromHandlePermanent(::GetFocus()));
    ASSERT_NE(calc, nullptr);
    Press(VK_ESCAPE);
}

}   // namespace
