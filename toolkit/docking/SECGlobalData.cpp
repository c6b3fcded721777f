#include "toolkit/docking/SECGlobalData.h"

#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"
#include "platform/win/Gdi.h"
#include "toolkit/res/ToolkitRes.h"

SECGlobalData::SECGlobalData()
{
    // The bordered look of the new shell is the only one this system draws.
    m_bWin4 = TRUE;
    m_cxBorder2 = m_cyBorder2 = m_bWin4 ? 2 : 1;
    m_hcurArrow = ::LoadCursor(nullptr, IDC_ARROW);
    UpdateSysColors();
}

void SECGlobalData::UpdateSysColors()
{
    clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    clrBtnHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    clrWindowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
    clr3DLight = ::GetSysColor(COLOR_3DLIGHT);
    clr3DDkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    clrWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
    clrWindow = ::GetSysColor(COLOR_WINDOW);
    clrHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    clrHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void SECGlobalData::LoadSplitterCursors()
{
    if (m_bCursorsLoaded)
        return;
    m_bCursorsLoaded = true;
    m_hcurHSplit = ::LoadCursor(AfxFindResourceHandle(MAKEINTRESOURCE(SEC_IDC_HSPLITBAR), RT_CURSOR), MAKEINTRESOURCE(SEC_IDC_HSPLITBAR));
    m_hcurVSplit = ::LoadCursor(AfxFindResourceHandle(MAKEINTRESOURCE(SEC_IDC_VSPLITBAR), RT_CURSOR), MAKEINTRESOURCE(SEC_IDC_VSPLITBAR));
    if (!m_hcurHSplit)
        m_hcurHSplit = m_hcurArrow;
    if (!m_hcurVSplit)
        m_hcurVSplit = m_hcurArrow;
}

SECGlobalData& SECGetGlobalData()
{
    static SECGlobalData data;
    return data;
}
