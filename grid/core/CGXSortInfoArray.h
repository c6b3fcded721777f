// CGXSortInfoArray: the keys of a row or column sort, in order of precedence. Each key names its
// column (a row sort) or row (a column sort), how its texts compare and in which direction; the
// sort itself keeps two working flags per key while it decides what an automatic key holds.
#pragma once

#include "platform/core/CPtrArray.h"

using ROWCOL = DWORD;

class CGXSortInfo : public CObject {
    DECLARE_DYNAMIC(CGXSortInfo)
public:
    enum SortType : DWORD { numeric = 0, alphanumeric = 1, date = 2, autodetect = 3 };
    enum SortOrder : DWORD { ascending = 0, descending = 1 };

    CGXSortInfo() = default;
    CGXSortInfo(ROWCOL nRC, SortType sortType, SortOrder sortOrder, BOOL bCase = FALSE)
        : nRC(nRC), sortType(sortType), sortOrder(sortOrder), bCase(bCase)
    {
    }

    ROWCOL nRC = 0;               // key column of a row sort, key row of a column sort
    DWORD sortType = autodetect;  // a SortType
    DWORD sortOrder = ascending;  // 0 ascending, any other value descending
    BOOL bCase = FALSE;           // text keys: case matters
    DWORD dwReserved = 0;         // kept for callers; the sort does not read it
    BOOL bAllNumbers = TRUE;      // working flag of the sort
    BOOL bAllDates = TRUE;        // working flag of the sort

    BOOL IsAscending() const { return sortOrder == ascending; }
};

// Owns its keys: Add takes a copy, and the array deletes its keys when it goes. It is a CObArray
// so that the grid's sort operations take it as they take any array of keys.
class CGXSortInfoArray : public CObArray {
    DECLARE_DYNAMIC(CGXSortInfoArray)
public:
    CGXSortInfoArray() = default;
    ~CGXSortInfoArray() override;
    CGXSortInfoArray(const CGXSortInfoArray&) = delete;
    CGXSortInfoArray& operator=(const CGXSortInfoArray&) = delete;

    INT_PTR Add(const CGXSortInfo& info);
    CGXSortInfo& Key(INT_PTR i) { return *static_cast<CGXSortInfo*>(GetAt(i)); }
    void RemoveAllKeys();
};
