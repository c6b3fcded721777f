#include "engine/meta/CStringListWrapper.h"

#include "platform/core/CArchive.h"

void CStringListWrapper::CopyFrom(const CStringList& other)
{
    if (&other == this)
        return;
    RemoveAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;)
        AddTail(other.GetNext(pos));
}

BOOL CStringListWrapper::IsEqual(const CStringList& other) const
{
    if (GetCount() != other.GetCount())
        return FALSE;
    POSITION posThis = GetHeadPosition();
    POSITION posOther = other.GetHeadPosition();
    while (posThis != nullptr && posOther != nullptr) {
        if (GetNext(posThis).Compare(other.GetNext(posOther)) != 0)
            return FALSE;
    }
    return TRUE;
}

void CStringListWrapper::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<DWORD_PTR>(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos != nullptr;)
            ar << GetNext(pos);
        return;
    }
    const DWORD_PTR nCount = ar.ReadCount();
    // One string at a time: a count larger than the data runs into the end of the archive
    // instead of a large allocation.
    CStringList loaded(10);
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        CString strItem;
        ar >> strItem;
        loaded.AddTail(strItem);
    }
    CopyFrom(loaded);
}
