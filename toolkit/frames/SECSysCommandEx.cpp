#include "toolkit/frames/SECSysCommandEx.h"

#include <memory>

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/MenuApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"

namespace nsSysCommandEx {

IMPLEMENT_DYNCREATE(ScxMsgFilter, SECMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMsgFilter, SECCaptionControlMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMDIChildMsgFilter, ScxButtonMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMDIMaxChildMsgFilter, ScxButtonMsgFilter)
IMPLEMENT_DYNCREATE(ScxCaptionNCRDBLClkFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(ScxNCRDBLClkMDIMaxChildMsgFilter, SECNcMsgFilter)
IMPLEMENT_DYNCREATE(ScxContextMenuFilter, SECMsgFilter)

namespace {

// Menu texts.
constexpr UINT kIdsFloating = 21076, kIdsMdiChild = 21077, kIdsDockTop = 21078, kIdsDockLeft = 21079,
               kIdsDockBottom = 21080, kIdsDockRight = 21081, kIdsDockedTo = 21082, kIdsMinimized = 21083,
               kIdsMaximized = 21084, kIdsRestored = 21085, kIdsMdiChildAs = 21086, kIdsDocked = 21009;
constexpr UINT kKeyButton = 258, kKeyCaptionDblClk = 259;

CString LoadOr(UINT nID, LPCTSTR fallback)
{
    CString text;
    if (!text.LoadString(nID))
        text = fallback;
    return text;
}

CFrameWnd* FrameOf(HWND hWnd)
{
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hWnd));
}

// Whether a filter with the key is present and on in a frame's tree.
bool FeatureOn(CWnd* pFrame, UINT nKey)
{
    auto* host = dynamic_cast<ISECMsgFilterHost*>(pFrame);
    SECMsgFilter* root = host ? host->GetFilterRoot() : nullptr;
    SECMsgFilter* filter = root ? root->FindFilter(nKey, nullptr, -1) : nullptr;
    return filter != nullptr && filter->m_bEnabled;
}

LRESULT SendRequest(HWND hWnd, UINT nCode, Request& request)
{
    return ::SendMessage(hWnd, SysCommandExMessage(), nCode, reinterpret_cast<LPARAM>(&request));
}

}   // namespace

UINT SysCommandExMessage()
{
    static const UINT message = ::RegisterWindowMessage("Tarnwick::WM_SYSCOMMANDEX");
    return message;
}

int GetStateGroup(int nState)
{
    if (nState >= 1 && nState <= 4)
        return SCX_MDICHILD;
    if (nState >= 5 && nState <= 9)
        return SCX_DOCKED;
    return nState == SCX_FLOATING ? SCX_FLOATING : 0;
}

// ---- The request handler ----------------------------------------------------------------------

LRESULT ScxMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg != SysCommandExMessage() || lParam == 0)
        return 0;
    const UINT code = static_cast<UINT>(wParam) & 0xFFF0;
    if (!m_bIsCopy && IsCopiedRequest(code)) {
        // The request may replace the frame and this filter with it: a copy runs it.
        std::unique_ptr<ScxMsgFilter> copy(static_cast<ScxMsgFilter*>(Clone()));
        copy->m_bIsCopy = TRUE;
        LRESULT result = copy->OnMessage(msg, wParam, lParam, pResult);
        if (result & SEC_FILTER_HANDLED)
            result |= SEC_FILTER_STOP;
        return result;
    }
    Request& request = *reinterpret_cast<Request*>(lParam);
    if (FrameOf(request.hWnd) == nullptr)
        return 0;
    HWND repaint = nullptr;
    if (request.dwFlags & SCX_HASPOS) {
        repaint = request.hWnd;
        if (auto* child = dynamic_cast<CMDIChildWnd*>(FrameOf(request.hWnd)); child && ::IsZoomed(request.hWnd)) {
            if (CFrameWnd* parent = child->GetParentFrame())
                repaint = parent->m_hWnd;
        }
    }
    LRESULT result = 0;
    switch (code) {
    case SCX_COMMAND: result = OnCommandRequest(request, pResult); break;
    case SCX_GETMENU: result = OnGetMenuRequest(request, pResult); break;
    case SCX_CONTEXTMENU: result = OnContextMenuRequest(request, pResult); break;
    default: return 0;
    }
    if (repaint != nullptr && ::IsWindow(repaint))
        ::SendMessage(repaint, WM_NCPAINT, 0, 0);
    return result;
}

LRESULT ScxMsgFilter::OnContextMenuRequest(Request& request, LRESULT* pResult)
{
    if (HMENU menu = GetMenu(request)) {
        const int cmd = TrackMenu(menu, request);
        SendMenuCommand(cmd, request);
        ::DestroyMenu(menu);
    }
    if (pResult)
        *pResult = 0;
    return 0xF;
}

HMENU ScxMsgFilter::GetMenu(const Request& request)
{
    if (request.hMenu != nullptr)
        return request.hMenu;
    Request copy = request;
    copy.dwFlags &= ~SCX_HASPOS;
    return SendRequest(request.hWnd, SCX_GETMENU, copy) ? copy.hMenu : nullptr;
}

int ScxMsgFilter::TrackMenu(HMENU hMenu, const Request& request)
{
    POINT pt{request.x, request.y};
    if (request.x < 0) {
        RECT client{};
        ::GetClientRect(request.hWnd, &client);
        pt = POINT{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
        ::ClientToScreen(request.hWnd, &pt);
    }
    return static_cast<int>(::TrackPopupMenu(hMenu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, pt.x, pt.y, 0, request.hWnd, nullptr));
}

void ScxMsgFilter::SendMenuCommand(int nCmd, const Request& request)
{
    if (nCmd == 0)
        return;
    Request copy = request;
    copy.dwFlags &= ~SCX_HASPOS;
    copy.nCommand = nCmd;
    SendRequest(request.hWnd, SCX_COMMAND, copy);
}

LRESULT ScxMsgFilter::OnGetMenuRequest(Request& request, LRESULT* pResult)
{
    request.hMenu = OnBuildMenu(request);
    if (pResult)
        *pResult = request.hMenu != nullptr;
    return 0xF;
}

HMENU ScxMsgFilter::OnBuildMenu(const Request& request)
{
    SECMultiDocTemplate* tmpl = FindDocTemplate(request);
    CFrameWnd* frame = FrameOf(request.hWnd);
    if (tmpl == nullptr || frame == nullptr)
        return nullptr;
    return BuildMenu(frame, GetWindowState(frame, tmpl, request));
}

HMENU ScxMsgFilter::BuildMenu(CFrameWnd* /*pFrame*/, int nState)
{
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    const int group = GetStateGroup(nState);
    auto item = [](HMENU m, int cmd, const CString& text, bool checked) {
        ::AppendMenu(m, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), static_cast<UINT_PTR>(cmd), text);
    };
    item(menu, SCX_DOCKED, LoadOr(kIdsDocked, "&Docked"), group == SCX_DOCKED);
    item(menu, SCX_FLOATING, LoadOr(kIdsFloating, "&Floating"), group == SCX_FLOATING);
    item(menu, SCX_MDICHILD, LoadOr(kIdsMdiChild, "&MDI Child"), group == SCX_MDICHILD);
    ::AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    HMENU docked = ::CreatePopupMenu();
    item(docked, SCX_DOCKTOP, LoadOr(kIdsDockTop, "&Top"), nState == SCX_DOCKTOP);
    item(docked, SCX_DOCKLEFT, LoadOr(kIdsDockLeft, "&Left"), nState == SCX_DOCKLEFT);
    item(docked, SCX_DOCKBOTTOM, LoadOr(kIdsDockBottom, "&Bottom"), nState == SCX_DOCKBOTTOM);
    item(docked, SCX_DOCKRIGHT, LoadOr(kIdsDockRight, "&Right"), nState == SCX_DOCKRIGHT);
    ::AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(docked), LoadOr(kIdsDockedTo, "D&ocked to"));
    HMENU child = ::CreatePopupMenu();
    item(child, SCX_MDIMINIMIZED, LoadOr(kIdsMinimized, "Mi&nimized"), nState == SCX_MDIMINIMIZED);
    item(child, SCX_MDIMAXIMIZED, LoadOr(kIdsMaximized, "Ma&ximized"), nState == SCX_MDIMAXIMIZED);
    item(child, SCX_MDIRESTORED, LoadOr(kIdsRestored, "&Restored"), nState == SCX_MDIRESTORED);
    ::AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(child), LoadOr(kIdsMdiChildAs, "MD&I Child as"));
    return menu;
}

SECMultiDocTemplate* ScxMsgFilter::FindDocTemplate(const Request& request)
{
    CFrameWnd* frame = FrameOf(request.hWnd);
    CView* view = frame ? frame->GetActiveView() : nullptr;
    CDocument* doc = view ? view->GetDocument() : nullptr;
    CWinApp* app = AfxGetApp();
    if (doc == nullptr || app == nullptr || app->m_pDocManager == nullptr)
        return nullptr;
    for (CDocTemplate* tmpl : app->m_pDocManager->GetTemplates()) {
        for (POSITION pos = tmpl->GetFirstDocPosition(); pos != nullptr;) {
            if (tmpl->GetNextDoc(pos) == doc)
                return dynamic_cast<SECMultiDocTemplate*>(tmpl);
        }
    }
    return nullptr;
}

int ScxMsgFilter::GetWindowState(CFrameWnd* pFrame, SECMultiDocTemplate* pTemplate, const Request& /*request*/)
{
    if (dynamic_cast<CMDIChildWnd*>(pFrame) != nullptr)
        return ::IsZoomed(pFrame->m_hWnd) ? SCX_MDIMAXIMIZED : ::IsIconic(pFrame->m_hWnd) ? SCX_MDIMINIMIZED : SCX_MDIRESTORED;
    if (dynamic_cast<SECDockableFrame*>(pFrame) != nullptr && pTemplate != nullptr) {
        switch (pTemplate->GetDockSide(pFrame)) {
        case 0: return SCX_DOCKTOP;
        case 1: return SCX_DOCKLEFT;
        case 2: return SCX_DOCKBOTTOM;
        case 3: return SCX_DOCKRIGHT;
        case 4: return SCX_FLOATING;
        default: return 0;
        }
    }
    return 0;
}

int ScxMsgFilter::GetDefaultCommand(CFrameWnd* /*pFrame*/, int nState)
{
    return GetStateGroup(nState) == SCX_MDICHILD ? SCX_DOCKED : SCX_MDICHILD;
}

LRESULT ScxMsgFilter::OnCommandRequest(Request& request, LRESULT* pResult)
{
    SECMultiDocTemplate* tmpl = FindDocTemplate(request);
    CFrameWnd* frame = FrameOf(request.hWnd);
    if (tmpl == nullptr || frame == nullptr)
        return 0;
    const int state = GetWindowState(frame, tmpl, request);
    const int cmd = request.nCommand == -1 ? GetDefaultCommand(frame, state) : request.nCommand;
    CFrameWnd* result = nullptr;
    switch (GetStateGroup(cmd)) {
    case SCX_MDICHILD: result = MakeMDIChild(frame, state, cmd == SCX_MDICHILD ? 0 : cmd, tmpl, request); break;
    case SCX_DOCKED: result = MakeDocked(frame, state, cmd == SCX_DOCKED ? 0 : cmd, tmpl, request); break;
    case SCX_FLOATING: result = MakeFloating(frame, state, cmd, tmpl, request); break;
    default: return 0;
    }
    if (pResult)
        *pResult = result != nullptr;
    return 0xF;
}

CFrameWnd* ScxMsgFilter::ToggleMDIChildDocked(CFrameWnd* pFrame, SECMultiDocTemplate* pTemplate)
{
    return pTemplate ? pTemplate->ToggleDocking(pFrame) : nullptr;
}

CFrameWnd* ScxMsgFilter::MakeMDIChild(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request)
{
    CView* view = pFrame ? pFrame->GetActiveView() : nullptr;
    if (view == nullptr)
        return nullptr;
    const bool wasChild = dynamic_cast<CMDIChildWnd*>(pFrame) != nullptr;
    CWnd* main = AfxGetMainWnd();
    const bool locked = !wasChild && main != nullptr && ::LockWindowUpdate(main->m_hWnd);
    CFrameWnd* result = nullptr;
    do {
        CFrameWnd* frame = pFrame;
        if (!wasChild) {
            frame = ToggleMDIChildDocked(pFrame, pTemplate);
            if (frame == nullptr)
                break;
        }
        if (nCmd == 0) {
            result = view->GetParentFrame();
            break;
        }
        auto* child = dynamic_cast<CMDIChildWnd*>(view->GetParentFrame());
        if (child == nullptr)
            break;
        const int state = GetWindowState(child, pTemplate, request);
        if (state != nCmd)
            child->ShowWindow(nCmd == SCX_MDIMINIMIZED ? SW_SHOWMINIMIZED : nCmd == SCX_MDIMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        if (nCmd != SCX_MDIMAXIMIZED && (request.dwFlags & (SCX_HASPOS | SCX_HASSIZE))) {
            UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (!(request.dwFlags & SCX_HASPOS))
                flags |= SWP_NOMOVE;
            if (!(request.dwFlags & SCX_HASSIZE))
                flags |= SWP_NOSIZE;
            POINT pt{request.x, request.y};
            if (CWnd* parent = child->GetParent())
                ::ScreenToClient(parent->m_hWnd, &pt);
            child->SetWindowPos(nullptr, pt.x, pt.y, request.cx, request.cy, flags);
        }
        if (::IsZoomed(child->m_hWnd)) {
            // The client lays the maximized child out anew.
            if (CWnd* client = child->GetParent()) {
                CRect rc;
                client->GetClientRect(&rc);
                client->SendMessage(WM_SIZE, 0, 0);
                client->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.Width(), rc.Height()));
            }
        }
        result = view->GetParentFrame();
    } while (false);
    if (locked)
        ::LockWindowUpdate(nullptr);
    (void)nState;
    return result;
}

CFrameWnd* ScxMsgFilter::DockFrame(CFrameWnd* pFrame, UINT nDockBarID, SECMultiDocTemplate* pTemplate, const Request& request)
{
    if (pTemplate == nullptr)
        return nullptr;
    return pTemplate->DockFrame(pFrame, nDockBarID, (request.dwFlags & SCX_HASPOS) ? request.pDockPos : nullptr,
                                (request.dwFlags & SCX_HASSIZE) ? request.pDockSize : nullptr);
}

CFrameWnd* ScxMsgFilter::MakeDocked(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request)
{
    CView* view = pFrame ? pFrame->GetActiveView() : nullptr;
    if (view == nullptr)
        return nullptr;
    const bool child = dynamic_cast<CMDIChildWnd*>(pFrame) != nullptr;
    const bool placed = (request.dwFlags & (SCX_HASPOS | SCX_HASSIZE)) != 0;
    if ((nCmd == 0 || nCmd == SCX_DOCKED) && !placed) {
        if (child)
            return ToggleMDIChildDocked(pFrame, pTemplate);
        if (GetStateGroup(nState) == SCX_FLOATING)
            return FloatDockedFrame(pFrame, request);   // toggles its bar back into its dock
        return pFrame;
    }
    UINT id = 0;
    DWORD align = 0;
    switch (nCmd) {
    case SCX_DOCKLEFT: id = AFX_IDW_DOCKBAR_LEFT; align = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT; break;
    case SCX_DOCKTOP: id = AFX_IDW_DOCKBAR_TOP; align = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM; break;
    case SCX_DOCKRIGHT: id = AFX_IDW_DOCKBAR_RIGHT; align = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT; break;
    case SCX_DOCKBOTTOM: id = AFX_IDW_DOCKBAR_BOTTOM; align = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP; break;
    default: break;
    }
    if (child)
        return DockFrame(pFrame, id, pTemplate, request);
    auto* dockable = dynamic_cast<SECDockableFrame*>(pFrame);
    SECControlBar* bar = dockable ? dockable->GetFrameBar() : nullptr;
    SECMDIFrameWnd* main = dockable ? dockable->GetMainFrame() : nullptr;
    if (bar == nullptr || main == nullptr || id == 0)
        return pFrame;
    const bool topLeft = id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_LEFT;
    SECDockPos pos;
    SECDockSize size;
    if (request.pDockPos != nullptr && (request.dwFlags & SCX_HASPOS))
        pos = *request.pDockPos;
    else
        pos = SECDockPos{topLeft ? 1 : 0, 0, topLeft ? 3 : 4};
    if (request.pDockSize != nullptr && (request.dwFlags & SCX_HASSIZE))
        size = *request.pDockSize;
    else
        size = SECDockSize{1.0f, 150, 0};
    bar->SetBarStyle((bar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | align);
    main->DockControlBarEx(bar, pos, id, size);
    main->RecalcLayout();
    return view->GetParentFrame();
}

CFrameWnd* ScxMsgFilter::FloatDockedFrame(CFrameWnd* pFrame, const Request& request)
{
    auto* dockable = dynamic_cast<SECDockableFrame*>(pFrame);
    SECControlBar* bar = dockable ? dockable->GetFrameBar() : nullptr;
    if (bar == nullptr || bar->m_pDockContext == nullptr)
        return nullptr;
    CDockContext* context = bar->m_pDockContext;
    const CPoint oldPos = context->m_ptMRUFloatPos;
    if (request.dwFlags & SCX_HASPOS)
        context->m_ptMRUFloatPos = CPoint(request.x, request.y);
    if (request.dwFlags & SCX_HASSIZE)
        bar->m_szFloat = CSize(request.cx, request.cy);
    CView* view = pFrame->GetActiveView();
    context->ToggleDocking();
    if (request.dwFlags & SCX_HASPOS)
        context->m_ptMRUFloatPos = oldPos;
    return view ? view->GetParentFrame() : pFrame;
}

CFrameWnd* ScxMsgFilter::MakeFloating(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request)
{
    if ((nCmd != 0 && nCmd != SCX_FLOATING) || pFrame == nullptr || pFrame->GetActiveView() == nullptr)
        return nullptr;
    const int group = GetStateGroup(nState);
    if (group == SCX_MDICHILD) {
        if (::IsIconic(pFrame->m_hWnd))
            pFrame->ShowWindow(SW_RESTORE);
        CRect former;
        pFrame->GetWindowRect(&former);
        CFrameWnd* docked = MakeDocked(pFrame, nState, 0, pTemplate, request);
        if (docked == nullptr || dynamic_cast<SECDockableFrame*>(docked) == nullptr)
            return docked;
        // The former child's place and size, unless the request names its own.
        if (!(request.dwFlags & SCX_HASPOS)) {
            request.x = former.left;
            request.y = former.top;
            request.dwFlags |= SCX_HASPOS;
        }
        if (!(request.dwFlags & SCX_HASSIZE)) {
            request.cx = former.Width();
            request.cy = former.Height();
            request.dwFlags |= SCX_HASSIZE;
        }
        request.hWnd = docked->m_hWnd;
        return MakeFloating(docked, GetWindowState(docked, pTemplate, request), nCmd, pTemplate, request);
    }
    if (group == SCX_DOCKED)
        return FloatDockedFrame(pFrame, request);
    if (group == SCX_FLOATING && (request.dwFlags & (SCX_HASPOS | SCX_HASSIZE))) {
        auto* dockable = dynamic_cast<SECDockableFrame*>(pFrame);
        SECControlBar* bar = dockable ? dockable->GetFrameBar() : nullptr;
        CFrameWnd* floating = bar ? bar->GetParentFrame() : nullptr;
        if (floating != nullptr) {
            UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (!(request.dwFlags & SCX_HASPOS))
                flags |= SWP_NOMOVE;
            if (!(request.dwFlags & SCX_HASSIZE))
                flags |= SWP_NOSIZE;
            floating->SetWindowPos(nullptr, request.x, request.y, request.cx, request.cy, flags);
        }
    }
    return pFrame;
}

// ---- The caption button -----------------------------------------------------------------------

ScxButtonMsgFilter::ScxButtonMsgFilter(CWnd* pWnd, UINT nID) : SECCaptionControlMsgFilter(pWnd, nID)
{
    m_nTimerInterval = 400;
}

BOOL ScxButtonMsgFilter::IsVisible(BOOL* pDisabled) const
{
    if (pDisabled)
        *pDisabled = FALSE;
    return TRUE;
}

LRESULT ScxButtonMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = SECCaptionControlMsgFilter::OnMessage(msg, wParam, lParam, pResult);
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN || msg == WM_LBUTTONUP) && (result & SEC_FILTER_HANDLED))
        result |= SEC_FILTER_STOP;
    return result;
}

void ScxButtonMsgFilter::SendCommand(int nKind, int x, int y)
{
    CWnd* target = GetTargetFrame();
    if (target == nullptr || !::IsWindow(target->m_hWnd))
        return;
    CRect window;
    if (m_pWnd)
        m_pWnd->GetWindowRect(&window);
    Request request;
    request.hWnd = target->m_hWnd;
    request.rcButton = m_rect;
    ::OffsetRect(&request.rcButton, window.left, window.top);
    if (nKind == 0) {
        request.x = x;
        request.y = y;
        request.nCommand = -1;
        SendRequest(request.hWnd, SCX_COMMAND, request);
    } else {
        request.x = request.rcButton.left;
        request.y = request.rcButton.bottom;
        if (nKind == 2)
            request.dwFlags |= SCX_HASPOS;
        SendRequest(request.hWnd, SCX_CONTEXTMENU, request);
    }
}

void ScxButtonMsgFilter::Draw()
{
    if (m_pWnd == nullptr || !::IsWindow(m_pWnd->m_hWnd) || m_rect.IsRectEmpty())
        return;
    CWindowDC dc(m_pWnd);
    CRect r = m_rect;
    const bool pushed = (m_nState & DFCS_PUSHED) != 0;
    const bool dockable = dynamic_cast<SECDockableFrame*>(m_pWnd) != nullptr;
    dc.Draw3dRect(&r, ::GetSysColor(pushed ? COLOR_3DDKSHADOW : COLOR_3DHILIGHT), ::GetSysColor(pushed ? COLOR_3DHILIGHT : COLOR_3DDKSHADOW));
    r.DeflateRect(1, 1);
    dc.Draw3dRect(&r, ::GetSysColor(pushed ? COLOR_3DSHADOW : COLOR_3DLIGHT), ::GetSysColor(pushed ? COLOR_3DFACE : COLOR_3DSHADOW));
    r.DeflateRect(1, 1);
    dc.FillSolidRect(&r, ::GetSysColor(COLOR_3DFACE));
    // The stroke: the logical 9 x 9 in device units of a 9800 x 9600 window over 100 w x 100 h.
    const int w = m_rect.Width(), h = m_rect.Height();
    int sx = std::max(2, 9 * 100 * w / 9800);
    int sy = std::max(1, 9 * 100 * h / 9600);
    int n = static_cast<int>(0.6 * h);
    if ((n - sy) % 2 == 0)
        n += 1;
    const int k = (n - sy + 1) / 2;
    const int glyph = sx - 2 + 2 * k;
    int x0 = m_rect.left + (w - glyph) / 2, y0 = m_rect.top + (h - n) / 2;
    if (sy == 1) {
        --x0;
        --y0;
    }
    if (pushed) {
        ++x0;
        ++y0;
    }
    if (dockable)
        ++y0;
    const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
    auto fill = [&](int x, int y, int cx, int cy) { dc.FillSolidRect(x, y, cx, cy, ink); };
    const int tipX = x0 - 1 + k;
    const int bottomY = y0 + n - sy + (dockable ? 0 : 1);
    fill(tipX, y0, sx + 1, sy);
    fill(tipX, bottomY, sx + 1, sy);
    // From each tip the strokes step outward toward the middle, a row at a time.
    for (int row = 1; row < k; ++row) {
        const int leftX = tipX - row, rightX = tipX + 3 + row - 1 + (sx - 2);
        fill(leftX, y0 + row * sy, sx, sy);
        fill(rightX, y0 + row * sy, sx, sy);
        fill(leftX, bottomY - row * sy, sx, sy);
        fill(rightX, bottomY - row * sy, sx, sy);
    }
    if (!dockable) {
        const int middle = y0 + k * sy;
        fill(tipX - k + 1, middle, sx - 1, sy);
        fill(tipX + 3 + k - 1 + (sx - 2), middle, sx - 1, sy);
    }
}

LRESULT ScxButtonMDIChildMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_pWnd != nullptr && ::IsZoomed(m_pWnd->m_hWnd))
        return 0;
    return ScxButtonMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

BOOL ScxButtonMDIChildMsgFilter::IsVisible(BOOL* pDisabled) const
{
    if (pDisabled)
        *pDisabled = FALSE;
    return m_pWnd == nullptr || !::IsZoomed(m_pWnd->m_hWnd);
}

CMDIChildWnd* ScxButtonMDIMaxChildMsgFilter::GetMaxChild() const
{
    auto* frame = dynamic_cast<CMDIFrameWnd*>(m_pWnd);
    if (frame == nullptr)
        return nullptr;
    BOOL maximized = FALSE;
    CMDIChildWnd* child = frame->MDIGetActive(&maximized);
    return maximized ? child : nullptr;
}

CWnd* ScxButtonMDIMaxChildMsgFilter::GetTargetFrame() const
{
    return GetMaxChild();
}

BOOL ScxButtonMDIMaxChildMsgFilter::IsVisible(BOOL* pDisabled) const
{
    if (pDisabled)
        *pDisabled = FALSE;
    return GetMaxChild() != nullptr;
}

LRESULT ScxButtonMDIMaxChildMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CMDIChildWnd* child = GetMaxChild();
    if (child == nullptr || !FeatureOn(child, kKeyButton))
        return 0;
    // Over the menu-bar row the hit code is HTMENU: it stands for the caption here.
    if ((msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN) && wParam == HTMENU)
        wParam = HTCAPTION;
    return ScxButtonMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

// ---- Caption double click and menu ------------------------------------------------------------

LRESULT ScxCaptionNCRDBLClkFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg == WM_NCRBUTTONDBLCLK && wParam == HTCAPTION && m_pWnd != nullptr) {
        Request request;
        request.hWnd = m_pWnd->m_hWnd;
        request.x = static_cast<short>(LOWORD(lParam));
        request.y = static_cast<short>(HIWORD(lParam));
        SendRequest(request.hWnd, SCX_COMMAND, request);
        return 0xF;
    }
    return SECCaptionMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

LRESULT ScxNCRDBLClkMDIMaxChildMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg != WM_NCRBUTTONDBLCLK)
        return 0;
    auto* frame = dynamic_cast<CMDIFrameWnd*>(m_pWnd);
    BOOL maximized = FALSE;
    CMDIChildWnd* child = frame ? frame->MDIGetActive(&maximized) : nullptr;
    if (child == nullptr || !maximized || dynamic_cast<SECMDIChildWnd*>(child) == nullptr || !FeatureOn(child, kKeyCaptionDblClk))
        return 0;
    if (wParam != HTMENU)
        return SECNcMsgFilter::OnMessage(msg, wParam, lParam, pResult);
    Request request;
    request.hWnd = child->m_hWnd;
    SendRequest(request.hWnd, SCX_COMMAND, request);
    return 0xF;
}

LRESULT ScxContextMenuFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg == WM_NCRBUTTONUP && wParam == HTCAPTION && m_pWnd != nullptr) {
        Request request;
        request.hWnd = m_pWnd->m_hWnd;
        request.x = static_cast<short>(LOWORD(lParam));
        request.y = static_cast<short>(HIWORD(lParam));
        SendRequest(request.hWnd, SCX_CONTEXTMENU, request);
        return 0xF;
    }
    return SECMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

}   // namespace nsSysCommandEx
