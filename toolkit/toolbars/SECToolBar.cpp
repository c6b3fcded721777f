// SECToolBar: layouts, wrapping and command-UI updates of a bar over the toolbar control.
#include "toolkit/toolbars/SECToolBar.h"

#include "platform/afx/AfxMessages.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/StandardControls.h"
#include "platform/controls/ToolTip.h"
#include "platform/win/Gdi.h"
#include "toolkit/toolbars/SECLoadSysColorBitmap.h"

#include <algorithm>

namespace {

// Wrapping at this width never wraps.
constexpr int kButtonNoWrap = 32767;
// The first version whose sizing needs the flat styles on, and the one version whose wrapping
// separators add no gap of their own.
constexpr DWORD kVersion471 = 0x40047;
// Bar styles the window keeps out of its own style, and the control styles it always has:
// no divider, no parent alignment, no resizing of its own.
constexpr DWORD kBarStyleBits = 0x40FFFF;
constexpr DWORD kStripFromWindow = 0x40FFB1;
constexpr DWORD kControlStyles = 0x4E;
// Styles the control wants while it sizes itself.
constexpr DWORD kSizingStyles = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;

bool IsCustomControl(const TBBUTTON& b)
{
    return (b.fsStyle & TBSTYLE_SEP) && b.idCommand != 0;
}

bool SameButton(const TBBUTTON& a, const TBBUTTON& b)
{
    return a.iBitmap == b.iBitmap && a.idCommand == b.idCommand && a.fsState == b.fsState && a.fsStyle == b.fsStyle
        && a.dwData == b.dwData && a.iString == b.iString;
}

} // namespace

IMPLEMENT_DYNAMIC(SECToolBar, SECControlBar)

DWORD SECToolBar::s_dwComCtlVersion = 0;
int SECToolBar::s_nDropDownWidth = -1;

SECToolBar::SECToolBar()
{
    m_cyTopBorder = 3;
    m_cyBottomBorder = 3;
}

SECToolBar::~SECToolBar()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
}

DWORD SECToolBar::GetComCtlVersion()
{
    if (s_dwComCtlVersion == 0) {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof(info);
        s_dwComCtlVersion = SUCCEEDED(DllGetVersion(&info)) ? MAKELONG(info.dwMinorVersion, info.dwMajorVersion) : 0x40000;
    }
    return s_dwComCtlVersion;
}

int SECToolBar::GetDropDownWidth()
{
    if (s_nDropDownWidth < 0)
        s_nDropDownWidth = ToolbarArrowWidth();
    return s_nDropDownWidth;
}

BOOL SECToolBar::Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                        CCreateContext*)
{
    m_dwStyle = dwStyle & kBarStyleBits;
    if (nID == AFX_IDW_TOOLBAR)
        m_dwStyle |= CBRS_HIDE_INPLACE;
    m_dwExStyle = dwExStyle;
    // A bar with border lines draws them raised, not as flat cool borders.
    if (m_dwStyle & CBRS_BORDER_ANY)
        m_dwExStyle &= ~static_cast<DWORD>(CBRS_EX_COOLBORDERS);
    RegisterStandardControls();
    GetComCtlVersion();
    GetDropDownWidth();
    // A bar is always a child of its frame, as every toolkit bar is.
    const DWORD wndStyle = (dwStyle & ~kStripFromWindow) | kControlStyles | WS_CHILD;
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, wndStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    // The control starts with sizes of its own; the bar lays out with its remembered ones, and
    // the two must agree or the buttons would overrun the size the bar asks for.
    Control(TB_SETBITMAPSIZE, 0, MAKELONG(m_sizeImage.cx, m_sizeImage.cy));
    Control(TB_SETBUTTONSIZE, 0, MAKELONG(m_sizeButton.cx, m_sizeButton.cy));
    if (m_dwExStyle & CBRS_EX_PROPORTIONAL)
        RecordChildLayout();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowText(lpszWindowName ? lpszWindowName : "");
    EnableToolTips(TRUE);
    m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
    return TRUE;
}

// ---- The control ----

LRESULT SECToolBar::Control(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return const_cast<SECToolBar*>(this)->DefWindowProc(message, wParam, lParam);
}

BOOL SECToolBar::GetButton(int nIndex, TBBUTTON* pButton) const
{
    if (!Control(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pButton)))
        return FALSE;
    // The bar's style word says "disabled" where the control says "enabled".
    pButton->fsState ^= TBSTATE_ENABLED;
    return TRUE;
}

void SECToolBar::SetButton(int nIndex, TBBUTTON* pButton)
{
    TBBUTTON current{};
    if (!Control(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&current)))
        return;
    TBBUTTON wanted = *pButton;
    wanted.fsState ^= TBSTATE_ENABLED;
    if (SameButton(wanted, current))
        return;
    // Delete and insert with the window hidden, so the bar is not redrawn for each half.
    const BOOL visible = (GetStyle() & WS_VISIBLE) != 0;
    ModifyStyle(WS_VISIBLE, 0);
    Control(TB_DELETEBUTTON, static_cast<WPARAM>(nIndex));
    Control(TB_INSERTBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&wanted));
    if (visible)
        ModifyStyle(0, WS_VISIBLE);
    const bool separatorChanged = ((wanted.fsStyle ^ current.fsStyle) & TBSTYLE_SEP)
        || ((wanted.fsStyle & TBSTYLE_SEP) && wanted.iBitmap != current.iBitmap);
    RECT rect;
    if (separatorChanged || !Control(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&rect)))
        Invalidate();
    else
        InvalidateRect(&rect);
}

UINT SECToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button{};
    if (!GetButton(nIndex, &button))
        return 0;
    return MAKELONG(button.fsStyle, button.fsState);
}

void SECToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTON button{};
    if (!GetButton(nIndex, &button))
        return;
    if (button.fsStyle != static_cast<BYTE>(LOWORD(nStyle)) || button.fsState != static_cast<BYTE>(HIWORD(nStyle))) {
        button.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
        button.fsState = static_cast<BYTE>(HIWORD(nStyle));
        SetButton(nIndex, &button);
        m_bDelayedButtonLayout = TRUE;
    }
}

UINT SECToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button{};
    return GetButton(nIndex, &button) ? static_cast<UINT>(button.idCommand) : 0;
}

void SECToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (m_bDelayedButtonLayout)
        const_cast<SECToolBar*>(this)->Layout();
    if (!Control(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

BOOL SECToolBar::SetImageBitmap(HBITMAP hbmImageWell)
{
    if (!hbmImageWell)
        return FALSE;
    BOOL ok = FALSE;
    if (m_hbmImageWell) {
        TBREPLACEBITMAP replace{};
        replace.nIDOld = reinterpret_cast<UINT_PTR>(m_hbmImageWell);
        replace.nIDNew = reinterpret_cast<UINT_PTR>(hbmImageWell);
        BITMAP info{};
        ::GetObject(hbmImageWell, sizeof(info), &info);
        replace.nButtons = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
        ok = Control(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&replace)) != 0;
    } else {
        BITMAP info{};
        ::GetObject(hbmImageWell, sizeof(info), &info);
        TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(hbmImageWell)};
        const int count = m_sizeImage.cx > 0 ? info.bmWidth / m_sizeImage.cx : 0;
        ok = Control(TB_ADDBITMAP, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&add)) != -1;
    }
    if (ok) {
        if (m_hbmImageWell)
            ::DeleteObject(m_hbmImageWell);
        m_hbmImageWell = hbmImageWell;
    }
    return ok;
}

// ---- Layout ----

CSize SECToolBar::CalcSize(const TBBUTTON* pData, int nCount) const
{
    const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
    const int arrow = (Control(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) ? GetDropDownWidth() : 0;
    CPoint cur(0, 0);
    CSize size(0, 0);
    for (int i = 0; i < nCount; ++i) {
        const TBBUTTON& b = pData[i];
        if (b.fsState & TBSTATE_HIDDEN)
            continue;
        // The gap a wrapping separator leaves under its row.
        int cySep = b.iBitmap;
        if (!flat && GetComCtlVersion() != kVersion471)
            cySep = cySep * 2 / 3;
        int cx = m_sizeButton.cx;
        if (b.fsStyle & TBSTYLE_SEP) {
            if (b.fsState & TBSTATE_WRAP)
                size.cy = std::max<LONG>(cur.y + m_sizeButton.cy + cySep, size.cy);
            else
                size.cx = std::max<LONG>(cur.x + b.iBitmap, size.cx);
            cur.x += b.iBitmap;
        } else {
            if (b.fsStyle & TBSTYLE_DROPDOWN)
                cx += arrow;
            size.cx = std::max<LONG>(cur.x + cx, size.cx);
            size.cy = std::max<LONG>(cur.y + m_sizeButton.cy, size.cy);
            cur.x += cx;
        }
        if (b.fsState & TBSTATE_WRAP) {
            cur.x = 0;
            cur.y += m_sizeButton.cy;
            if (b.fsStyle & TBSTYLE_SEP)
                cur.y += cySep;
        }
    }
    return size;
}

int SECToolBar::WrapToolBar(TBBUTTON* pData, int nCount, int nWidth) const
{
    const int arrow = (Control(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) ? GetDropDownWidth() : 0;
    int wraps = 0;
    int x = 0;
    for (int i = 0; i < nCount; ++i)
        pData[i].fsState &= static_cast<BYTE>(~TBSTATE_WRAP);
    for (int i = 0; i < nCount; ++i) {
        if (pData[i].fsState & TBSTATE_HIDDEN)
            continue;
        int dx = 0;
        if (pData[i].fsStyle & TBSTYLE_SEP) {
            dx = pData[i].iBitmap;
        } else {
            dx = m_sizeButton.cx;
            if (pData[i].fsStyle & TBSTYLE_DROPDOWN)
                dx += arrow;
        }
        if (x + dx <= nWidth) {
            x += dx;
            continue;
        }
        // Too wide: break at the last plain separator of this row, else after the last
        // button before this one; separators that host a control never break a row.
        bool found = false;
        for (int j = i; j >= 0 && !(pData[j].fsState & TBSTATE_WRAP); --j) {
            if ((pData[j].fsStyle & TBSTYLE_SEP) && pData[j].idCommand == 0 && !(pData[j].fsState & TBSTATE_HIDDEN)) {
                pData[j].fsState |= TBSTATE_WRAP;
                i = j;
                x = 0;
                found = true;
                ++wraps;
                break;
            }
        }
        if (found)
            continue;
        for (int j = i - 1; j >= 0 && !(pData[j].fsState & TBSTATE_WRAP); --j) {
            if ((pData[j].fsState & TBSTATE_HIDDEN) || IsCustomControl(pData[j]))
                continue;
            pData[j].fsState |= TBSTATE_WRAP;
            i = j;
            x = 0;
            found = true;
            ++wraps;
            break;
        }
        if (!found)
            x += dx;
    }
    return wraps + 1;
}

void SECToolBar::SizeToolBar(TBBUTTON* pData, int nCount, int nLength, BOOL bVert) const
{
    if (!pData || nCount <= 0)
        return;
    if (!bVert) {
        // The narrowest wrap width that keeps the rows of wrapping at nLength.
        const int target = WrapToolBar(pData, nCount, nLength);
        int lo = 0;
        int hi = std::max(nLength, 0);
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (WrapToolBar(pData, nCount, mid) <= target)
                hi = mid;
            else
                lo = mid + 1;
        }
        WrapToolBar(pData, nCount, hi);
        // Wrap again at the width the rows really take, so that the layout is stable.
        WrapToolBar(pData, nCount, CalcSize(pData, nCount).cx);
        return;
    }
    // The narrowest wrap width, between a button per row and a single row, whose height stays
    // within nLength; the single row when none does.
    WrapToolBar(pData, nCount, 0);
    int lo = CalcSize(pData, nCount).cx;
    WrapToolBar(pData, nCount, kButtonNoWrap);
    int hi = std::max<int>(CalcSize(pData, nCount).cx, lo);
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        WrapToolBar(pData, nCount, mid);
        if (CalcSize(pData, nCount).cy <= nLength)
            hi = mid;
        else
            lo = mid + 1;
    }
    WrapToolBar(pData, nCount, hi);
}

CSize SECToolBar::CalcLayout(DWORD dwMode, int nLength)
{
    const int count = m_hWnd ? static_cast<int>(Control(TB_BUTTONCOUNT)) : 0;
    std::vector<TBBUTTON> buttons(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        GetButton(i, &buttons[static_cast<size_t>(i)]);
    CSize size(0, 0);
    if (count > 0) {
        TBBUTTON* data = buttons.data();
        if (dwMode & LM_STRETCH)
            nLength = static_cast<int>(static_cast<float>(nLength) * m_fPctWidth);
        if (!(m_dwStyle & CBRS_SIZE_FIXED)) {
            const BOOL dynamic = (m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
            if (dynamic && (dwMode & LM_MRUWIDTH)) {
                SizeToolBar(data, count, static_cast<int>(m_nMRUWidth));
            } else if (dynamic && (dwMode & LM_HORZDOCK)) {
                SizeToolBar(data, count, kButtonNoWrap);
            } else if (dynamic && (dwMode & LM_VERTDOCK)) {
                SizeToolBar(data, count, 0);
            } else if (dynamic && nLength != -1) {
                CRect inside(0, 0, 0, 0);
                CalcInsideRect(inside, (dwMode & LM_HORZ) != 0);
                const BOOL vert = (dwMode & LM_LENGTHY) != 0;
                SizeToolBar(data, count, nLength + (vert ? inside.Height() : inside.Width()), vert);
            } else if (dynamic && (m_dwStyle & CBRS_FLOATING)) {
                SizeToolBar(data, count, static_cast<int>(m_nMRUWidth));
            } else {
                SizeToolBar(data, count, (dwMode & LM_HORZ) ? kButtonNoWrap : 0);
            }
        }
        size = CalcSize(data, count);

        if (dwMode & LM_COMMIT) {
            // Controls sitting on separators move with their separators.
            struct ControlPos {
                int index;
                UINT id;
                CRect oldRect;
            };
            std::vector<ControlPos> controls;
            const BOOL delayed = m_bDelayedButtonLayout;
            m_bDelayedButtonLayout = FALSE;
            for (int i = 0; i < count; ++i) {
                if (!IsCustomControl(data[i]))
                    continue;
                CRect rect;
                GetItemRect(i, &rect);
                ClientToScreen(&rect);
                controls.push_back({i, static_cast<UINT>(data[i].idCommand), rect});
            }
            if ((m_dwStyle & CBRS_FLOATING) && (m_dwStyle & CBRS_SIZE_DYNAMIC))
                m_nMRUWidth = static_cast<UINT>(size.cx);
            for (int i = 0; i < count; ++i)
                SetButton(i, &data[i]);
            for (const ControlPos& c : controls) {
                HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(c.id));
                if (!child)
                    continue;
                CRect now;
                ::GetWindowRect(child, &now);
                CPoint pt = now.TopLeft() - c.oldRect.TopLeft();
                CRect rect;
                GetItemRect(c.index, &rect);
                ClientToScreen(&rect);
                pt += rect.TopLeft();
                ScreenToClient(&pt);
                ::SetWindowPos(child, nullptr, pt.x, pt.y, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
            }
            m_bDelayedButtonLayout = delayed;
        }
    }

    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, (dwMode & LM_HORZ) != 0);
    size.cy -= inside.Height();
    size.cx -= inside.Width();
    const CSize fixed = CControlBar::CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
    size.cx = std::max(size.cx, fixed.cx);
    size.cy = std::max(size.cy, fixed.cy);

    if (dwMode & LM_COMMIT) {
        if ((m_dwStyle & CBRS_FLOATING) || (dwMode & LM_MRUWIDTH)) {
            // The mini frame's own border takes what the floating bar would draw.
            size.cy -= 2;
            m_szFloat = size;
            m_bDirtyFloat = FALSE;
        } else if (dwMode & LM_HORZDOCK) {
            m_szHorz = size;
            m_bDirtyHorz = FALSE;
        } else if (dwMode & LM_VERTDOCK) {
            m_szVert = size;
            m_bDirtyVert = FALSE;
        }
    }
    return size;
}

void SECToolBar::Layout()
{
    m_bDelayedButtonLayout = FALSE;
    if ((m_dwStyle & CBRS_FLOATING) && (m_dwStyle & CBRS_SIZE_DYNAMIC))
        CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    else if (m_dwStyle & CBRS_ORIENT_HORZ)
        CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    else
        CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
}

CSize SECToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CalcLayout((bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ : 0));
}

CSize SECToolBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    if (!(nMode & LM_COMMIT)) {
        if (((nMode & LM_HORZDOCK) && m_bDirtyHorz) || ((nMode & LM_VERTDOCK) && m_bDirtyVert)
            || ((nMode & LM_MRUWIDTH) && m_bDirtyFloat))
            return CalcLayout(nMode | LM_COMMIT, (nMode & LM_VERTDOCK) ? 0 : kButtonNoWrap);
        if (nMode & LM_HORZDOCK)
            return m_szHorz;
        if (nMode & LM_VERTDOCK)
            return m_szVert;
        if (nMode & LM_MRUWIDTH)
            return m_szFloat;
    } else {
        const bool across = ((nMode & LM_HORZDOCK) && (nMode & LM_LENGTHY))
            || ((nMode & LM_VERTDOCK) && !(nMode & LM_LENGTHY));
        if (!across)
            return CalcLayout(nMode, nLength);
    }
    return SECControlBar::CalcDynamicLayout(nLength, nMode);
}

void SECToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    SECControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
    if (m_hWnd && ((dwOldStyle ^ dwNewStyle) & CBRS_BORDER_ANY))
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_bDelayedButtonLayout = TRUE;
}

// ---- Command UI and tips ----

void SECToolCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<SECToolBar*>(m_pOther);
    const int index = static_cast<int>(m_nIndex);
    UINT style = bar->GetButtonStyle(index) & ~static_cast<UINT>(TBBS_DISABLED);
    if (!bOn)
        style |= TBBS_DISABLED;
    bar->SetButtonStyle(index, style);
}

void SECToolCmdUI::SetCheck(int nCheck)
{
    auto* bar = static_cast<SECToolBar*>(m_pOther);
    const int index = static_cast<int>(m_nIndex);
    UINT style = bar->GetButtonStyle(index) & ~static_cast<UINT>(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1)
        style |= TBBS_CHECKED;
    else if (nCheck == 2)
        style |= TBBS_INDETERMINATE;
    bar->SetButtonStyle(index, style | TBBS_CHECKBOX);
}

void SECToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    SECToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(Control(TB_BUTTONCOUNT));
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        TBBUTTON button{};
        if (!GetButton(static_cast<int>(i), &button) || (button.fsStyle & TBSTYLE_SEP))
            continue;
        state.m_nIndex = i;
        state.m_nID = static_cast<UINT>(button.idCommand);
        // The bar's own handlers come first: a reflected update, then one for the id.
        if (CWnd::OnCmdMsg(0, static_cast<int>(MAKELONG(CN_UPDATE_COMMAND_UI & 0xFF, WM_COMMAND + WM_REFLECT_BASE)),
                           &state, nullptr))
            continue;
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

INT_PTR SECToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const INT_PTR hit = SECControlBar::OnToolHitTest(point, pTI);
    if (hit != -1)
        return hit;
    const int count = static_cast<int>(Control(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        CRect rect;
        if (!Control(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button))
            || !Control(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect)))
            continue;
        ++rect.right;
        ++rect.bottom;
        if (!rect.PtInRect(point) || (button.fsStyle & TBSTYLE_SEP))
            continue;
        if (pTI) {
            pTI->hwnd = m_hWnd;
            pTI->uId = static_cast<UINT_PTR>(button.idCommand);
            pTI->rect = rect;
            pTI->lpszText = LPSTR_TEXTCALLBACK;
        }
        return button.idCommand;
    }
    return -1;
}

// ---- Messages ----

LRESULT SECToolBar::WithSizingStyles(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetComCtlVersion() < kVersion471)
        return CWnd::WindowProc(message, wParam, lParam);
    const DWORD old = GetStyle();
    ModifyStyle(0, kSizingStyles);
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (m_hWnd)
        ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(old));
    return result;
}

LRESULT SECToolBar::OnNcCalcSizeToolBar(WPARAM, LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (!rect)
        return 0;
    CRect inside(0, 0, 0, 0);
    // Borders are laid out as for a horizontal bar when the bar lies along the top or bottom.
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    if (GetComCtlVersion() < kVersion471)
        inside.top -= 2;
    rect->left += inside.left;
    rect->top += inside.top;
    rect->right = std::max(rect->left, rect->right + inside.right);
    rect->bottom = std::max(rect->top, rect->bottom + inside.bottom);
    return 0;
}

LRESULT SECToolBar::OnNcPaintToolBar()
{
    // The non-client band carries the face colour, the borders and the gripper.
    CWindowDC dc(this);
    CRect window = FillNonClientBand(dc);
    DrawBorders(&dc, window);
    return 0;
}

LRESULT SECToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (m_hWndOwner)
            Control(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWndOwner));
        // The control reads the records at their native size.
        Control(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
        return result;
    }
    case WM_NCCALCSIZE:
        return OnNcCalcSizeToolBar(wParam, lParam);
    case WM_NCPAINT:
        return OnNcPaintToolBar();
    case WM_PAINT:
        m_bDelayedButtonLayout = FALSE;
        return CWnd::DefWindowProc(message, wParam, lParam);
    case WM_ERASEBKGND:
        return CWnd::DefWindowProc(message, wParam, lParam);
    case TB_SETBUTTONSIZE:
    case TB_SETBITMAPSIZE: {
        const LRESULT result = WithSizingStyles(message, wParam, lParam);
        if (result) {
            const CSize size(LOWORD(lParam), HIWORD(lParam));
            (message == TB_SETBUTTONSIZE ? m_sizeButton : m_sizeImage) = size;
            m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE;
        }
        return result;
    }
    case WM_SETTINGCHANGE:
    case WM_SETFONT:
        return WithSizingStyles(message, wParam, lParam);
    case WM_SYSCOLORCHANGE: {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (m_hRsrcImageWell && m_hbmImageWell) {
            CBitmap bitmap;
            if (SECLoadSysColorBitmap(bitmap, m_hRsrcImageWell)) {
                HBITMAP fresh = static_cast<HBITMAP>(bitmap.Detach());
                if (!SetImageBitmap(fresh))
                    ::DeleteObject(fresh);
            }
        }
        return result;
    }
    case WM_WINDOWPOSCHANGING:
        m_bDelayedButtonLayout = TRUE;
        return CWnd::WindowProc(message, wParam, lParam);
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
