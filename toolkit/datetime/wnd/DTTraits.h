// The differences between the toolkit's calendar and date-time widgets and the grid library's
// twins of them: window names, message and command numbers, the colour source, the allowed
// dates and the few behaviours that differ. Each widget is one class template over one of these.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/GdiTypes.h"

// The colours a widget paints with, as the toolkit's shared data or the grid's cache keeps them.
enum class DTColor { BtnFace, BtnShadow, BtnHilite, WindowFrame, Light3d, DkShadow3d, WindowText, Window,
                     Highlight, HighlightText, BtnText, GrayText, CaptionText, ActiveCaption };

struct SECDTTraits {
    static constexpr bool kGridFamily = false;
    static constexpr const char* kCalendarName = "SECCalendar";
    // Messages posted to the calendar's owner.
    static constexpr UINT kMsgHighlight = 0x600;
    static constexpr UINT kMsgMark = 0x601;
    static constexpr UINT kMsgOK = 0x602;
    static constexpr UINT kMsgCancel = 0x603;
    // The title's navigation commands.
    static constexpr UINT kCmdNextMonth = 20520;
    static constexpr UINT kCmdPrevYear = 20521;
    static constexpr UINT kCmdNextYear = 20522;
    static constexpr UINT kCmdPrevMonth = 20523;
    // Month and year paging highlights the day that takes the focus cell's place.
    static constexpr bool kReHighlightAfterPaging = true;
    // The pop-up keeps inside the work area (the grid's copy: inside the screen).
    static constexpr bool kUseWorkArea = true;
    static constexpr UINT kDropButtonBitmap = 23000;

    // Every date the controls can hold, whatever month and day overflow a step adds.
    static BOOL IsDateAllowed(int nYear, int nMonth, int nDay);
    static COLORREF Color(DTColor color);
    static void RefreshColors();
};

struct CGXBDTTraits {
    static constexpr bool kGridFamily = true;
    static constexpr const char* kCalendarName = "CGXBCalendar";
    static constexpr UINT kMsgHighlight = 0x7D5;
    static constexpr UINT kMsgMark = 0x7D6;
    static constexpr UINT kMsgOK = 0x7D7;
    static constexpr UINT kMsgCancel = 0x7D8;
    static constexpr UINT kCmdNextMonth = 20029;
    static constexpr UINT kCmdPrevYear = 20030;
    static constexpr UINT kCmdNextYear = 20031;
    static constexpr UINT kCmdPrevMonth = 20032;
    static constexpr bool kReHighlightAfterPaging = false;
    static constexpr bool kUseWorkArea = false;
    static constexpr UINT kDropButtonBitmap = 20028;

    // The grid's calendar works in the years 1400 to 2400 (month and day overflow included).
    static BOOL IsDateAllowed(int nYear, int nMonth, int nDay);
    static COLORREF Color(DTColor color);
    static void RefreshColors();
};
