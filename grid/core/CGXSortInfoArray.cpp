#include "grid/core/CGXSortInfoArray.h"

IMPLEMENT_DYNAMIC(CGXSortInfo, CObject)
IMPLEMENT_DYNAMIC(CGXSortInfoArray, CObArray)

CGXSortInfoArray::~CGXSortInfoArray()
{
    RemoveAllKeys();
}

INT_PTR CGXSortInfoArray::Add(const CGXSortInfo& info)
{
    auto* pInfo = new CGXSortInfo;
    pInfo->nRC = info.nRC;
    pInfo->sortType = info.sortType;
    pInfo->sortOrder = info.sortOrder;
    pInfo->bCase = info.bCase;
    pInfo->dwReserved = info.dwReserved;
    pInfo->bAllNumbers = info.bAllNumbers;
    pInfo->bAllDates = info.bAllDates;
    return CObArray::Add(pInfo);
}

void CGXSortInfoArray::RemoveAllKeys()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete static_cast<CGXSortInfo*>(GetAt(i));
    RemoveAll();
}
