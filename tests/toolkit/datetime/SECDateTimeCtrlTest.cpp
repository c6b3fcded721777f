// The date-time field control on the headless backend: pictures into fields, typing field by
// field with fast input and separator skipping, null-date entry, validation with clamping,
// two-digit years, the 12-hour half, the spin button's repeat, name search, window text and
// the drop-down calendar.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/datetime/DTTestSupport.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

namespace {

class SECDateTimeCtrlTest : public DTTest {
protected:
    template <class Ctrl>
    void Make(Ctrl& ctrl, LPCTSTR picture, DWORD style = SEC_DTS_UPDOWN | SEC_DTS_CALENDAR)
    {
        if (picture)
            ctrl.SetCustomFormat(picture);
        ASSERT_TRUE(ctrl.Create(WS_EX_CLIENTEDGE, style | WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 210, 34), &owner, 153));
        if (picture)
            ctrl.SetCustomFormat(picture);
        ctrl.SetFocus();
        backend->ProcessMessages();
    }
    void Type(const std::string& text)
    {
        for (char c : text) {
            UINT vk = static_cast<UINT>(std::toupper(static_cast<unsigned char>(c)));
            if (c == '/')
                vk = 0xBF;
            else if (c == ':')
                vk = 0xBA;
            backend->Key(vk, std::string(1, c));
        }
        backend->ProcessMessages();
    }
    void Press(UINT vk)
    {
        backend->Key(vk);
        backend->ProcessMessages();
    }
    template <class Ctrl>
    static std::vector<int> Ids(const Ctrl& ctrl)
    {
        std::vector<int> ids;
        for (int i = 0; i < ctrl.GetGadgetCount(); ++i)
            ids.push_back(ctrl.GetGadget(i)->m_id);
        return ids;
    }
    static std::string Text(SECDateTimeCtrl& ctrl)
    {
        char buf[128];
        ctrl.SendMessage(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    // What the fields show, prompts included.
    static std::string Shown(SECDateTimeCtrl& ctrl)
    {
        std::string s;
        for (int i = 0; i < ctrl.GetGadgetCount(); ++i) {
            auto* g = ctrl.GetGadget(i);
            if (g->m_id >= DTID_DROPBUTTON)
                continue;
            CString piece;
            g->GetText(piece);
            if (g->m_flags & SECDTGadget::ShowPrompt) {
                auto* n = dynamic_cast<SECDTNumericGadget*>(g);
                piece = CString('_', n ? n->GetWidth() : 3);
            }
            s += static_cast<LPCTSTR>(piece);
        }
        return s;
    }
};

TEST_F(SECDateTimeCtrlTest, PicturesBecomeFieldsAndLiterals)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 14, 7, 9));
    Make(ctrl, "yyyy/MM/dd");
    // Drop-down and spin buttons first, then the fields in picture order.
    EXPECT_EQ(Ids(ctrl), (std::vector<int>{DTID_DROPBUTTON, DTID_SPINBUTTON, 1024, -1, 128, -1, 32}));
    EXPECT_EQ(Text(ctrl), "2024/03/05");
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXTLENGTH), 10);
    // A buffer of size 0 gets nothing written; a short one a cut text.
    char small[6] = "xxxxx";
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_STREQ(small, "xxxxx");
    EXPECT_EQ(ctrl.SendMessage(WM_GETTEXT, 6, reinterpret_cast<LPARAM>(small)), 5);
    EXPECT_STREQ(small, "2024/");

    // Six d letters: the full day name, then a padded day; an unclosed quote runs to the end.
    ctrl.SetCustomFormat("dddddd' at hh");
    EXPECT_EQ(Ids(ctrl), (std::vector<int>{DTID_DROPBUTTON, DTID_SPINBUTTON, 64, 32, -1}));
    EXPECT_EQ(Text(ctrl), "Tuesday05 at hh");
    ctrl.SetCustomFormat("h:mm:ss tt");
    EXPECT_EQ(Text(ctrl), "2:07:09 PM");
    EXPECT_FALSE(ctrl.PictureHasDateToken());
}

TEST_F(SECDateTimeCtrlTest, TypingFillsFieldsWithFastInputAndSeparatorSkipping)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 0, 0, 0));
    Make(ctrl, "yyyy/MM/dd");
    EXPECT_EQ(ctrl.GetCurrentField(), 2);
    // Typing the separator commits the year and moves on to the month.
    Type("1999/");
    EXPECT_EQ(ctrl.GetCurrentField(), 4);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 1999);
    // Without fast input a full field keeps the focus; with it, the next field takes it.
    Type("12");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 12);
    EXPECT_EQ(ctrl.GetCurrentField(), 4);
    ctrl.SetFastInput(TRUE);
    Type("07");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 7);
    EXPECT_EQ(ctrl.GetCurrentField(), 6);
    // "7" then "1" asks for day 71: refused with a beep, the value stays.
    const size_t before = Beeps();
    Type("71");
    EXPECT_EQ(ctrl.GetDateTime().GetDay(), 5);
    EXPECT_EQ(Beeps() - before, 1u);
    // A single digit is taken when the field loses the focus.
    Type("3");
    Press(VK_LEFT);
    EXPECT_EQ(ctrl.GetDateTime().GetDay(), 3);
    // Up and Down step with wrapping; 31 January stepped a month up lands on 29 February.
    ctrl.SetDateTime(COleDateTime(2024, 1, 31, 0, 0, 0));
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 2, 29, 0, 0, 0));
    Press(VK_HOME);
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 1);
    Press(VK_DOWN);
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 12);
    EXPECT_TRUE(ctrl.IsModified());
    // Every change the user made was reported once to the parent.
    int changes = 0;
    for (UINT code : owner.Codes())
        changes += code == SEC_DTN_CHANGED;
    EXPECT_EQ(changes, 7);
}

TEST_F(SECDateTimeCtrlTest, ANullDateIsEnteredFieldByFieldAndCompletesOnce)
{
    SECDateTimeCtrl ctrl;
    Make(ctrl, "yyyy/MM/dd");
    ctrl.SetNullDate('_');
    EXPECT_EQ(Shown(ctrl), "____/__/__");
    EXPECT_EQ(Text(ctrl), "");
    owner.got.clear();
    Type("2024/");
    Type("3/");
    EXPECT_TRUE(ctrl.IsNullEntry());
    EXPECT_EQ(Shown(ctrl), "2024/03/__");
    EXPECT_TRUE(owner.Codes().empty());
    Type("05");
    Press(VK_LEFT);
    EXPECT_FALSE(ctrl.IsNullEntry());
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{SEC_DTN_CHANGED});
    EXPECT_EQ(Text(ctrl), "2024/03/05");

    // Stepping an empty field takes today's part: the fixed today is 2024-03-15.
    ctrl.SetNullDate('_');
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(ctrl.GetCurrentField(), 2 + 4);
    Press(VK_UP);
    EXPECT_EQ(Shown(ctrl), "____/__/15");
    // A day the month lacks leaves the value invalid until it is mended.
    ctrl.SetNullDate('_');
    ctrl.SetCurrentField(2);
    Type("2023/2/31");
    Press(VK_LEFT);
    EXPECT_TRUE(ctrl.IsNullEntry());
    EXPECT_EQ(ctrl.GetDateTime().GetStatus(), COleDateTime::invalid);
}

TEST_F(SECDateTimeCtrlTest, ValidationClampsTheFieldsBelowTheEditedOne)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(1999, 7, 1, 0, 0, 0));
    Make(ctrl, "yyyy/MM/dd");
    ASSERT_TRUE(ctrl.SetMinMax(COleDateTime(1990, 1, 1, 0, 0, 0), COleDateTime(2000, 6, 15, 0, 0, 0), 2));
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2000, 6, 15, 0, 0, 0));
    ctrl.SetDateTime(COleDateTime(1999, 5, 1, 0, 0, 0));
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2000, 5, 1, 0, 0, 0));
    // Up to June is inside; July is past the maximum and its month differs from the bound's:
    // refused, nothing clamped.
    Press(VK_RIGHT);
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2000, 6, 1, 0, 0, 0));
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2000, 6, 1, 0, 0, 0));
    // The year field refuses to go below 100 or above 9999 by clamping.
    SECDateTimeCtrl wide;
    wide.SetDateTime(COleDateTime(101, 1, 1, 0, 0, 0));
    Make(wide, "yyyy/MM/dd");
    wide.GadgetNotify(DTACT_SPIN_DOWN, 1024, 5);
    EXPECT_EQ(wide.GetDateTime().GetYear(), 100);

    // A time range that crosses midnight is no range once the dates are dropped.
    EXPECT_FALSE(ctrl.SetMinMax(COleDateTime(2024, 1, 1, 18, 0, 0), COleDateTime(2024, 1, 2, 6, 0, 0), 1));
    EXPECT_EQ(ctrl.GetValidationMode(), 2);
    EXPECT_TRUE(ctrl.SetMinMax(COleDateTime(2024, 1, 1, 6, 0, 0), COleDateTime(2023, 1, 2, 18, 0, 0), 1));
    EXPECT_TRUE(ctrl.IsValidDate(COleDateTime(1950, 5, 5, 12, 0, 0)));
    EXPECT_FALSE(ctrl.IsValidDate(COleDateTime(1950, 5, 5, 19, 0, 0)));
}

TEST_F(SECDateTimeCtrlTest, TwoDigitYearsAndTheTwelveHourHalf)
{
    SECDateTimeCtrl ctrl;
    EXPECT_EQ(ctrl.GetCentury(2024, 74), 2000);
    EXPECT_EQ(ctrl.GetCentury(2024, 75), 1900);
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 15, 0, 0));
    Make(ctrl, "yy/MM/dd hh:mm tt");
    ctrl.SetFastInput(TRUE);
    Type("74");
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2074);
    ctrl.SetCurrentField(2);
    Type("75");
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 1975);
    // The hour typed into a 12-hour field keeps the value's half: 4 at 15:00 is 16:00.
    ctrl.SetCurrentField(8);
    Type("04");
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 16);
    ctrl.SetCurrentField(8);
    Type("12");
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 12);
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 9, 0, 0));
    ctrl.SetCurrentField(8);
    Type("12");
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 0);
    // The AM/PM field switches the half.
    ctrl.SetCurrentField(12);
    Press(VK_UP);
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 12);
}

TEST_F(SECDateTimeCtrlTest, TheSpinButtonRepeatsFasterTheLongerItIsHeld)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2000, 1, 1, 10, 0, 0));
    Make(ctrl, "yyyy HH MM");
    auto* spin = dynamic_cast<SECDTSpinGadget*>(ctrl.GetGadget(1));
    ASSERT_NE(spin, nullptr);
    const CRect r = spin->m_rect;
    const POINT up = At(ctrl.m_hWnd, r.left + 4, r.top + 2);
    backend->MouseDown(1, up);
    backend->ProcessMessages();
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2001);
    backend->Advance(499);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2001);
    backend->Advance(1);   // the first repeat after 500 ms
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2002);
    backend->Advance(1900);   // 19 more repeats of one, every 100 ms
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2021);
    backend->Advance(100);   // the 21st repeat steps by two
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2023);
    backend->Advance(2900);   // repeats 22..50
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2081);
    backend->Advance(100);   // from the 51st on: five
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2086);
    backend->MouseUp(1, up);
    backend->ProcessMessages();
    backend->Advance(1000);
    EXPECT_EQ(ctrl.GetDateTime().GetYear(), 2086);
    EXPECT_EQ(SECDTGadget::MappedTimerCount(), 0u);
    // A step of five moves an hour by two and a month by one.
    ctrl.SetCurrentField(4);
    ctrl.GadgetNotify(DTACT_SPIN_UP, DTID_SPINBUTTON, 5);
    EXPECT_EQ(ctrl.GetDateTime().GetHour(), 12);
    ctrl.SetCurrentField(6);
    ctrl.GadgetNotify(DTACT_SPIN_UP, DTID_SPINBUTTON, 5);
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 2);
}

TEST_F(SECDateTimeCtrlTest, NamesAreFoundByTypingAndTheSearchEndsAfterTwoSeconds)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2024, 12, 5, 0, 0, 0));
    Make(ctrl, "MMMM");
    Type("j");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 1);
    Type("J");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 6);
    Type("j");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 7);
    backend->Advance(2000);
    Type("ju");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 6);
    Type("n");
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 6);
    // No name starts so: a beep, and the search starts over.
    const size_t before = Beeps();
    Type("x");
    EXPECT_EQ(Beeps() - before, 1u);
    EXPECT_EQ(ctrl.GetDateTime().GetMonth(), 6);
    // Restarting a gadget's timer never leaves a second one behind, nor one past its end.
    const size_t running = SECDTGadget::MappedTimerCount();
    {
        SECDTListGadget g;
        g.StartTimer(2000);
        g.StartTimer(2000);
        EXPECT_EQ(SECDTGadget::MappedTimerCount(), running + 1);
    }
    EXPECT_EQ(SECDTGadget::MappedTimerCount(), running);
    backend->Advance(2000);
    EXPECT_EQ(SECDTGadget::MappedTimerCount(), 0u);
}

TEST_F(SECDateTimeCtrlTest, TheDropDownCalendarSetsTheDayAndKeepsTheTime)
{
    SECDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 14, 30, 0));
    Make(ctrl, "yyyy/MM/dd HH:mm");
    Press(VK_F4);
    ASSERT_NE(ctrl.GetPopupCalendar(), nullptr);
    EXPECT_TRUE(ctrl.GetPopupCalendar()->IsWindowVisible());
    owner.got.clear();
    Press(VK_RIGHT);
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_EQ(ctrl.GetPopupCalendar(), nullptr);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 13, 14, 30, 0));
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{SEC_DTN_CHANGED});
    // Escape closes it without a change; without the calendar style F4 does nothing.
    ctrl.SetFocus();
    backend->KeyDown(VK_MENU);
    Press(VK_DOWN);
    backend->KeyUp(VK_MENU);
    ASSERT_NE(ctrl.GetPopupCalendar(), nullptr);
    Press(VK_ESCAPE);
    EXPECT_EQ(ctrl.GetPopupCalendar(), nullptr);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 13, 14, 30, 0));
    // A press on the bare desktop closes it without taking the day moved to.
    ctrl.SetFocus();
    Press(VK_F4);
    ASSERT_NE(ctrl.GetPopupCalendar(), nullptr);
    Press(VK_RIGHT);
    backend->Click(1, POINT{::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3});
    backend->ProcessMessages();
    EXPECT_EQ(ctrl.GetPopupCalendar(), nullptr);
    EXPECT_EQ(ctrl.GetDateTime(), COleDateTime(2024, 3, 13, 14, 30, 0));
    SECDateTimeCtrl plain;
    Make(plain, "yyyy", SEC_DTS_UPDOWN);
    Press(VK_F4);
    EXPECT_EQ(plain.GetPopupCalendar(), nullptr);
}

TEST_F(SECDateTimeCtrlTest, TheGridTwinTabsBetweenFieldsAndNotifiesChangesWith0x100)
{
    CGXBDateTimeCtrl ctrl;
    ctrl.SetDateTime(COleDateTime(2024, 3, 5, 0, 0, 0));
    Make(ctrl, "yyyy/MM/dd");
    EXPECT_TRUE(ctrl.GetFastInput());
    EXPECT_TRUE(ctrl.IsFirstEditableField());
    owner.got.clear();
    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_TRUE(ctrl.IsLastEditableField());
    Press(VK_TAB);
    EXPECT_TRUE(ctrl.IsLastEditableField());
    Type("9");
    Press(VK_LEFT);
    EXPECT_EQ(ctrl.GetDateTime().GetDay(), 9);
    EXPECT_EQ(owner.Codes(), std::vector<UINT>{SEC_DTN_SETFOCUS});
    EXPECT_TRUE(ctrl.PictureHasDateToken());
}

}   // namespace
