// The editor's find and replace dialogs: options and texts exchanged with the controls, the
// histories loaded into the drop-down lists, Mark All as a find request with its flag set.
#include "toolkit/editor/wnd/SECEditFindReplaceDlg.h"

#include "platform/afx/dlg/CDataExchange.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/editor/wnd/SECEditCtrl.h"
#include "toolkit/res/EditorRes.h"

IMPLEMENT_DYNAMIC(SECEditFindReplaceDlg, CFindReplaceDialog)

void SECEditFindReplaceDlg::DoDataExchange(CDataExchange* pDX)
{
    CFindReplaceDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_SECEDIT_REGEXP, m_bRegExp);
    DDX_Check(pDX, 1041, m_bMatchCase);
    DDX_Text(pDX, 1152, m_strFind);
    DDX_Radio(pDX, 1056, m_nDirection);
    if (m_bReplaceMode)
        DDX_Text(pDX, 1153, m_strReplace);
    DDX_Check(pDX, IDC_SECEDIT_WRAP, m_bWrap);
    if (pDX->m_bSaveAndValidate) {
        if (CWnd* combo = GetDlgItem(IDC_SECEDIT_FINDCOMBO))
            combo->GetWindowText(m_strFind);
        if (m_bReplaceMode)
            if (CWnd* combo = GetDlgItem(IDC_SECEDIT_REPLACECOMBO))
                combo->GetWindowText(m_strReplace);
    }
}

BOOL SECEditFindReplaceDlg::OnInitDialog()
{
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(TRUE);
    LoadFindHistory();
    if (m_bReplaceMode) {
        for (int id : {1024, 1025})
            if (CWnd* button = GetDlgItem(id))
                button->EnableWindow(TRUE);
        LoadReplaceHistory();
    }
    UpdateData(FALSE);
    if (CWnd* combo = GetDlgItem(IDC_SECEDIT_FINDCOMBO))
        if (!m_strFind.IsEmpty())
            combo->SetWindowText(m_strFind);
    // The whole-word box works with the editor's word rule; the spare box has no use.
    if (CWnd* spare = GetDlgItem(IDC_SECEDIT_CHECK1))
        spare->ShowWindow(SW_HIDE);
    // The dialog was given the keys before its texts were filled in: they go to the search text
    // again, all of it chosen, so that what is typed takes the proposed word's place.
    if (CWnd* combo = GetDlgItem(IDC_SECEDIT_FINDCOMBO))
        GotoDlgCtrl(combo);
    return TRUE;
}

void SECEditFindReplaceDlg::LoadFindHistory()
{
    CString section;
    section.LoadString(IDS_SECEDIT_FIND_SECTION);
    CString key;
    key.LoadString(IDS_SECEDIT_FIND_HISTORY);
    for (int n = 1; n <= 10; ++n) {
        CString entry;
        entry.Format(key, n);
        CString value = SECEditCtrl::GetEditProfileString(section, entry, "");
        if (value.IsEmpty())
            break;
        SendDlgItemMessage(IDC_SECEDIT_FINDCOMBO, CB_INSERTSTRING, static_cast<WPARAM>(n - 1),
                           reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value)));
        if (m_strFind.IsEmpty()) {
            m_strFind = value;
            SendDlgItemMessage(IDC_SECEDIT_FINDCOMBO, CB_SETCURSEL, 0, 0);
        }
    }
    if (!m_strFind.IsEmpty())
        if (CWnd* combo = GetDlgItem(IDC_SECEDIT_FINDCOMBO))
            combo->SetWindowText(m_strFind);
}

void SECEditFindReplaceDlg::LoadReplaceHistory()
{
    CString section;
    section.LoadString(IDS_SECEDIT_FIND_SECTION);
    CString key;
    key.LoadString(IDS_SECEDIT_REPLACE_HISTORY);
    for (int n = 1; n <= 10; ++n) {
        CString entry;
        entry.Format(key, n);
        CString value = SECEditCtrl::GetEditProfileString(section, entry, "");
        if (value.IsEmpty())
            break;
        const bool empty = value == SECEDIT_EMPTY_REPLACE;
        SendDlgItemMessage(IDC_SECEDIT_REPLACECOMBO, CB_INSERTSTRING, static_cast<WPARAM>(n - 1),
                           reinterpret_cast<LPARAM>(empty ? "" : static_cast<LPCSTR>(value)));
        if (m_strReplace.IsEmpty() && !empty) {
            m_strReplace = value;
            SendDlgItemMessage(IDC_SECEDIT_REPLACECOMBO, CB_SETCURSEL, 0, 0);
        }
    }
}

void SECEditFindReplaceDlg::PlaceNear(SECEditCtrl* pEdit)
{
    if (pEdit == nullptr || pEdit->m_hWnd == nullptr)
        return;
    CWnd* main = pEdit->GetTopLevelParent();
    if (main == nullptr)
        return;
    CRect mainRect, viewRect, dlgRect;
    main->GetWindowRect(&mainRect);
    pEdit->GetWindowRect(&viewRect);
    GetWindowRect(&dlgRect);
    const int h = dlgRect.Height();
    const int caretTop = viewRect.top + (pEdit->GetCaretLineNo() - pEdit->GetTopLineNo()) * pEdit->GetLineHeight();
    int top;
    if (mainRect.top + h < caretTop) {
        top = mainRect.top;
    } else {
        top = mainRect.bottom - 2 * pEdit->GetLineHeight() - h;
        const int limit = GetSystemMetrics(SM_CYMAXIMIZED);
        if (top + h > limit)
            top = limit - h;
    }
    MoveWindow(dlgRect.left, top, dlgRect.Width(), h, FALSE);
}

BOOL SECEditFindReplaceDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (id == IDOK || id == 1024 || id == 1025 || id == IDC_SECEDIT_MARKALL) {
        // The texts live in the drop-down lists; the common dialog reads its own fields.
        UpdateData(TRUE);
        SetDlgItemText(1152, m_strFind);
        if (m_bReplaceMode)
            SetDlgItemText(1153, m_strReplace);
        if (id == IDC_SECEDIT_MARKALL) {
            m_bMarkAll = TRUE;
            SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return TRUE;
        }
    }
    return CFindReplaceDialog::OnCommand(wParam, lParam);
}
