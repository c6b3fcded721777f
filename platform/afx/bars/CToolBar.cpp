#include "platform/afx/bars/CToolBar.h"

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kSeparator = 8;   // the gap a separator leaves

// Updates of a button from the command handlers: enabled and checked.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CToolBar*>(m_pOther);
        const int i = static_cast<int>(m_nIndex);
        UINT style = bar->GetButtonStyle(i) & ~static_cast<UINT>(TBBS_DISABLED);
        if (!bOn)
            style = (style | TBBS_DISABLED) & ~static_cast<UINT>(TBBS_PRESSED);
        bar->SetButtonStyle(i, style);
    }
    void SetCheck(int nCheck) override
    {
        auto* bar = static_cast<CToolBar*>(m_pOther);
        const int i = static_cast<int>(m_nIndex);
        UINT style = bar->GetButtonStyle(i) & ~static_cast<UINT>(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(i, style | TBBS_CHECKBOX);
    }
    void SetText(LPCTSTR) override {}   // buttons show no text
};

} // namespace

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_SIZE, &CToolBar::OnSizeMsg)
    ON_MESSAGE(WM_MOUSELEAVE, &CToolBar::OnMouseLeaveMsg)
END_MESSAGE_MAP()

CToolBar::CToolBar()
{
    m_cxLeftBorder = m_cxRightBorder = 4;
    m_cyTopBorder = m_cyBottomBorder = 2;
}

CToolBar::~CToolBar()
{
    if (m_hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
    m_pData = nullptr;
    m_nCount = 0;
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                    nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    SetBorders(&rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    const DWORD wndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | WS_CHILD | (dwCtrlStyle & TBSTYLE_FLAT);
    return CWnd::Create(AfxControlBarClass(), nullptr, wndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    // A button is never smaller than its image with the room its edges take.
    m_sizeImage = sizeImage;
    m_sizeButton.cx = std::max<LONG>(sizeButton.cx, sizeImage.cx + 7);
    m_sizeButton.cy = std::max<LONG>(sizeButton.cy, sizeImage.cy + 7);
    RelayoutForWindow();
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_TOOLBAR);
    HRSRC found = module ? ::FindResource(module, lpszResourceName, RT_TOOLBAR) : nullptr;
    if (!found)
        return FALSE;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    ToolBarTemplate toolbar;
    if (!data || !ReadToolBarTemplate(data, ::SizeofResource(module, found), toolbar))
        return FALSE;
    std::vector<UINT> ids(toolbar.items.begin(), toolbar.items.end());
    if (!SetButtons(ids.data(), static_cast<int>(ids.size())))
        return FALSE;
    SetSizes(CSize(toolbar.width + 7, toolbar.height + 7), CSize(toolbar.width, toolbar.height));
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    HBITMAP bitmap = module ? ::LoadBitmap(module, lpszResourceName) : nullptr;
    return bitmap ? SetBitmap(bitmap) : FALSE;
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell)
{
    if (m_hbmImageWell && m_hbmImageWell != hbmImageWell)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbmImageWell;
    if (m_hWnd)
        Invalidate();
    return hbmImageWell != nullptr;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0)
        return FALSE;
    m_buttons.assign(static_cast<size_t>(nIDCount), AFX_TBBUTTON{});
    int image = 0;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        AFX_TBBUTTON& button = m_buttons[i];
        button.nID = lpIDArray ? lpIDArray[i] : 0;
        if (button.nID == 0) {
            button.nStyle = TBBS_SEPARATOR;
        } else {
            button.nStyle = TBBS_BUTTON;
            button.iImage = image++;
        }
    }
    m_pData = m_buttons.data();
    m_nCount = nIDCount;
    RelayoutForWindow();
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].nID == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetButtonCount() ? m_buttons[static_cast<size_t>(nIndex)].nID : 0;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (nIndex >= 0 && nIndex < static_cast<int>(m_rects.size()))
        *lpRect = m_rects[static_cast<size_t>(nIndex)];
    else
        ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetButtonCount() ? m_buttons[static_cast<size_t>(nIndex)].nStyle : 0;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= GetButtonCount())
        return;
    AFX_TBBUTTON& button = m_buttons[static_cast<size_t>(nIndex)];
    if (button.nStyle == nStyle)
        return;
    const bool shape = ((button.nStyle ^ nStyle) & (TBBS_SEPARATOR | TBBS_HIDDEN)) != 0;
    button.nStyle = nStyle;
    if (shape)
        RelayoutForWindow();
    else
        InvalidateButton(nIndex);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    nID = GetItemID(nIndex);
    nStyle = GetButtonStyle(nIndex);
    iImage = nIndex >= 0 && nIndex < GetButtonCount() ? m_buttons[static_cast<size_t>(nIndex)].iImage : -1;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    if (nIndex < 0 || nIndex >= GetButtonCount())
        return;
    AFX_TBBUTTON& button = m_buttons[static_cast<size_t>(nIndex)];
    button.nID = nID;
    // A separator's "image" is its width, as callers that put a control in its place expect.
    button.iImage = iImage;
    button.nStyle = nStyle;
    RelayoutForWindow();
}

// ---- Layout ----

CSize CToolBar::LayoutButtons(BOOL bHorz, int nWidth)
{
    std::vector<CRect> rects(m_buttons.size());
    const int left = bHorz ? m_cxLeftBorder : m_cyTopBorder;
    const int top = bHorz ? m_cyTopBorder : m_cxLeftBorder;
    int x = left, y = top, right = left, bottom = top;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        AFX_TBBUTTON& button = m_buttons[i];
        button.nStyle &= ~static_cast<UINT>(TBBS_WRAPPED);
        if (button.nStyle & TBBS_HIDDEN)
            continue;
        const bool separator = (button.nStyle & TBBS_SEPARATOR) != 0;
        const int sepWidth = separator && button.iImage > 0 ? button.iImage : kSeparator;
        if (!bHorz) {
            // Along a side: one button under the other; a separator is a gap between them.
            rects[i] = separator ? CRect(x, y, x + m_sizeButton.cx, y + kSeparator)
                                 : CRect(CPoint(x, y), m_sizeButton);
            y = rects[i].bottom;
            button.nStyle |= TBBS_WRAPPED;
        } else {
            const int w = separator ? sepWidth : m_sizeButton.cx;
            // The next row when the button would pass the width; a separator there is dropped.
            // (Measured from the left margin: nWidth may be INT_MAX, "no limit".)
            if (x > left && x - left + w > nWidth) {
                if (i > 0)
                    m_buttons[i - 1].nStyle |= TBBS_WRAPPED;
                x = left;
                y += m_sizeButton.cy;
                if (separator)
                    continue;
            }
            rects[i] = CRect(x, y, x + w, y + m_sizeButton.cy);
            x += w;
        }
        right = std::max<int>(right, rects[i].right);
        bottom = std::max<int>(bottom, rects[i].bottom);
    }
    m_rects = std::move(rects);
    return CSize(right - left, bottom - top);
}

namespace {

CSize Insets(const CControlBar& bar, BOOL bHorz)
{
    CRect inset(0, 0, 0, 0);
    bar.CalcInsideRect(inset, bHorz);
    return CSize(inset.left - inset.right, inset.top - inset.bottom);
}

} // namespace

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const std::vector<CRect> kept = m_rects;
    CSize size = LayoutButtons(bHorz, INT_MAX) + Insets(*this, bHorz);
    m_rects = kept;   // a question about a size moves no button
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    if (nMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout(nMode & LM_STRETCH, (nMode & LM_HORZDOCK) != 0);
    const CSize insets = Insets(*this, TRUE);
    int width = (nMode & LM_MRUWIDTH) || nLength < 0 ? static_cast<int>(m_nMRUWidth) : nLength;
    if (nMode & LM_LENGTHY) {
        // A height asked for: the narrowest row count that fits it.
        const int rows = std::max(1, (nLength - insets.cy) / std::max<int>(1, m_sizeButton.cy));
        const int buttons = static_cast<int>(m_buttons.size());
        width = ((buttons + rows - 1) / rows) * m_sizeButton.cx + insets.cx;
    }
    const std::vector<CRect> kept = m_rects;
    CSize size = LayoutButtons(TRUE, std::max(width - insets.cx, static_cast<int>(m_sizeButton.cx))) + insets;
    m_rects = kept;
    if (nMode & LM_COMMIT)
        m_nMRUWidth = static_cast<UINT>(size.cx);
    return size;
}

void CToolBar::RelayoutForWindow()
{
    if (!m_hWnd) {
        LayoutButtons(TRUE, INT_MAX);
        return;
    }
    const BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) || (m_dwStyle & CBRS_FLOATING);
    int width = INT_MAX;
    if (m_dwStyle & CBRS_FLOATING) {
        CRect client;
        GetClientRect(&client);
        width = std::max<int>(client.Width() - m_cxLeftBorder - m_cxRightBorder, m_sizeButton.cx);
    }
    LayoutButtons(horz, width);
    Invalidate();
}

LRESULT CToolBar::OnSizeMsg(WPARAM, LPARAM)
{
    RelayoutForWindow();
    return 0;
}

// ---- Hit testing and the mouse ----

int CToolBar::HitTestButton(CPoint point) const
{
    for (size_t i = 0; i < m_rects.size(); ++i)
        if (!(m_buttons[i].nStyle & (TBBS_SEPARATOR | TBBS_HIDDEN)) && m_rects[i].PtInRect(point))
            return static_cast<int>(i);
    return -1;
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const int hit = HitTestButton(point);
    if (hit < 0)
        return CControlBar::OnToolHitTest(point, pTI);
    const UINT id = m_buttons[static_cast<size_t>(hit)].nID;
    if (pTI) {
        pTI->hwnd = m_hWnd;
        pTI->uId = id;
        pTI->rect = m_rects[static_cast<size_t>(hit)];
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return id;
}

void CToolBar::InvalidateButton(int nIndex)
{
    if (m_hWnd && nIndex >= 0 && nIndex < static_cast<int>(m_rects.size()))
        InvalidateRect(&m_rects[static_cast<size_t>(nIndex)], TRUE);
}

void CToolBar::OnLButtonDown(UINT nFlags, CPoint pt)
{
    const int hit = HitTestButton(pt);
    if (hit < 0 || (m_buttons[static_cast<size_t>(hit)].nStyle & TBBS_DISABLED)) {
        CControlBar::OnLButtonDown(nFlags, pt);   // not on a live button: the bar is dragged
        return;
    }
    m_iButtonCapture = hit;
    m_buttons[static_cast<size_t>(hit)].nStyle |= TBBS_PRESSED;
    InvalidateButton(hit);
    SetCapture();
}

void CToolBar::OnLButtonDblClk(UINT nFlags, CPoint pt)
{
    if (HitTestButton(pt) >= 0)
        OnLButtonDown(nFlags, pt);   // two quick clicks on a button are two clicks
    else
        CControlBar::OnLButtonDblClk(nFlags, pt);
}

void CToolBar::OnMouseMove(UINT, CPoint pt)
{
    if (m_iButtonCapture >= 0) {
        // Pressed while the mouse stays on it.
        AFX_TBBUTTON& button = m_buttons[static_cast<size_t>(m_iButtonCapture)];
        const bool inside = m_rects[static_cast<size_t>(m_iButtonCapture)].PtInRect(pt) != FALSE;
        const UINT style = inside ? (button.nStyle | TBBS_PRESSED) : (button.nStyle & ~static_cast<UINT>(TBBS_PRESSED));
        if (style != button.nStyle) {
            button.nStyle = style;
            InvalidateButton(m_iButtonCapture);
        }
        return;
    }
    if (!(GetStyle() & TBSTYLE_FLAT))
        return;
    const int hot = HitTestButton(pt);
    if (hot != m_iHot) {
        InvalidateButton(m_iHot);
        m_iHot = hot;
        InvalidateButton(m_iHot);
    }
}

LRESULT CToolBar::OnMouseLeaveMsg(WPARAM, LPARAM)
{
    InvalidateButton(m_iHot);
    m_iHot = -1;
    return 0;
}

void CToolBar::OnLButtonUp(UINT, CPoint pt)
{
    if (m_iButtonCapture < 0) {
        Default();
        return;
    }
    const int index = m_iButtonCapture;
    m_iButtonCapture = -1;
    if (CWnd::GetCapture() == this)
        ::ReleaseCapture();
    AFX_TBBUTTON& button = m_buttons[static_cast<size_t>(index)];
    const bool pressed = (button.nStyle & TBBS_PRESSED) != 0;
    button.nStyle &= ~static_cast<UINT>(TBBS_PRESSED);
    InvalidateButton(index);
    if (!pressed || !m_rects[static_cast<size_t>(index)].PtInRect(pt))
        return;   // let go elsewhere: no command
    if (button.nStyle & TBBS_CHECKBOX) {
        // A group's button stays down once pressed; a lone check box toggles.
        if ((button.nStyle & TBBS_CHECKGROUP) == TBBS_CHECKGROUP)
            button.nStyle |= TBBS_CHECKED;
        else
            button.nStyle ^= TBBS_CHECKED;
    }
    const UINT id = button.nID;
    if (CWnd* owner = GetOwner())
        owner->SendMessage(WM_COMMAND, id, 0);
}

// ---- Updates and painting ----

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_buttons.size());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        if (m_buttons[i].nStyle & TBBS_SEPARATOR)
            continue;
        state.m_nIndex = i;
        state.m_nID = m_buttons[i].nID;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void CToolBar::DrawButton(CDC* pDC, int nIndex)
{
    const AFX_TBBUTTON& button = m_buttons[static_cast<size_t>(nIndex)];
    const CRect& rect = m_rects[static_cast<size_t>(nIndex)];
    if (rect.IsRectEmpty() || (button.nStyle & TBBS_HIDDEN))
        return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    if (button.nStyle & TBBS_SEPARATOR) {
        // An etched line across the gap.
        const bool vertical = rect.Width() > rect.Height();
        if (vertical) {
            const int y = rect.top + rect.Height() / 2 - 1;
            pDC->FillSolidRect(rect.left + 2, y, rect.Width() - 4, 1, shadow);
            pDC->FillSolidRect(rect.left + 2, y + 1, rect.Width() - 4, 1, light);
        } else {
            const int x = rect.left + rect.Width() / 2 - 1;
            pDC->FillSolidRect(x, rect.top + 2, 1, rect.Height() - 4, shadow);
            pDC->FillSolidRect(x + 1, rect.top + 2, 1, rect.Height() - 4, light);
        }
        return;
    }
    const bool down = (button.nStyle & (TBBS_PRESSED | TBBS_CHECKED)) != 0;
    const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
    if (down)
        pDC->Draw3dRect(&rect, shadow, light);
    else if (!flat || nIndex == m_iHot)
        pDC->Draw3dRect(&rect, light, shadow);
    if (!m_hbmImageWell || button.iImage < 0)
        return;
    const int x = rect.left + (rect.Width() - m_sizeImage.cx) / 2 + (down ? 1 : 0);
    const int y = rect.top + (rect.Height() - m_sizeImage.cy) / 2 + (down ? 1 : 0);
    HDC memory = ::CreateCompatibleDC(pDC->m_hDC);
    HGDIOBJ old = ::SelectObject(memory, m_hbmImageWell);
    if (button.nStyle & TBBS_DISABLED) {
        // Grayed: the image's shape embossed in highlight and shadow.
        HBITMAP single = ::CreateCompatibleBitmap(pDC->m_hDC, m_sizeImage.cx, m_sizeImage.cy);
        HDC one = ::CreateCompatibleDC(pDC->m_hDC);
        HGDIOBJ oldOne = ::SelectObject(one, single);
        ::BitBlt(one, 0, 0, m_sizeImage.cx, m_sizeImage.cy, memory, button.iImage * m_sizeImage.cx, 0, SRCCOPY);
        ::DrawState(pDC->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(single), 0, x, y, m_sizeImage.cx,
                    m_sizeImage.cy, DST_BITMAP | DSS_DISABLED);
        ::SelectObject(one, oldOne);
        ::DeleteDC(one);
        ::DeleteObject(single);
    } else {
        ::BitBlt(pDC->m_hDC, x, y, m_sizeImage.cx, m_sizeImage.cy, memory, button.iImage * m_sizeImage.cx, 0, SRCCOPY);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void CToolBar::DoPaint(CDC* pDC)
{
    for (int i = 0; i < static_cast<int>(m_rects.size()); ++i)
        DrawButton(pDC, i);
}
