// CPropertySheet: the sheet's template built around its largest page, pages made on first
// show, the tab row drawn and clicked, and OK, Apply, Cancel and Help over the made pages.
#include "platform/afx/dlg/CPropertySheet.h"

#include "platform/afx/AfxRes.h"
#include "platform/controls/Button.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"

#include <algorithm>
#include <optional>

IMPLEMENT_DYNAMIC(CPropertySheet, CDialog)

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
    ON_COMMAND(ID_APPLY_NOW, &CPropertySheet::OnApplyNow)
    ON_COMMAND(IDHELP, &CPropertySheet::OnHelp)
    ON_MESSAGE(WM_HELP, &CPropertySheet::OnSheetHelpInfo)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

// Dialog units of the sheet's frame around its pages.
constexpr short kSheetMargin = 7;
constexpr short kTabRow = 14;
constexpr short kSheetButtonWidth = 50;
constexpr short kButtonHeight = 14;
constexpr short kButtonGap = 6;
// Pixels a tab's text has on each side.
constexpr int kTabPadding = 6;

std::optional<DialogTemplate> LoadPageTemplate(const CPropertyPage* pPage)
{
    DialogTemplate t;
    if (pPage->m_psp.dwFlags & PSP_DLGINDIRECT) {
        if (!pPage->m_psp.pResource || !ReadDialogTemplate(pPage->m_psp.pResource, SIZE_MAX, t))
            return std::nullopt;
        return t;
    }
    LPCSTR name = pPage->m_psp.pszTemplate;
    if (!name)
        return std::nullopt;
    HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC found = module ? ::FindResource(module, name, RT_DIALOG) : nullptr;
    if (!found)
        return std::nullopt;
    const void* data = ::LockResource(::LoadResource(module, found));
    if (!data || !ReadDialogTemplate(data, ::SizeofResource(module, found), t))
        return std::nullopt;
    return t;
}

DialogItemTemplate ButtonItem(const char* text, DWORD id, DWORD style, short x, short y)
{
    DialogItemTemplate item;
    item.style = style | WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    item.x = x;
    item.y = y;
    item.cx = kSheetButtonWidth;
    item.cy = kButtonHeight;
    item.id = id;
    item.windowClass.isOrdinal = true;
    item.windowClass.ordinal = static_cast<WORD>(DialogControlClass::Button);
    item.title.text = text;
    return item;
}

} // namespace

CPropertySheet::CPropertySheet() = default;

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet()
{
    for (CPropertyPage* page : m_pages)
        page->m_pSheet = nullptr;
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    CString caption;
    caption.LoadString(nIDCaption);
    Construct(caption.GetString(), pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption = pszCaption ? pszCaption : "";
    m_psh.pszCaption = m_strCaption.GetString();
    m_pParentWnd = pParentWnd;
    m_psh.nStartPage = iSelectPage;
}

// ---- Pages ----------------------------------------------------------------------------------------

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage || std::find(m_pages.begin(), m_pages.end(), pPage) != m_pages.end())
        return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
    m_psh.nPages = static_cast<UINT>(m_pages.size());
    if (m_hWnd) {
        // The page fits the frame already made; it is made when first shown.
        LayOut();
        Invalidate();
    }
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    const bool wasActive = nPage == m_nActive;
    if (page->m_hWnd)
        page->DestroyWindow();
    page->m_pSheet = nullptr;
    page->m_bFirstSetActive = TRUE;
    m_pages.erase(m_pages.begin() + nPage);
    m_psh.nPages = static_cast<UINT>(m_pages.size());
    if (m_nActive > nPage)
        --m_nActive;
    else if (wasActive)
        m_nActive = -1;
    if (m_hWnd) {
        LayOut();
        if (wasActive && !m_pages.empty())
            SetActivePage(std::min(nPage, GetPageCount() - 1));
        Invalidate();
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    RemovePage(GetPageIndex(pPage));
}

void CPropertySheet::ForgetPage(CPropertyPage* pPage)
{
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    if (it == m_pages.end())
        return;
    const int index = static_cast<int>(it - m_pages.begin());
    m_pages.erase(it);
    if (m_nActive == index)
        m_nActive = -1;
    else if (m_nActive > index)
        --m_nActive;
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (m_hWnd)
        return GetPage(m_nActive);
    return GetPage(static_cast<int>(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const
{
    return m_hWnd ? m_nActive : static_cast<int>(m_psh.nStartPage);
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText ? lpszText : "";
    CString shown = m_strCaption;
    if (nStyle & PSH_PROPTITLE)
        shown = "Properties for " + m_strCaption;
    m_psh.pszCaption = m_strCaption.GetString();
    if (m_hWnd)
        SetWindowText(shown.GetString());
}

bool CPropertySheet::CreatePage(CPropertyPage* pPage)
{
    auto t = LoadPageTemplate(pPage);
    if (!t) {
        TRACE("property page without a usable template\n");
        return false;
    }
    if (!(pPage->m_psp.dwFlags & PSP_USETITLE) || !pPage->m_psp.pszTitle)
        pPage->m_strCaption = t->title.c_str();
    else if (pPage->m_strCaption.IsEmpty() || pPage->m_psp.pszTitle != pPage->m_strCaption.GetString())
        pPage->m_strCaption = pPage->m_psp.pszTitle;
    // A page is a child of the sheet, whatever its template says, and a control parent so that
    // Tab walks through its controls.
    t->style = (t->style & ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                                               WS_VISIBLE | WS_DISABLED)) |
               WS_CHILD | DS_CONTROL;
    t->exStyle &= ~static_cast<DWORD>(WS_EX_DLGMODALFRAME);
    t->title.clear();
    t->x = 0;
    t->y = 0;
    const std::vector<BYTE> bytes = WriteDialogTemplate(*t);
    if (!pPage->CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), this))
        return false;
    if (IS_INTRESOURCE(pPage->m_psp.pszTemplate) && pPage->m_psp.pszTemplate && !(pPage->m_psp.dwFlags & PSP_DLGINDIRECT))
        ::SetProp(pPage->m_hWnd, DIALOG_TEMPLATE_ID_PROP,
                  reinterpret_cast<HANDLE>(reinterpret_cast<uintptr_t>(pPage->m_psp.pszTemplate)));
    pPage->SetWindowPos(nullptr, m_rcPage.left, m_rcPage.top, m_rcPage.Width(), m_rcPage.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    CPropertyPage* next = GetPage(nPage);
    if (!next)
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    if (nPage == m_nActive)
        return TRUE;
    CPropertyPage* current = GetPage(m_nActive);
    // The page being left checks its values; a refusal keeps it, with the focus where its
    // check put it.
    if (current && current->m_hWnd && !current->OnKillActive())
        return FALSE;
    if (!next->m_hWnd && !CreatePage(next))
        return FALSE;
    if (!next->OnSetActive()) {
        // The new page refused: the old one stays in front.
        if (current && current->m_hWnd)
            current->OnSetActive();
        return FALSE;
    }
    if (current && current->m_hWnd)
        current->ShowWindow(SW_HIDE);
    m_nActive = nPage;
    // Help serves the pages that have help.
    if (HWND help = ::GetDlgItem(m_hWnd, IDHELP))
        ::EnableWindow(help, (next->m_psp.dwFlags & PSP_HASHELP) != 0);
    next->ShowWindow(SW_SHOW);
    if (HWND first = ::GetDlgTabFocus(next->m_hWnd, ::GetNextDlgTabItem(next->m_hWnd, nullptr, FALSE)))
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    Invalidate();
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    return SetActivePage(GetPageIndex(pPage));
}

// ---- The window -----------------------------------------------------------------------------------

bool CPropertySheet::BuildTemplate(DWORD style, DWORD exStyle)
{
    short pageCx = 100;
    short pageCy = 50;
    for (CPropertyPage* page : m_pages) {
        if (auto t = LoadPageTemplate(page)) {
            pageCx = std::max(pageCx, t->cx);
            pageCy = std::max(pageCy, t->cy);
        }
    }
    const bool apply = !(m_psh.dwFlags & PSH_NOAPPLYNOW);
    const bool help = (m_psh.dwFlags & PSH_HASHELP) != 0;
    const int buttons = 2 + (apply ? 1 : 0) + (help ? 1 : 0);
    DialogTemplate t;
    t.style = style | DS_SETFONT;
    t.exStyle = exStyle;
    t.cx = static_cast<short>(std::max<int>(pageCx + 2 * kSheetMargin + 4, buttons * (kSheetButtonWidth + kButtonGap) + kSheetMargin));
    t.cy = static_cast<short>(kSheetMargin + kTabRow + pageCy + 4 + kSheetMargin + kButtonHeight + kSheetMargin);
    t.title = m_strCaption.GetString();
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    const short y = static_cast<short>(t.cy - kSheetMargin - kButtonHeight);
    short x = static_cast<short>(t.cx - kSheetMargin - buttons * kSheetButtonWidth - (buttons - 1) * kButtonGap);
    auto add = [&](const char* text, DWORD id, DWORD itemStyle) {
        t.items.push_back(ButtonItem(text, id, itemStyle, x, y));
        x = static_cast<short>(x + kSheetButtonWidth + kButtonGap);
    };
    add("&OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP);
    add("&Cancel", IDCANCEL, BS_PUSHBUTTON);
    // Apply starts disabled: nothing has changed yet.
    if (apply)
        add("&Apply", ID_APPLY_NOW, BS_PUSHBUTTON | WS_DISABLED);
    if (help)
        add("&Help", IDHELP, BS_PUSHBUTTON);
    m_template = WriteDialogTemplate(t);
    return !m_template.empty();
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd || m_pages.empty())
        return -1;
    m_bModeless = false;
    if (!BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_CONTROLPARENT))
        return -1;
    InitModalIndirect(reinterpret_cast<LPCDLGTEMPLATE>(m_template.data()), m_pParentWnd);
    return CDialog::DoModal();
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_hWnd || m_pages.empty())
        return FALSE;
    if (dwStyle == static_cast<DWORD>(-1))
        dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    m_bModeless = true;
    m_psh.dwFlags |= PSH_MODELESS;
    if (!BuildTemplate(dwStyle, dwExStyle | WS_EX_CONTROLPARENT))
        return FALSE;
    return CreateIndirect(reinterpret_cast<LPCDLGTEMPLATE>(m_template.data()), pParentWnd);
}

void CPropertySheet::LayOut()
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRIC tm{};
    ::GetTextMetrics(dc, &tm);
    RECT margin{0, 0, kSheetMargin, kSheetMargin};
    MapDialogRect(&margin);
    m_tabHeight = tm.tmHeight + 6;
    m_tabs.clear();
    int x = margin.right;
    for (CPropertyPage* page : m_pages) {
        CString title = page->m_strCaption;
        if (title.IsEmpty()) {
            if (page->m_psp.dwFlags & PSP_USETITLE && page->m_psp.pszTitle)
                title = page->m_psp.pszTitle;
            else if (auto t = LoadPageTemplate(page))
                title = t->title.c_str();
            page->m_strCaption = title;
        }
        SIZE size{0, 0};
        ::GetTextExtentPoint32(dc, title.GetString(), title.GetLength(), &size);
        const int width = size.cx + 2 * kTabPadding;
        m_tabs.emplace_back(x, margin.bottom, x + width, margin.bottom + m_tabHeight);
        x += width;
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);

    CRect client;
    GetClientRect(&client);
    RECT buttons{0, 0, 0, kSheetMargin + kButtonHeight + kSheetMargin};
    MapDialogRect(&buttons);
    // The pages sit inside the frame under the tabs, 2 pixels in from its edge.
    m_rcPage = CRect(margin.right + 2, margin.bottom + m_tabHeight + 2, client.right - margin.right - 2,
                     client.bottom - buttons.bottom - 2);
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd)
            page->SetWindowPos(nullptr, m_rcPage.left, m_rcPage.top, m_rcPage.Width(), m_rcPage.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_psh.dwFlags & PSH_PROPTITLE)
        SetTitle(m_strCaption.GetString(), PSH_PROPTITLE);
    LayOut();
    m_nActive = -1;
    int start = static_cast<int>(m_psh.nStartPage);
    if (start < 0 || start >= GetPageCount())
        start = 0;
    // The first page that agrees to be shown, from the one asked for.
    for (int i = 0; i < GetPageCount(); ++i)
        if (SetActivePage((start + i) % GetPageCount()))
            break;
    // The focus was put on the page's first control.
    return FALSE;
}

CRect CPropertySheet::GetTabRect(int nTab) const
{
    return nTab >= 0 && nTab < static_cast<int>(m_tabs.size()) ? m_tabs[static_cast<size_t>(nTab)] : CRect();
}

int CPropertySheet::TabFromPoint(CPoint pt) const
{
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        CRect r = m_tabs[i];
        if (static_cast<int>(i) == m_nActive)
            r.InflateRect(2, 2, 2, 0);   // the current tab stands out
        if (r.PtInRect(pt))
            return static_cast<int>(i);
    }
    return -1;
}

void CPropertySheet::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    // The frame around the pages, open under the current tab.
    CRect frame(m_rcPage);
    frame.InflateRect(2, 2);
    ::DrawEdge(dc, &frame, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM | BF_TOP);
    HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        CRect r = m_tabs[i];
        const bool active = static_cast<int>(i) == m_nActive;
        if (active)
            r.InflateRect(2, 2, 2, 0);
        else
            r.top += 2;
        RECT edge{r.left, r.top, r.right, r.bottom + (active ? 2 : 0)};
        ::FillRect(dc, &edge, face);
        ::DrawEdge(dc, &edge, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | (active ? 0 : BF_BOTTOM));
        if (!active) {
            // The frame's top line runs under the other tabs.
            RECT line{r.left, r.bottom, r.right, r.bottom + 1};
            ::FillRect(dc, &line, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        }
        RECT text = r;
        const CString& title = m_pages[i]->m_strCaption;
        ::DrawText(dc, title.GetString(), title.GetLength(), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (active && ::GetFocus() == m_hWnd) {
            RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 2};
            ::DrawFocusRect(dc, &focus);
        }
    }
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &ps);
}

void CPropertySheet::OnLButtonDown(UINT, CPoint point)
{
    const int tab = TabFromPoint(point);
    if (tab >= 0)
        SetActivePage(tab);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    // Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up to the previous.
    if (pMsg->message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) < 0) && !m_pages.empty() &&
        (pMsg->wParam == VK_TAB || pMsg->wParam == VK_NEXT || pMsg->wParam == VK_PRIOR)) {
        const bool back = pMsg->wParam == VK_PRIOR || (pMsg->wParam == VK_TAB && ::GetKeyState(VK_SHIFT) < 0);
        const int count = GetPageCount();
        SetActivePage((m_nActive + (back ? count - 1 : 1)) % count);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// ---- Buttons --------------------------------------------------------------------------------------

void CPropertySheet::PageChanged()
{
    if (!m_hWnd)
        return;
    bool any = false;
    for (CPropertyPage* page : m_pages)
        any = any || (page->m_hWnd && page->m_bModified);
    if (HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW))
        ::EnableWindow(apply, any);
}

void CPropertySheet::CancelToClose()
{
    if (!m_hWnd)
        return;
    ::SetDlgItemText(m_hWnd, IDCANCEL, "Close");
    if (HWND ok = ::GetDlgItem(m_hWnd, IDOK))
        ::EnableWindow(ok, FALSE);
}

BOOL CPropertySheet::ApplyPages()
{
    CPropertyPage* current = GetPage(m_nActive);
    if (current && current->m_hWnd && !current->OnKillActive())
        return FALSE;
    // Pages the user never opened keep their members as they were.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = m_pages[static_cast<size_t>(i)];
        if (!page->m_hWnd)
            continue;
        if (!page->OnApply()) {
            SetActivePage(i);
            return FALSE;
        }
    }
    PageChanged();
    return TRUE;
}

void CPropertySheet::OnOK()
{
    if (!ApplyPages())
        return;
    EndDialog(IDOK);
}

void CPropertySheet::OnApplyNow()
{
    HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW);
    if (apply && !::IsWindowEnabled(apply))
        return;
    if (!ApplyPages())
        return;
    // The current page stays in front, reloaded from its members.
    if (CPropertyPage* current = GetPage(m_nActive))
        current->OnSetActive();
}

void CPropertySheet::OnCancel()
{
    CPropertyPage* current = GetPage(m_nActive);
    if (current && current->m_hWnd && !current->OnQueryCancel())
        return;
    for (CPropertyPage* page : m_pages)
        if (page->m_hWnd)
            page->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnHelp()
{
    // Help is the current page's: its help command goes through its routing.
    if (CPropertyPage* current = GetPage(m_nActive))
        if (current->m_hWnd)
            current->SendMessage(WM_COMMAND, ID_HELP);
}

LRESULT CPropertySheet::OnSheetHelpInfo(WPARAM wParam, LPARAM lParam)
{
    // The sheet's OK, Cancel and Help belong to whichever page is shown: F1 there is that
    // page's help, as the Help button is.
    CPropertyPage* current = GetPage(m_nActive);
    if (!m_bAskingPageForHelp && current && current->m_hWnd) {
        m_bAskingPageForHelp = true;
        const LRESULT lResult = current->SendMessage(WM_HELP, wParam, lParam);
        m_bAskingPageForHelp = false;
        if (lResult)
            return lResult;
    }
    return OnHelpInfo(wParam, lParam);
}

void CPropertySheet::PressButton(int nButton)
{
    UINT id = 0;
    switch (nButton) {
    case PSBTN_OK:
    case PSBTN_FINISH:
        id = IDOK;
        break;
    case PSBTN_CANCEL:
        id = IDCANCEL;
        break;
    case PSBTN_APPLYNOW:
        id = ID_APPLY_NOW;
        break;
    case PSBTN_HELP:
        id = IDHELP;
        break;
    default:
        return;   // no wizard buttons on a tabbed sheet
    }
    // The sheet's own work for the button, past any handler a subclass put on the button's
    // command: such a handler may itself press the button when it is done.
    HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (!button || !::IsWindowEnabled(button))
        return;
    switch (id) {
    case IDOK:
        CPropertySheet::OnOK();
        break;
    case IDCANCEL:
        CPropertySheet::OnCancel();
        break;
    case ID_APPLY_NOW:
        OnApplyNow();
        break;
    default:
        OnHelp();
        break;
    }
}

void CPropertySheet::EndDialog(int nEndID)
{
    if (!m_hWnd)
        return;
    if (m_bModeless)
        DestroyWindow();
    else
        CDialog::EndDialog(nEndID);
}
