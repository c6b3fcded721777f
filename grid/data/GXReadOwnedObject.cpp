#include "grid/data/GXReadOwnedObject.h"

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"

CObject* GXReadOwnedObject(CArchive& ar, const CRuntimeClass* pClass)
{
    UINT nSchema = 0;
    DWORD nObTag = 0;
    CRuntimeClass* pClassRef = ar.ReadClass(pClass, &nSchema, &nObTag);
    if (pClassRef == nullptr) {
        if (nObTag == 0)
            return nullptr; // the null tag
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    }
    if (pClassRef->m_pfnCreateObject == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    CObject* pOb = pClassRef->CreateObject();
    if (pOb == nullptr)
        AfxThrowMemoryException();
    try {
        ar.MapObject(pOb);
        ar.SetObjectSchema(nSchema);
        pOb->Serialize(ar);
    } catch (...) {
        delete pOb;
        throw;
    }
    return pOb;
}
