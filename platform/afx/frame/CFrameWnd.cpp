#include "platform/afx/frame/CFrameWnd.h"

#include "platform/controls/ToolTip.h"
#include "platform/core/ResourceTable.h"

#include <climits>
#include <cstring>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXT, 0, UINT_MAX, &CFrameWnd::OnToolTipText)
END_MESSAGE_MAP()

BOOL CFrameWnd::IsFrameWnd() const
{
    return TRUE;
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTTDISPINFO*>(pNMHDR);
    UINT_PTR id = pNMHDR->idFrom;
    if (info->uFlags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    info->szText[0] = '\0';
    if (id != 0) {
        // A command's string is "status text\ntip"; the tip is the part after the line break.
        LPCSTR full = FindResourceString(static_cast<UINT>(id));
        if (full) {
            const char* tip = strchr(full, '\n');
            snprintf(info->szText, sizeof info->szText, "%s", tip ? tip + 1 : full);
        }
    }
    if (pResult)
        *pResult = 0;
    return TRUE;   // the tool tip has its answer, empty or not
}
