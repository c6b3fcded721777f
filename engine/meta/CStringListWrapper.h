// The string list of option and suggestion lists: copy and pairwise comparison over CStringList,
// whose archive form (a count, then the strings) it keeps.
#pragma once

#include "platform/core/CPtrList.h"

class CStringListWrapper : public CStringList {
public:
    CStringListWrapper() : CStringList(10) {}
    CStringListWrapper(const CStringListWrapper&) = delete;
    CStringListWrapper& operator=(const CStringListWrapper&) = delete;

    // Empties this list and appends a copy of every string of the other, in order.
    void CopyFrom(const CStringList& other);
    // True when both hold the same number of strings and each pair is equal, case counting.
    BOOL IsEqual(const CStringList& other) const;
};
