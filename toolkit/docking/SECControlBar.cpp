#include "toolkit/docking/SECControlBar.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBarManager.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECMiniDockFrameWnd.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/res/ToolkitRes.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECControlBar, CControlBar)

BEGIN_MESSAGE_MAP(SECControlBar, CControlBar)
    ON_MESSAGE(WM_NCCALCSIZE, &SECControlBar::OnNcCalcSizeSEC)
    ON_MESSAGE(WM_NCPAINT, &SECControlBar::OnNcPaintSEC)
    ON_MESSAGE(WM_SETTEXT, &SECControlBar::OnSetTextSEC)
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CONTEXTMENU()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_SEC_ALLOWDOCKING, &SECControlBar::OnAllowDocking)
    ON_COMMAND(ID_SEC_HIDE, &SECControlBar::OnHide)
    ON_COMMAND(ID_SEC_MDIFLOAT, &SECControlBar::OnFloatInMainWindow)
END_MESSAGE_MAP()

BOOL SECIsKindOf(const CObject* pObject, LPCSTR lpszClassName)
{
    if (!pObject)
        return FALSE;
    CRuntimeClass* cls = CRuntimeClass::FromName(lpszClassName);
    return cls && pObject->IsKindOf(cls);
}

SECControlBar::SECControlBar() = default;

SECControlBar::~SECControlBar()
{
    if (m_hWnd)
        DestroyWindow();
    FreeChildLayout();
}

// ---- Creation ----

BOOL SECControlBar::Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                           CCreateContext* pContext)
{
    return CreateEx(nullptr, lpszWindowName, nID, dwStyle, dwExStyle, CRect(0, 0, 0, 0), pParentWnd, pContext);
}

BOOL SECControlBar::CreateEx(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                             const RECT& rect, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    m_dwExStyle = dwExStyle;
    const DWORD wndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | WS_CHILD;
    LPCTSTR cls = lpszClassName ? lpszClassName : AfxControlBarClass();
    if (!CWnd::Create(cls, lpszWindowName, wndStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    if (m_dwExStyle & CBRS_EX_PROPORTIONAL)
        RecordChildLayout();
    m_szHorz = m_szVert = m_szFloat = DefaultSize();
    EnableToolTips(TRUE);
    return TRUE;
}

// ---- Layout ----

CSize SECControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return bHorz ? m_szHorz : m_szVert;
}

CSize SECControlBar::CalcDynamicLayout(int nLength, DWORD nMode)
{
    if (nMode & LM_COMMIT) {
        int value = nLength;
        if (nMode & LM_STRETCH)
            value = static_cast<int>(static_cast<float>(nLength) * m_fPctWidth);
        if (nMode & LM_HORZDOCK) {
            if (nMode & LM_LENGTHY)
                m_szHorz.cy = value;
            else
                m_szHorz.cx = value;
        } else if (nMode & LM_VERTDOCK) {
            if (nMode & LM_LENGTHY)
                m_szVert.cy = value;
            else
                m_szVert.cx = value;
        } else if (nMode & LM_LENGTHY) {
            m_szFloat.cy = value;
        } else {
            m_szFloat.cx = value;
            m_nMRUWidth = static_cast<UINT>(value);
        }
    }
    if (nMode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout(nMode & LM_STRETCH, nMode & LM_HORZ);
    return m_szFloat;
}

BOOL SECControlBar::HasGripper() const
{
    return (m_dwExStyle & CBRS_EX_GRIPPER) != 0;
}

void SECControlBar::GetInsideRect(CRect& rect)
{
    GetClientRect(&rect);
    if (HasGripper() && !IsFloating()) {
        AddGripperExtent(rect, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    } else if (m_dwExStyle & CBRS_EX_BORDERSPACE) {
        rect.left += m_rcBorderSpace.left;
        rect.top += m_rcBorderSpace.top;
        rect.right -= m_rcBorderSpace.right;
        rect.bottom -= m_rcBorderSpace.bottom;
    }
}

void SECControlBar::FitChild(CWnd& child)
{
    if (!m_hWnd || !child.GetSafeHwnd())
        return;
    CRect inside;
    GetInsideRect(inside);
    inside.right = std::max(inside.right, inside.left);
    inside.bottom = std::max(inside.bottom, inside.top);
    CRect was;
    child.GetWindowRect(&was);
    ScreenToClient(&was);
    if (was == inside)
        return;
    child.SetWindowPos(nullptr, inside.left, inside.top, inside.Width(), inside.Height(),
                       SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    // The bar's own strips (the gripper, the inset) are drawn where the child stood.
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void SECControlBar::AddGripperExtent(CRect& rect, BOOL bHorz)
{
    if (bHorz)
        rect.left += m_GripperInfo.GetHorzExtent();
    else
        rect.top += m_GripperInfo.GetVertExtent();
}

void SECControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    CalcInsideRect(rect, bHorz, TRUE);
}

void SECControlBar::CalcInsideRect(CRect& rect, BOOL bHorz, BOOL bAllowGripper) const
{
    // The borders are drawn inside the window: a flat bar gives one pixel per bordered side,
    // any other the toolkit border width.
    const SECGlobalData& data = SECGetGlobalData();
    const int cx = (m_dwExStyle & CBRS_EX_COOLBORDERS) ? 1 : data.m_cxBorder2;
    const int cy = (m_dwExStyle & CBRS_EX_COOLBORDERS) ? 1 : data.m_cyBorder2;
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += cx;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += cy;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= cx;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= cy;
    if (bAllowGripper && HasGripper() && !(m_dwStyle & CBRS_FLOATING)) {
        if (bHorz)
            rect.left += m_GripperInfo.GetHorzExtent();
        else
            rect.top += m_GripperInfo.GetVertExtent();
    }
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

LRESULT SECControlBar::OnNcCalcSizeSEC(WPARAM, LPARAM)
{
    // The toolkit draws its borders and gripper inside the client area.
    return 0;
}

LRESULT SECControlBar::OnNcPaintSEC(WPARAM, LPARAM)
{
    // The borders are drawn inside the client area; a band that a bar keeps outside it (as the
    // status bar does) is the face colour, at whatever size the bar has now.
    CWindowDC dc(this);
    FillNonClientBand(dc);
    return 0;
}

LRESULT SECControlBar::OnSetTextSEC(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    // A bar floating on its own names its floating frame. A saved layout floats the bar first
    // and names it only afterwards: the frame's caption follows the new name.
    CDockBar* pDockBar = m_pDockBar;
    if (pDockBar != nullptr && pDockBar->m_bFloating && pDockBar->m_hWnd != nullptr &&
        !(pDockBar->GetBarStyle() & CBRS_FLOAT_MULTI) && pDockBar->GetDockedCount() == 1) {
        const CString strName(lParam != 0 ? reinterpret_cast<LPCTSTR>(lParam) : "");
        pDockBar->SetWindowText(strName);
        if (CWnd* pFrame = pDockBar->GetParent(); pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
            pFrame->SetWindowText(SECCutTitle(strName, kSECFloatingCaptionBytes));
    }
    return result;
}


void SECControlBar::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED || cx < 1 || cy < 1)
        return;

    CPoint origin(0, 0);
    CSize size(cx, cy);
    const int margin = m_GripperInfo.m_nMargin;
    if (HasGripper()) {
        if (m_dwStyle & CBRS_ORIENT_HORZ) {
            origin = CPoint(m_GripperInfo.GetHorzExtent(), margin);
            size = CSize(cx - m_GripperInfo.GetHorzExtent() - margin, cy - 2 * margin);
        } else {
            origin = CPoint(margin, m_GripperInfo.GetVertExtent());
            size = CSize(cx - 2 * margin, cy - m_GripperInfo.GetVertExtent() - margin);
        }
    } else if (m_dwExStyle & CBRS_EX_BORDERSPACE) {
        origin = CPoint(m_rcBorderSpace.left, m_rcBorderSpace.top);
        size = CSize(cx - m_rcBorderSpace.left - m_rcBorderSpace.right, cy - m_rcBorderSpace.top - m_rcBorderSpace.bottom);
    }
    size.cx = std::max<LONG>(size.cx, 0);
    size.cy = std::max<LONG>(size.cy, 0);

    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (SECDockBar::m_bNoRedraw)
        flags |= SWP_NOREDRAW;

    // Records scale the children whatever the style: a dialog bar records without it.
    if (m_pChildLayout && m_pChildLayout->GetSize() > 0) {
        auto* first = static_cast<ChildRecord*>(m_pChildLayout->GetAt(0));
        // A bar made with an empty rectangle recorded nothing to scale by: record again now
        // that it has a size, instead of dividing by zero.
        if (first->rect.Width() <= 0 || first->rect.Height() <= 0) {
            RecordChildLayout();
            first = static_cast<ChildRecord*>(m_pChildLayout->GetAt(0));
            if (first->rect.Width() <= 0 || first->rect.Height() <= 0)
                return;
        }
        const long w0 = first->rect.Width(), h0 = first->rect.Height();
        HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_pChildLayout->GetSize()));
        for (INT_PTR i = 1; i < m_pChildLayout->GetSize(); ++i) {
            auto* rec = static_cast<ChildRecord*>(m_pChildLayout->GetAt(i));
            if (!::IsWindow(rec->hwnd))
                continue;
            CRect r(static_cast<int>(rec->rect.left * size.cx / w0) + origin.x,
                    static_cast<int>(rec->rect.top * size.cy / h0) + origin.y,
                    static_cast<int>(rec->rect.right * size.cx / w0) + origin.x,
                    static_cast<int>(rec->rect.bottom * size.cy / h0) + origin.y);
            if (m_dwExStyle & CBRS_EX_BORDERSPACE)
                r.OffsetRect(m_rcBorderSpace.left, m_rcBorderSpace.top);
            hdwp = ::DeferWindowPos(hdwp, rec->hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), flags);
        }
        ::EndDeferWindowPos(hdwp);
        if (IsFloating())
            Invalidate();
    } else if ((m_dwExStyle & CBRS_EX_SIZE_TO_FIT) && !IsFloating()) {
        if (HWND child = ::GetWindow(m_hWnd, GW_CHILD))
            ::SetWindowPos(child, nullptr, origin.x, origin.y, size.cx, size.cy, flags);
    }
}

void SECControlBar::RecordChildLayout()
{
    FreeChildLayout();
    m_pChildLayout = new CPtrArray;
    CRect client;
    GetClientRect(&client);
    m_pChildLayout->Add(new ChildRecord{nullptr, client});
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CRect r;
        ::GetWindowRect(child, &r);
        ScreenToClient(&r);
        m_pChildLayout->Add(new ChildRecord{child, r});
    }
}

void SECControlBar::FreeChildLayout()
{
    if (!m_pChildLayout)
        return;
    for (INT_PTR i = 0; i < m_pChildLayout->GetSize(); ++i)
        delete static_cast<ChildRecord*>(m_pChildLayout->GetAt(i));
    delete m_pChildLayout;
    m_pChildLayout = nullptr;
}

// ---- Docking ----

CDockContext* SECControlBar::CreateDockContext()
{
    return new SECDockContext(this);
}

void SECControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = CreateDockContext();
    if (m_hWndOwner == nullptr && m_hWnd)
        m_hWndOwner = ::GetParent(m_hWnd);
}

SECDockBar* SECControlBar::GetSECDockBar() const
{
    if (m_pDockBar && m_pDockBar->IsKindOf(RUNTIME_CLASS(SECDockBar)))
        return static_cast<SECDockBar*>(m_pDockBar);
    return nullptr;
}

BOOL SECControlBar::IsFloatingInMDIChild() const
{
    if (IsKindOf(RUNTIME_CLASS(SECDockBar)))
        return static_cast<const SECDockBar*>(static_cast<const CControlBar*>(this))->m_bMDIChild;
    if (SECDockBar* dock = GetSECDockBar())
        return dock->m_bMDIChild;
    return FALSE;
}

UINT SECControlBar::FindFreeBarID(UINT nFirst)
{
    CFrameWnd* frame = m_pDockSite ? m_pDockSite : GetParentFrame();
    if (!frame)
        frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (!frame)
        return nFirst;
    for (UINT id = nFirst, tries = 0; tries < 1000; ++id, ++tries)
        if (!frame->GetControlBar(id))
            return id;
    return 0;
}

// ---- Extended style ----

void SECControlBar::SetExBarStyle(DWORD dwExStyle, BOOL bRedraw)
{
    const DWORD old = m_dwExStyle;
    if (IsFloating() && m_hWnd) {
        if (CFrameWnd* mini = GetParentFrame()) {
            if (dwExStyle & CBRS_EX_UNIDIRECTIONAL)
                mini->ModifyStyle(0, MFS_4THICKFRAME);
            else
                mini->ModifyStyle(MFS_4THICKFRAME, WS_THICKFRAME | MFS_THICKFRAME);
            // The floating frame keeps its place and size; only its frame is drawn anew.
            mini->SetWindowPos(nullptr, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }
    // Records made without the style (a dialog bar records at creation) stay: only switching the
    // style itself on or off records or frees them.
    if ((old ^ dwExStyle) & CBRS_EX_PROPORTIONAL) {
        if ((dwExStyle & CBRS_EX_PROPORTIONAL) && m_hWnd)
            RecordChildLayout();
        else
            FreeChildLayout();
    }
    m_dwExStyle = dwExStyle;
    if (old != dwExStyle && bRedraw && m_hWnd) {
        // To the top of the z-order; the bar keeps its size, and a delayed layout places it
        // with its new style.
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (CFrameWnd* frame = GetDockingFrame())
            frame->DelayRecalcLayout();
        Invalidate();
    }
}

void SECControlBar::ModifyBarStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    SetExBarStyle((m_dwExStyle & ~dwRemove) | dwAdd, bRedraw);
}

// ---- Drawing ----

void SECControlBar::DoPaint(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    DrawBorders(pDC, rect);
    if (m_hWndRedraw && ::IsWindow(m_hWndRedraw))
        ::RedrawWindow(m_hWndRedraw, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void SECControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    if (!(m_dwStyle & CBRS_BORDER_ANY))
        return;
    const SECGlobalData& data = SECGetGlobalData();
    const DWORD style = m_dwStyle;
    if (m_dwExStyle & CBRS_EX_COOLBORDERS) {
        if (style & CBRS_BORDER_LEFT)
            rect.left += 1;
        if (style & CBRS_BORDER_TOP)
            rect.top += 1;
        if (style & CBRS_BORDER_RIGHT)
            rect.right -= 1;
        if (style & CBRS_BORDER_BOTTOM)
            rect.bottom -= 1;
        if (HasGripper())
            DrawGripper(pDC, rect);
        return;
    }
    const BOOL shadow = (m_dwExStyle & CBRS_EX_SHADOWBORDERS) != 0;
    const COLORREF clr = shadow ? (data.m_bWin4 ? data.clrBtnShadow : data.clrWindowFrame) : data.clrBtnFace;
    const COLORREF clr2 = shadow ? data.clrBtnHilite : data.clrBtnFace;
    const BOOL is3D = (style & CBRS_BORDER_3D) != 0;
    const BOOL horzDocked = (style & CBRS_ORIENT_HORZ) != 0;
    CRect r = rect;
    // Along the top and bottom the lines run the full length; a vertical bar's left line
    // reaches 2 pixels higher and its top and bottom lines start at x = 2.
    const int xStart = horzDocked ? r.left : r.left + 2;
    const int xLen = horzDocked ? r.Width() : r.Width() - 3;
    if (style & CBRS_BORDER_LEFT) {
        const int top = horzDocked ? r.top : r.top - 2;
        const int len = horzDocked ? r.Height() : r.Height() + 6;
        pDC->FillSolidRect(r.left, top, 1, len, clr);
        if (is3D)
            pDC->FillSolidRect(r.left + 1, top, 1, len, clr2);
    }
    if (style & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(xStart, r.top, xLen, 1, clr);
        if (is3D)
            pDC->FillSolidRect(xStart, r.top + 1, xLen, 1, clr2);
    }
    if (style & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(r.right - 1, r.top, 1, r.Height(), clr);
        if (is3D)
            pDC->FillSolidRect(r.right - 2, r.top, 1, r.Height(), clr2);
    }
    if (style & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(xStart, r.bottom - 1, xLen, 1, clr);
        if (is3D)
            pDC->FillSolidRect(xStart, r.bottom - 2, xLen, 1, clr2);
    }
    if (style & CBRS_BORDER_LEFT)
        rect.left += data.m_cxBorder2;
    if (style & CBRS_BORDER_TOP)
        rect.top += data.m_cyBorder2;
    if (style & CBRS_BORDER_RIGHT)
        rect.right -= data.m_cxBorder2;
    if (style & CBRS_BORDER_BOTTOM)
        rect.bottom -= data.m_cyBorder2;
}

void SECControlBar::DrawGripper(CDC* pDC, CRect& rectIn)
{
    if (IsFloating())
        return;
    const SECGlobalData& data = SECGetGlobalData();
    CRect rect = rectIn;
    rect.DeflateRect(1, 1);
    const int margin = m_GripperInfo.m_nMargin;
    const BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CRect grip;
    if (horz)
        grip.SetRect(rect.left, rect.top + margin, rect.left + m_GripperInfo.GetHorzExtent(), rect.bottom - margin);
    else
        grip.SetRect(rect.left + margin, rect.top, rect.right - margin, rect.top + m_GripperInfo.GetVertExtent());
    if (m_dwExStyle & CBRS_EX_GRIPPER_CLOSE)
        PlaceCloseButton(pDC, grip, horz);
    else
        m_rcClose.SetRectEmpty();
    if (m_dwExStyle & CBRS_EX_GRIPPER_EXPAND)
        PlaceExpandButton(pDC, grip, horz);
    else
        m_rcExpand.SetRectEmpty();
    if (horz) {
        if (grip.Height() > 0) {
            pDC->Draw3dRect(grip.left + 4, grip.top, 3, grip.Height(), data.clrBtnHilite, data.clrBtnShadow);
            pDC->Draw3dRect(grip.left + 8, grip.top, 3, grip.Height(), data.clrBtnHilite, data.clrBtnShadow);
        }
    } else if (grip.Width() > 0) {
        pDC->Draw3dRect(grip.left, grip.top + 4, grip.Width(), 3, data.clrBtnHilite, data.clrBtnShadow);
        pDC->Draw3dRect(grip.left, grip.top + 8, grip.Width(), 3, data.clrBtnHilite, data.clrBtnShadow);
    }
}

namespace {

// A gripper button takes its square from the gripper's far end, which then gives up that room.
CRect PlaceGripperButton(CRect& rect, BOOL bHorz, const SECGripperInfo& info)
{
    CRect button;
    if (bHorz) {
        button.left = std::max<LONG>(rect.left + info.m_cxLead - 2, 0);
        button.right = std::min<LONG>(rect.right - info.m_cxTail + 2, rect.right);
        button.top = rect.top;
        button.bottom = button.top + (button.right - button.left);
        rect.top = button.bottom + 2;
    } else {
        button.top = std::max<LONG>(rect.top + info.m_cyLead - 2, 0);
        button.bottom = std::min<LONG>(rect.bottom - info.m_cyTail + 2, rect.bottom);
        button.right = rect.right;
        button.left = button.right - (button.bottom - button.top);
        rect.right = button.left - 2;
    }
    return button;
}

} // namespace

void SECControlBar::PlaceCloseButton(CDC* pDC, CRect& rect, BOOL bHorz)
{
    m_rcClose = PlaceGripperButton(rect, bHorz, m_GripperInfo);
    DrawCloseButton(pDC);
}

void SECControlBar::PlaceExpandButton(CDC* pDC, CRect& rect, BOOL bHorz)
{
    m_rcExpand = PlaceGripperButton(rect, bHorz, m_GripperInfo);
    UpdateExpandState(bHorz);
    DrawExpandButton(pDC);
}

void SECControlBar::DrawCloseButton(CDC* pDC)
{
    CRect r = m_rcClose;
    pDC->DrawFrameControl(&r, DFC_CAPTION, DFCS_CAPTIONCLOSE | (m_bClosePressed ? DFCS_PUSHED : 0));
}

void SECControlBar::DrawCloseButtonPushed(CDC* pDC)
{
    CRect r = m_rcClose;
    pDC->DrawFrameControl(&r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED);
}

namespace {

UINT ExpandArrow(BOOL bHorz, BOOL bContracted)
{
    if (bHorz)
        return bContracted ? DFCS_SCROLLRIGHT : DFCS_SCROLLLEFT;
    return bContracted ? DFCS_SCROLLDOWN : DFCS_SCROLLUP;
}

} // namespace

void SECControlBar::DrawExpandButton(CDC* pDC)
{
    CRect r = m_rcExpand;
    r.left -= 1;
    r.top -= 1;
    UINT state = ExpandArrow(m_bHorzGripper, m_bContracted);
    if (!m_bExpandEnabled)
        state |= DFCS_INACTIVE;
    else if (m_bExpandPressed)
        state |= DFCS_PUSHED;
    pDC->DrawFrameControl(&r, DFC_SCROLL, state);
}

void SECControlBar::DrawExpandButtonPushed(CDC* pDC)
{
    CRect r = m_rcExpand;
    r.left -= 1;
    r.top -= 1;
    pDC->DrawFrameControl(&r, DFC_SCROLL, ExpandArrow(m_bHorzGripper, m_bContracted) | DFCS_PUSHED);
}

void SECControlBar::UpdateExpandState(BOOL bHorz)
{
    m_bHorzGripper = bHorz;
    if (SECDockBar* dock = GetSECDockBar()) {
        m_bContracted = !dock->IsBarExpanded(this);
        m_bExpandEnabled = !dock->IsExpandDisabled(this);
    }
}

BOOL SECControlBar::OnEraseBkgnd(CDC* pDC)
{
    if (!(m_dwExStyle & CBRS_EX_BORDERSPACE))
        return CControlBar::OnEraseBkgnd(pDC);
    CRect clip;
    pDC->GetClipBox(&clip);
    CRect inside;
    GetInsideRect(inside);
    const COLORREF face = SECGetGlobalData().clrBtnFace;
    // The four strips between the clip box and the inside rectangle.
    pDC->FillSolidRect(clip.left, clip.top, clip.Width(), std::max<LONG>(inside.top - clip.top, 0), face);
    pDC->FillSolidRect(clip.left, inside.bottom, clip.Width(), std::max<LONG>(clip.bottom - inside.bottom, 0), face);
    pDC->FillSolidRect(clip.left, inside.top, std::max<LONG>(inside.left - clip.left, 0), inside.Height(), face);
    pDC->FillSolidRect(inside.right, inside.top, std::max<LONG>(clip.right - inside.right, 0), inside.Height(), face);
    return CControlBar::OnEraseBkgnd(pDC);
}

// ---- Mouse on the gripper buttons ----

void SECControlBar::ReleaseButtons(BOOL bRedraw)
{
    const BOOL was = m_bClosePressed || m_bExpandPressed;
    m_bClosePressed = m_bExpandPressed = FALSE;
    if (bRedraw && was && m_hWnd) {
        CClientDC dc(this);
        if (!m_rcClose.IsRectEmpty())
            DrawCloseButton(&dc);
        if (!m_rcExpand.IsRectEmpty())
            DrawExpandButton(&dc);
    }
}

void SECControlBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    const BOOL floating = IsFloating();
    if ((m_dwExStyle & CBRS_EX_GRIPPER_CLOSE) && m_rcClose.PtInRect(point)) {
        if (floating) {
            m_bClosePressed = FALSE;
            return;
        }
        if (!m_bClosePressed && CanClose()) {
            m_bClosePressed = TRUE;
            CClientDC dc(this);
            DrawCloseButtonPushed(&dc);
            SetCapture();
        }
        return;
    }
    if ((m_dwExStyle & CBRS_EX_GRIPPER_EXPAND) && m_bExpandEnabled && m_rcExpand.PtInRect(point)) {
        if (floating) {
            m_bExpandPressed = FALSE;
            return;
        }
        if (!m_bExpandPressed && CanExpand()) {
            m_bExpandPressed = TRUE;
            CClientDC dc(this);
            DrawExpandButtonPushed(&dc);
            SetCapture();
        }
        return;
    }
    ReleaseButtons(TRUE);
    if (floating) {
        CFrameWnd* frame = GetParentFrame();
        if (!frame || !frame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd))) {
            Default();
            return;
        }
    }
    CControlBar::OnLButtonDown(nFlags, point);
}

void SECControlBar::OnLButtonUp(UINT, CPoint point)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_bClosePressed && m_rcClose.PtInRect(point)) {
        ReleaseButtons(TRUE);
        if (CFrameWnd* frame = GetParentFrame())
            frame->ShowControlBar(this, FALSE, FALSE);
        return;
    }
    if (m_bExpandPressed && m_rcExpand.PtInRect(point)) {
        ReleaseButtons(TRUE);
        if (SECDockBar* dock = GetSECDockBar())
            dock->ExpandBar(this, m_bContracted ? SECDockBar::ExpandMode : SECDockBar::ContractMode);
        return;
    }
    ReleaseButtons(TRUE);
    Default();
}

void SECControlBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (m_rcClose.PtInRect(point) || m_rcExpand.PtInRect(point))
        return;
    CControlBar::OnLButtonDblClk(nFlags, point);
}

INT_PTR SECControlBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!(m_dwStyle & CBRS_TOOLTIPS))
        return -1;
    const INT_PTR hit = CControlBar::OnToolHitTest(point, pTI);
    if (hit != -1)
        return hit;
    if (!pTI || IsFloating())
        return -1;
    // The tip texts live as long as the bar; the tooltip control copies what it shows.
    const CString* tip = nullptr;
    INT_PTR id = -1;
    CRect rect;
    if (!m_rcClose.IsRectEmpty() && m_rcClose.PtInRect(point)) {
        id = SEC_TOOLID_CLOSE;
        tip = &m_GripperInfo.m_strCloseTip;
        rect = m_rcClose;
    } else if (!m_rcExpand.IsRectEmpty() && m_rcExpand.PtInRect(point)) {
        id = SEC_TOOLID_EXPAND;
        tip = m_bContracted ? &m_GripperInfo.m_strExpandTip : &m_GripperInfo.m_strContractTip;
        rect = m_rcExpand;
    }
    if (id == -1)
        return -1;
    pTI->hwnd = m_hWnd;
    pTI->uId = static_cast<UINT_PTR>(id);
    pTI->rect = rect;
    pTI->lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(*tip));
    return id;
}

// ---- Context menu and its commands ----

void SECControlBar::OnContextMenu(CWnd* pWnd, CPoint point)
{
    if (!(m_dwExStyle & CBRS_EX_STDCONTEXTMENU)) {
        Default();
        return;
    }
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    CString text;
    text.LoadString(SEC_IDS_ALLOWDOCKING);
    menu.AppendMenu(MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? MF_CHECKED : 0), ID_SEC_ALLOWDOCKING, text);
    text.LoadString(SEC_IDS_HIDE);
    menu.AppendMenu(MF_STRING, ID_SEC_HIDE, text);
    OnExtendContextMenu(&menu);
    if (m_pDockContext && m_pDockContext->m_pDockSite)
        m_pDockContext->m_pDockSite->SendMessage(WM_EXTENDCONTEXTMENU, reinterpret_cast<WPARAM>(this),
                                                 reinterpret_cast<LPARAM>(&menu));
    if (point.x == -1 && point.y == -1) {
        CWnd* target = pWnd ? pWnd : this;
        CRect client;
        target->GetClientRect(&client);
        point = CPoint(client.Width() / 4, 10);
        target->ClientToScreen(&point);
    }
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
    menu.DestroyMenu();
}

void SECControlBar::OnAllowDocking()
{
    if (m_dwDockStyle & CBRS_ALIGN_ANY) {
        m_dwMRUDockingState = m_dwDockStyle & CBRS_ALIGN_ANY;
        if (!IsFloating() && m_pDockContext)
            m_pDockContext->ToggleDocking();
        EnableDocking(0);
    } else {
        EnableDocking(m_dwMRUDockingState);
    }
}

void SECControlBar::OnHide()
{
    if (CFrameWnd* frame = GetParentFrame())
        frame->ShowControlBar(this, FALSE, FALSE);
}

void SECControlBar::OnFloatInMainWindow()
{
    if (m_pDockContext)
        static_cast<SECDockContext*>(m_pDockContext)->FloatInMainWindow();
}

// ---- Hooks ----

void SECControlBar::OnPreDock()
{
    OnPreDockDefault();
}
void SECControlBar::OnPreDockDefault() {}
void SECControlBar::OnPostDock(BOOL) {}
void SECControlBar::OnPreFloat()
{
    OnPreFloatDefault();
}
void SECControlBar::OnPreFloatDefault() {}
void SECControlBar::OnPostFloat(BOOL) {}
void SECControlBar::OnPreMDIFloat()
{
    OnPreMDIFloatDefault();
}
void SECControlBar::OnPreMDIFloatDefault() {}
void SECControlBar::OnPostMDIFloat(BOOL) {}
void SECControlBar::GetBarInfoExtra(SECControlBarInfo*) {}
void SECControlBar::SetBarInfoExtra(SECControlBarInfo*, CFrameWnd*) {}
void SECControlBar::OnExtendContextMenu(CMenu*) {}
BOOL SECControlBar::CanClose()
{
    return TRUE;
}
BOOL SECControlBar::CanExpand()
{
    return TRUE;
}

// ---- Destruction ----

void SECControlBar::OnDestroy()
{
    if (SECDockBar* dock = GetSECDockBar())
        dock->RemoveChangedBar(this);
    FreeChildLayout();
    CFrameWnd* frame = GetDockingFrame();
    CControlBar::OnDestroy();
    if (frame && frame->m_hWnd && frame != GetParent())
        frame->DelayRecalcLayout();
}

// ---- Saved layout ----

void SECControlBar::GetBarInfoEx(SECControlBarInfo* pInfo)
{
    pInfo->m_pBar = this;
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID()) & 0xFFFF;
    pInfo->m_bVisible = IsVisible();
    pInfo->m_nMRUWidth = m_nMRUWidth;
    pInfo->m_bDockBar = FALSE;
    pInfo->m_bFloating = FALSE;
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    if (m_pDockBar) {
        CRect rect;
        GetWindowRect(&rect);
        m_pDockBar->ScreenToClient(&rect);
        pInfo->m_pointPos = rect.TopLeft();
    }
    if (m_pDockContext) {
        pInfo->m_bDocking = TRUE;
        pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
        pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
        pInfo->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
        pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
        pInfo->m_bPrevFloating = static_cast<SECDockContext*>(m_pDockContext)->m_bPrevFloating;
    }
    pInfo->m_szHorz = m_szHorz;
    pInfo->m_szVert = m_szVert;
    pInfo->m_szFloat = m_szFloat;
    pInfo->m_dwMRUDockingState = m_dwMRUDockingState;
    pInfo->m_dwDockStyle = m_dwDockStyle;
    pInfo->m_fPctWidth = m_fPctWidth;
    pInfo->m_dwStyle = m_dwStyle;
    pInfo->m_dwExStyle = m_dwExStyle;
    if (m_pManager)
        pInfo->m_dwTypeID = m_pManager->GetBarTypeID(this);
    pInfo->m_strClassName = GetRuntimeClass()->m_lpszClassName;
    GetWindowText(pInfo->m_strWindowName);
    GetBarInfoExtra(pInfo);
}

void SECControlBar::SetBarInfoEx(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    if (IsKindOf(RUNTIME_CLASS(SECDockBar))) {
        static_cast<SECDockBar*>(static_cast<CControlBar*>(this))->SetBarInfo(pInfo, pFrameWnd);
        return;
    }
    m_nMRUWidth = pInfo->m_nMRUWidth;
    m_szHorz = pInfo->m_szHorz;
    m_szVert = pInfo->m_szVert;
    m_szFloat = pInfo->m_szFloat;
    m_dwMRUDockingState = pInfo->m_dwMRUDockingState;
    m_dwDockStyle = pInfo->m_dwDockStyle;
    m_fPctWidth = pInfo->m_fPctWidth;
    SetBarStyle(pInfo->m_dwStyle);
    if (pInfo->m_bDocking && m_pDockContext) {
        m_pDockContext->m_uMRUDockID = pInfo->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
        static_cast<SECDockContext*>(m_pDockContext)->m_bPrevFloating = pInfo->m_bPrevFloating;
    }
    if (pInfo->m_pBarInfoEx)
        SetBarInfoExtra(pInfo, pFrameWnd);
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (!m_pDockBar)
        flags |= SWP_NOMOVE;
    flags |= pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    m_nStateFlags &= ~static_cast<UINT>(delayShow | delayHide);
    SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, flags);
}
