#include "app/values/CDateTimeDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"
#include "platform/afx/app/CWinApp.h"
#include "toolkit/datetime/OleDateFields.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/DTTraits.h"

#include <algorithm>
#include <vector>

namespace {
constexpr DWORD kCalendarStyle = WS_VISIBLE | WS_BORDER | WS_TABSTOP;
constexpr DWORD kCalendarBehaviour = 0x39C000;
constexpr DWORD kCalendarDrawStyle = 0x1000017F;
constexpr DWORD kDateCtrlStyle = SEC_DTS_UPDOWN;
constexpr DWORD kDateWindowStyle = WS_CHILD | WS_TABSTOP;
constexpr DWORD kDateExStyle = WS_EX_CLIENTEDGE;

BOOL ParseDate(const CString& strText, COleDateTime& date)
{
    return !strText.IsEmpty() && date.ParseDateTime(strText) && date.GetStatus() == COleDateTime::valid;
}

bool SameDay(const COleDateTime& a, const COleDateTime& b)
{
    return a.GetStatus() == COleDateTime::valid && b.GetStatus() == COleDateTime::valid &&
           a.GetYear() == b.GetYear() && a.GetMonth() == b.GetMonth() && a.GetDay() == b.GetDay();
}

bool IsArrowKey(WPARAM key)
{
    switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
    case VK_NUMPAD2: case VK_NUMPAD4: case VK_NUMPAD6: case VK_NUMPAD8:
        return true;
    default:
        return false;
    }
}
} // namespace

BEGIN_MESSAGE_MAP(CDateTimeDlg, CDialog)
    ON_BN_CLICKED(kIdHelpButton, &CDateTimeDlg::OnHelp)
    ON_MESSAGE(SECDTTraits::kMsgHighlight, &CDateTimeDlg::OnDayPicked)
END_MESSAGE_MAP()

CDateTimeDlg::CDateTimeDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CDateTimeDlg::SetValue(const CString& strSettingName, const CString& strValue)
{
    m_strName = strSettingName;
    m_strValue = strValue;
    m_strOriginal = strValue;
    m_strPicture = "yyyy/MM/dd";
}

BOOL CDateTimeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelpButton, this);

    COleDateTime cellDate;
    const BOOL bCellDate = ParseDate(m_strValue, cellDate);
    if (CWnd* pPlace = GetDlgItem(kIdCalendar)) {
        CRect rect;
        pPlace->GetWindowRect(&rect);
        ScreenToClient(&rect);
        pPlace->DestroyWindow();
        m_calendar.SetBehavior(kCalendarBehaviour);
        m_calendar.SetDrawStyle(kCalendarDrawStyle);
        // The calendar opens on the cell's date, so that a click picks a day near it; a cell
        // without a date the parser reads opens on today.
        if (m_calendar.Create(kCalendarStyle, rect, this, kIdCalendar)) {
            m_calendar.SelectDate(bCellDate ? cellDate : DTGetCurrentTime(), TRUE);
            if (bCellDate)
                m_calendar.ShowChosenDay(cellDate);
        }
    }
    m_dateCtrl.m_onEdited = [this] { FollowTypedDate(); };
    m_dateCtrl.SetCustomFormat(m_strPicture);
    // A part typed full hands the typing on to the next, so that a date typed without its
    // separators fills the year, month and day in turn: the year's field would otherwise take
    // every digit, and keep only the last of them.
    m_dateCtrl.SetFastInput(TRUE);
    if (m_dateCtrl.AttachToDlgItem(kIdDate, this, kDateCtrlStyle, kDateWindowStyle, kDateExStyle)) {
        if (bCellDate)
            m_dateCtrl.SetDateTime(cellDate);
        else
            m_dateCtrl.SetNullDate('_');
        m_dateCtrl.SetModified(FALSE);
        // Tab goes from the date to the calendar, then on to the buttons.
        if (m_calendar.GetSafeHwnd() != nullptr)
            m_calendar.SetWindowPos(&m_dateCtrl, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (!m_strName.IsEmpty()) {
        CString strFormat, strTitle;
        strFormat.LoadString(kIdsDateTitle);
        strTitle.Format(strFormat, m_strName.GetString());
        SetWindowText(strTitle);
    }
    return TRUE;
}

LRESULT CDateTimeDlg::OnDayPicked(WPARAM wParam, LPARAM lParam)
{
    auto* pBox = reinterpret_cast<SECCalendar::DayBox*>(lParam);
    // The day the field holds already, highlighted where the keys start from, changes nothing.
    if (wParam != 0 && pBox != nullptr && !pBox->IsEmpty() && SameDay(pBox->GetDate(), m_calendar.m_chosen))
        return 0;
    CString strValue;
    if (wParam != 0 && pBox != nullptr && !pBox->IsEmpty()) {
        const COleDateTime& day = pBox->GetDate();
        strValue.Format("%4d/%02d/%02d", day.GetYear(), day.GetMonth(), day.GetDay());
    }
    m_strValue = strValue;
    m_bPicked = TRUE;
    COleDateTime date;
    if (m_dateCtrl.GetSafeHwnd() != nullptr && ParseDate(strValue, date)) {
        m_dateCtrl.SetDateTime(date);
        m_calendar.ShowChosenDay(date);
    }
    return 0;
}

BOOL CDateTimeDlg::CDateField::GadgetNotify(int nAction, int nFieldType, int nValue)
{
    const BOOL bDone = SECDateTimeCtrl::GadgetNotify(nAction, nFieldType, nValue);
    if (bDone && m_onEdited)
        m_onEdited();
    return bDone;
}

void CDateTimeDlg::FollowTypedDate()
{
    if (m_calendar.GetSafeHwnd() == nullptr || m_dateCtrl.GetSafeHwnd() == nullptr)
        return;
    const COleDateTime shown = m_calendar.GetDisplayDate();
    int nYear = 0, nMonth = 0;
    if (m_dateCtrl.IsNullEntry()) {
        const SECDateTimeCtrl::PartialDate& typed = m_dateCtrl.m_partial;
        if (!(typed.unset & SECDateTimeCtrl::PD_YEAR)) {
            nYear = typed.year;
            nMonth = (typed.unset & SECDateTimeCtrl::PD_MONTH) ? shown.GetMonth() : typed.month;
        }
    } else if (m_dateCtrl.GetDateTime().GetStatus() == COleDateTime::valid) {
        nYear = m_dateCtrl.GetDateTime().GetYear();
        nMonth = m_dateCtrl.GetDateTime().GetMonth();
    }
    COleDateTime month;
    if (nYear != 0 && (nYear != shown.GetYear() || nMonth != shown.GetMonth()) &&
        month.SetDate(nYear, nMonth, 1) == COleDateTime::valid)
        m_calendar.SelectDate(month, TRUE);
    m_calendar.ShowChosenDay(TypedDay());
}

COleDateTime CDateTimeDlg::TypedDay()
{
    COleDateTime day;
    day.SetStatus(COleDateTime::null);
    if (!m_dateCtrl.IsNullEntry()) {
        if (m_dateCtrl.GetDateTime().GetStatus() == COleDateTime::valid)
            day = m_dateCtrl.GetDateTime();
        return day;
    }
    const SECDateTimeCtrl::PartialDate& typed = m_dateCtrl.m_partial;
    constexpr WORD kWholeDate = SECDateTimeCtrl::PD_YEAR | SECDateTimeCtrl::PD_MONTH | SECDateTimeCtrl::PD_DAY;
    if (!(typed.unset & kWholeDate) && day.SetDate(typed.year, typed.month, typed.day) != COleDateTime::valid)
        day.SetStatus(COleDateTime::null);
    return day;
}

COleDateTime CDateTimeDlg::CDayCalendar::NoDay()
{
    COleDateTime none;
    none.SetStatus(COleDateTime::null);
    return none;
}

void CDateTimeDlg::CDayCalendar::ShowChosenDay(const COleDateTime& day)
{
    const bool bValid = day.GetStatus() == COleDateTime::valid;
    if (SameDay(day, m_chosen) || (!bValid && m_chosen.GetStatus() != COleDateTime::valid))
        return;
    if (m_chosen.GetStatus() == COleDateTime::valid)
        MarkDate(m_chosen, FALSE);
    m_chosen = bValid ? day : NoDay();
    if (bValid)
        MarkDate(day, TRUE);
    // The day is also the highlighted one the keys move from. Highlighting it here tells no one
    // and leaves the focus where it is: the date field, typed into, keeps it. A cell the keys
    // stood on before follows the day, so that they go on from it.
    if (bValid) {
        m_keyDate = m_highlightDate = DTNoon(day);
        m_pHighlight = &m_highlightDate;
    } else {
        m_pHighlight = nullptr;
    }
    const bool bFollow = m_pFocusBox != nullptr;
    if (bFollow)
        m_pFocusBox = nullptr;
    for (DayBox& box : m_days) {
        const BOOL bOn = bValid && !box.IsEmpty() && SameDay(box.GetDate(), day);
        if (bOn && bFollow)
            m_pFocusBox = &box;
        if (bOn != box.IsPressed())
            box.SetPressed(bOn, TRUE);
    }
}

LRESULT CDateTimeDlg::CDayCalendar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The arrows start from the chosen day or, without one, from the day shown, which they
    // choose as they move.
    if (message == WM_KEYDOWN && IsArrowKey(wParam) && (m_behavior & SECBEHAVIOR_KEYS) && m_pFocusBox == nullptr)
        HighlightDate(m_keyDate, TRUE);
    return SECCalendar::WindowProc(message, wParam, lParam);
}

UINT CDateTimeDlg::CompleteTypedDate()
{
    const SECDateTimeCtrl::PartialDate typed = m_dateCtrl.m_partial;
    const WORD nMissing = typed.present & typed.unset;
    struct Part {
        WORD bit;
        std::vector<int> fields;
    };
    const Part parts[] = {{SECDateTimeCtrl::PD_DAY, {kDateFieldDay}},
                          {SECDateTimeCtrl::PD_MONTH, {kDateFieldMonth, kDateFieldMonthName}},
                          {SECDateTimeCtrl::PD_YEAR, {kDateFieldYear2, kDateFieldYear4}}};
    CString strNames;
    strNames.LoadString(kIdsDateParts);
    std::vector<CString> missing;
    int nFirstField = -1;
    int nPart = 0;
    for (const Part& part : parts) {
        CString strName;
        AfxExtractSubString(strName, strNames, nPart++, '\n');
        if (!(nMissing & part.bit))
            continue;
        missing.push_back(strName);
        for (int i = 0; i < m_dateCtrl.GetGadgetCount() && nFirstField < 0; ++i)
            if (std::find(part.fields.begin(), part.fields.end(), m_dateCtrl.GetGadget(i)->m_id) != part.fields.end())
                nFirstField = i;
    }
    CString strMessage;
    if (!missing.empty()) {
        // "day", "day and year", "day, month and year".
        CString strList, strAnd;
        AfxExtractSubString(strAnd, strNames, 3, '\n');
        for (size_t i = 0; i < missing.size(); ++i) {
            if (i > 0)
                strList += i + 1 == missing.size() ? strAnd : CString(", ");
            strList += missing[i];
        }
        CString strFormat;
        strFormat.LoadString(kIdsDateIncomplete);
        strMessage.Format(strFormat, strList.GetString());
    } else {
        // A time left out is midnight; the weekday follows from the date.
        COleDateTime date;
        if (date.SetDateTime(typed.year, typed.month, typed.day, typed.hour, typed.minute, typed.second) == COleDateTime::valid &&
            m_dateCtrl.IsValidDate(date) && m_dateCtrl.SetDateTime(date))
            return 0;
        strMessage.LoadString(kIdsDateNotADate);
    }
    AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
    m_dateCtrl.SetFocus();
    if (nFirstField >= 0)
        m_dateCtrl.SetCurrentField(nFirstField);
    return 1;
}

void CDateTimeDlg::OnOK()
{
    if (m_dateCtrl.GetSafeHwnd() != nullptr) {
        // A date nobody touched keeps the page's own text, even one the parser cannot read.
        if (!m_bPicked && !m_dateCtrl.IsModified()) {
            m_strValue = m_strOriginal;
        } else {
            if (m_dateCtrl.IsNullEntry() && CompleteTypedDate() != 0)
                return;
            m_dateCtrl.GetWindowText(m_strValue);
        }
    }
    EndDialog(IDOK);
}

void CDateTimeDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}
