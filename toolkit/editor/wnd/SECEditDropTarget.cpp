// The editor's drop target: the drag's events go to the window under it when that is an editor,
// and the window scrolls while the mouse rests near its border.
#include "toolkit/editor/wnd/SECEditDropTarget.h"

#include "platform/core/TickCount.h"
#include "toolkit/editor/wnd/SECEditCtrl.h"

IMPLEMENT_DYNAMIC(SECEditDropTarget, COleDropTarget)

namespace {

SECEditCtrl* EditorOf(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(SECEditCtrl)) ? static_cast<SECEditCtrl*>(pWnd) : nullptr;
}

// Object linking for the whole program, from start-up to exit.
SECEditOleInit g_oleInit;

} // namespace

SECEditOleInit::SECEditOleInit() : m_hResult(OleInitialize(nullptr)) {}

SECEditOleInit::~SECEditOleInit()
{
    if (m_hResult >= 0)
        OleUninitialize();
}

DROPEFFECT SECEditDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    SECEditCtrl* edit = EditorOf(pWnd);
    return edit != nullptr ? edit->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT SECEditDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    SECEditCtrl* edit = EditorOf(pWnd);
    return edit != nullptr ? edit->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

BOOL SECEditDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    SECEditCtrl* edit = EditorOf(pWnd);
    return edit != nullptr ? edit->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

void SECEditDropTarget::OnDragLeave(CWnd* pWnd)
{
    if (SECEditCtrl* edit = EditorOf(pWnd))
        edit->OnDragLeave();
}

DROPEFFECT SECEditDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    SECEditCtrl* edit = EditorOf(pWnd);
    if (edit == nullptr)
        return DROPEFFECT_NONE;
    CRect client;
    edit->GetClientRect(&client);
    CRect inner = client;
    inner.InflateRect(-nScrollInset, -nScrollInset);
    UINT code = 0xFFFF;   // no scrolling
    if (client.PtInRect(point) && !inner.PtInRect(point)) {
        const UINT h = point.x < inner.left ? SB_LINEUP : point.x >= inner.right ? SB_LINEDOWN : 0xFF;
        const UINT v = point.y < inner.top ? SB_LINEUP : point.y >= inner.bottom ? SB_LINEDOWN : 0xFF;
        code = MAKEWORD(h, v);
        if (!edit->OnScroll(code, 0, FALSE))
            code = 0xFFFF;
    }
    if (code == 0xFFFF) {
        if (m_nTimerID != 0xFFFF) {
            // The drop caret comes back where the scrolling stopped.
            COleDataObject data;
            data.Attach(m_lpDataObject, FALSE);
            OnDragEnter(pWnd, &data, dwKeyState, point);
            m_nTimerID = 0xFFFF;
        }
        return DROPEFFECT_NONE;
    }
    const DWORD now = GetTickCount();
    if (code != m_nTimerID) {
        m_dwLastTick = now;
        m_nScrollDelay = nScrollDelay;
    }
    if (now - m_dwLastTick > m_nScrollDelay) {
        edit->OnScroll(code, 0, TRUE);
        m_dwLastTick = now;
        m_nScrollDelay = nScrollInterval;
    }
    if (m_nTimerID == 0xFFFF)
        OnDragLeave(pWnd);
    m_nTimerID = code;
    DROPEFFECT effect = DROPEFFECT_SCROLL;
    if ((dwKeyState & MK_CONTROL) && (dwKeyState & MK_SHIFT))
        effect |= DROPEFFECT_LINK;
    else if (dwKeyState & MK_CONTROL)
        effect |= DROPEFFECT_COPY;
    else
        effect |= DROPEFFECT_MOVE;
    return effect;
}
