#include "grid/core/CGXDragLineWnd.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXGdiRecords.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXDragLineWnd, CWnd)

BEGIN_MESSAGE_MAP(CGXDragLineWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CGXDragLineWnd::Create(CWnd* pParentWnd)
{
    const CString& sClass = GXGetAppData()->m_sDragLineWndClass;
    if (pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr || sClass.IsEmpty())
        return FALSE;
    return CreateEx(0, sClass, nullptr, WS_CHILD, 0, 0, 1, 1, pParentWnd->GetSafeHwnd(), nullptr);
}

void CGXDragLineWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    if (m_nLineFlags != 0 && m_pGrid != nullptr) {
        m_pGrid->DrawGridLine(&dc, rect.left, rect.top, rect.Width(), rect.Height(), m_nDirection, m_nClientIndex, m_nLineFlags);
        return;
    }
    // The window is the line: as long and as thick, filled whole in the pen's colour.
    const LOGPEN lp = GXGetLogPen(m_pen, *GXGetSysData());
    dc.FillSolidRect(&rect, lp.lopnColor);
}
