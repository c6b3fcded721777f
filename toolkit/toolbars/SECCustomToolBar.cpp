#include "toolkit/toolbars/SECCustomToolBar.h"

#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ToolTip.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/toolbars/SECBmpMgr.h"
#include "toolkit/toolbars/SECBtnDrawContext.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECCustomToolBar, SECControlBar)
IMPLEMENT_DYNCREATE(SECCustomizeToolBar, SECCustomToolBar)

BOOL SECCustomToolBar::s_bDispatching = FALSE;
BOOL SECCustomToolBar::s_bAltDrag = FALSE;

namespace {

constexpr UINT_PTR kHotTimer = 0xE002;
constexpr UINT kHotPeriod = 100;
constexpr int kFocusGained = -2120;
constexpr int kFocusLost = -2121;

const UINT g_nNoDelayHide = SECCustomToolBar::NoDelayHideMessage();

} // namespace

BEGIN_MESSAGE_MAP(SECCustomToolBar, SECControlBar)
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_CANCELMODE, &SECCustomToolBar::OnCancelModeBar)
    ON_WM_TIMER()
    ON_WM_MOUSEACTIVATE()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_WINDOWPOSCHANGING, &SECCustomToolBar::OnWindowPosChangingBar)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &SECCustomToolBar::OnSysColorChangeBar)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_SIZEPARENT, &SECCustomToolBar::OnSizeParentBar)
    ON_REGISTERED_MESSAGE(g_nNoDelayHide, &SECCustomToolBar::OnNoDelayHide)
    ON_MESSAGE(TB_ADDBUTTONS, &SECCustomToolBar::OnAddButtons)
    ON_MESSAGE(TB_DELETEBUTTON, &SECCustomToolBar::OnDeleteButton)
END_MESSAGE_MAP()

UINT SECCustomToolBar::BarNotifyMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_BARNOTIFY");
    return message;
}

UINT SECCustomToolBar::NoDelayHideMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_NODELAYHIDE");
    return message;
}

UINT SECCustomToolBar::StyleChangingMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_TOOLBARSTYLECHANGING");
    return message;
}

// ---- Command UI ----

void SECCustomToolCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<SECCustomToolBar*>(m_pOther);
    SECStdBtn* btn = bar ? bar->GetBtn(static_cast<int>(m_nIndex)) : nullptr;
    if (!btn)
        return;
    const DWORD style = bOn ? (btn->m_nStyle & ~static_cast<DWORD>(SEC_TBBS_DISABLED)) : (btn->m_nStyle | SEC_TBBS_DISABLED);
    if (style != btn->m_nStyle) {
        btn->m_nStyle = style;
        btn->Invalidate();
    }
}

void SECCustomToolCmdUI::SetText(LPCTSTR)
{
    // A button keeps its own caption, and the bar's name is no command's text: an update
    // handler that names what Undo would undo speaks to the menu item only.
}

void SECCustomToolCmdUI::SetCheck(int nCheck)
{
    auto* bar = static_cast<SECCustomToolBar*>(m_pOther);
    SECStdBtn* btn = bar ? bar->GetBtn(static_cast<int>(m_nIndex)) : nullptr;
    if (!btn)
        return;
    DWORD style = btn->m_nStyle & ~static_cast<DWORD>(SEC_TBBS_CHECKED | SEC_TBBS_INDETERMINATE);
    style |= SEC_TBBS_CHECKBOX;
    if (nCheck == 1)
        style |= SEC_TBBS_CHECKED;
    else if (nCheck == 2)
        style |= SEC_TBBS_INDETERMINATE;
    if (style != btn->m_nStyle) {
        btn->m_nStyle = style;
        btn->Invalidate();
    }
}

// ---- Tracker ----

void SECToolBarRectTracker::DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd)
{
    (void)pWndClipTo;
    (void)pWnd;
    CRect rect(*lpRect);
    rect.NormalizeRect();
    const int w = std::max(GetHandleSize() - 1, 1);
    const CSize size(w, w);
    if (pDC)
        pDC->DrawDragRect(&rect, size, m_bHaveLast ? &m_rcLastDrawn : nullptr, m_szLastDrawn);
    m_rcLastDrawn = rect;
    m_szLastDrawn = size;
    m_bHaveLast = true;
}

// ---- Construction ----

SECCustomToolBar::SECCustomToolBar()
{
    m_pBmpMgr = new SECBmpMgr;
    m_cyTopBorder = 3;
    m_cyBottomBorder = 3;
}

SECCustomToolBar::~SECCustomToolBar()
{
    if (m_pToolBarMgr && m_pToolBarMgr->GetSelectionHolder() == this)
        m_pToolBarMgr->SetSelectionHolder(nullptr);
    m_btns.clear();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
}

BOOL SECCustomToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle)
{
    return CreateEx(0, pParentWnd, dwStyle, nID, lpszTitle);
}

BOOL SECCustomToolBar::CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle)
{
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
    if (!SECControlBar::CreateEx(cls, lpszTitle ? lpszTitle : "", nID, dwStyle, dwExStyle | 0x4, CRect(0, 0, 0, 0),
                                 pParentWnd))
        return FALSE;
    MarkSizesDirty();
    BroadcastNotify(kBarCreated);
    return TRUE;
}

int SECCustomToolBar::OnCreate(LPCREATESTRUCT lpcs)
{
    return SECControlBar::OnCreate(lpcs);
}

void SECCustomToolBar::SetBmpMgr(SECBmpMgr* pMgr)
{
    if (!pMgr || pMgr == m_pBmpMgr)
        return;
    pMgr->AddRef();
    if (m_pBmpMgr)
        m_pBmpMgr->Release();
    m_pBmpMgr = pMgr;
    SetButtonSize();
}

void SECCustomToolBar::SetManager(SECToolBarManager* pMgr)
{
    m_pToolBarMgr = pMgr;
    m_pManager = pMgr;
}

void SECCustomToolBar::SetButtonMap(const SECBtnMapEntry* pMap, const SECBtnMapEntry* pMap2)
{
    m_pBtnMap = pMap;
    m_pBtnMap2 = pMap2;
}

CWnd* SECCustomToolBar::GetNotifyOwner() const
{
    CWnd* owner = GetOwner();
    return owner ? owner : GetParent();
}

SECBtnDrawContext& SECCustomToolBar::GetDrawContext()
{
    if (m_pToolBarMgr)
        return m_pToolBarMgr->GetDrawContext();
    if (!m_pOwnDrawContext)
        m_pOwnDrawContext = std::make_unique<SECBtnDrawContext>();
    return *m_pOwnDrawContext;
}

BOOL SECCustomToolBar::IsUserToolBar() const
{
    const UINT id = m_hWnd ? static_cast<UINT>(GetDlgCtrlID()) : 0;
    return id >= SEC_IDW_FIRST_USER_TOOLBAR && id <= SEC_IDW_LAST_USER_TOOLBAR;
}

CFont* SECCustomToolBar::GetBarFont() const
{
    return CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

void SECCustomToolBar::BroadcastNotify(int nCode)
{
    if (m_pToolBarMgr && m_hWnd)
        m_pToolBarMgr->BroadcastBarNotify(static_cast<UINT>(GetDlgCtrlID()), nCode);
}

// ---- Buttons ----

SECStdBtn* SECCustomToolBar::GetBtn(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetBtnCount() ? m_btns[static_cast<size_t>(nIndex)].get() : nullptr;
}

int SECCustomToolBar::BtnToIndex(const SECStdBtn* pBtn) const
{
    for (size_t i = 0; i < m_btns.size(); ++i)
        if (m_btns[i].get() == pBtn)
            return static_cast<int>(i);
    return -1;
}

UINT SECCustomToolBar::GetItemID(int nIndex) const
{
    const SECStdBtn* b = GetBtn(nIndex);
    return b ? b->m_nID : 0;
}

void SECCustomToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    const SECStdBtn* b = GetBtn(nIndex);
    *lpRect = b ? b->GetRect() : CRect(0, 0, 0, 0);
}

int SECCustomToolBar::CommandToIndex(UINT nID) const
{
    for (size_t i = 0; i < m_btns.size(); ++i)
        if (m_btns[i]->m_nID == nID)
            return static_cast<int>(i);
    return -1;
}

int SECCustomToolBar::HitTest(CPoint point, CRect* pRect) const
{
    for (size_t i = 0; i < m_btns.size(); ++i) {
        const SECStdBtn* b = m_btns[i].get();
        if (b->IsSeparator() || (b->m_nStyle & SEC_TBBS_HIDDEN))
            continue;
        const CRect rect = b->GetRect();
        if (rect.PtInRect(point)) {
            if (pRect)
                *pRect = rect;
            return static_cast<int>(i);
        }
    }
    return -1;
}

void SECCustomToolBar::InformBtns(UINT nID, UINT nCode, DWORD dwSet, DWORD dwClear)
{
    for (auto& b : m_btns)
        if (b->m_nID == nID && !b->IsSeparator())
            b->InformBtn(nCode, dwSet, dwClear);
}

SECStdBtn* SECCustomToolBar::NewButton(UINT nID, CWnd* pOwner)
{
    (void)pOwner;
    const SECBtnMapEntry* maps[2] = {m_pToolBarMgr ? m_pToolBarMgr->GetButtonMap() : m_pBtnMap,
                                     m_pToolBarMgr ? m_pToolBarMgr->GetButtonMap2() : m_pBtnMap2};
    const SECBtnMapEntry* found = nullptr;
    for (const SECBtnMapEntry* map : maps) {
        for (const SECBtnMapEntry* e = map; e && e->m_pBtnClass && !found; ++e)
            if (e->m_nID == nID)
                found = e;
        if (found)
            break;
    }
    std::unique_ptr<SECStdBtn> btn;
    if (found && found->m_pBtnClass->m_pfnCreateButton) {
        btn.reset(found->m_pBtnClass->m_pfnCreateButton());
        if (btn)
            btn->m_nStyle = found->m_nStyle;
    }
    if (!btn)
        btn = std::make_unique<SECStdBtn>();
    btn->m_nID = nID;
    int index = 0;
    HBITMAP strip = nullptr;
    if (btn->m_nType != SECStdBtn::kFocusable && m_pBmpMgr && m_pBmpMgr->GetImage(nID, strip, index))
        btn->m_nImage = index;
    btn->Init(this, found ? found->m_nParams : nullptr);
    btn->SetMode(m_dwMode);
    return btn.release();
}

SECStdBtn* SECCustomToolBar::NewSeparator(CWnd*)
{
    auto* btn = new SECStdBtn;
    btn->m_nStyle = SEC_TBBS_SEPARATOR;
    btn->m_pToolBar = this;
    btn->m_cx = m_nSepWidth;
    btn->m_cy = GetImageHeight() + 7;
    btn->m_nID = 0;
    return btn;
}

BOOL SECCustomToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    RemoveAllButtons();
    SelectButton(-1);
    for (int i = 0; lpIDArray && i < nIDCount; ++i)
        m_btns.emplace_back(lpIDArray[i] ? NewButton(lpIDArray[i]) : NewSeparator());
    MarkSizesDirty();
    return TRUE;
}

void SECCustomToolBar::RemoveAllButtons()
{
    StopHotTracking();
    m_nPressed = m_nFocus = -1;
    m_btns.clear();
    m_rows.clear();
    MarkSizesDirty();
}

void SECCustomToolBar::RecalcAfterChange()
{
    MarkSizesDirty();
    if (!m_hWnd)
        return;
    if (CFrameWnd* frame = GetParentFrame())
        frame->RecalcLayout();
    Invalidate();
}

void SECCustomToolBar::InsertButton(int nIndex, UINT nID, BOOL bSeparator, BOOL bNoRecalc)
{
    nIndex = std::clamp(nIndex, 0, GetBtnCount());
    SECStdBtn* btn = bSeparator ? NewSeparator() : NewButton(nID);
    m_btns.insert(m_btns.begin() + nIndex, std::unique_ptr<SECStdBtn>(btn));
    m_nMRUWidth += static_cast<UINT>(btn->m_cx);
    if (m_pToolBarMgr && m_pToolBarMgr->GetSelectionHolder() == this) {
        // The selection moved along with the buttons after it.
        Invalidate();
    }
    if (m_nHot >= nIndex)
        ++m_nHot;
    if (m_nPressed >= nIndex)
        ++m_nPressed;
    UpdateButtonCmdUI(nIndex);
    MarkSizesDirty();
    if (!bNoRecalc)
        RecalcAfterChange();
}

BOOL SECCustomToolBar::RemoveButton(int nIndex, BOOL bNoRecalc)
{
    if (nIndex < 0 || nIndex >= GetBtnCount())
        return GetBtnCount() > 0;
    auto removeAt = [this](int i) {
        if (m_nHot == i)
            StopHotTracking();
        else if (m_nHot > i)
            --m_nHot;
        if (m_nPressed == i)
            m_nPressed = -1;
        else if (m_nPressed > i)
            --m_nPressed;
        if (m_nFocus == i)
            m_nFocus = -1;
        else if (m_nFocus > i)
            --m_nFocus;
        m_btns.erase(m_btns.begin() + i);
    };
    removeAt(nIndex);
    // At most one separator goes with it, so that no separator leads, ends or doubles.
    const int count = GetBtnCount();
    if (count > 0) {
        if (nIndex == 0) {
            if (m_btns[0]->IsSeparator())
                removeAt(0);
        } else if (m_btns[static_cast<size_t>(count - 1)]->IsSeparator()) {
            removeAt(count - 1);
        } else if (nIndex < count && m_btns[static_cast<size_t>(nIndex)]->IsSeparator()
                   && m_btns[static_cast<size_t>(nIndex - 1)]->IsSeparator()) {
            removeAt(nIndex);
        }
    }
    MarkSizesDirty();
    const BOOL remain = GetBtnCount() > 0;
    if (!bNoRecalc) {
        if (!remain && IsUserToolBar() && m_pToolBarMgr) {
            // This may run inside the bar's own handlers (a drag it started): the bar goes once
            // they have returned, through the manager.
            m_pToolBarMgr->PostDestroyToolBar(this);
            return FALSE;
        }
        RecalcAfterChange();
    }
    return remain;
}

// ---- Drawing ----

void SECCustomToolBar::DrawBorders(CDC* pDC, CRect& rect)
{
    SECControlBar::DrawBorders(pDC, rect);
}

void SECCustomToolBar::AddGripperExtent(CRect& rect, BOOL bHorz)
{
    SECControlBar::AddGripperExtent(rect, bHorz);
    if (m_dwExStyle & CBRS_EX_GRIPPER_CLOSE) {
        if (bHorz)
            rect.right += 2;
        else
            rect.bottom += 2;
    }
}

void SECCustomToolBar::DoPaint(CDC* pDC)
{
    SECControlBar::DoPaint(pDC);
    if (m_btns.empty())
        return;
    // The composing bitmaps take the widest and the tallest button.
    int cx = std::max(m_nMaxBtnWidth, 1), cy = GetImageHeight() + 7;
    for (auto& b : m_btns) {
        cx = std::max(cx, b->m_cx);
        cy = std::max(cy, b->m_cy);
    }
    SECBtnDrawContext& ctx = GetDrawContext();
    if (!ctx.PrepareBitmaps(pDC, cx, cy))
        return;
    for (auto& b : m_btns)
        if (!(b->m_nStyle & SEC_TBBS_HIDDEN))
            b->Paint(*pDC, ctx);
    ctx.SelectStrip(nullptr);
    ctx.ReleaseBitmaps();
}

void SECCustomToolBar::InvalidateButton(int nIndex)
{
    if (const SECStdBtn* b = GetBtn(nIndex))
        b->Invalidate();
}

// ---- Commands and tooltips ----

void SECCustomToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    SECCustomToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_btns.size());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        const SECStdBtn* b = m_btns[i].get();
        if (b->IsSeparator())
            continue;
        state.m_nIndex = i;
        state.m_nID = b->m_nID;
        state.DoUpdate(pTarget, (b->m_nStyle & SEC_TBBS_NODISABLE) ? FALSE : bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

void SECCustomToolBar::UpdateButtonCmdUI(int nIndex)
{
    SECStdBtn* b = GetBtn(nIndex);
    if (!b || b->IsSeparator() || !m_hWnd)
        return;
    CWnd* owner = GetNotifyOwner();
    CFrameWnd* top = owner ? owner->GetTopLevelFrame() : nullptr;
    if (!top)
        top = GetParentFrame();
    if (!top)
        return;
    CFrameWnd* active = top->GetActiveFrame() ? top->GetActiveFrame() : top;
    // The update goes the way the idle update goes: through the owner's frame, which asks its
    // active frame (the document window with its view) first and then itself. The active
    // document window's own way never reaches the main window, so the main window's commands
    // would find no handler there and be disabled the moment their button is pressed.
    SECCustomToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_btns.size());
    state.m_nIndex = static_cast<UINT>(nIndex);
    state.m_nID = b->m_nID;
    state.DoUpdate(top, (b->m_nStyle & SEC_TBBS_NODISABLE) ? FALSE : active->m_bAutoMenuEnable);
}

INT_PTR SECCustomToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    const INT_PTR hit = SECControlBar::OnToolHitTest(point, pTI);
    if (hit != -1)
        return hit;
    const int index = HitTest(point);
    return index >= 0 ? m_btns[static_cast<size_t>(index)]->OnToolHitTest(point, pTI) : -1;
}

void SECCustomToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    SECControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
    // Docked, floated or turned to another side, the bar shows another layout: its buttons are
    // placed again for it (docked, after the gripper) at the next layout.
    if ((dwOldStyle ^ dwNewStyle) & (CBRS_FLOATING | CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT))
        MarkSizesDirty();
    for (auto& b : m_btns)
        b->BarStyleChanged(dwNewStyle);
}

void SECCustomToolBar::DelayShow(BOOL bShow)
{
    if (!bShow && m_pToolBarMgr && m_pToolBarMgr->InCustomizeMode() && IsFloating() && m_hWnd) {
        m_bDelayHidePending = TRUE;
        PostMessage(NoDelayHideMessage());
        return;
    }
    SECControlBar::DelayShow(bShow);
}

LRESULT SECCustomToolBar::OnNoDelayHide(WPARAM, LPARAM)
{
    if (m_bDelayHidePending && m_bCustomize && IsFloating()) {
        if (CWnd* frame = GetParentFrame())
            frame->ShowWindow(SW_HIDE);
    }
    m_bDelayHidePending = FALSE;
    return 0;
}

// ---- Mouse ----

void SECCustomToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int index = HitTest(point);
    SECStdBtn* b = GetBtn(index);
    const BOOL alt = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    if (m_bCustomize && b) {
        // Customising: the button is picked up and dragged.
        DragButton(index, point);
        return;
    }
    if (!b || ((b->m_nStyle & SEC_TBBS_DISABLED) && !alt) || s_bDispatching) {
        SECControlBar::OnLButtonDown(nFlags, point);
        return;
    }
    if (alt && m_pToolBarMgr) {
        s_bAltDrag = TRUE;
        DragButton(index, point);
        s_bAltDrag = FALSE;
        SelectButton(-1);
        return;
    }
    UpdateButtonCmdUI(index);
    b = GetBtn(index); // the update cannot remove it, but it may have disabled it
    if (!b || !b->BtnPressed(point))
        return;
    m_nPressed = index;
    b->Invalidate();
    SetCapture();
    if (CWnd* owner = GetNotifyOwner())
        owner->SendMessage(WM_SETMESSAGESTRING, b->m_nID);
}

void SECCustomToolBar::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    const int index = HitTest(point);
    SECStdBtn* b = GetBtn(index);
    if (m_bCustomize || !b || (b->m_nStyle & SEC_TBBS_DISABLED) || s_bDispatching) {
        SECControlBar::OnLButtonDblClk(nFlags, point);
        return;
    }
    UpdateButtonCmdUI(index);
    if (!b->BtnPressed(point))
        return;
    m_nPressed = index;
    b->Invalidate();
    SetCapture();
    if (CWnd* owner = GetNotifyOwner())
        owner->SendMessage(WM_SETMESSAGESTRING, b->m_nID);
}

void SECCustomToolBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_nPressed >= 0) {
        SECStdBtn* b = GetBtn(m_nPressed);
        if (b && ::GetCapture() == m_hWnd) {
            b->BtnMouseMove(point);
        } else if (b) {
            b->BtnCancel();
            m_nPressed = -1;
            if (CWnd* owner = GetNotifyOwner())
                owner->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
        }
        return;
    }
    UpdateHotTracking();
    SECControlBar::OnMouseMove(nFlags, point);
}

void SECCustomToolBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_nPressed < 0) {
        SECControlBar::OnLButtonUp(nFlags, point);
        return;
    }
    ::ReleaseCapture();
    const int index = m_nPressed;
    UpdateButtonCmdUI(index);
    SECStdBtn* b = GetBtn(index);
    const UINT command = b ? b->BtnReleased(point) : 0;
    CRect rcScreen = b ? b->GetRect() : CRect();
    ClientToScreen(&rcScreen);
    CWnd* owner = GetNotifyOwner();
    if (owner)
        owner->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    InvalidateButton(index);
    m_nPressed = -1;
    if (command && owner) {
        s_bDispatching = TRUE;
        if (m_pToolBarMgr) {
            m_pToolBarMgr->GetPressedRecord().bDispatching = TRUE;
            m_pToolBarMgr->GetPressedRecord().rcButton = rcScreen;
        }
        owner->SendMessage(WM_COMMAND, command);
        if (m_pToolBarMgr)
            m_pToolBarMgr->GetPressedRecord().bDispatching = FALSE;
        s_bDispatching = FALSE;
    }
}

LRESULT SECCustomToolBar::OnCancelModeBar(WPARAM, LPARAM)
{
    if (m_nPressed >= 0 && !m_bCustomize && !s_bAltDrag) {
        if (SECStdBtn* b = GetBtn(m_nPressed))
            b->BtnCancel();
        m_nPressed = -1;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
    return Default();
}

void SECCustomToolBar::StopHotTracking()
{
    if (SECStdBtn* b = GetBtn(m_nHot)) {
        b->m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_HOT);
        b->Invalidate();
    }
    m_nHot = -1;
    if (m_hWnd)
        KillTimer(kHotTimer);
}

void SECCustomToolBar::UpdateHotTracking()
{
    if (!m_hWnd || !IsCoolLook())
        return;
    int index = -1;
    const bool allowed = ::GetActiveWindow() != nullptr && m_nPressed < 0 && !s_bDispatching && !m_bCustomize
        && ::GetCapture() == nullptr;
    if (allowed) {
        CPoint point;
        ::GetCursorPos(&point);
        if (::WindowFromPoint(point) == m_hWnd) {
            ScreenToClient(&point);
            index = HitTest(point);
            if (const SECStdBtn* b = GetBtn(index); b && (b->m_nStyle & SEC_TBBS_DISABLED))
                index = -1;
        }
    }
    // While a button has the keyboard focus the tracking only takes the hot look off another.
    if (m_nFocus >= 0 && index != m_nFocus)
        index = -1;
    if (index == m_nHot)
        return;
    if (SECStdBtn* old = GetBtn(m_nHot)) {
        old->m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_HOT);
        old->Invalidate();
    }
    if (SECStdBtn* now = GetBtn(index)) {
        now->m_nStyle |= SEC_TBBS_HOT;
        now->Invalidate();
        if (m_nHot < 0)
            SetTimer(kHotTimer, kHotPeriod, nullptr);
        m_nHot = index;
    } else {
        m_nHot = -1;
        KillTimer(kHotTimer);
    }
}

void SECCustomToolBar::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHotTimer) {
        UpdateHotTracking();
        return;
    }
    SECControlBar::OnTimer(nIDEvent);
}

int SECCustomToolBar::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    if (m_bCustomize && !IsFloating())
        return MA_NOACTIVATE;
    return SECControlBar::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

void SECCustomToolBar::OnShowWindow(BOOL bShow, UINT nStatus)
{
    SECControlBar::OnShowWindow(bShow, nStatus);
    BroadcastNotify(bShow ? kBarShown : kBarHidden);
}

LRESULT SECCustomToolBar::OnWindowPosChangingBar(WPARAM, LPARAM lParam)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    if (pos->flags & SWP_SHOWWINDOW)
        BroadcastNotify(kBarShown);
    else if (pos->flags & SWP_HIDEWINDOW)
        BroadcastNotify(kBarHidden);
    const DWORD kept = m_dwStyle;
    m_dwStyle &= ~static_cast<DWORD>(CBRS_BORDER_ANY);
    const LRESULT result = Default();
    m_dwStyle = kept;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && !(pos->flags & SWP_NOSIZE))
        Invalidate();
    return result;
}

LRESULT SECCustomToolBar::OnSysColorChangeBar(WPARAM, LPARAM)
{
    SECGetGlobalData().UpdateSysColors();
    if (m_pOwnDrawContext)
        m_pOwnDrawContext->RebuildDitherBrush();
    if (m_pToolBarMgr)
        m_pToolBarMgr->GetDrawContext().RebuildDitherBrush();
    if (m_pBmpMgr)
        m_pBmpMgr->ReloadAll(TRUE);
    Invalidate();
    return 0;
}

void SECCustomToolBar::OnDestroy()
{
    SelectButton(-1);
    BroadcastNotify(kBarDestroyed);
    if (m_hWnd)
        KillTimer(kHotTimer);
    SECControlBar::OnDestroy();
}

LRESULT SECCustomToolBar::OnSizeParentBar(WPARAM wParam, LPARAM lParam)
{
    FitToParent();
    return CControlBar::OnSizeParent(wParam, lParam);
}

LRESULT SECCustomToolBar::OnAddButtons(WPARAM wParam, LPARAM lParam)
{
    const auto* buttons = reinterpret_cast<const TBBUTTON*>(lParam);
    const UINT count = static_cast<UINT>(wParam);
    for (UINT i = 0; buttons && i < count; ++i) {
        const int at = GetBtnCount();
        InsertButton(at, static_cast<UINT>(buttons[i].idCommand), buttons[i].idCommand == 0, i + 1 < count);
        // The protocol's state byte marks an enabled button where the style word marks a disabled
        // one; every other state bit sits where the style word has it.
        constexpr BYTE kStateEnabled = 0x04;
        if (SECStdBtn* b = GetBtn(at)) {
            const DWORD state = static_cast<DWORD>(buttons[i].fsState & ~kStateEnabled) << 16;
            b->m_nStyle = state | buttons[i].fsStyle | ((buttons[i].fsState & kStateEnabled) ? 0 : SEC_TBBS_DISABLED);
        }
    }
    return TRUE;
}

LRESULT SECCustomToolBar::OnDeleteButton(WPARAM wParam, LPARAM)
{
    // Any window may send this: an index the bar does not have deletes nothing.
    const auto index = static_cast<INT_PTR>(wParam);
    if (index < 0 || index >= GetBtnCount())
        return FALSE;
    RemoveButton(static_cast<int>(index), FALSE);
    return TRUE;
}

// ---- Keyboard focus ----

namespace {

bool Focusable(const SECStdBtn* b)
{
    return b && (b->m_nType == SECStdBtn::kFocusable || b->m_nType == SECStdBtn::kFocusable2)
        && !(b->m_nStyle & SEC_TBBS_HIDDEN);
}

} // namespace

int SECCustomToolBar::FirstFocusable() const
{
    for (int i = 0; i < GetBtnCount(); ++i)
        if (Focusable(GetBtn(i)))
            return i;
    return -1;
}

int SECCustomToolBar::LastFocusable() const
{
    for (int i = GetBtnCount() - 1; i >= 0; --i)
        if (Focusable(GetBtn(i)))
            return i;
    return -1;
}

int SECCustomToolBar::NextFocusable(BOOL bForward) const
{
    if (m_nFocus < 0)
        return bForward ? FirstFocusable() : LastFocusable();
    for (int i = m_nFocus + (bForward ? 1 : -1); i >= 0 && i < GetBtnCount(); i += bForward ? 1 : -1)
        if (Focusable(GetBtn(i)))
            return i;
    return -1;
}

void SECCustomToolBar::FocusButton(int nIndex)
{
    if (SECStdBtn* old = GetBtn(m_nFocus))
        old->BtnCancel();
    if (SECStdBtn* b = GetBtn(nIndex)) {
        b->BtnPressed(CPoint(b->m_x, b->m_y));
        SetFocusButton(nIndex);
    }
}

void SECCustomToolBar::SetFocusButton(int nIndex, BOOL, BOOL)
{
    m_nFocus = nIndex;
    if (SECStdBtn* b = GetBtn(nIndex))
        b->SendNotify(kFocusGained);
}

void SECCustomToolBar::KillFocusButton()
{
    if (SECStdBtn* b = GetBtn(m_nFocus))
        b->BtnCancel();
    m_nFocus = -1;
}

BOOL SECCustomToolBar::FocusPreTranslate(MSG* pMsg)
{
    SECStdBtn* focused = GetBtn(m_nFocus);
    if (!pMsg || !focused || pMsg->hwnd != m_hWnd)
        return FALSE;
    const CPoint point(static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam)));
    const int index = HitTest(point);
    if (pMsg->message == WM_MOUSEMOVE && index >= 0 && index != m_nFocus) {
        if (Focusable(GetBtn(index)))
            FocusButton(index);
        else
            focused->SendNotify(kFocusLost);
    } else if (pMsg->message == WM_LBUTTONDOWN && index != m_nFocus) {
        focused->SendNotify(kFocusLost);
    }
    return FALSE;
}
