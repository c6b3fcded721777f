#include "engine/meta/CStringListWrapper.h"

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

