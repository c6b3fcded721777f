// The exchange pass and the DDX_ functions: texts parsed strictly (blanks around a number are
// allowed, anything else is refused with the number's message), buttons, lists and combo boxes.
#include "platform/afx/dlg/CDataExchange.h"

#include "platform/afx/dlg/AfxDlgRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/CException.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC) : nullptr;
    if (!hWndCtrl) {
        TRACE("data exchange: no control with id %d\n", nIDC);
        AfxThrowNotSupportedException();
    }
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    m_idLastControl = nIDC;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate) {
        TRACE("data exchange: a value refused while loading the controls\n");
    } else if (m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
        // Back to the field to mend; its whole text selected so that typing replaces it.
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void AfxDataExchangeMessage(CDataExchange* pDX, UINT nIDPrompt, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format;
    if (!format.LoadString(nIDPrompt)) {
        TRACE("data exchange: no string %u\n", nIDPrompt);
        return;
    }
    CString text;
    text.FormatMessage(format.GetString(), lpsz1 ? lpsz1 : "", lpsz2 ? lpsz2 : "");
    // The application's message box (its title, its owner: the active dialog); without an
    // application object, a plain box owned by the dialog.
    if (AfxGetApp()) {
        AfxMessageBox(text.GetString(), MB_ICONEXCLAMATION | MB_OK, nIDPrompt);
        return;
    }
    HWND owner = pDX && pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetSafeHwnd() : nullptr;
    ::MessageBox(owner, text.GetString(), "", MB_ICONEXCLAMATION | MB_OK);
}

namespace {

CString WindowText(HWND hWnd)
{
    const int length = ::GetWindowTextLength(hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowText(hWnd, buffer.data(), length + 1);
    return CString(buffer.c_str());
}

// Sets a control's text only when it differs, so that a control showing the value already
// neither flickers nor sends a change notification.
void SetTextIfChanged(HWND hWnd, LPCTSTR text)
{
    if (WindowText(hWnd) != text)
        ::SetWindowText(hWnd, text);
}

std::string Trimmed(const CString& text)
{
    std::string s = text.GetString();
    size_t first = 0;
    while (first < s.size() && std::isspace(static_cast<unsigned char>(s[first])))
        ++first;
    size_t last = s.size();
    while (last > first && std::isspace(static_cast<unsigned char>(s[last - 1])))
        --last;
    return s.substr(first, last - first);
}

// A whole integer within [lo, hi]; nothing for any other text, an overflow included.
std::optional<long long> ParseInteger(const CString& text, long long lo, long long hi)
{
    const std::string s = Trimmed(text);
    if (s.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno == ERANGE || end != s.c_str() + s.size() || v < lo || v > hi)
        return std::nullopt;
    return v;
}

std::optional<double> ParseReal(const CString& text)
{
    const std::string s = Trimmed(text);
    if (s.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (errno == ERANGE || end != s.c_str() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, UINT nIDPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        // Unsigned members take no sign: "-1" is refused instead of wrapping round to the largest value.
        const auto parsed = ParseInteger(WindowText(hWndCtrl), static_cast<long long>(std::numeric_limits<T>::min()),
                                         static_cast<long long>(std::numeric_limits<T>::max()));
        if (!parsed) {
            AfxDataExchangeMessage(pDX, nIDPrompt);
            pDX->Fail();
        }
        value = static_cast<T>(*parsed);
    } else {
        SetTextIfChanged(hWndCtrl, std::to_string(value).c_str());
    }
}

template <class T>
void ExchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const auto parsed = ParseReal(WindowText(hWndCtrl));
        if (!parsed || std::fabs(*parsed) > static_cast<double>(std::numeric_limits<T>::max())) {
            AfxDataExchangeMessage(pDX, AFX_IDP_PARSE_REAL);
            pDX->Fail();
        }
        value = static_cast<T>(*parsed);
    } else {
        char text[64];
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        SetTextIfChanged(hWndCtrl, text);
    }
}

} // namespace

// ---- Texts --------------------------------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = WindowText(hWndCtrl);
    else
        SetTextIfChanged(hWndCtrl, value.GetString());
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_UINT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT);
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_BYTE);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    ExchangeReal(pDX, nIDC, value, FLT_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    ExchangeReal(pDX, nIDC, value, DBL_DIG);
}

// ---- Buttons ------------------------------------------------------------------------------------

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) {
            TRACE("data exchange: check state %d of control %d is not 0, 1 or 2; cleared\n", value, nIDC);
            value = 0;
        }
        ::SendMessage(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control with WS_GROUP; only radio buttons count.
    int iButton = 0;
    do {
        if (::SendMessage(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (pDX->m_bSaveAndValidate) {
                if (::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0) != 0 && value == -1)
                    value = iButton;
            } else {
                ::SendMessage(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++iButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl && !(::GetWindowLong(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.GetSafeHwnd())
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) {
        TRACE("data exchange: control %d already has an object\n", nIDC);
        AfxThrowNotSupportedException();
    }
}

// ---- Combo and list boxes -----------------------------------------------------------------------

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

namespace {

CString ComboText(HWND hWndCtrl)
{
    // A drop-down list has no field: its value is the selected item's text.
    if ((::GetWindowLong(hWndCtrl, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        const auto sel = ::SendMessage(hWndCtrl, CB_GETCURSEL, 0, 0);
        if (sel == CB_ERR)
            return CString();
        const auto length = ::SendMessage(hWndCtrl, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
        if (length == CB_ERR)
            return CString();
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        ::SendMessage(hWndCtrl, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buffer.data()));
        return CString(buffer.c_str());
    }
    return WindowText(hWndCtrl);
}

void LoadCombo(HWND hWndCtrl, const CString& value, LRESULT found)
{
    if (found != CB_ERR) {
        ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return;
    }
    // No item matches: a combo box with a field shows the text, a list shows no selection.
    ::SendMessage(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    if ((::GetWindowLong(hWndCtrl, GWL_STYLE) & 3) != CBS_DROPDOWNLIST)
        SetTextIfChanged(hWndCtrl, value.GetString());
}

CString ListText(HWND hWndCtrl)
{
    const auto sel = ::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR)
        return CString();
    const auto length = ::SendMessage(hWndCtrl, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0);
    if (length == LB_ERR)
        return CString();
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    ::SendMessage(hWndCtrl, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.c_str());
}

void LoadList(HWND hWndCtrl, LRESULT found)
{
    // No item matches: no selection, rather than an old one that does not show the value.
    ::SendMessage(hWndCtrl, LB_SETCURSEL, found == LB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(found), 0);
}

} // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = ComboText(hWndCtrl);
    } else {
        // The first item that starts with the value, as the user would find it by typing.
        LoadCombo(hWndCtrl, value,
                  ::SendMessage(hWndCtrl, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())));
    }
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ComboText(hWndCtrl);
    else
        LoadCombo(hWndCtrl, value,
                  ::SendMessage(hWndCtrl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(value.GetString())));
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessage(hWndCtrl, LB_GETCURSEL, 0, 0));
    else
        ::SendMessage(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ListText(hWndCtrl);
    else
        LoadList(hWndCtrl, ::SendMessage(hWndCtrl, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.GetString())));
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ListText(hWndCtrl);
    else
        LoadList(hWndCtrl, ::SendMessage(hWndCtrl, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(value.GetString())));
}

// ---- Checks -------------------------------------------------------------------------------------

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            AfxDataExchangeMessage(pDX, AFX_IDP_PARSE_STRING_SIZE, std::to_string(nChars).c_str());
            pDX->Fail();
        }
    } else if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
        // The edit itself keeps the user within the limit.
        ::SendMessage(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

namespace {

template <class T>
void CheckIntegerRange(CDataExchange* pDX, T value, T minVal, T maxVal)
{
    if (!pDX->m_bSaveAndValidate) {
        if (value < minVal || value > maxVal)
            TRACE("data exchange: loading a value outside its range into control %d\n", pDX->m_idLastControl);
        return;
    }
    if (value < minVal || value > maxVal) {
        AfxDataExchangeMessage(pDX, AFX_IDP_PARSE_INT_RANGE, std::to_string(minVal).c_str(),
                               std::to_string(maxVal).c_str());
        pDX->Fail();
    }
}

void CheckRealRange(CDataExchange* pDX, double value, double minVal, double maxVal, int digits)
{
    if (!pDX->m_bSaveAndValidate) {
        if (value < minVal || value > maxVal)
            TRACE("data exchange: loading a value outside its range into control %d\n", pDX->m_idLastControl);
        return;
    }
    if (value < minVal || value > maxVal) {
        char lo[64];
        char hi[64];
        std::snprintf(lo, sizeof lo, "%.*g", digits, minVal);
        std::snprintf(hi, sizeof hi, "%.*g", digits, maxVal);
        AfxDataExchangeMessage(pDX, AFX_IDP_PARSE_REAL_RANGE, lo, hi);
        pDX->Fail();
    }
}

} // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    CheckIntegerRange(pDX, value, minVal, maxVal);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    CheckIntegerRange(pDX, value, minVal, maxVal);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    CheckIntegerRange(pDX, value, minVal, maxVal);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    CheckIntegerRange(pDX, value, minVal, maxVal);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    CheckIntegerRange(pDX, static_cast<int>(value), static_cast<int>(minVal), static_cast<int>(maxVal));
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    CheckIntegerRange(pDX, static_cast<int>(value), static_cast<int>(minVal), static_cast<int>(maxVal));
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal)
{
    CheckRealRange(pDX, value, minVal, maxVal, FLT_DIG);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal)
{
    CheckRealRange(pDX, value, minVal, maxVal, DBL_DIG);
}
