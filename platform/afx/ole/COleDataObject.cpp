// The receiving side of dragged data: copies out of the source's cache.
#include "platform/afx/ole/COleDataObject.h"

#include "platform/afx/ole/COleDataSource.h"
#include "platform/core/CMemFile.h"

#include <cstring>

namespace {

// A fresh block with the same bytes.
HGLOBAL CopyBlock(HGLOBAL source)
{
    SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) {
        return nullptr;
    }
    const void* from = GlobalLock(source);
    void* to = GlobalLock(copy);
    if (from && to && size) {
        std::memcpy(to, from, size);
    }
    GlobalUnlock(copy);
    GlobalUnlock(source);
    return copy;
}

} // namespace

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT data = m_lpDataObject;
    m_lpDataObject = nullptr;
    m_bAutoRelease = FALSE;
    return data;
}

void COleDataObject::Release()
{
    if (m_lpDataObject && m_bAutoRelease) {
        m_lpDataObject->InternalRelease();
    }
    m_lpDataObject = nullptr;
    m_bAutoRelease = FALSE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, FORMATETC*) const
{
    return m_lpDataObject && m_lpDataObject->FindGlobalData(cfFormat) ? TRUE : FALSE;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, FORMATETC*) const
{
    HGLOBAL data = m_lpDataObject ? m_lpDataObject->FindGlobalData(cfFormat) : nullptr;
    return data ? CopyBlock(data) : nullptr;
}

CFile* COleDataObject::GetFileData(CLIPFORMAT cfFormat, FORMATETC*) const
{
    HGLOBAL data = m_lpDataObject ? m_lpDataObject->FindGlobalData(cfFormat) : nullptr;
    if (!data) {
        return nullptr;
    }
    auto* file = new CMemFile();
    SIZE_T size = GlobalSize(data);
    if (const void* bytes = GlobalLock(data)) {
        file->Write(bytes, static_cast<UINT>(size));
        GlobalUnlock(data);
    }
    file->SeekToBegin();
    return file;
}
