#include "grid/data/CGXProperties.h"

#include "grid/data/GXColor.h"

IMPLEMENT_DYNCREATE(CGXProperties, CObject)

namespace {
constexpr const char* kColorNames[GX_COLOR_COUNT] = {"Grid Lines", "Fixed Lines", "Tracking Line", "Dragging Line",
                                                     "Background"};
constexpr int kColorWindow = 5;
} // namespace

CGXProperties::CGXProperties()
{
    AddDefaultProperties();
}

void CGXProperties::AddDefaultProperties()
{
    m_nZoom = 100;
    m_colors[GX_COLOR_GRIDLINES] = RGB(192, 192, 192);
    m_colors[GX_COLOR_FIXEDLINES] = RGB(0, 0, 0);
    m_colors[GX_COLOR_TRACKINGLINE] = RGB(0, 0, 0);
    m_colors[GX_COLOR_DRAGGINGLINE] = RGB(0, 0, 0);
    m_colors[GX_COLOR_BACKGROUND] = GXSysColor(kColorWindow);
}

COLORREF CGXProperties::GetColor(int nIndex) const
{
    return nIndex >= 0 && nIndex < GX_COLOR_COUNT ? m_colors[static_cast<size_t>(nIndex)] : 0;
}

BOOL CGXProperties::SetColor(int nIndex, COLORREF color)
{
    if (nIndex < 0 || nIndex >= GX_COLOR_COUNT)
        return FALSE;
    m_colors[static_cast<size_t>(nIndex)] = color;
    return TRUE;
}

CString CGXProperties::GetColorName(int nIndex)
{
    return nIndex >= 0 && nIndex < GX_COLOR_COUNT ? CString(kColorNames[nIndex]) : CString();
}
