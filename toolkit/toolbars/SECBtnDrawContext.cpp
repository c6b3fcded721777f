#include "toolkit/toolbars/SECBtnDrawContext.h"

#include "platform/core/CException.h"

#include <algorithm>

#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECGlobalData.h"

SECBtnDrawContext::SECBtnDrawContext()
{
    if (!m_dcMono.CreateCompatibleDC(nullptr) || !m_dcGlyphs.CreateCompatibleDC(nullptr)
        || !m_dcButton.CreateCompatibleDC(nullptr))
        AfxThrowResourceException();
    RebuildDitherBrush();
    if (!m_brDither.GetSafeHandle())
        AfxThrowResourceException();
}

SECBtnDrawContext::~SECBtnDrawContext()
{
    ReleaseBitmaps();
    SelectStrip(nullptr);
}

void SECBtnDrawContext::RebuildDitherBrush()
{
    // A one-pixel checkerboard of button face (0) and button highlight (1).
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 8;
    info.header.biHeight = 8;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    const COLORREF face = SECGetGlobalData().clrBtnFace;
    const COLORREF light = SECGetGlobalData().clrBtnHilite;
    info.colors[0] = RGBQUAD{GetBValue(face), GetGValue(face), GetRValue(face), 0};
    info.colors[1] = RGBQUAD{GetBValue(light), GetGValue(light), GetRValue(light), 0};
    DWORD rows[8];
    for (int i = 0; i < 8; ++i)
        rows[i] = (i % 2 == 0) ? 0x5555AAAAu : 0xAAAA5555u;
    // A colour bitmap of the screen's kind: the brush keeps the two colours whatever the text and
    // background colours of the context it paints in.
    HDC screen = ::GetDC(nullptr);
    HBITMAP pattern = ::CreateCompatibleBitmap(screen, 8, 8);
    if (pattern
        && !::SetDIBits(screen, pattern, 0, 8, rows, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS)) {
        ::DeleteObject(pattern);
        pattern = nullptr;
    }
    ::ReleaseDC(nullptr, screen);
    if (!pattern)
        return;
    HBRUSH brush = ::CreatePatternBrush(pattern);
    ::DeleteObject(pattern);
    if (!brush)
        return;
    m_brDither.DeleteObject();
    m_brDither.Attach(brush);
}

BOOL SECBtnDrawContext::PrepareBitmaps(CDC* pTarget, int cx, int cy)
{
    ReleaseBitmaps();
    cx = std::max(cx, 1);
    cy = std::max(cy, 1);
    if (!m_bmButton.CreateCompatibleBitmap(pTarget, cx, cy) || !m_bmMono.CreateBitmap(cx, cy, 1, 1, nullptr)) {
        m_bmButton.DeleteObject();
        m_bmMono.DeleteObject();
        return FALSE;
    }
    m_hOldButton = ::SelectObject(m_dcButton.GetSafeHdc(), m_bmButton.GetSafeHandle());
    m_hOldMono = ::SelectObject(m_dcMono.GetSafeHdc(), m_bmMono.GetSafeHandle());
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

void SECBtnDrawContext::ReleaseBitmaps()
{
    if (m_hOldButton)
        ::SelectObject(m_dcButton.GetSafeHdc(), m_hOldButton);
    if (m_hOldMono)
        ::SelectObject(m_dcMono.GetSafeHdc(), m_hOldMono);
    m_hOldButton = m_hOldMono = nullptr;
    m_bmButton.DeleteObject();
    m_bmMono.DeleteObject();
}

void SECBtnDrawContext::SelectStrip(HBITMAP hStrip)
{
    if (!hStrip) {
        if (m_hOldGlyphs)
            ::SelectObject(m_dcGlyphs.GetSafeHdc(), m_hOldGlyphs);
        m_hOldGlyphs = nullptr;
        return;
    }
    HGDIOBJ old = ::SelectObject(m_dcGlyphs.GetSafeHdc(), hStrip);
    if (!m_hOldGlyphs)
        m_hOldGlyphs = old;
}
