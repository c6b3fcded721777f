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
constexpr DWORD kCalendarStyle = WS_VISIBLE | WS_BORDER;
constexpr DWORD kCalendarBehaviour = 0x39C000;
constexpr DWORD kCalendarDrawStyle = 0x1000017F;
constexpr DWORD kDateCtrlStyle = SEC_DTS_UPDOWN;
constexpr DWORD kDateWindowStyle = WS_CHILD | WS_TABSTOP;
constexpr DWORD kDateExStyle = WS_EX_CLIENTEDGE;

BOOL ParseDate(const CString& strText, COleDateTime& date)
{
    return !strText.IsEmpty() && date.ParseDateTime(strText) && date.GetStatus() == COleDateTime::valid;
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
        if (m_calendar.Create(kCalendarStyle, rect, this, kIdCalendar))
            m_calendar.SelectDate(bCellDate ? cellDate : DTGetCurrentTime(), TRUE);
    }
    m_dateCtrl.m_onEdited = [this] { FollowTypedDate(); };
    m_dateCtrl.SetCustomFormat(m_strPicture);
    if (m_dateCtrl.AttachToDlgItem(kIdDate, this, kDateCtrlStyle, kDateWindowStyle, kDateExStyle)) {
        if (bCellDate)
            m_dateCtrl.SetDateTime(cellDate);
        else
            m_dateCtrl.SetNullDate('_');
        m_dateCtrl.SetModified(FALSE);
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
    CString strValue;
    if (wParam != 0 && pBox != nullptr && !pBox->IsEmpty()) {
        const COleDateTime& day = pBox->GetDate();
        strValue.Format("%4d/%02d/%02d", day.GetYear(), day.GetMonth(), day.GetDay());
    }
    m_strValue = strValue;
    m_bPicked = TRUE;
    COleDateTime date;
    if (m_dateCtrl.GetSafeHwnd() != nullptr && ParseDate(strValue, date))
        m_dateCtrl.SetDateTime(date);
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
        if (typed.unset & SECDateTimeCtrl::PD_YEAR)
            return;
        nYear = typed.year;
        nMonth = (typed.unset & SECDateTimeCtrl::PD_MONTH) ? shown.GetMonth() : typed.month;
    } else if (m_dateCtrl.GetDateTime().GetStatus() == COleDateTime::valid) {
        nYear = m_dateCtrl.GetDateTime().GetYear();
        nMonth = m_dateCtrl.GetDateTime().GetMonth();
    } else {
        return;
    }
    if (nYear == shown.GetYear() && nMonth == shown.GetMonth())
        return;
    COleDateTime month;
    if (month.SetDate(nYear, nMonth, 1) == COleDateTime::valid)
        m_calendar.SelectDate(month, TRUE);
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
