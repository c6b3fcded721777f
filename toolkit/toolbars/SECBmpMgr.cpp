#include "toolkit/toolbars/SECBmpMgr.h"

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"
#include "toolkit/toolbars/DibLayout.h"
#include "toolkit/toolbars/SECLoadSysColorBitmap.h"

IMPLEMENT_DYNAMIC(SECBmpMgr, CObject)

namespace {

// A toolbar resource: version, image width and height, count, then the command ids.
struct ToolBarResource {
    int width = 0;
    int height = 0;
    std::vector<UINT> ids; // separators dropped
};

bool ReadToolBarResource(UINT nID, ToolBarResource& out)
{
    LPCSTR name = MAKEINTRESOURCE(nID);
    HINSTANCE module = AfxFindResourceHandle(name, RT_TOOLBAR);
    HRSRC res = module ? FindResource(module, name, RT_TOOLBAR) : nullptr;
    if (!res)
        return false;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
    const size_t size = SizeofResource(module, res);
    if (!data || size < 8)
        return false;
    const size_t count = DibGet16(data + 6);
    if (size < 8 + count * 2)
        return false;
    out.width = DibGet16(data + 2);
    out.height = DibGet16(data + 4);
    out.ids.clear();
    for (size_t i = 0; i < count; ++i)
        if (UINT id = DibGet16(data + 8 + i * 2))
            out.ids.push_back(id);
    return out.width > 0 && out.height > 0;
}

void DeleteBitmap(HBITMAP& bitmap)
{
    if (bitmap)
        ::DeleteObject(bitmap);
    bitmap = nullptr;
}

} // namespace

SECBmpMgr::SECBmpMgr() = default;

SECBmpMgr::~SECBmpMgr()
{
    for (auto& strip : m_strips) {
        DeleteBitmap(strip->hSmall);
        DeleteBitmap(strip->hLarge);
    }
}

void SECBmpMgr::Release()
{
    if (--m_nRef <= 0)
        delete this;
}

const SECBmpMgr::BmpInfo* SECBmpMgr::GetStrip(int n) const
{
    return n >= 0 && n < GetStripCount() ? m_strips[static_cast<size_t>(n)].get() : nullptr;
}

BOOL SECBmpMgr::LoadToolBar(UINT nID, UINT nLargeID, BOOL bSysColor)
{
    ToolBarResource small;
    if (!ReadToolBarResource(nID, small))
        return FALSE;
    if (m_strips.empty()) {
        m_cxSmall = small.width;
        m_cySmall = small.height;
        ToolBarResource large;
        if (nLargeID && ReadToolBarResource(nLargeID, large)) {
            m_cxLarge = large.width;
            m_cyLarge = large.height;
        }
    }
    return AddStrip(nID, nLargeID, small.ids.data(), static_cast<int>(small.ids.size()), bSysColor);
}

BOOL SECBmpMgr::AddStrip(UINT nSmallID, UINT nLargeID, const UINT* pIDs, int nCount, BOOL bSysColor)
{
    auto strip = std::make_unique<BmpInfo>();
    strip->nSmallID = nSmallID;
    strip->nLargeID = nLargeID;
    strip->nCount = pIDs ? std::max(nCount, 0) : 0;
    strip->bSysColor = bSysColor;
    const int number = GetStripCount();
    for (int i = 0; i < strip->nCount; ++i)
        m_idMap.try_emplace(pIDs[i], BmpItem{number, i}); // an id already mapped keeps its first image
    m_strips.push_back(std::move(strip));
    return BuildStrip(*m_strips.back(), TRUE);
}

HBITMAP SECBmpMgr::LoadStripBitmap(UINT nID, BOOL bSysColor) const
{
    LPCSTR name = MAKEINTRESOURCE(nID);
    if (bSysColor) {
        CBitmap bitmap;
        if (!SECLoadSysColorBitmap(bitmap, name))
            return nullptr;
        return static_cast<HBITMAP>(bitmap.Detach());
    }
    HINSTANCE module = AfxFindResourceHandle(name, RT_BITMAP);
    return module ? ::LoadBitmap(module, name) : nullptr;
}

HBITMAP SECBmpMgr::StretchStrip(HBITMAP hSmall, int nCount) const
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP large = ::CreateCompatibleBitmap(screen, m_cxLarge * std::max(nCount, 1), m_cyLarge);
    HDC from = ::CreateCompatibleDC(screen);
    HDC to = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (large && from && to) {
        HGDIOBJ oldFrom = ::SelectObject(from, hSmall);
        HGDIOBJ oldTo = ::SelectObject(to, large);
        for (int i = 0; i < nCount; ++i)
            ::StretchBlt(to, i * m_cxLarge, 0, m_cxLarge, m_cyLarge, from, i * m_cxSmall, 0, m_cxSmall, m_cySmall,
                         SRCCOPY);
        ::SelectObject(from, oldFrom);
        ::SelectObject(to, oldTo);
    }
    if (from)
        ::DeleteDC(from);
    if (to)
        ::DeleteDC(to);
    return large;
}

BOOL SECBmpMgr::BuildStrip(BmpInfo& strip, BOOL bForce)
{
    if (m_bSmall || m_bKeepBoth) {
        if (m_bSmall && !m_bKeepBoth)
            DeleteBitmap(strip.hLarge);
        if (!strip.hSmall || bForce) {
            DeleteBitmap(strip.hSmall);
            strip.hSmall = LoadStripBitmap(strip.nSmallID, strip.bSysColor);
            if (!strip.hSmall)
                return FALSE;
        }
    }
    if (m_bSmall)
        return TRUE;
    if (!m_bKeepBoth)
        DeleteBitmap(strip.hSmall);
    if (strip.hLarge && !bForce)
        return TRUE;
    DeleteBitmap(strip.hLarge);
    if (strip.nLargeID) {
        strip.hLarge = LoadStripBitmap(strip.nLargeID, strip.bSysColor);
        return strip.hLarge ? TRUE : FALSE;
    }
    HBITMAP small = strip.hSmall;
    const bool loadedHere = !small;
    if (loadedHere)
        small = LoadStripBitmap(strip.nSmallID, strip.bSysColor);
    if (!small)
        return FALSE;
    strip.hLarge = StretchStrip(small, strip.nCount);
    if (loadedHere)
        ::DeleteObject(small);
    return strip.hLarge ? TRUE : FALSE;
}

BOOL SECBmpMgr::GetImage(UINT nID, HBITMAP& hBitmap, int& nIndex, BOOL bForceSmall) const
{
    auto it = m_idMap.find(nID);
    if (it == m_idMap.end())
        return FALSE;
    const BmpInfo& strip = *m_strips[static_cast<size_t>(it->second.nStrip)];
    hBitmap = bForceSmall || m_bSmall ? strip.hSmall : strip.hLarge;
    nIndex = it->second.nIndex;
    return TRUE;
}

void SECBmpMgr::SetSmallImages(BOOL bSmall)
{
    bSmall = bSmall ? TRUE : FALSE;
    if (bSmall == m_bSmall)
        return;
    m_bSmall = bSmall;
    ReloadAll(FALSE);
}

void SECBmpMgr::SetKeepBoth(BOOL bKeepBoth)
{
    bKeepBoth = bKeepBoth ? TRUE : FALSE;
    if (bKeepBoth == m_bKeepBoth)
        return;
    m_bKeepBoth = bKeepBoth;
    ReloadAll(FALSE);
}

BOOL SECBmpMgr::ReloadAll(BOOL bForce)
{
    BOOL ok = TRUE;
    for (auto& strip : m_strips)
        if (!BuildStrip(*strip, bForce))
            ok = FALSE;
    return ok;
}
