// The string list of option and suggestion lists: copy and pairwise comparison over CStringList.
#pragma once

#include "platform/core/CPtrList.h"

class CArchive;

class CStringListWrapper : public CStringList {
public:
    CStringListWrapper() : CStringList(10) {}
    CStringListWrapper(const CStringListWrapper&) = delete;
    CStringListWrapper& operator=(const CStringListWrapper&) = delete;

    // Empties this list and appends a copy of every string of the other, in order.
    void CopyFrom(const CStringList& other);
    // True when both hold the same number of strings and each pair is equal, case counting.
    BOOL IsEqual(const CStringList& other) const;

    // The archive's string-list form: a count (a WORD, or 0xFFFF and a DWORD from 0xFFFF on),
    // then the strings. Reading replaces the list only once every string has been read.
    void Serialize(CArchive& ar) override;
};
