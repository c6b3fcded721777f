#include "platform/afx/gdi/CGdiObject.h"

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/AfxThreadState.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)

CGdiObject::~CGdiObject()
{
    // The object owns its handle only while the handle map says so (not a temporary one).
    if (m_hObject && AfxGetThreadState()->m_gdiObjects.LookupPermanent(m_hObject) == this)
        DeleteObject();
}

CGdiObject* CGdiObject::NewForType(DWORD type)
{
    switch (type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return new CPen;
    case OBJ_BRUSH: return new CBrush;
    case OBJ_FONT: return new CFont;
    case OBJ_BITMAP: return new CBitmap;
    case OBJ_REGION: return new CRgn;
    case OBJ_PAL: return new CPalette;
    default: return new CGdiObject;
    }
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    auto& map = AfxGetThreadState()->m_gdiObjects;
    if (CGdiObject* p = map.LookupPermanent(hObject))
        return p;
    if (CGdiObject* p = map.LookupTemporary(hObject))
        return p;
    CGdiObject* p = NewForType(::GetObjectType(hObject));
    p->m_hObject = hObject;
    map.temporary[hObject] = p;
    return p;
}

void PASCAL CGdiObject::DeleteTempMap()
{
    auto doomed = std::move(AfxGetThreadState()->m_gdiObjects.temporary);
    AfxGetThreadState()->m_gdiObjects.temporary.clear();
    for (auto& [h, p] : doomed) {
        p->m_hObject = nullptr;
        delete p;
    }
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    auto& map = AfxGetThreadState()->m_gdiObjects;
    if (map.LookupPermanent(hObject))
        return FALSE;
    m_hObject = hObject;
    map.permanent[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    if (hObject) {
        auto& map = AfxGetThreadState()->m_gdiObjects.permanent;
        auto it = map.find(hObject);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return ::GetObject(m_hObject, nCount, lpObject);
}

UINT CGdiObject::GetObjectType() const
{
    return static_cast<UINT>(::GetObjectType(m_hObject));
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    return Attach(::GetStockObject(nIndex));
}

BOOL CGdiObject::UnrealizeObject()
{
    return ::UnrealizeObject(m_hObject);
}
