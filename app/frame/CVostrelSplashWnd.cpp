#include "app/frame/CVostrelSplashWnd.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"

namespace {

// Where the picture leaves room for the words: the band along its top and the card right of
// the page drawn on it.
constexpr int kBandTop = 4;
constexpr int kBandHeight = 36;
constexpr int kTextLeft = 104;

} // namespace

CVostrelSplashWnd::CVostrelSplashWnd(UINT nBitmapID, UINT nDisplayTime, const CString& strVersion)
    // Not above every window: the dialogs and messages of start-up come up over it.
    : SECSplashWnd(nBitmapID, nDisplayTime, FALSE, FALSE), m_strVersion(strVersion)
{
}

void CVostrelSplashWnd::DrawExtra(CDC* pDC, const RECT& rcClient)
{
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF crOld = pDC->SetTextColor(RGB(255, 255, 255));

    CFont title;
    title.CreateFont(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    CFont* pOldFont = pDC->SelectObject(&title);
    CRect band(rcClient.left + 16, rcClient.top + kBandTop, rcClient.right - 16, rcClient.top + kBandTop + kBandHeight);
    pDC->DrawText("Vostrel", -1, &band, DT_LEFT | DT_VCENTER | DT_SINGLELINE);

    CFont body;
    body.CreateFont(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    pDC->SelectObject(&body);
    pDC->SetTextColor(RGB(0, 0, 0));
    CRect text(rcClient.left + kTextLeft, rcClient.top + 64, rcClient.right - 16, rcClient.top + 120);
    pDC->DrawText("Manages the META tags\nof a whole web site.", -1, &text, DT_LEFT | DT_TOP | DT_WORDBREAK);
    pDC->SetTextColor(RGB(0, 0, 128));
    CRect version(rcClient.left + kTextLeft, rcClient.bottom - 40, rcClient.right - 16, rcClient.bottom - 16);
    pDC->DrawText(m_strVersion, -1, &version, DT_LEFT | DT_BOTTOM | DT_SINGLELINE);

    pDC->SelectObject(pOldFont);
    pDC->SetTextColor(crOld);
    pDC->SetBkMode(nOldMode);
}
