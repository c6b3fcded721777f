#include "grid/core/CGXDIBPool.h"

#include "platform/win/Gdi.h"

#include <memory>

namespace {
std::unique_ptr<CGXDIBPool>& Pool()
{
    static std::unique_ptr<CGXDIBPool> s_pool;
    return s_pool;
}
} // namespace

CGXDIBPool* CGXDIBPool::GetInstance()
{
    if (!Pool())
        Pool() = std::make_unique<CGXDIBPool>();
    return Pool().get();
}

CGXDIBPool* CGXDIBPool::GetExisting()
{
    return Pool().get();
}

void CGXDIBPool::Destroy()
{
    if (Pool())
        Pool()->RemoveAll();
    Pool().reset();
}

CGXDIBPool::~CGXDIBPool()
{
    RemoveAll();
}

BOOL CGXDIBPool::Add(LPCTSTR pszName, HBITMAP hBitmap)
{
    if (pszName == nullptr || *pszName == '\0' || hBitmap == nullptr)
        return FALSE;
    HBITMAP& hSlot = m_bitmaps[CString(pszName)];
    if (hSlot != nullptr && hSlot != hBitmap)
        ::DeleteObject(hSlot);
    hSlot = hBitmap;
    return TRUE;
}

HBITMAP CGXDIBPool::Lookup(LPCTSTR pszText) const
{
    if (pszText == nullptr || *pszText == '\0' || m_bitmaps.empty())
        return nullptr;
    const auto it = m_bitmaps.find(CString(pszText));
    return it != m_bitmaps.end() ? it->second : nullptr;
}

void CGXDIBPool::RemoveAll()
{
    for (auto& [name, hBitmap] : m_bitmaps)
        ::DeleteObject(hBitmap);
    m_bitmaps.clear();
}
