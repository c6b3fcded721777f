#include "app/values/CDateTimeDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/DTTraits.h"

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

void CDateTimeDlg::OnOK()
{
    if (m_dateCtrl.GetSafeHwnd() != nullptr) {
        // A date nobody touched keeps the page's own text, even one the parser cannot read; a
        // cleared date gives nothing rather than the prompt characters.
        if (m_bPicked || m_dateCtrl.IsModified())
            m_dateCtrl.GetWindowText(m_strValue);
        else
            m_strValue = m_strOriginal;
    }
    EndDialog(IDOK);
}

void CDateTimeDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}
