#include "grid/data/CGXProperties.h"

#include "grid/data/GXColor.h"
#include "platform/core/CProfileStore.h"

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

namespace {
// The switches kept in the profile, by entry name.
struct ProfileSwitch {
    const char* pszEntry;
    BOOL CGXProperties::*pMember;
};
constexpr ProfileSwitch kSwitches[] = {
    {"DisplayVertLines", &CGXProperties::m_bDisplayVertLines},
    {"DisplayHorzLines", &CGXProperties::m_bDisplayHorzLines},
    {"PrintVertLines", &CGXProperties::m_bPrintVertLines},
    {"PrintHorzLines", &CGXProperties::m_bPrintHorzLines},
    {"BlackWhite", &CGXProperties::m_bBlackWhite},
    {"MarkRowHeader", &CGXProperties::m_bMarkRowHeader},
    {"MarkColumnHeader", &CGXProperties::m_bMarkColHeader},
    {"PrintHeaders", &CGXProperties::m_bPrintHeaders},
    {"PrintRowHeaders", &CGXProperties::m_bPrintRowHeaders},
    {"PrintColumnHeaders", &CGXProperties::m_bPrintColHeaders},
};
struct ProfileNumber {
    const char* pszEntry;
    int CGXProperties::*pMember;
    int nMin;
    int nMax;
};
constexpr ProfileNumber kNumbers[] = {
    {"Zoom", &CGXProperties::m_nZoom, 10, 1000},
    {"LeftMargin", &CGXProperties::m_nLeftMargin, 0, 100000},
    {"TopMargin", &CGXProperties::m_nTopMargin, 0, 100000},
    {"RightMargin", &CGXProperties::m_nRightMargin, 0, 100000},
    {"BottomMargin", &CGXProperties::m_nBottomMargin, 0, 100000},
};
} // namespace

void CGXProperties::ReadProfile(const CProfileStore& profile, LPCTSTR pszSection)
{
    for (const ProfileSwitch& s : kSwitches)
        this->*s.pMember = profile.GetProfileInt(pszSection, s.pszEntry, this->*s.pMember ? 1 : 0) != 0;
    // A number outside its range is a damaged entry: the present value stays.
    for (const ProfileNumber& n : kNumbers) {
        const int nValue = static_cast<int>(profile.GetProfileInt(pszSection, n.pszEntry, this->*n.pMember));
        if (nValue >= n.nMin && nValue <= n.nMax)
            this->*n.pMember = nValue;
    }
    for (int i = 0; i < GX_COLOR_COUNT; ++i) {
        const UINT nColor = profile.GetProfileInt(pszSection, GetColorName(i), static_cast<int>(m_colors[static_cast<size_t>(i)]));
        m_colors[static_cast<size_t>(i)] = nColor;
    }
}

void CGXProperties::WriteProfile(CProfileStore& profile, LPCTSTR pszSection) const
{
    for (const ProfileSwitch& s : kSwitches)
        profile.WriteProfileInt(pszSection, s.pszEntry, this->*s.pMember ? 1 : 0);
    for (const ProfileNumber& n : kNumbers)
        profile.WriteProfileInt(pszSection, n.pszEntry, this->*n.pMember);
    for (int i = 0; i < GX_COLOR_COUNT; ++i)
        profile.WriteProfileInt(pszSection, GetColorName(i), static_cast<int>(m_colors[static_cast<size_t>(i)]));
}

void CGXProperties::UpdatePrintTokens(UINT nPage, UINT nPageCount, const CString& sTitle)
{
    m_nPrintPage = nPage;
    m_nPrintPageCount = nPageCount;
    m_sPrintTitle = sTitle;
}
