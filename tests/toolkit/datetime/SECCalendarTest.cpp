// The month calendar on the headless backend: the grid of days, highlighting by keys and mouse
// across month and year edges, the owner's notifications, the ends of the date range, the grid
// twin's paging, and the pop-up's placement and deactivation.
#include <gtest/gtest.h>

#include "tests/toolkit/datetime/DTTestSupport.h"
#include "toolkit/datetime/wnd/SECCalendar.h"

namespace {

class SECCalendarTest : public DTTest {
protected:
    template <class Cal>
    void Make(Cal& cal, int y, int m, int d)
    {
        cal.SelectDate(COleDateTime(y, m, d, 0, 0, 0), FALSE);
        ASSERT_TRUE(cal.Create(WS_VISIBLE | WS_BORDER, CRect(0, 0, 280, 240), &owner, 5));
        backend->ProcessMessages();
    }
    template <class Cal>
    static COleDateTime Highlighted(Cal& cal)
    {
        return cal.GetHighlightedDayBox() ? cal.GetHighlightedDayBox()->GetDate() : COleDateTime();
    }
    void Press(UINT vk, bool ctrl = false)
    {
        if (ctrl)
            backend->KeyDown(VK_CONTROL);
        backend->Key(vk);
        if (ctrl)
            backend->KeyUp(VK_CONTROL);
        backend->ProcessMessages();
    }
};

TEST_F(SECCalendarTest, TheGridStartsOnSundayForMonthsStartingOnEveryWeekday)
{
    SECCalendar cal;
    Make(cal, 2024, 1, 10);
    // 2023-10 starts on Sunday, 2024-01 on Monday ... 2024-06 on Saturday.
    const int months[7][2] = {{2023, 10}, {2024, 1}, {2023, 8}, {2024, 5}, {2024, 2}, {2024, 3}, {2024, 6}};
    for (int dow = 0; dow < 7; ++dow) {
        ASSERT_TRUE(cal.SelectDate(COleDateTime(months[dow][0], months[dow][1], 20, 0, 0, 0), FALSE));
        EXPECT_EQ(cal.GetDayBox(dow).GetDate().GetDay(), 1) << months[dow][1];
        EXPECT_FALSE(cal.GetDayBox(dow).IsOutside());
        if (dow > 0) {
            EXPECT_TRUE(cal.GetDayBox(dow - 1).IsOutside());
        }
        EXPECT_EQ(cal.GetDayBox(0).GetDate().GetDayOfWeek(), 1);
    }
    // October 2023 from cell 0: the last six weeks reach 11 days into November.
    cal.SelectDate(COleDateTime(2023, 10, 1, 0, 0, 0), FALSE);
    EXPECT_EQ(cal.GetDayBox(41).GetDate().GetMonth(), 11);
    EXPECT_EQ(cal.GetDayBox(41).GetDate().GetDay(), 11);
    EXPECT_TRUE(cal.GetDayBox(41).IsOutside());
    // The title names the month and year.
    EXPECT_STREQ(cal.GetTitle().GetText(), "October 2023");
}

TEST_F(SECCalendarTest, KeysMoveTheHighlightAcrossMonthAndYearEdgesAndNotifyInOrder)
{
    SECCalendar cal;
    Make(cal, 2023, 12, 31);
    cal.HighlightDate(COleDateTime(2023, 12, 31, 0, 0, 0), TRUE);
    backend->ProcessMessages();
    owner.got.clear();
    Press(VK_RIGHT);
    EXPECT_EQ(Highlighted(cal), COleDateTime(2024, 1, 1, 12, 0, 0));
    EXPECT_EQ(cal.GetDisplayDate().GetMonth(), 1);
    // Off for the old day's cell (it is gone with the page), on for the new one.
    ASSERT_FALSE(owner.got.empty());
    EXPECT_EQ(owner.got.back().message, 0x600u);
    EXPECT_EQ(owner.got.back().wParam, 1u);
    EXPECT_EQ(reinterpret_cast<SECDayBox*>(owner.got.back().lParam)->GetDate().GetDay(), 1);

    // Ctrl+Right from 31 January lands on 1 February; 29 February plus a year on 28 February.
    cal.HighlightDate(COleDateTime(2024, 1, 31, 0, 0, 0), TRUE);
    Press(VK_RIGHT, true);
    EXPECT_EQ(Highlighted(cal), COleDateTime(2024, 2, 1, 12, 0, 0));
    cal.HighlightDate(COleDateTime(2024, 2, 29, 0, 0, 0), TRUE);
    Press(VK_DOWN, true);
    EXPECT_EQ(Highlighted(cal).GetYear(), 2025);
    EXPECT_EQ(Highlighted(cal).GetMonth(), 2);
    EXPECT_EQ(Highlighted(cal).GetDay(), 28);
    // Up goes a week back across the year edge; Home and End take the month's ends.
    // A day that no cell shows highlights nothing until its month is shown.
    cal.HighlightDate(COleDateTime(2025, 1, 3, 0, 0, 0), TRUE);
    EXPECT_EQ(Highlighted(cal).GetMonth(), 2);
    cal.SelectDate(COleDateTime(2025, 1, 3, 0, 0, 0), FALSE);
    cal.HighlightDate(COleDateTime(2025, 1, 3, 0, 0, 0), TRUE);
    Press(VK_UP);
    EXPECT_EQ(Highlighted(cal), COleDateTime(2024, 12, 27, 12, 0, 0));
    Press(VK_END);
    EXPECT_EQ(Highlighted(cal).GetDay(), 31);
    Press(VK_HOME);
    EXPECT_EQ(Highlighted(cal).GetDay(), 1);

    // Enter closes with OK: posted to the owner, the calendar hidden.
    owner.got.clear();
    Press(VK_RETURN);
    EXPECT_EQ(owner.Messages(), std::vector<UINT>{0x602u});
    EXPECT_FALSE(cal.IsWindowVisible());
}

TEST_F(SECCalendarTest, ReturnWithoutAHighlightedDayCancelsAndMarksAreKeptOnce)
{
    SECCalendar cal;
    Make(cal, 2024, 5, 1);
    owner.got.clear();
    Press(VK_RETURN);
    EXPECT_EQ(owner.Messages(), std::vector<UINT>{0x603u});

    const COleDateTime day(2024, 5, 9, 8, 0, 0);
    cal.MarkDate(day, TRUE);
    cal.MarkDate(day, TRUE);
    cal.MarkDate(COleDateTime(2024, 5, 2, 0, 0, 0), TRUE);
    EXPECT_EQ(cal.m_marked.size(), 2u);
    EXPECT_TRUE(cal.IsMarked(COleDateTime(2024, 5, 9, 23, 0, 0)));
    EXPECT_LT(static_cast<DATE>(cal.m_marked.front()), static_cast<DATE>(cal.m_marked.back()));
    cal.MarkDate(day, FALSE);
    EXPECT_FALSE(cal.IsMarked(day));
    EXPECT_EQ(cal.m_marked.size(), 1u);
    // A day of another month cannot show the marked state.
    EXPECT_FALSE(cal.GetDayBox(0).SetMarked(TRUE, FALSE));
    EXPECT_FALSE(cal.GetDayBox(0).IsMarked());
}

TEST_F(SECCalendarTest, TheEndsOfTheDateRangeBeepInsteadOfLeavingIt)
{
    SECCalendar cal;
    Make(cal, 9990, 6, 15);
    cal.HighlightDate(COleDateTime(9990, 6, 15, 0, 0, 0), TRUE);
    // Ctrl+Down held: a year at a time up to 9999, then refused with a beep, never a hang.
    backend->KeyDown(VK_CONTROL);
    for (int i = 0; i < 15; ++i)
        backend->KeyDown(VK_DOWN);
    backend->KeyUp(VK_DOWN);
    backend->KeyUp(VK_CONTROL);
    const size_t before = Beeps();
    backend->ProcessMessages();
    EXPECT_EQ(Highlighted(cal).GetYear(), 9999);
    EXPECT_GE(Beeps() - before, 5u);
    // The days after 9999-12-31 stay empty and take no clicks; ">" and ">>" beep.
    ASSERT_TRUE(cal.SelectDate(COleDateTime(9999, 12, 1, 0, 0, 0), TRUE));
    EXPECT_TRUE(cal.GetDayBox(41).IsEmpty());
    const size_t b2 = Beeps();
    EXPECT_FALSE(cal.NextMonth(FALSE));
    EXPECT_FALSE(cal.NextYear(FALSE));
    EXPECT_EQ(Beeps() - b2, 2u);
    EXPECT_EQ(cal.GetDisplayDate().GetMonth(), 12);
    cal.HighlightDate(COleDateTime(9999, 12, 31, 0, 0, 0), TRUE);
    EXPECT_FALSE(cal.NextDay(TRUE));
    Press(VK_END);
    EXPECT_EQ(Highlighted(cal), COleDateTime(9999, 12, 31, 12, 0, 0));
    // And the first page: 0100-01-01 is a Friday, the cells before it are empty.
    ASSERT_TRUE(cal.SelectDate(COleDateTime(100, 1, 1, 0, 0, 0), FALSE));
    EXPECT_TRUE(cal.GetDayBox(0).IsEmpty());
    EXPECT_EQ(cal.GetDayBox(5).GetDate().GetDay(), 1);
    EXPECT_FALSE(cal.PrevMonth(FALSE));
}

TEST_F(SECCalendarTest, TheGridTwinForgetsAFocusCellThatPagingLeftBehind)
{
    CGXBCalendar cal;
    Make(cal, 2024, 3, 10);
    cal.HighlightDate(COleDateTime(2024, 3, 10, 0, 0, 0), TRUE);
    backend->ProcessMessages();
    ASSERT_TRUE(cal.NextMonth(FALSE));   // the title's ">" button
    EXPECT_EQ(cal.GetDisplayDate().GetMonth(), 4);
    EXPECT_EQ(cal.GetHighlightedDayBox(), nullptr);
    owner.got.clear();
    Press(VK_RETURN);
    EXPECT_EQ(owner.Messages(), std::vector<UINT>{0x7D8u});
    // The toolkit's calendar highlights the day that took the focus cell's place instead.
    SECCalendar tk;
    Make(tk, 2024, 3, 10);
    tk.HighlightDate(COleDateTime(2024, 3, 10, 0, 0, 0), TRUE);
    ASSERT_TRUE(tk.NextMonth(FALSE));
    ASSERT_NE(tk.GetHighlightedDayBox(), nullptr);
    EXPECT_TRUE(tk.GetHighlightedDayBox()->IsPressed());
    EXPECT_EQ(tk.GetHighlightedDayBox()->GetDate().GetMonth(), 4);
    // The twin works in the years 1400 to 2400 only.
    const size_t before = Beeps();
    EXPECT_FALSE(cal.SelectDate(COleDateTime(2401, 1, 1, 0, 0, 0), FALSE));
    EXPECT_FALSE(cal.SelectDate(COleDateTime(1399, 12, 31, 0, 0, 0), FALSE));
    EXPECT_EQ(Beeps() - before, 2u);
}

TEST_F(SECCalendarTest, TheGridTwinReachesEveryDayOfItsRangeAndNotOneBeyond)
{
    CGXBCalendar cal;
    Make(cal, 2400, 11, 1);
    const size_t before = Beeps();
    // The last days of November and every day of December 2400 are inside the range.
    for (int day = 28; day <= 30; ++day)
        EXPECT_TRUE(cal.SelectDate(COleDateTime(2400, 11, day, 0, 0, 0), FALSE)) << "November " << day;
    for (int day = 1; day <= 31; ++day)
        EXPECT_TRUE(cal.SelectDate(COleDateTime(2400, 12, day, 0, 0, 0), FALSE)) << "December " << day;
    EXPECT_TRUE(cal.SelectDate(COleDateTime(1400, 1, 1, 0, 0, 0), FALSE));
    EXPECT_EQ(Beeps(), before);
    // The highlight walks day by day to the last day; the next day and the next month beep.
    ASSERT_TRUE(cal.SelectDate(COleDateTime(2400, 12, 20, 0, 0, 0), FALSE));
    cal.HighlightDate(COleDateTime(2400, 12, 20, 0, 0, 0), TRUE);
    for (int i = 0; i < 11; ++i)
        ASSERT_TRUE(cal.NextDay(TRUE)) << "to December " << 21 + i;
    EXPECT_EQ(Highlighted(cal), COleDateTime(2400, 12, 31, 12, 0, 0));
    EXPECT_FALSE(cal.NextDay(TRUE));
    EXPECT_FALSE(cal.NextMonth(FALSE));
    EXPECT_FALSE(cal.NextYear(FALSE));
    EXPECT_EQ(Beeps() - before, 3u);
    EXPECT_EQ(cal.GetDisplayDate().GetMonth(), 12);
    EXPECT_EQ(Highlighted(cal), COleDateTime(2400, 12, 31, 12, 0, 0));
    // And at the other end: nothing before 1400-01-01.
    ASSERT_TRUE(cal.SelectDate(COleDateTime(1400, 1, 1, 0, 0, 0), FALSE));
    cal.HighlightDate(COleDateTime(1400, 1, 1, 0, 0, 0), TRUE);
    EXPECT_FALSE(cal.PrevDay(TRUE));
    EXPECT_FALSE(cal.PrevYear(FALSE));
    EXPECT_EQ(Highlighted(cal), COleDateTime(1400, 1, 1, 12, 0, 0));
}

TEST_F(SECCalendarTest, ADragReleasedOutsidePutsBackTheDayHighlightedBefore)
{
    SECCalendar cal;
    cal.SetBehavior(cal.GetBehavior() | SECBEHAVIOR_TRACK | SECBEHAVIOR_CLOSE_ON_DBLCLK);
    Make(cal, 2024, 7, 1);
    cal.HighlightDate(COleDateTime(2024, 7, 4, 0, 0, 0), TRUE);
    backend->ProcessMessages();
    auto centre = [&](int i) { return At(cal.m_hWnd, cal.GetDayBox(i).GetRect().CenterPoint().x,
                                          cal.GetDayBox(i).GetRect().CenterPoint().y); };
    // 2024-07 starts on Monday: cell 1 is the 1st, cell 15 the 15th.
    backend->MouseDown(1, centre(15));
    backend->MouseMove(centre(16));
    backend->ProcessMessages();
    EXPECT_EQ(Highlighted(cal).GetDay(), 16);
    backend->MouseMove(At(cal.m_hWnd, 500, 500));
    backend->MouseUp(1, At(cal.m_hWnd, 500, 500));
    owner.got.clear();
    backend->ProcessMessages();
    EXPECT_EQ(Highlighted(cal), COleDateTime(2024, 7, 4, 12, 0, 0));
    EXPECT_TRUE(cal.IsWindowVisible());
    for (const auto& r : owner.got)
        EXPECT_NE(r.message, 0x602u);
    // Released on a day, the drag closes with OK.
    backend->MouseDown(1, centre(20));
    backend->MouseUp(1, centre(20));
    owner.got.clear();
    backend->ProcessMessages();
    EXPECT_EQ(Highlighted(cal).GetDay(), 20);
    EXPECT_EQ(owner.got.back().message, 0x602u);
    EXPECT_FALSE(cal.IsWindowVisible());
}

TEST_F(SECCalendarTest, ThePopupOpensBesideItsAnchorInsideTheBounds)
{
    const RECT bounds{0, 0, 800, 600};
    const SIZE size{200, 150};
    // Room below and to the right: under the anchor, left-aligned with it.
    CPoint p = SECPopupCalendar::PlaceBeside(CRect(100, 100, 180, 120), size, bounds, TRUE);
    EXPECT_EQ(p, CPoint(100, 120));
    // Near the bottom: above it.
    p = SECPopupCalendar::PlaceBeside(CRect(100, 500, 180, 520), size, bounds, TRUE);
    EXPECT_EQ(p, CPoint(100, 350));
    // Near the right edge with the alignment bit: right edges line up.
    p = SECPopupCalendar::PlaceBeside(CRect(650, 100, 780, 120), size, bounds, TRUE);
    EXPECT_EQ(p, CPoint(580, 120));
    // Without the bit: right of the anchor, or left of it near the edge.
    p = SECPopupCalendar::PlaceBeside(CRect(100, 100, 180, 120), size, bounds, FALSE);
    EXPECT_EQ(p, CPoint(180, 120));
    p = SECPopupCalendar::PlaceBeside(CRect(650, 500, 780, 520), size, bounds, FALSE);
    EXPECT_EQ(p, CPoint(450, 350));
}

TEST_F(SECCalendarTest, ThePopupClosesWhenItLosesActivationOkOnlyInModeOneWithADay)
{
    for (int mode : {1, 2}) {
        for (bool highlight : {false, true}) {
            auto* pop = new SECPopupCalendar;
            pop->SetDeactivateMode(mode);
            pop->SelectDate(COleDateTime(2024, 3, 15, 0, 0, 0), FALSE);
            if (highlight)
                pop->HighlightDate(COleDateTime(2024, 3, 15, 0, 0, 0), TRUE);
            CRect anchor(10, 10, 100, 30);
            owner.ClientToScreen(&anchor);
            ASSERT_TRUE(pop->Create(WS_VISIBLE | WS_THICKFRAME | 0x1, anchor, &owner));
            backend->ProcessMessages();
            EXPECT_TRUE(pop->IsWindowVisible());
            CRect rc;
            pop->GetWindowRect(&rc);
            EXPECT_EQ(rc.top, anchor.bottom);
            EXPECT_EQ(rc.left, anchor.left);
            owner.got.clear();
            // A click elsewhere activates another window.
            ::SetActiveWindow(top->m_hWnd);
            backend->ProcessMessages();
            const UINT expected = (mode == 1 && highlight) ? 0x602u : 0x603u;
            ASSERT_FALSE(owner.got.empty());
            EXPECT_EQ(owner.got.back().message, expected) << mode << highlight;
            EXPECT_FALSE(pop->IsWindowVisible());
            delete pop;
        }
    }
}

}   // namespace
